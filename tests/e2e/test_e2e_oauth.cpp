// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"
#include "oauth/redirectrequest.h"
#include "oauth/tokenlogin.h"
#include "testsupport/e2esupport.h"
#include "testsupport/recordingview.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testregistry.h"
#include "testsupport/tokenendpoint.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>
#include <memory>

namespace {

const QByteArray SigningKey = "tarvolk-test-signing-key-0123456789abcdef";

} // namespace

// OAuth2 end to end without internet: dovecot checks the tokens' signatures itself, a token
// endpoint on 127.0.0.1 issues them, and the test plays the browser.
class TestE2eOAuth : public QObject {
    Q_OBJECT
public:
    // The token mechanism dovecot offers: XOAUTH2 or OAUTHBEARER.
    explicit TestE2eOAuth(const QByteArray& mechanism = "XOAUTH2") : m_mechanism(mechanism) {}

private slots:
    void initTestCase();
    void init();
    void signsInThroughTheBrowserFirst_data();
    void signsInThroughTheBrowserFirst();
    void refreshesAnExpiringTokenWithoutTheBrowser();
    void replacesARefusedKeptTokenOnceWithoutABox();
    void reportsARefusedTokenWithoutShowingIt();
    void signsInWhileAnotherSignInWaitsForItsBrowser();

private:
    // Fetches a token and logs in with it; logIns counts the conversations that got in.
    TokenSource::Result logIn(TokenSource& tokens, RecordingView& view);
    // Plays the browser and keeps refresh tokens in m_keyring.
    std::unique_ptr<TokenSource> newTokenSource();
    // The browser follows the provider's redirect to the program's listener on 127.0.0.1.
    void openInBrowser(const QUrl& url);
    // Another program on the computer sends m_intrusion to the listener first.
    void intrude(const QUrl& url);

    const QByteArray m_mechanism;
    DovecotServer m_server;
    e2e::UserPool m_users;
    TokenEndpoint m_endpoint;
    QNetworkAccessManager m_browser;
    QString m_fingerprint;
    AccountSlot m_account;
    QHash<QString, QString> m_keyring;
    int m_browserOpened = 0;
    int m_logIns = 0;
    QByteArray m_intrusion;
    QByteArray m_intruderAnswer;
};

void TestE2eOAuth::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
    const QString keys = m_server.directory() + QStringLiteral("/oauth-keys");
    QVERIFY(QDir().mkpath(keys + QStringLiteral("/default/HS256")));
    QFile key(keys + QStringLiteral("/default/HS256/default"));
    QVERIFY(key.open(QIODevice::WriteOnly) && key.write(SigningKey.toBase64()) > 0);
    key.close();
    QFile settings(m_server.directory() + QStringLiteral("/oauth2.conf"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("introspection_mode = local\nusername_attribute = sub\n"
                   "local_validation_key_dict = fs:posix:prefix=" +
                   keys.toUtf8() + "/\n");
    settings.close();
    for (const QString& path :
         {keys, keys + QStringLiteral("/default"), keys + QStringLiteral("/default/HS256")})
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther | QFile::ExeOther);
    for (const QString& path : {key.fileName(), settings.fileName()})
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ReadOther);
    QVERIFY(m_server.setExtraConfig(
        "auth_mechanisms = plain login " + m_mechanism.toLower() +
        "\npassdb {\n  driver = oauth2\n  mechanisms = " + m_mechanism.toLower() +
        "\n  args = " + settings.fileName().toUtf8() + "\n}\n"));
    QVERIFY2(m_server.start(DovecotServer::Tls::On), qPrintable(m_server.errorString()));
    QVERIFY2(m_users.create(m_server, 16, QStringLiteral("unused")),
             qPrintable(m_server.errorString()));
    const QList<QSslCertificate> certificates =
        QSslCertificate::fromPath(m_server.certificatePath());
    QCOMPARE(certificates.size(), 1);
    m_fingerprint =
        QString::fromLatin1(certificates.first().digest(QCryptographicHash::Sha256).toHex(':'));
    QVERIFY(m_endpoint.start());
}

