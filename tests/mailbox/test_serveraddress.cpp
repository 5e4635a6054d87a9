#include "mailbox/serveraddress.h"

#include <QTest>

Q_DECLARE_METATYPE(Security)

class TestServerAddress : public QObject {
    Q_OBJECT
private slots:
    void choosesPortAndSecurity_data();
    void choosesPortAndSecurity();
    void readsFingerprints_data();
    void readsFingerprints();
};

void TestServerAddress::choosesPortAndSecurity_data()
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

void TestServerAddress::choosesPortAndSecurity()
{
    QFETCH(QString, host);
    QFETCH(QString, security);
    QFETCH(QString, fingerprint);
    QFETCH(int, port);
    QFETCH(Security, expected);
    QFETCH(bool, usable);
    AccountSlot account;
    account.Host = host;
    account.Security = security;
    account.Fingerprint = fingerprint;
    const ServerAddress server = resolveServer(account);
    QCOMPARE(server.problem.isEmpty(), usable);
    if (!usable)
        return;
    QCOMPARE(int(server.port), port);
    QCOMPARE(server.security, expected);
}

void TestServerAddress::readsFingerprints_data()
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
    QTest::newRow("upper case with colons") << formatFingerprint(digest) << digest << true;
    QTest::newRow("too short") << QStringLiteral("01:23:45") << QByteArray() << false;
    QTest::newRow("not hex")
        << QStringLiteral("0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdeg")
        << QByteArray() << false;
}

void TestServerAddress::readsFingerprints()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QFETCH(bool, usable);
    AccountSlot account;
    account.Host = QStringLiteral("pop.example.org");
    account.Fingerprint = text;
    const ServerAddress server = resolveServer(account);
    QCOMPARE(server.problem.isEmpty(), usable);
    if (usable)
        QCOMPARE(server.fingerprint, expected);
}

QTEST_APPLESS_MAIN(TestServerAddress)
#include "test_serveraddress.moc"
