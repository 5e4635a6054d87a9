// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"
#include "testsupport/dovecotserver.h"
#include "testsupport/e2esupport.h"
#include "testsupport/recordingview.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"
#include "text/mailinfo.h"

#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <array>

namespace {

const QString Password = QStringLiteral("geheim");
const QString Date = QStringLiteral("Mon, 15 Jan 2024 10:30:00 +0100");
const QString Marker = QStringLiteral("Content-Disposition: attachment;");
constexpr int PreviewLength = 10000;

// One message of the test mailbox and what the preview must show of it.
struct MailCase {
    const char* name = "";
    QByteArray message;
    enum class Charset { Utf8, Latin1, Windows1252 };
    Charset charset = Charset::Utf8;  // of the 8-bit bytes
    std::array<QString, 4> summary;   // From, To, Subject, Date, decoded
    bool attachmentInPreview = false; // with 10 body lines
};

// A trace header in front, as a delivering server adds one: the preview never finds a header on
// the text's first line, so this keeps Date, which the generator puts first, findable.
QByteArray withReturnPath(const QByteArray& message)
{
    return "Return-Path: <anna@example.org>\r\n" + message;
}

QList<MailCase> mailCases()
{
    using namespace TestMail;
    using Charset = MailCase::Charset;
    const QString anna = QStringLiteral("Anna Absender <anna@example.org>");
    const QString bert = QStringLiteral("Bert Empfaenger <bert@example.org>");
    QList<MailCase> cases;
    const auto add = [&cases](const char* name, const QByteArray& message, Charset charset,
                              const std::array<QString, 4>& summary, bool attachmentInPreview) {
        cases.append({name, message, charset, summary, attachmentInPreview});
    };

    {
        Message m;
        m.subject = encodedWord(QStringLiteral("Grüße aus Köln"), "UTF-8", 'B');
        m.body = QStringLiteral("Liebe Anna,\n\nschöne Grüße aus Köln: äöü ÄÖÜ ß €.\nBis bald\n")
                     .toUtf8();
        add("UTF-8 B subject, 8-bit UTF-8 body", withReturnPath(build(m)), Charset::Utf8,
            {anna, bert, QStringLiteral("Grüße aus Köln"), Date}, false);
    }
    {
        Message m;
        m.from = encodedWord(QStringLiteral("Jürgen Müller"), "ISO-8859-1", 'Q') +
                 " <juergen@example.org>";
        m.subject = encodedWord(QStringLiteral("Übergröße für Äpfel"), "ISO-8859-1", 'Q');
        m.charset = "ISO-8859-1";
        m.body = QStringLiteral("Sehr geehrte Damen und Herren,\n\nÄrger über Öl? Nein.\n"
                                "Grüße, Jürgen\n")
                     .toLatin1();
        add("ISO-8859-1 Q subject and sender, 8-bit ISO-8859-1 body", withReturnPath(build(m)),
            Charset::Latin1,
            {QStringLiteral("Jürgen Müller <juergen@example.org>"), bert,
             QStringLiteral("Übergröße für Äpfel"), Date},
            false);
    }
    {
        Message m;
        m.subject = "Angebot";
        m.charset = "windows-1252";
        // Euro sign, dash and German quotes lie where ISO-8859-1 has control codes.
        m.body = "Preis: 20 \x80 \x96 \x84"
                 "Angebot\x93 f\xFCr Sie\n";
        add("8-bit Windows-1252 body", withReturnPath(build(m)), Charset::Windows1252,
            {anna, bert, QStringLiteral("Angebot"), Date}, false);
    }
    {
        Message m;
        m.to = encodedWord(QStringLiteral("Zoë Ørsted"), "utf-8", 'b') + " <zoe@example.org>";
        m.subject = encodedWord(QStringLiteral("Größe"), "UTF-8", 'Q') + ' ' +
                    encodedWord(QStringLiteral(" und Maß"), "ISO-8859-1", 'B');
        add("UTF-8 Q and ISO-8859-1 B words side by side", withReturnPath(build(m)), Charset::Utf8,
            {anna, QStringLiteral("Zoë Ørsted <zoe@example.org>"), QStringLiteral("Größe und Maß"),
             Date},
            false);
    }
    {
        Message m;
        m.subject = "Punkte am Zeilenanfang";
        // The tenth body line is "Regards.", so the answer to "top" ends in "Regards." and the
        // end line; a "." line and ".." lines lie before it, another "." line after it.
        m.body = "Hallo,\n.eins\n..zwei\n.\n...\nRegards.\nRegards.\n\nGruss.\nRegards.\n"
                 "nach der zehnten Zeile\n.\n";
        add("lines starting with dots and Regards. lines", withReturnPath(build(m)), Charset::Utf8,
            {anna, bert, QStringLiteral("Punkte am Zeilenanfang"), Date}, false);
    }
    {
        Message m;
        const QByteArray to = "Bert Empfaenger <bert@example.org>, Carla Kopie "
                              "<carla@example.org>, Dora Dritte <dora@example.org>";
        const QByteArray subject = "Ein recht langer Betreff, der auf mehrere Zeilen gefaltet "
                                   "wird und in der Vorschau doch ganz erscheint";
        m.to = fold(to);
        m.subject = fold(subject);
        // The summary joins the folded lines again.
        add("folded headers", withReturnPath(build(m)), Charset::Utf8,
            {anna, QString::fromLatin1(to), QString::fromLatin1(subject), Date}, false);
    }
    {
        Message m;
        m.to.clear();
        m.subject = "Ohne Empfaenger";
        m.extraHeaders = {{"Reply-To", "Rita Antwort <rita@example.org>"},
                          {"Bcc", "verdeckt@example.org"}};
        add("no To header, a Reply-To header", withReturnPath(build(m)), Charset::Utf8,
            {anna, QString(), QStringLiteral("Ohne Empfaenger"), Date}, false);
    }
    {
        Message m;
        m.subject = "Bericht im Anhang";
        m.body = "Anbei der Bericht.\n";
        m.attachments.append({"bericht.pdf", "application/pdf", QByteArray(3000, 'b')});
        add("attachment marker within the preview", withReturnPath(build(m)), Charset::Utf8,
            {anna, bert, QStringLiteral("Bericht im Anhang"), Date}, true);
    }
    {
        Message m;
        m.subject = "Anhang hinter langem Kopf";
        // A long header pushes the body, and with it the marker, beyond the preview.
        QByteArray padding;
        for (int word = 0; padding.size() < 11000; ++word)
            padding += "Fuellwort" + QByteArray::number(word) + ' ';
        m.extraHeaders = {{"X-Padding", fold(padding.trimmed(), 76)}};
        m.body = "Anbei das Bild.\n";
        m.attachments.append({"bild.png", "image/png", QByteArray(2000, 'p')});
        add("attachment marker beyond the preview", withReturnPath(build(m)), Charset::Utf8,
            {anna, bert, QStringLiteral("Anhang hinter langem Kopf"), Date}, false);
    }
    {
        Message m;
        m.subject = "Datum in der ersten Zeile";
        // Date is the first line of the text: no line break before it, so it is not found.
        add("header on the first line", build(m), Charset::Utf8,
            {anna, bert, QStringLiteral("Datum in der ersten Zeile"), QString()}, false);
    }
    {
        Message m;
        m.subject = "Grosse Nachricht";
        m.body = "Viel Text folgt.\n";
        m.targetSize = 200 * 1024;
        add("200 KB message", withReturnPath(build(m)), Charset::Utf8,
            {anna, bert, QStringLiteral("Grosse Nachricht"), Date}, false);
    }
    return cases;
}

QList<QByteArray> messagesOf(const QList<MailCase>& cases)
{
    QList<QByteArray> messages;
    for (const MailCase& c : cases)
        messages.append(c.message);
    return messages;
}

// The stored text a fetch must give: the bytes of the header block and first lines, read in the
// charset the message was written in.
QString expectedText(const MailCase& c, int lineCount)
{
    const QByteArray bytes = e2e::headerBlockAndFirstLines(c.message, lineCount);
    switch (c.charset) {
    case MailCase::Charset::Utf8:
        return QString::fromUtf8(bytes);
    case MailCase::Charset::Latin1:
        return QString::fromLatin1(bytes);
    case MailCase::Charset::Windows1252:
        break;
    }
    // Windows-1252 is ISO-8859-1 but for 0x80 to 0x9F; these are the ones the cases use.
    return QString::fromLatin1(bytes)
        .replace(QChar(0x80), QChar(0x20AC))
        .replace(QChar(0x84), QChar(0x201E))
        .replace(QChar(0x93), QChar(0x201C))
        .replace(QChar(0x96), QChar(0x2013));
}

QStringList summaryOf(const MailInfo& info)
{
    return {info.values[0], info.values[1], info.values[2], info.values[3]};
}

QStringList summaryOf(const MailCase& c)
{
    return {c.summary[0], c.summary[1], c.summary[2], c.summary[3]};
}

// The list entries and the summary line for the sizes dovecot gives.
QStringList entriesFor(const QList<qint64>& sizes)
{
    QStringList entries;
    for (int i = 0; i < sizes.size(); ++i)
        entries.append(QStringLiteral("%1. Email %2").arg(i + 1).arg(sizes[i]));
    return entries;
}

qint64 totalOf(const QList<qint64>& sizes)
{
    qint64 total = 0;
    for (const qint64 size : sizes)
        total += size;
    return total;
}

} // namespace