void TestE2eOAuth::init()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    m_account = e2e::slot(e2e::loopback(m_server.tlsPort()), user, QString(), QStringLiteral("tls"),
                          m_fingerprint);
    m_account.Auth = QStringLiteral("oauth2");
    m_account.OAuthProvider = QStringLiteral("custom");
    m_account.ClientId = QStringLiteral("tarvolk-test");
    m_account.AuthUrl = m_endpoint.url(QStringLiteral("/authorize")).toString();
    m_account.TokenUrl = m_endpoint.url(QStringLiteral("/token")).toString();
    m_account.Scope = QStringLiteral("pop");
    m_endpoint.subject = user;
    m_endpoint.signingKey = SigningKey;
    m_endpoint.lifetimeSeconds = 3600;
    m_endpoint.authorizations = m_endpoint.codeGrants = m_endpoint.refreshGrants = 0;
    m_endpoint.fault.clear();
    m_endpoint.tokenAnswer.clear();
    m_intrusion.clear();
    m_intruderAnswer.clear();
    m_keyring.clear();
    m_browserOpened = 0;
    m_logIns = 0;
}

std::unique_ptr<TokenSource> TestE2eOAuth::newTokenSource()
{
    const auto browser = [this](const QUrl& url) {
        ++m_browserOpened;
        m_intrusion.isEmpty() ? openInBrowser(url) : intrude(url);
    };
    const TokenSource::RefreshTokens keyring{
        [this](const AccountIdentity& owner) {
            return m_keyring.value(SecretKeys::refreshToken(owner));
        },
        [this](const AccountIdentity& owner, const QString& token) {
            m_keyring.insert(SecretKeys::refreshToken(owner), token);
        }};
    auto tokens = std::make_unique<TokenSource>(browser, keyring);
    tokens->setBrowserTimeLimitMs(e2e::ReplyTimeoutMs);
    return tokens;
}

void TestE2eOAuth::openInBrowser(const QUrl& url)
{
    QNetworkReply* page = m_browser.get(QNetworkRequest(url));
    connect(page, &QNetworkReply::finished, page, &QObject::deleteLater);
}

void TestE2eOAuth::intrude(const QUrl& url)
{
    const QUrlQuery asked(url);
    const QUrl back(asked.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded));
    QByteArray request = m_intrusion + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    request.replace("STATE", asked.queryItemValue(QStringLiteral("state")).toLatin1());
    // A code the provider gave to someone else's sign-in.
    request.replace("CODE", QUrl::toPercentEncoding(m_endpoint.codeFor(QStringLiteral("other"))));
    auto* intruder = new QTcpSocket(this);
    connect(intruder, &QTcpSocket::connected, intruder, [=] { intruder->write(request); });
    connect(intruder, &QTcpSocket::disconnected, this, [=] {
        m_intruderAnswer = intruder->readAll();
        intruder->deleteLater();
        openInBrowser(url);
    });
    intruder->connectToHost(back.host(), quint16(back.port()));
}

TokenSource::Result TestE2eOAuth::logIn(TokenSource& tokens, RecordingView& view)
{
    MailboxClient client(view);
    const TokenSource::Result result = runWithToken(
        tokens, accountFrom(m_account), [&](const Account& account, const AccessToken& token) {
            if (client.Do_Connect(account, {}, token))
                ++m_logIns;
            return client.passwordRefused();
        });
    return result;
}

