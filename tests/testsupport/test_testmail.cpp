// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"

#include <QTest>

using TestMail::Message;

namespace {

QByteArray headerBlock(const QByteArray& message)
{
    return message.left(message.indexOf("\r\n\r\n") + 2);
}

QByteArray bodyOf(const QByteArray& message)
{
    return message.mid(message.indexOf("\r\n\r\n") + 4);
}

} // namespace

// What the end-to-end tests rely on without seeing it: a header left empty is left out, Date
// comes first, bodies and dot lines go out as given, and folding folds. Whatever else goes wrong
// in a test mail shows in the tests that deliver it.
class TestTestMail : public QObject {
    Q_OBJECT
private slots:
    void writesTheHeadersInOrderAndLeavesOutEmptyOnes();
    void keepsEightBitBodiesAndDotLinesAsGiven();
    void foldsAtBlanksWithinTheWidth();
};

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
