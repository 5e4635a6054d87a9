#include "oauth/tokensource.h"

#include "keyring/keyring.h"
#include "mailbox/serveraddress.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QOAuth2AuthorizationCodeFlow>
#include <QOAuthHttpServerReplyHandler>
#include <QOAuthOobReplyHandler>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTimer>
#include <memory>

namespace {

// A token this close to its end may expire on the way to the server.
constexpr qint64 ExpiryMarginSeconds = 60;
// Refreshing takes one request; its answer should not take longer than this.
constexpr int RefreshTimeLimitMs = 30 * 1000;

SecretOwner ownerOf(const AccountSlot& account)
{
    const ServerAddress server = resolveServer(account);
    return {account.Account, server.host, server.port};
}

QByteArray base64Url(const QByteArray& bytes)
{
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

// The provider's own words from a refused token request, which name no token.
QString providerWords(QNetworkReply* reply)
{
    const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
    const QString error = answer.value(QLatin1String("error")).toString();
    const QString description = answer.value(QLatin1String("error_description")).toString();
    if (error.isEmpty())
        return reply->errorString();
    return description.isEmpty() ? error : error + QStringLiteral(": ") + description;
}

} // namespace

TokenSource::RefreshTokens TokenSource::keyring()
{
    using Keyring::Space;
    const auto read = [](const SecretOwner& owner) {
        const QString key = SecretKeys::refreshToken(owner);
        const Keyring::Entry kept = Keyring::read(Space::RefreshTokens, key);
        const QString earlierKey = SecretKeys::earlierRefreshToken(owner);
        if (kept.status != Keyring::Status::NotFound || earlierKey.isEmpty())
            return kept.password;
        // Earlier versions kept it among the passwords; it moves to its own place.
        const Keyring::Entry earlier = Keyring::read(Space::Passwords, earlierKey);
        if (earlier.status == Keyring::Status::Found &&
            Keyring::write(Space::RefreshTokens, key, earlier.password))
            Keyring::remove(Space::Passwords, earlierKey);
        return earlier.password;
    };
    const auto write = [](const SecretOwner& owner, const QString& token) {
        Keyring::write(Space::RefreshTokens, SecretKeys::refreshToken(owner), token);
    };
    return {read, write};
}

TokenSource::TokenSource(std::function<void(const QUrl&)> openBrowser, RefreshTokens refreshTokens,
                         QObject* parent)
    : QObject(parent), m_openBrowser(std::move(openBrowser)),
      m_refreshTokens(std::move(refreshTokens))
{
}

TokenSource::Result TokenSource::accessToken(const AccountSlot& account, const QString& refused)
{
    const OAuthEndpoints endpoints = oauthEndpoints(account);
    if (!endpoints.problem.isEmpty())
        return {Outcome::Failed, QString(), false, endpoints.problem};
    const SecretOwner owner = ownerOf(account);
    const QString key = SecretKeys::refreshToken(owner);
    const Kept kept = m_kept.value(key);
    const bool expired = kept.expiry.isValid() &&
                         QDateTime::currentDateTimeUtc().secsTo(kept.expiry) < ExpiryMarginSeconds;
    if (!kept.token.isEmpty() && kept.token != refused && !expired)
        return {Outcome::Granted, kept.token, true, QString()};
    m_kept.remove(key);

    const QString refreshToken = m_refreshTokens.read(owner);
    Result result;
    result.outcome = Outcome::Failed;
    if (!refreshToken.isEmpty())
        result = refresh(account, endpoints, refreshToken);
    // A refresh token the provider no longer takes means signing in anew.
    if (result.outcome == Outcome::Failed)
        result = signInWithBrowser(account, endpoints);
    return result;
}

void TokenSource::cancel()
{
    if (m_loop)
        m_loop->quit();
}

void TokenSource::prepare(QOAuth2AuthorizationCodeFlow& flow, const AccountSlot& account,
                          const OAuthEndpoints& endpoints)
{
    flow.setNetworkAccessManager(&m_network);
    flow.setClientIdentifier(account.ClientId.trimmed());
    flow.setClientIdentifierSharedKey(account.ClientSecret.trimmed());
    flow.setAuthorizationUrl(endpoints.authUrl);
    flow.setAccessTokenUrl(endpoints.tokenUrl);
    flow.setScope(endpoints.scope);
    const SecretOwner owner = ownerOf(account);
    connect(&flow, &QAbstractOAuth::granted, this, [this, &flow, owner] {
        m_kept.insert(SecretKeys::refreshToken(owner), {flow.token(), flow.expirationAt()});
        if (!flow.refreshToken().isEmpty())
            m_refreshTokens.write(owner, flow.refreshToken());
    });
}

TokenSource::Result TokenSource::refresh(const AccountSlot& account,
                                         const OAuthEndpoints& endpoints,
                                         const QString& refreshToken)
{
    QOAuth2AuthorizationCodeFlow flow;
    QOAuthOobReplyHandler handler;
    flow.setReplyHandler(&handler);
    prepare(flow, account, endpoints);
    flow.setRefreshToken(refreshToken);
    return await(
        flow, [&flow] { flow.refreshAccessToken(); }, RefreshTimeLimitMs);
}

TokenSource::Result TokenSource::signInWithBrowser(const AccountSlot& account,
                                                   const OAuthEndpoints& endpoints)
{
    // Spelled out: the bare enum would pick the (port, parent) constructor and listen on every
    // address at port 2, which a second sign-in or any other program can already hold.
    QOAuthHttpServerReplyHandler handler(QHostAddress(QHostAddress::LocalHost), 0);
    if (!handler.isListening()) {
        return {Outcome::Failed, QString(), false,
                tr("Tarvolk kann die Antwort des Browsers nicht empfangen: kein freier Port auf "
                   "127.0.0.1.")};
    }
    handler.setCallbackText(
        tr("Tarvolk: Die Anmeldung ist erledigt. Dieses Fenster kann geschlossen werden."));
    QOAuth2AuthorizationCodeFlow flow;
    flow.setReplyHandler(&handler);
    prepare(flow, account, endpoints);
    // PKCE: only who started the sign-in knows the verifier that matches the challenge.
    QByteArray secret(32, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(secret.data()),
                                          secret.size() / int(sizeof(quint32)));
    const QByteArray verifier = base64Url(secret);
    const QByteArray challenge =
        base64Url(QCryptographicHash::hash(verifier, QCryptographicHash::Sha256));
    // Qt 6.4 sends the code encoded twice and a redirect address other than the one the code
    // was given for; the provider must see both as they were.
    auto redirect = std::make_shared<QVariant>();
    flow.setModifyParametersFunction([verifier, challenge,
                                      redirect](QAbstractOAuth::Stage stage,
                                                QMultiMap<QString, QVariant>* values) {
        const QString redirectKey = QStringLiteral("redirect_uri");
        if (stage == QAbstractOAuth::Stage::RequestingAuthorization) {
            values->insert(QStringLiteral("code_challenge"), challenge);
            values->insert(QStringLiteral("code_challenge_method"), QByteArray("S256"));
            *redirect = values->value(redirectKey);
        } else if (stage == QAbstractOAuth::Stage::RequestingAccessToken) {
            const QString codeKey = QStringLiteral("code");
            const QString code = QUrl::fromPercentEncoding(values->value(codeKey).toByteArray());
            values->replace(codeKey, code);
            values->replace(redirectKey, *redirect);
            values->insert(QStringLiteral("code_verifier"), verifier);
        }
    });
    connect(&flow, &QAbstractOAuth::authorizeWithBrowser, this, m_openBrowser);
    return await(
        flow, [&flow] { flow.grant(); }, m_browserTimeLimitMs);
}

TokenSource::Result TokenSource::await(QOAuth2AuthorizationCodeFlow& flow,
                                       const std::function<void()>& start, int timeLimitMs)
{
    Result result;
    bool decided = false;
    QEventLoop loop;
    m_loop = &loop;
    const auto done = qScopeGuard([this] { m_loop = nullptr; });
    const auto finish = [&](Outcome outcome, const QString& problem) {
        if (decided)
            return;
        decided = true;
        result.outcome = outcome;
        result.problem = problem;
        loop.quit();
    };
    connect(&flow, &QAbstractOAuth::granted, &loop, [&] {
        result.token = flow.token();
        finish(Outcome::Granted, QString());
    });
    connect(&flow, &QAbstractOAuth2::error, &loop,
            [&](const QString& error, const QString& description, const QUrl&) {
                // The user said no in the browser: that is a cancel, not a fault.
                finish(error == u"access_denied" ? Outcome::Cancelled : Outcome::Failed,
                       tr("Der Anbieter hat die Anmeldung abgelehnt: %1")
                           .arg(description.isEmpty() ? error : description));
            });
    connect(&m_network, &QNetworkAccessManager::finished, &loop, [&](QNetworkReply* reply) {
        if (reply->error() != QNetworkReply::NoError) {
            finish(Outcome::Failed,
                   tr("Der Anbieter hat die Anmeldung abgelehnt: %1").arg(providerWords(reply)));
        }
    });
    // Whoever closes the browser without signing in is not asked again; the wait just ends.
    QTimer::singleShot(timeLimitMs, &loop, &QEventLoop::quit);
    start();
    if (!decided)
        loop.exec();
    return result;
}
