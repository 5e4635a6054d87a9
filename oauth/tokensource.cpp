// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/tokensource.h"

#include "keyring/keyring.h"
#include "oauth/boundednetworkaccess.h"
#include "oauth/redirectlistener.h"
#include "oauth/tokenanswer.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QOAuth2AuthorizationCodeFlow>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTimer>
#include <memory>

namespace {

// A token this close to its end may expire on the way to the server.
constexpr qint64 ExpiryMarginSeconds = 60;
// A token request is one exchange; its answer should not take longer than this.
constexpr int TokenRequestTimeLimitMs = 30 * 1000;

QByteArray base64Url(const QByteArray& bytes)
{
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

// 256 random bits, spelled so that they pass through any address unchanged.
QByteArray randomWord()
{
    QByteArray secret(32, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(secret.data()),
                                          secret.size() / int(sizeof(quint32)));
    return base64Url(secret);
}

// PKCE: only who started the sign-in knows the verifier that matches the challenge.
void addProofKey(QOAuth2AuthorizationCodeFlow& flow)
{
    const QByteArray verifier = randomWord();
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
}

TokenSource::Result failure(const QString& problem)
{
    return {TokenSource::Outcome::Failed, QString(), false, problem};
}

} // namespace

TokenSource::RefreshTokens TokenSource::keyring()
{
    using Keyring::Space;
    const auto read = [](const AccountIdentity& owner) {
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
    const auto write = [](const AccountIdentity& owner, const QString& token) {
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

TokenSource::Result TokenSource::accessToken(const Account& account, const QString& refused)
{
    // No sign-in for an account that cannot be used.
    if (!account.problem.isEmpty())
        return failure(account.problem);
    const OAuthEndpoints& endpoints = account.oauth;
    const AccountIdentity owner = account.identity();
    const QString key = SecretKeys::refreshToken(owner);
    const Kept kept = m_kept.value(key);
    const bool expired = kept.expiry.isValid() &&
                         QDateTime::currentDateTimeUtc().secsTo(kept.expiry) < ExpiryMarginSeconds;
    if (!kept.token.isEmpty() && kept.token != refused && !expired)
        return {Outcome::Granted, kept.token, true, QString()};
    m_kept.remove(key);

    const QString refreshToken = m_refreshTokens.read(owner);
    if (refreshToken.isEmpty())
        return signInWithBrowser(account, endpoints);
    const Ending refreshed = refresh(account, endpoints, refreshToken);
    // A refresh token the provider no longer takes means signing in anew; an unusable answer
    // would only come again.
    if (refreshed.refusedByProvider)
        return signInWithBrowser(account, endpoints);
    return refreshed.result;
}

void TokenSource::cancel()
{
    if (m_loop)
        m_loop->quit();
}

void TokenSource::prepare(QOAuth2AuthorizationCodeFlow& flow, QNetworkAccessManager& network,
                          const Account& account, const OAuthEndpoints& endpoints)
{
    flow.setNetworkAccessManager(&network);
    flow.setClientIdentifier(account.clientId);
    flow.setClientIdentifierSharedKey(account.clientSecret);
    flow.setAuthorizationUrl(endpoints.authUrl);
    flow.setAccessTokenUrl(endpoints.tokenUrl);
    flow.setScope(endpoints.scope);
    const AccountIdentity owner = account.identity();
    connect(&flow, &QAbstractOAuth::granted, this, [this, &flow, owner] {
        m_kept.insert(SecretKeys::refreshToken(owner), {flow.token(), flow.expirationAt()});
        if (!flow.refreshToken().isEmpty())
            m_refreshTokens.write(owner, flow.refreshToken());
    });
}

TokenSource::Ending TokenSource::refresh(const Account& account, const OAuthEndpoints& endpoints,
                                         const QString& refreshToken)
{
    TokenReplyHandler handler;
    QOAuth2AuthorizationCodeFlow flow;
    // Destroyed first, and with it any request still running, which would reach the flow.
    BoundedNetworkAccess network(MaxTokenAnswerBytes, TokenRequestTimeLimitMs);
    flow.setReplyHandler(&handler);
    prepare(flow, network, account, endpoints);
    flow.setRefreshToken(refreshToken);
    // The request's own time limit ends the wait; this one only guards against none starting.
    return await(
        flow, handler, [&flow] { flow.refreshAccessToken(); }, 2 * TokenRequestTimeLimitMs);
}

TokenSource::Result TokenSource::signInWithBrowser(const Account& account,
                                                   const OAuthEndpoints& endpoints)
{
    if (!m_openBrowser) {
        return failure(tr("Die Anmeldung beim Anbieter ist nötig: bitte einmal im Fenster "
                          "abrufen."));
    }
    // Only the provider's redirect carries this state back; the flow's own is too short to be
    // beyond guessing.
    const QString state = QString::fromLatin1(randomWord());
    RedirectListener listener(state);
    if (!listener.listen()) {
        return failure(tr("Tarvolk kann die Antwort des Browsers nicht empfangen: kein freier "
                          "Port auf 127.0.0.1."));
    }
    QOAuth2AuthorizationCodeFlow flow;
    BoundedNetworkAccess network(MaxTokenAnswerBytes, TokenRequestTimeLimitMs);
    flow.setReplyHandler(&listener);
    prepare(flow, network, account, endpoints);
    flow.setState(state);
    addProofKey(flow);
    connect(&flow, &QAbstractOAuth::authorizeWithBrowser, this, m_openBrowser);
    return await(
               flow, listener, [&flow] { flow.grant(); }, m_browserTimeLimitMs)
        .result;
}

TokenSource::Ending TokenSource::await(QOAuth2AuthorizationCodeFlow& flow,
                                       TokenReplyHandler& handler,
                                       const std::function<void()>& start, int timeLimitMs)
{
    Ending ending;
    bool decided = false;
    QEventLoop loop;
    m_loop = &loop;
    const auto done = qScopeGuard([this] { m_loop = nullptr; });
    const auto finish = [&](Outcome outcome, const QString& problem) {
        if (decided)
            return;
        decided = true;
        ending.result.outcome = outcome;
        ending.result.problem = problem;
        loop.quit();
    };
    connect(&flow, &QAbstractOAuth::granted, &loop, [&] {
        ending.result.token = flow.token();
        finish(Outcome::Granted, QString());
    });
    const auto refusal = [](const QString& words) {
        return tr("Der Anbieter hat die Anmeldung abgelehnt: %1").arg(words);
    };
    connect(&flow, &QAbstractOAuth2::error, &loop,
            [&](const QString& error, const QString& description, const QUrl&) {
                // The user said no in the browser: that is a cancel, not a fault.
                finish(error == u"access_denied" ? Outcome::Cancelled : Outcome::Failed,
                       refusal(description.isEmpty() ? error : description));
            });
    connect(&handler, &TokenReplyHandler::refused, &loop, [&](const QString& words) {
        ending.refusedByProvider = true;
        finish(Outcome::Failed, refusal(words));
    });
    connect(&handler, &TokenReplyHandler::unusable, &loop,
            [&](const QString& problem) { finish(Outcome::Failed, problem); });
    // Whoever closes the browser without signing in is not asked again; the wait just ends.
    QTimer::singleShot(timeLimitMs, &loop, &QEventLoop::quit);
    start();
    if (!decided)
        loop.exec();
    return ending;
}