class TestE2eFetch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void listsEveryMessageWithDovecotsSize();
    void storesTheHeaderBlockAndFirstLines_data();
    void storesTheHeaderBlockAndFirstLines();
    void previewShowsTheDecodedSummary_data();
    void previewShowsTheDecodedSummary();
    void storesTheHeaderBlockAloneWithLineCountZero();
    void nextRunShowsMailDeliveredMeanwhile();

private:
    void rowPerCase();
    QList<qint64> dovecotSizes(const QString& user);

    DovecotServer m_server;
    e2e::UserPool m_users;
    QList<MailCase> m_cases;
    // The result of one fetch of every case with 10 lines, shared by the tests that read it.
    QString m_user;
    RecordingView m_view;
    QStringList m_texts;
    qint32 m_mailCount = 0;
};

void TestE2eFetch::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    m_cases = mailCases();

    QVERIFY2(m_users.create(m_server, 3, Password), qPrintable(m_server.errorString()));

    m_user = m_users.take();
    QVERIFY2(!e2e::deliverAll(m_server, m_user, messagesOf(m_cases)).isEmpty(),
             qPrintable(m_server.errorString()));
    MailboxClient client(m_view);
    client.Emails_abrufen(e2e::account(e2e::loopback(m_server.port()), m_user, Password), 10);
    m_texts = client.MailTexts();
    m_mailCount = client.MailCount;
}