void TestE2eOAuth::signsInThroughTheBrowserFirst_data()
{
    QTest::addColumn<QString>("keptRefreshToken");
    QTest::addColumn<QByteArray>("intrusion");   // a request line sent to the listener first
    QTest::addColumn<QByteArray>("tokenAnswer"); // what the provider answers instead of tokens
    QTest::addColumn<QString>("problem"); // in how the sign-in ends at once; none: it completes
    const QByteArray none;
    QTest::newRow("nothing kept") << QString() << none << none << QString();
    QTest::newRow("kept refresh token refused")
        << QStringLiteral("refresh-revoked") << none << none << QString();
    QTest::newRow("error without state")
        << QString() << QByteArray("GET /?error=access_denied") << none << QString();
    QTest::newRow("code, wrong state")
        << QString() << QByteArray("GET /?code=CODE&state=STATE0") << none << QString();
    QTest::newRow("huge request") << QString()
                                  << "GET /?state=STATE&code=" + QByteArray(1 << 20, 'c') << none
                                  << QString();
    QTest::newRow("error with text")
        << QString()
        << QByteArray("GET /?error=server_error&error_description=Wartung+bis+22+Uhr&state=STATE")
        << none << QStringLiteral("abgelehnt: Wartung bis 22 Uhr");
    QTest::newRow("forged code") << QString() << QByteArray("GET /?code=CODE&state=STATE") << none
                                 << QStringLiteral("abgelehnt: invalid_grant");
    QTest::newRow("not JSON") << QString() << none << QByteArray("<html>")
                              << QStringLiteral("kein JSON-Objekt");
    QTest::newRow("oversized") << QString() << none
                               << "{\"access_token\":\"" + QByteArray(1 << 20, 'a') + "\"}"
                               << QStringLiteral("größer als 64 KB");
    QTest::newRow("refresh answer not JSON")
        << QStringLiteral("refresh-kept") << none << QByteArray("<html>")
        << QStringLiteral("kein JSON-Objekt");
}

void TestE2eOAuth::signsInThroughTheBrowserFirst()
{
    QFETCH(QString, keptRefreshToken);
    QFETCH(QByteArray, intrusion);
    QFETCH(QString, problem);
    m_intrusion = intrusion;
    QFETCH(QByteArray, tokenAnswer);
    m_endpoint.tokenAnswer = tokenAnswer;
    // The key the README names for the keyring.
    const QString key =
        m_account.Account + QStringLiteral("@127.0.0.1:") + QString::number(m_server.tlsPort());
    if (!keptRefreshToken.isEmpty())
        m_keyring.insert(key, keptRefreshToken);
    const auto tokens = newTokenSource();
    RecordingView view;

    const TokenSource::Result result = logIn(*tokens, view);

    if (!problem.isEmpty()) {
        QCOMPARE(result.outcome, TokenSource::Outcome::Failed);
        QVERIFY2(result.problem.contains(problem), qPrintable(result.problem));
        QCOMPARE(m_browserOpened, keptRefreshToken.isEmpty() ? 1 : 0);
        QCOMPARE(m_logIns, 0);
        return;
    }
    // Cut off unanswered, or a plain 400 page.
    QCOMPARE(m_intruderAnswer.left(12),
             intrusion.size() > MaxRedirectRequestBytes || intrusion.isEmpty() ? QByteArray()
                                                                               : "HTTP/1.1 400");
    QVERIFY2(m_endpoint.fault.isEmpty(), qPrintable(m_endpoint.fault));
    QVERIFY2(result.outcome == TokenSource::Outcome::Granted, qPrintable(result.problem));
    QCOMPARE(m_browserOpened, 1);
    QCOMPARE(m_endpoint.codeGrants, 1);
    QCOMPARE(m_logIns, 1);
    QVERIFY(view.notices.isEmpty());
    QCOMPARE(m_keyring.keys(), QStringList({key}));
    QVERIFY(!m_keyring.value(key).isEmpty() && m_keyring.value(key) != keptRefreshToken);
    // dovecot may write its log line just after its answer.
    QTRY_COMPARE_WITH_TIMEOUT(
        e2e::countInLog(m_server,
                        "Login: user=<" + m_account.Account.toUtf8() + ">, method=" + m_mechanism),
        1, e2e::ReplyTimeoutMs);
}

