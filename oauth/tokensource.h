// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "keyring/secretkeys.h"
#include "settings/account.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QUrl>
#include <functional>

class QEventLoop;
class QOAuth2AuthorizationCodeFlow;
class QNetworkAccessManager;
class TokenReplyHandler;

// Access tokens for OAuth2 accounts. A token still valid in memory serves again; else the refresh
// token kept for the account gets a new one; else the user signs in in the browser (authorization
// code with PKCE) and the refresh token that comes with the new access token is kept. Each wait
// runs a local event loop, so the window keeps drawing meanwhile.
class TokenSource : public QObject {
    Q_OBJECT
public:
    // Where refresh tokens are kept, by mailbox: the keyring unless a test brings its own.
    struct RefreshTokens {
        std::function<QString(const AccountIdentity& owner)> read;
        std::function<void(const AccountIdentity& owner, const QString& token)> write;
    };
    static RefreshTokens keyring();

    enum class Outcome { Granted, Cancelled, Failed };
    struct Result {
        Outcome outcome = Outcome::Cancelled;
        QString token;
        bool fromMemory = false; // kept from before: the server may have revoked it since
        QString problem;         // for Failed: why, in German, never holding a token
    };

    // Without openBrowser no sign-in in the browser happens: only kept and refreshed tokens.
    explicit TokenSource(std::function<void(const QUrl&)> openBrowser,
                         RefreshTokens refreshTokens = keyring(), QObject* parent = nullptr);

    // An access token for the account; `refused` names one the server has just refused.
    Result accessToken(const Account& account, const QString& refused = QString());
    // Ends a running wait as cancelled.
    void cancel();
    // How long the user may take to sign in in the browser; five minutes unless set.
    void setBrowserTimeLimitMs(int ms) { m_browserTimeLimitMs = ms; }
    bool isRunning() const { return m_loop != nullptr; }

private:
    struct Kept {
        QString token;
        QDateTime expiry;
    };
    // How a wait ended; a provider that refuses a refresh token still lets the user sign in.
    struct Ending {
        Result result;
        bool refusedByProvider = false;
    };
    void prepare(QOAuth2AuthorizationCodeFlow& flow, QNetworkAccessManager& network,
                 const Account& account, const OAuthEndpoints& endpoints);
    Ending refresh(const Account& account, const OAuthEndpoints& endpoints,
                   const QString& refreshToken);
    Result signInWithBrowser(const Account& account, const OAuthEndpoints& endpoints);
    // Starts the flow and waits until it grants a token, fails, or the time limit ends it.
    Ending await(QOAuth2AuthorizationCodeFlow& flow, TokenReplyHandler& handler,
                 const std::function<void()>& start, int timeLimitMs);

    std::function<void(const QUrl&)> m_openBrowser;
    RefreshTokens m_refreshTokens;
    QHash<QString, Kept> m_kept;
    QEventLoop* m_loop = nullptr;
    int m_browserTimeLimitMs = 5 * 60 * 1000;
};