QList<qint64> TestE2eFetch::dovecotSizes(const QString& user)
{
    e2e::PlainPop3 pop3;
    if (!pop3.logIn(m_server.port(), user, Password))
        return {};
    const QList<qint64> sizes = pop3.sizes();
    pop3.quit();
    return sizes;
}

void TestE2eFetch::listsEveryMessageWithDovecotsSize()
{
    const QList<qint64> sizes = dovecotSizes(m_user);
    QCOMPARE(sizes.size(), m_cases.size());
    QVERIFY(*std::max_element(sizes.begin(), sizes.end()) >= 200 * 1024);

    QVERIFY(m_view.notices.isEmpty());
    QCOMPARE(m_view.entries, entriesFor(sizes));
    QCOMPARE(m_view.summary,
             QStringLiteral("%1 Emails mit %2 Bytes").arg(sizes.size()).arg(totalOf(sizes)));
    QCOMPARE(m_mailCount, sizes.size());
    QCOMPARE(m_texts.size(), sizes.size());
    QCOMPARE(m_view.status(), QString());
    // The bar spans the whole mailbox, never runs past its end and is back at 0 afterwards.
    QCOMPARE(m_view.progressMax, totalOf(sizes));
    for (const int value : std::as_const(m_view.progressValues))
        QVERIFY2(value >= 0 && value <= m_view.progressMax, qPrintable(QString::number(value)));
    QCOMPARE(m_view.progressValues.last(), 0);
}

