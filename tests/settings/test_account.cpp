// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/account.h"
#include "testsupport/testregistry.h"

#include <QTest>

Q_DECLARE_METATYPE(Security)

class TestAccount : public QObject {
    Q_OBJECT
private slots:
    void choosesPortAndSecurity_data();
    void choosesPortAndSecurity();
    void readsFingerprints_data();
    void readsFingerprints();
    void resolvesTheProvider_data();
    void resolvesTheProvider();
};

void TestAccount::choosesPortAndSecurity_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("fingerprint");
    QTest::addColumn<int>("port");
    QTest::addColumn<Security>("expected");
    QTest::addColumn<bool>("usable");
    QTest::newRow("plain file stays plain") << QStringLiteral("pop.example.org") << QString()
                                            << QString() << 110 << Security::None << true;
    QTest::newRow("port 995 means TLS") << QStringLiteral("pop.example.org:995") << QString()
                                        << QString() << 995 << Security::Tls << true;
    QTest::newRow("other port stays plain") << QStringLiteral("pop.example.org:2110") << QString()
                                            << QString() << 2110 << Security::None << true;
    QTest::newRow("tls defaults to 995")
        << QStringLiteral("pop.example.org") << QStringLiteral("tls") << QString() << 995
        << Security::Tls << true;
    QTest::newRow("tls on another port")
        << QStringLiteral("127.0.0.1:2995") << QStringLiteral("TLS") << QString() << 2995
        << Security::Tls << true;
    QTest::newRow("starttls defaults to 110")
        << QStringLiteral("pop.example.org") << QStringLiteral("starttls") << QString() << 110
        << Security::StartTls << true;
    QTest::newRow("none on 995 stays plain")
        << QStringLiteral("pop.example.org:995") << QStringLiteral(" none ") << QString() << 995
        << Security::None << true;
    QTest::newRow("fingerprint without security asks for starttls")
        << QStringLiteral("pop.example.org") << QString()
        << QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef") << 110
        << Security::StartTls << true;
    QTest::newRow("unknown value is refused, not plain")
        << QStringLiteral("pop.example.org") << QStringLiteral("ssl") << QString() << 0
        << Security::None << false;
    QTest::newRow("no host") << QString() << QStringLiteral("tls") << QString() << 995
                             << Security::Tls << false;
}

void TestAccount::choosesPortAndSecurity()
{
    QFETCH(QString, host);
    QFETCH(QString, security);
    QFETCH(QString, fingerprint);
    QFETCH(int, port);
    QFETCH(Security, expected);
    QFETCH(bool, usable);
    AccountSlot slot;
    slot.Host = host;
    slot.Security = security;
    slot.Fingerprint = fingerprint;
    const Account account = accountFrom(slot);
    QCOMPARE(account.problem.isEmpty(), usable);
    if (!usable)
        return;
    QCOMPARE(int(account.server.port), port);
    QCOMPARE(account.server.security, expected);
}

void TestAccount::readsFingerprints_data()
{
    const QByteArray digest =
        QByteArray::fromHex("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("usable");
    QTest::newRow("none") << QString() << QByteArray() << true;
    QTest::newRow("plain hex")
        << QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef")
        << digest << true;
    QTest::newRow("upper case with colons")
        << QString::fromLatin1(digest.toHex(':').toUpper()) << digest << true;
    QTest::newRow("too short") << QStringLiteral("01:23:45") << QByteArray() << false;
    QTest::newRow("not hex")
        << QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdeg")
        << QByteArray() << false;
}

void TestAccount::readsFingerprints()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QFETCH(bool, usable);
    AccountSlot slot;
    slot.Host = QStringLiteral("pop.example.org");
    slot.Fingerprint = text;
    const Account account = accountFrom(slot);
    QCOMPARE(account.problem.isEmpty(), usable);
    if (usable)
        QCOMPARE(account.server.fingerprint, expected);
}

void TestAccount::resolvesTheProvider_data()
{
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QString>("url"); // AuthUrl and TokenUrl alike, for "custom"
    QTest::addColumn<QString>("clientId");
    QTest::addColumn<QString>("tokenUrl");
    QTest::addColumn<QString>("problemNames");
    const QString app = QStringLiteral("app");
    QTest::newRow("microsoft") << QStringLiteral("microsoft") << QString() << app
                               << QStringLiteral(
                                      "https://login.microsoftonline.com/common/oauth2/v2.0/token")
                               << QString();
    QTest::newRow("custom http on this computer")
        << QStringLiteral("custom") << QStringLiteral("http://127.0.0.1:8080/t") << app
        << QStringLiteral("http://127.0.0.1:8080/t") << QString();
    QTest::newRow("custom http elsewhere")
        << QStringLiteral("custom") << QStringLiteral("http://id.example/t") << app << QString()
        << QStringLiteral("https");
    QTest::newRow("loopback look-alike")
        << QStringLiteral("custom") << QStringLiteral("http://127.0.0.1.example/t") << app
        << QString() << QStringLiteral("https");
    QTest::newRow("no client id") << QStringLiteral("google") << QString() << QString() << QString()
                                  << QStringLiteral("ClientId");
    QTest::newRow("unknown provider") << QStringLiteral("yahoo") << QString() << app << QString()
                                      << QStringLiteral("OAuthProvider");
}

void TestAccount::resolvesTheProvider()
{
    QFETCH(QString, provider);
    QFETCH(QString, url);
    QFETCH(QString, clientId);
    QFETCH(QString, tokenUrl);
    QFETCH(QString, problemNames);
    AccountSlot slot;
    slot.Host = QStringLiteral("pop.example.org:995");
    slot.Auth = QStringLiteral("oauth2");
    slot.OAuthProvider = provider;
    slot.AuthUrl = url;
    slot.TokenUrl = url;
    slot.ClientId = clientId;
    const OAuthEndpoints endpoints = accountFrom(slot).oauth;
    if (problemNames.isEmpty()) {
        QVERIFY2(endpoints.problem.isEmpty(), qPrintable(endpoints.problem));
        QCOMPARE(endpoints.tokenUrl.toString(), tokenUrl);
    } else {
        QVERIFY2(endpoints.problem.contains(problemNames), qPrintable(endpoints.problem));
    }
}

TARVOLK_TEST(TestAccount);
#include "test_account.moc"
