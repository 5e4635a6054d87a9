#include "oauth/oauthendpoints.h"

#include <QTest>

class TestOAuthEndpoints : public QObject {
    Q_OBJECT
private slots:
    void resolvesTheProvider_data();
    void resolvesTheProvider();
};

void TestOAuthEndpoints::resolvesTheProvider_data()
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

void TestOAuthEndpoints::resolvesTheProvider()
{
    QFETCH(QString, provider);
    QFETCH(QString, url);
    QFETCH(QString, clientId);
    QFETCH(QString, tokenUrl);
    QFETCH(QString, problemNames);
    AccountSlot account;
    account.OAuthProvider = provider;
    account.AuthUrl = url;
    account.TokenUrl = url;
    account.ClientId = clientId;
    const OAuthEndpoints endpoints = oauthEndpoints(account);
    if (problemNames.isEmpty()) {
        QVERIFY2(endpoints.problem.isEmpty(), qPrintable(endpoints.problem));
        QCOMPARE(endpoints.tokenUrl.toString(), tokenUrl);
    } else {
        QVERIFY2(endpoints.problem.contains(problemNames), qPrintable(endpoints.problem));
    }
}

QTEST_GUILESS_MAIN(TestOAuthEndpoints)
#include "test_oauthendpoints.moc"