void TestE2eFetch::rowPerCase()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < m_cases.size(); ++i)
        QTest::newRow(m_cases[i].name) << i;
}

void TestE2eFetch::storesTheHeaderBlockAndFirstLines_data()
{
    rowPerCase();
}

void TestE2eFetch::storesTheHeaderBlockAndFirstLines()
{
    QFETCH(int, index);
    QVERIFY(index < m_texts.size());
    QCOMPARE(m_texts[index], expectedText(m_cases[index], 10));
}

void TestE2eFetch::previewShowsTheDecodedSummary_data()
{
    rowPerCase();
}

void TestE2eFetch::previewShowsTheDecodedSummary()
{
    QFETCH(int, index);
    QVERIFY(index < m_texts.size());
    const MailCase& mail = m_cases[index];
    const QString preview = m_texts[index].left(PreviewLength);

    const MailInfo info = readMailInfo(preview);

    QCOMPARE(summaryOf(info), summaryOf(mail));
    QCOMPARE(info.attachment, mail.attachmentInPreview);
    // Each attachment case must really place its marker where its name says.
    if (mail.message.contains(Marker.toLatin1()))
        QCOMPARE(m_texts[index].indexOf(Marker) < PreviewLength, mail.attachmentInPreview);
}

void TestE2eFetch::storesTheHeaderBlockAloneWithLineCountZero()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    QVERIFY(!e2e::deliverAll(m_server, user, messagesOf(m_cases)).isEmpty());
    RecordingView view;
    MailboxClient client(view);

    client.Emails_abrufen(e2e::account(e2e::loopback(m_server.port()), user, Password), 0);

    QVERIFY(view.notices.isEmpty());
    QCOMPARE(view.entries, entriesFor(dovecotSizes(user)));
    QCOMPARE(client.MailTexts().size(), m_cases.size());
    for (int i = 0; i < m_cases.size(); ++i) {
        const MailCase& mail = m_cases[i];
        QVERIFY2(client.MailTexts()[i] == expectedText(mail, 0), mail.name);
        const MailInfo info = readMailInfo(client.MailTexts()[i].left(PreviewLength));
        QVERIFY2(summaryOf(info) == summaryOf(mail), mail.name);
        // The markers lie in the bodies, and no body line was asked for.
        QVERIFY2(!info.attachment, mail.name);
    }
}

void TestE2eFetch::nextRunShowsMailDeliveredMeanwhile()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    const QList<MailCase> first = m_cases.mid(0, 2);
    QVERIFY(!e2e::deliverAll(m_server, user, messagesOf(first)).isEmpty());
    const Account account = e2e::account(e2e::loopback(m_server.port()), user, Password);
    QTemporaryDir disk;
    {
        RecordingView view;
        MailboxClient client(view);
        client.useDisk(disk.path());
        client.Emails_abrufen(account, 10);
        QCOMPARE(view.entries.size(), 2);
    }

    // The next run of the program asks only for the new message's preview.
    const MailCase& later = m_cases[3];
    QVERIFY(!m_server.deliver(user, later.message).isEmpty());
    RecordingView view;
    MailboxClient client(view);
    client.useDisk(disk.path());
    client.Emails_abrufen(account, 10);
    // dovecot tells the "top" commands of each session as it logs out.
    QTRY_COMPARE(e2e::loggedOutWith(m_server, user, "top=1/"), 1);

    QVERIFY(view.notices.isEmpty());
    const QList<qint64> sizes = dovecotSizes(user);
    QCOMPARE(sizes.size(), 3);
    QCOMPARE(view.entries, entriesFor(sizes));
    QCOMPARE(view.summary, QStringLiteral("3 Emails mit %1 Bytes").arg(totalOf(sizes)));
    QCOMPARE(client.MailCount, 3);
    QCOMPARE(client.MailTexts(),
             QStringList({expectedText(first[0], 10), expectedText(first[1], 10),
                          expectedText(later, 10)}));
}

TARVOLK_TEST(TestE2eFetch);
#include "test_e2e_fetch.moc"