void TestE2eOAuth::refreshesAnExpiringTokenWithoutTheBrowser()
{
    // A token within its last minute counts as expired.
    m_endpoint.lifetimeSeconds = 30;
    const auto tokens = newTokenSource();
    RecordingView view;
    QCOMPARE(logIn(*tokens, view).outcome, TokenSource::Outcome::Granted);

    QCOMPARE(logIn(*tokens, view).outcome, TokenSource::Outcome::Granted);

    QCOMPARE(m_browserOpened, 1);
    QCOMPARE(m_endpoint.refreshGrants, 1);
    QCOMPARE(m_logIns, 2);
    QVERIFY(view.notices.isEmpty());
}

void TestE2eOAuth::replacesARefusedKeptTokenOnceWithoutABox()
{
    // The first token is refused and reported; the program still holds it, as it would hold one
    // revoked since, and the next press must replace it without another box.
    m_endpoint.signingKey = "a key the server does not know";
    const auto tokens = newTokenSource();
    RecordingView view;
    QCOMPARE(logIn(*tokens, view).outcome, TokenSource::Outcome::Granted);
    QCOMPARE(view.notices.size(), 1);
    m_endpoint.signingKey = SigningKey;

    QCOMPARE(logIn(*tokens, view).outcome, TokenSource::Outcome::Granted);

    QCOMPARE(m_browserOpened, 1);
    QCOMPARE(m_endpoint.refreshGrants, 1);
    QCOMPARE(m_logIns, 1);
    QCOMPARE(view.notices.size(), 1);
}

void TestE2eOAuth::reportsARefusedTokenWithoutShowingIt()
{
    m_endpoint.signingKey = "a key the server does not know";
    const auto tokens = newTokenSource();
    RecordingView view;

    QCOMPARE(logIn(*tokens, view).outcome, TokenSource::Outcome::Granted);

    QCOMPARE(m_logIns, 0);
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Anmeldung fehlgeschlagen"));
    // dovecot's failure challenge, decoded, follows its refusal.
    QVERIFY2(view.notices[0].detail.startsWith(QStringLiteral("-ERR [AUTH]")) &&
                 view.notices[0].detail.contains(QStringLiteral("\"status\"")),
             qPrintable(view.notices[0].detail));
    QVERIFY(!m_endpoint.issued.isEmpty());
    for (const QString& token : m_endpoint.issued) {
        QVERIFY(!view.notices[0].detail.contains(token));
        QVERIFY(!view.notices[0].detail.contains(token.section(u'.', 2)));
    }
}

void TestE2eOAuth::signsInWhileAnotherSignInWaitsForItsBrowser()
{
    // Another Tarvolk waits for its browser meanwhile: each needs a listening port of its own.
    const TokenSource::RefreshTokens nothingKept{[](const AccountIdentity&) { return QString(); },
                                                 [](const AccountIdentity&, const QString&) {
                                                 }};
    TokenSource::Result other;
    TokenSource waiting(
        [&](const QUrl& url) {
            TokenSource meanwhile([this](const QUrl& otherUrl) { openInBrowser(otherUrl); },
                                  nothingKept);
            meanwhile.setBrowserTimeLimitMs(e2e::ReplyTimeoutMs);
            other = meanwhile.accessToken(accountFrom(m_account));
            openInBrowser(url);
        },
        nothingKept);
    waiting.setBrowserTimeLimitMs(e2e::ReplyTimeoutMs);

    const TokenSource::Result first = waiting.accessToken(accountFrom(m_account));

    QVERIFY2(other.outcome == TokenSource::Outcome::Granted, qPrintable(other.problem));
    QVERIFY2(first.outcome == TokenSource::Outcome::Granted, qPrintable(first.problem));
    QCOMPARE(m_endpoint.codeGrants, 2);
}

TARVOLK_TEST(TestE2eOAuth);
static const bool bearerRegistered =
    testregistry::add("TestE2eOAuthBearer", [](int argc, char** argv) {
        TestE2eOAuth test("OAUTHBEARER");
        return QTest::qExec(&test, argc, argv);
    });
#include "test_e2e_oauth.moc"
