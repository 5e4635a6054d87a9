// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"
#include "text/encodedwords.h"
#include "text/mailinfo.h"

#include <QTest>

class TestMailInfo : public QObject {
    Q_OBJECT
private slots:
    void findsTheFourHeaders_data();
    void findsTheFourHeaders();
    void findsTheAttachmentMarker_data();
    void findsTheAttachmentMarker();
    void decodesEncodedWords_data();
    void decodesEncodedWords();
};

void TestMailInfo::findsTheFourHeaders_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values");
    const auto row = [](const char* name, const char* text, QStringList values) {
        QTest::newRow(name) << QString::fromUtf8(text) << values;
    };
    row("from and to after a line break", "\r\nFrom: xy\r\nTo: zw\r\n",
        {QStringLiteral("xy"), QStringLiteral("zw"), QString(), QString()});
    row("a header at the very start is not found", "From: a\r\nSubject: s\r\nDate: d\r\n",
        {QString(), QString(), QStringLiteral("s"), QStringLiteral("d")});
    row("other letter case is not found", "x\r\nFROM: a\r\nfrom: b\r\n",
        {QString(), QString(), QString(), QString()});
    row("Reply-To is not To", "x\r\nReply-To: r\r\n", {QString(), QString(), QString(), QString()});
    row("the first occurrence wins, even in the body", "x\r\nSubject: s\r\n\r\nTo: body\r\n",
        {QString(), QStringLiteral("body"), QStringLiteral("s"), QString()});
    row("no blank after the colon loses one character", "x\r\nFrom:xy\r\n",
        {QStringLiteral("y"), QString(), QString(), QString()});
    row("empty value", "x\r\nFrom:\r\nTo: \r\n", {QString(), QString(), QString(), QString()});
    row("folded header shows whole", "x\r\nSubject: one\r\n two\r\n\tthree\r\nDate: d\r\n",
        {QString(), QString(), QStringLiteral("one two\tthree"), QStringLiteral("d")});
    row("folded right after the colon", "x\r\nFrom:\r\n a@b\r\n",
        {QStringLiteral("a@b"), QString(), QString(), QString()});
    row("folded encoded words join",
        "x\r\nSubject: =?UTF-8?Q?Gr=C3=BC?=\r\n =?UTF-8?Q?=C3=9Fe?=\r\n",
        {QString(), QString(), QStringLiteral("Grüße"), QString()});
    row("continuation without a CR of its own is left out", "x\r\nSubject: one\r\n two",
        {QString(), QString(), QStringLiteral("one"), QString()});
    row("a line not starting with a blank ends the field", "x\r\nTo: a\r\nX: b\r\n c\r\n",
        {QString(), QStringLiteral("a"), QString(), QString()});
    row("bare line feed runs on to the next CR", "x\r\nFrom: a\nb\r\n",
        {QStringLiteral("a\nb"), QString(), QString(), QString()});
    row("last line without CR gives nothing", "x\r\nDate: Mon",
        {QString(), QString(), QString(), QString()});
    row("single blank clears everything", " ", {QString(), QString(), QString(), QString()});
    row("empty text", "", {QString(), QString(), QString(), QString()});
    row("values are decoded", "x\r\nSubject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n",
        {QString(), QString(), QStringLiteral("Grüße"), QString()});
}

void TestMailInfo::findsTheFourHeaders()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    const MailInfo info = readMailInfo(text);
    QCOMPARE(QStringList(info.values.begin(), info.values.end()), values);
}

void TestMailInfo::findsTheAttachmentMarker_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("attachment");
    QTest::newRow("marker in a body part")
        << QStringLiteral("x\r\n\r\n--b\r\nContent-Disposition: attachment; filename=a\r\n")
        << true;
    QTest::newRow("without the semicolon")
        << QStringLiteral("Content-Disposition: attachment\r\n") << false;
    QTest::newRow("other letter case")
        << QStringLiteral("content-disposition: attachment;\r\n") << false;
    QTest::newRow("inline part") << QStringLiteral("Content-Disposition: inline;\r\n") << false;
}

void TestMailInfo::findsTheAttachmentMarker()
{
    QFETCH(QString, text);
    QFETCH(bool, attachment);
    QCOMPARE(readMailInfo(text).attachment, attachment);
}

void TestMailInfo::decodesEncodedWords_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("decoded");
    const auto row = [](const char* name, const char* raw, const char* decoded) {
        QTest::newRow(name) << QString::fromUtf8(raw) << QString::fromUtf8(decoded);
    };
    row("plain text stays", "Hallo Welt", "Hallo Welt");
    row("UTF-8 base64", "=?UTF-8?B?w4RyZ2VyIMO8YmVyIMOf?=", "Ärger über ß");
    row("ISO-8859-1 quoted-printable", "=?iso-8859-1?q?Gr=FC=DFe_aus_K=F6ln?=", "Grüße aus Köln");
    row("lower-case encoding letter", "=?utf-8?b?w6Q=?=", "ä");
    row("blank between adjacent words is dropped", "=?UTF-8?Q?a?= =?UTF-8?Q?b?=", "ab");
    row("folding between adjacent words is dropped", "=?UTF-8?Q?a?=\r\n\t=?UTF-8?Q?b?=", "ab");
    row("text between words stays", "=?UTF-8?Q?a?= und =?UTF-8?Q?b?=", "a und b");
    row("character split between two words", "=?UTF-8?Q?=C3?= =?UTF-8?Q?=A4?=", "ä");
    row("two charsets next to each other", "=?UTF-8?Q?=C3=A4?= =?ISO-8859-1?Q?=F6?=", "äö");
    row("words inside surrounding text", "Re: =?UTF-8?Q?M=C3=BCll?= (2)", "Re: Müll (2)");
    row("language suffix of the charset", "=?UTF-8*de?Q?=C3=BC?=", "ü");
    row("other charset that ICU knows", "=?koi8-r?B?8NLJ18XU?=", "Привет");
    row("unknown charset stays as it stands", "=?x-nonsense?Q?a?=", "=?x-nonsense?Q?a?=");
    row("broken base64 stays", "=?UTF-8?B?!!!?=", "=?UTF-8?B?!!!?=");
    row("broken hex escape stays", "=?UTF-8?Q?a=Z1?=", "=?UTF-8?Q?a=Z1?=");
    row("sign in a hex escape stays", "=?UTF-8?Q?a=+1?=", "=?UTF-8?Q?a=+1?=");
    row("character cut off at the end", "=?UTF-8?Q?a=C3?=", "a\uFFFD");
    row("blank after a malformed word stays",
        "=?x-nonsense?Q?a?= =?UTF-8?Q?b?=", "=?x-nonsense?Q?a?= b");
    row("unknown encoding letter stays", "=?UTF-8?X?abc?=", "=?UTF-8?X?abc?=");
}

void TestMailInfo::decodesEncodedWords()
{
    QFETCH(QString, raw);
    QFETCH(QString, decoded);
    QCOMPARE(decodeEncodedWords(raw), decoded);
}

TARVOLK_TEST(TestMailInfo);
#include "test_mailinfo.moc"
