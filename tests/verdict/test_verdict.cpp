// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/testregistry.h"
#include "verdict/authservid.h"
#include "verdict/verdict.h"

#include <QTest>

class TestVerdict : public QObject {
    Q_OBJECT
private slots:
    void judgesHeaderBlocks_data();
    void judgesHeaderBlocks();
    void findsTheMailboxesAuthServId_data();
    void findsTheMailboxesAuthServId();
};

namespace {

// Header blocks are written here with bare line ends; the server sends CR LF.
QByteArray block(const char* text)
{
    return QByteArray(text).replace("\n", "\r\n") + "\r\n";
}

} // namespace

void TestVerdict::judgesHeaderBlocks_data()
{
    QTest::addColumn<QByteArray>("headerBlock");
    QTest::addColumn<QString>("trustedId");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("inDetails");
    const auto row = [](const char* name, const char* text, const char* trustedId,
                        const QStringList& words, const char* inDetails) {
        QTest::newRow(name) << block(text) << QString::fromUtf8(trustedId) << words
                            << QString::fromUtf8(inDetails);
    };
    row("Gmail: DMARC passed",
        "Received: from mail.example.com by mx.google.com with ESMTPS id x1\n"
        "Authentication-Results: mx.google.com;\n"
        "       dkim=pass header.i=@example.com header.s=s1 header.b=AbCd;\n"
        "       spf=pass (google.com: domain of b@example.com designates 192.0.2.1 as permitted\n"
        "        sender) smtp.mailfrom=b@example.com;\n"
        "       dmarc=pass (p=REJECT sp=REJECT dis=NONE) header.from=example.com\n"
        "From: Shop <info@example.com>\n",
        "mx.google.com", {QStringLiteral("Absender bestätigt (example.com)")},
        "mx.google.com bestätigt die Absenderdomain example.com: DMARC bestanden.");
    row("Gmail: a forged field below the real one is not read",
        "Authentication-Results: mx.google.com; spf=fail smtp.mailfrom=x@example.com;\n"
        " dkim=fail header.i=@example.com\n"
        "Received: from relay.example.net by mail.example.net\n"
        "Authentication-Results: mx.google.com; dkim=pass header.d=example.com;\n"
        " dmarc=pass header.from=example.com\n"
        "From: Bank <service@example.com>\n",
        "MX.Google.com", {QStringLiteral("Absender nicht bestätigt")},
        "DKIM und SPF nicht bestanden");
    row("another server's results are not read",
        "Authentication-Results: mx.google.com; dmarc=pass header.from=example.com\n"
        "From: service@example.com\n",
        "posteo.de", {}, "");
    row("no trusted id: nothing is read",
        "Authentication-Results: mx.google.com; dmarc=pass header.from=example.com\n"
        "From: service@example.com\n",
        "", {}, "");
    row("Outlook: no id, composite check failed",
        "Authentication-Results: spf=softfail (sender IP is 203.0.113.7)\n"
        " smtp.mailfrom=example.net; dkim=none (message not signed) header.d=none;dmarc=none\n"
        " action=none header.from=example.net;compauth=fail reason=601\n"
        "Authentication-Results: spf=pass; dkim=pass header.d=example.net; dmarc=pass\n"
        "From: <billing@example.net>\n",
        "-", {QStringLiteral("Absender nicht bestätigt")}, "Der Server bestätigt");
    row("GMX: signature of the registrable domain; display name names another address",
        "Authentication-Results: gmx.net; dkim=pass header.d=example.net header.s=m1\n"
        "From: \"service@example.com\" <alarm@mail.example.net>\n",
        "gmx.net",
        {QStringLiteral("Anzeigename täuscht"),
         QStringLiteral("Absender bestätigt (mail.example.net)")},
        "nennt service@example.com, gesendet hat alarm@mail.example.net");
    row("Fastmail: passed, replies go elsewhere",
        "Authentication-Results: mx1.messagingengine.com;\n"
        "    dkim=pass (2048-bit rsa key sha256) header.d=example.org header.i=@example.org\n"
        "      header.b=abc header.a=rsa-sha256 header.s=fm1 x-bits=2048;\n"
        "    dmarc=pass policy.published-domain-policy=none header.from=example.org;\n"
        "    spf=pass smtp.mailfrom=bounce@example.org smtp.helo=mail.example.org;\n"
        "    x-ptr=pass smtp.helo=mail.example.org policy.ptr=mail.example.org;\n"
        "    bimi=skipped (DMARC Policy is not at enforcement); arc=none (no signatures)\n"
        "From: Verein <vorstand@example.org>\n"
        "Reply-To: Kasse <kasse@example.net>\n",
        "mx1.messagingengine.com",
        {QStringLiteral("Antwort an andere Domain"),
         QStringLiteral("Absender bestätigt (example.org)")},
        "Antworten gehen an kasse@example.net");
    row("Posteo: one field per method, DKIM and SPF failed",
        "Authentication-Results: posteo.de; dmarc=none (p=none dis=none) header.from=example.net\n"
        "Authentication-Results: posteo.de; spf=fail smtp.mailfrom=example.net\n"
        "Authentication-Results: posteo.de; dkim=fail reason=\"signature verification failed\"\n"
        "\theader.d=example.net\n"
        "From: Paket <info@example.net>\n",
        "posteo.de", {QStringLiteral("Absender nicht bestätigt")}, "DKIM und SPF nicht bestanden");
    row("Yahoo: a host of the trusted domain",
        "Authentication-Results: atlas-production.v2.mail-platform.omega.yahoo.com;\n"
        " dkim=pass header.i=@example.com header.s=s1; dmarc=pass(p=REJECT) "
        "header.from=example.com\n"
        "From: News <news@example.com>\n",
        "yahoo.com", {QStringLiteral("Absender bestätigt (example.com)")}, "DMARC bestanden");
    row("SpamAssassin: spam with score and threshold",
        "X-Spam-Flag: YES\n"
        "X-Spam-Status: Yes, score=7.9 required=5.0 tests=BAYES_99,HTML_MESSAGE\n"
        "\tautolearn=no version=3.4.6\n"
        "From: Gewinn <gewinn@example.com>\n",
        "", {QStringLiteral("Spam laut Server (7,9)")}, "Wertung 7,9, Grenze 5,0");
    row("rspamd: spam",
        "X-Spamd-Result: default: True [15.50 / 15.00]; R_SPF_FAIL(1.00)[-all]\n"
        "X-Spam: Yes\n",
        "", {QStringLiteral("Spam laut Server (15,50)")}, "Grenze 15,00");
    row("lookalike domain in punycode, confirmed in its ASCII form",
        "Authentication-Results: mx.example.net; dkim=pass header.d=xn--pypal-4ve.com\n"
        "From: PayPal <service@xn--pypal-4ve.com>\n",
        "mx.example.net",
        {QStringLiteral("Internationale Adresse"),
         QStringLiteral("Absender bestätigt (xn--pypal-4ve.com)")},
        "Die Domain pаypal.com (ASCII: xn--pypal-4ve.com) mischt Schriften.");
    row("display name of full-width letters naming a domain",
        "From: =?UTF-8?B?772Q772B772Z772Q772B772M77yO772D772P772N?= <x@example.net>\n", "",
        {QStringLiteral("Anzeigename täuscht")}, "nennt paypal.com");
    row("the sender's own domain and plain names stand out in nothing",
        "From: \"Dr.Mustermann, Example.com Support\" <support@mail.example.com>\n"
        "Reply-To: Dr.Mustermann <hilfe@example.com>\n"
        "X-Spam-Flag: NO\n"
        "X-Spam-Status: No, score=-0.1 required=5.0\n",
        "", {}, "");
    row("no results at all", "From: Anna <anna@example.org>\nSubject: Hallo\n", "mx.google.com", {},
        "");
}

