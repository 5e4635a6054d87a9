#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"

#include <QTest>

using TestMail::Message;

namespace {

// Every CR is followed by LF and every LF preceded by CR.
bool onlyCrLfLineEnds(const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\r' && (i + 1 == bytes.size() || bytes.at(i + 1) != '\n')) {
            return false;
        }
        if (bytes.at(i) == '\n' && (i == 0 || bytes.at(i - 1) != '\r')) {
            return false;
        }
    }
    return true;
}

QByteArray headerBlock(const QByteArray& message)
{
    return message.left(message.indexOf("\r\n\r\n") + 2);
}

QByteArray bodyOf(const QByteArray& message)
{
    return message.mid(message.indexOf("\r\n\r\n") + 4);
}

Message withAttachment()
{
    Message message;
    message.attachments.append({"bericht.pdf", "application/pdf", QByteArray(1000, '\x7f')});
    return message;
}

} // namespace

class TestTestMail : public QObject {
    Q_OBJECT
private slots:
    void linesEndInCrLf_data();
    void linesEndInCrLf();
    void writesTheHeadersInOrderAndLeavesOutEmptyOnes();
    void keepsEightBitBodiesAndDotLinesAsGiven();
    void attachmentsMakeMultipartMixed();
    void fillsUpToTheTargetSizeExactly_data();
    void fillsUpToTheTargetSizeExactly();
    void fillerHasTheAskedSize();
    void encodesWordsAsRfc2047_data();
    void encodesWordsAsRfc2047();
    void foldsAtBlanksWithinTheWidth();
};

void TestTestMail::linesEndInCrLf_data()
{
    QTest::addColumn<QByteArray>("message");
    Message lf;
    lf.body = "eins\nzwei\n\ndrei";
    QTest::newRow("LF body without a last line end") << TestMail::build(lf);
    Message cr;
    cr.body = "eins\rzwei\r\n\rdrei\r";
    QTest::newRow("lone CRs in the body") << TestMail::build(cr);
    Message folded;
    folded.subject = TestMail::fold("ein sehr langer Betreff der auf mehrere Zeilen geht", 20);
    QTest::newRow("folded subject") << TestMail::build(folded);
    QTest::newRow("multipart") << TestMail::build(withAttachment());
    Message big = withAttachment();
    big.targetSize = 200 * 1024;
    QTest::newRow("200 KB with filler") << TestMail::build(big);
}

void TestTestMail::linesEndInCrLf()
{
    QFETCH(QByteArray, message);
    QVERIFY(onlyCrLfLineEnds(message));
    QVERIFY(message.endsWith("\r\n"));
    QVERIFY(message.contains("\r\n\r\n"));
}

void TestTestMail::writesTheHeadersInOrderAndLeavesOutEmptyOnes()
{
    Message message;
    message.subject = "=?UTF-8?B?R3LDvMOfZQ==?=";
    message.extraHeaders.append(
        qMakePair(QByteArray("X-Folded"), QByteArray("erste Zeile\r\n\tzweite Zeile")));
    QCOMPARE(headerBlock(TestMail::build(message)),
             QByteArray("Date: Mon, 15 Jan 2024 10:30:00 +0100\r\n"
                        "From: Anna Absender <anna@example.org>\r\n"
                        "To: Bert Empfaenger <bert@example.org>\r\n"
                        "Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n"
                        "X-Folded: erste Zeile\r\n\tzweite Zeile\r\n"
                        "MIME-Version: 1.0\r\n"
                        "Content-Type: text/plain; charset=UTF-8\r\n"
                        "Content-Transfer-Encoding: 7bit\r\n"));

    message.to.clear();
    message.date.clear();
    const QByteArray headers = headerBlock(TestMail::build(message));
    QVERIFY(headers.startsWith("From: "));
    QVERIFY(!headers.contains("To:"));
    QVERIFY(!headers.contains("Date:"));
}

void TestTestMail::keepsEightBitBodiesAndDotLinesAsGiven()
{
    Message message;
    message.charset = "ISO-8859-1";
    message.body = "Gr\xfc\xdf"
                   "e\n.eins\n..zwei\nRegards.\n";
    const QByteArray built = TestMail::build(message);
    QVERIFY(built.contains("Content-Type: text/plain; charset=ISO-8859-1\r\n"
                           "Content-Transfer-Encoding: 8bit\r\n"));
    QCOMPARE(bodyOf(built), QByteArray("Gr\xfc\xdf"
                                       "e\r\n.eins\r\n..zwei\r\nRegards.\r\n"));
}