void TestVerdict::judgesHeaderBlocks()
{
    QFETCH(QByteArray, headerBlock);
    QFETCH(QString, trustedId);
    QFETCH(QStringList, words);
    QFETCH(QString, inDetails);
    const Verdict verdict = judgeHeaderBlock(headerBlock, trustedId);
    QStringList found;
    QString details;
    for (const Finding& finding : verdict.findings) {
        found.append(finding.word);
        details += finding.detail + u'\n';
    }
    QCOMPARE(found, words);
    QVERIFY2(details.contains(inDetails), qPrintable(details));
}

void TestVerdict::findsTheMailboxesAuthServId_data()
{
    QTest::addColumn<QList<QByteArray>>("headerBlocks");
    QTest::addColumn<QString>("id");
    const QByteArray gmail = block("Authentication-Results: mx.google.com; spf=pass\n");
    const QByteArray forged = block("Authentication-Results: mx.example.net; dmarc=pass\n"
                                    "Authentication-Results: mx.google.com; spf=pass\n");
    const QByteArray none = block("From: a@example.com\n");
    QTest::newRow("most, forged and none among them")
        << QList<QByteArray>{gmail, forged, gmail, none} << QStringLiteral("mx.google.com");
    QTest::newRow("one message is too little") << QList<QByteArray>{gmail, none} << QString();
    QTest::newRow("no majority")
        << QList<QByteArray>{gmail, forged, block("Authentication-Results: a.example.org; x=y\n")}
        << QString();
    QTest::newRow("hosts of one domain")
        << QList<QByteArray>{block("Authentication-Results: atlas-1.omega.yahoo.com; spf=pass\n"),
                             block("Authentication-Results: atlas-2.omega.yahoo.com; spf=pass\n"),
                             gmail}
        << QStringLiteral("yahoo.com");
    QTest::newRow("without id")
        << QList<QByteArray>{block("Authentication-Results: spf=pass; compauth=pass reason=100\n"),
                             block("Authentication-Results: spf=fail; dmarc=fail\n")}
        << withoutAuthServId;
}

void TestVerdict::findsTheMailboxesAuthServId()
{
    QFETCH(QList<QByteArray>, headerBlocks);
    QFETCH(QString, id);
    QCOMPARE(commonAuthServId(headerBlocks), id);
}

TARVOLK_TEST(TestVerdict);
#include "test_verdict.moc"