void TestTestMail::attachmentsMakeMultipartMixed()
{
    Message message = withAttachment();
    message.body = "Text vor dem Anhang\n";
    const QByteArray built = TestMail::build(message);
    QVERIFY(built.contains(
        "Content-Type: multipart/mixed; boundary=\"=_tarvolk_boundary_0815\"\r\n\r\n"));
    const qsizetype text = built.indexOf("Text vor dem Anhang\r\n");
    const qsizetype marker =
        built.indexOf("Content-Disposition: attachment; filename=\"bericht.pdf\"\r\n");
    QVERIFY(text > 0);
    QVERIFY(marker > text);
    QVERIFY(built.endsWith("\r\n--=_tarvolk_boundary_0815--\r\n"));

    // The base64 lines between the part's blank line and the closing boundary decode back.
    const qsizetype start = built.indexOf("\r\n\r\n", marker) + 4;
    const qsizetype end = built.indexOf("--=_tarvolk_boundary_0815--");
    const QByteArray encoded = built.mid(start, end - start);
    for (const QByteArray& line : encoded.split('\n')) {
        QVERIFY(line.size() <= 77);
    }
    QCOMPARE(QByteArray::fromBase64(encoded), QByteArray(1000, '\x7f'));
}

void TestTestMail::fillsUpToTheTargetSizeExactly_data()
{
    QTest::addColumn<bool>("attachment");
    QTest::addColumn<int>("size");
    QTest::newRow("plain 1 KB") << false << 1024;
    QTest::newRow("plain 200 KB") << false << 200 * 1024;
    QTest::newRow("plain, one line more than a full one") << false << 79 * 3 + 200;
    QTest::newRow("multipart 50 KB") << true << 50 * 1000;
}

void TestTestMail::fillsUpToTheTargetSizeExactly()
{
    QFETCH(bool, attachment);
    QFETCH(int, size);
    Message message = attachment ? withAttachment() : Message();
    message.targetSize = size;
    const QByteArray built = TestMail::build(message);
    QCOMPARE(built.size(), size);
    QVERIFY(onlyCrLfLineEnds(built));
    // The filler belongs to the text, before any attachment.
    if (attachment) {
        QVERIFY(built.lastIndexOf("Fuelltext") < built.indexOf("Content-Disposition: attachment"));
    }
}

void TestTestMail::fillerHasTheAskedSize()
{
    for (int size : {0, 2, 3, 77, 78, 79, 80, 81, 157, 1000, 4097}) {
        const QByteArray filler = TestMail::filler(size);
        QCOMPARE(filler.size(), size);
        QVERIFY(onlyCrLfLineEnds(filler));
        QVERIFY(!filler.startsWith('.'));
        QVERIFY(!filler.contains("\r\n."));
    }
    QCOMPARE(TestMail::filler(1), QByteArray());
}

void TestTestMail::encodesWordsAsRfc2047_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("charset");
    QTest::addColumn<char>("encoding");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("UTF-8 B") << QStringLiteral("Grüße") << QByteArray("UTF-8") << 'B'
                             << QByteArray("=?UTF-8?B?R3LDvMOfZQ==?=");
    QTest::newRow("UTF-8 Q") << QStringLiteral("Ärger") << QByteArray("UTF-8") << 'Q'
                             << QByteArray("=?UTF-8?Q?=C3=84rger?=");
    QTest::newRow("Latin-1 Q, blank, underscore, = and ?")
        << QStringLiteral("Grüße an_alle=?") << QByteArray("ISO-8859-1") << 'Q'
        << QByteArray("=?ISO-8859-1?Q?Gr=FC=DFe_an=5Falle=3D=3F?=");
    QTest::newRow("Latin-1 B") << QStringLiteral("Grüße") << QByteArray("iso-8859-1") << 'B'
                               << QByteArray("=?iso-8859-1?B?R3L832U=?=");
}

void TestTestMail::encodesWordsAsRfc2047()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, charset);
    QFETCH(char, encoding);
    QFETCH(QByteArray, expected);
    QCOMPARE(TestMail::encodedWord(text, charset, encoding), expected);
}

void TestTestMail::foldsAtBlanksWithinTheWidth()
{
    const QByteArray value = "eins zwei drei vier fuenf sechs sieben acht neun zehn elf zwoelf";
    const QByteArray folded = TestMail::fold(value, 16);
    QVERIFY(folded.contains("\r\n "));
    for (const QByteArray& line : folded.split('\n')) {
        QVERIFY2(line.size() <= 16 + 1, line.constData()); // +1 for the CR
    }
    QCOMPARE(QByteArray(folded).replace("\r\n", ""), value);
}

TARVOLK_TEST(TestTestMail);
#include "test_testmail.moc"
