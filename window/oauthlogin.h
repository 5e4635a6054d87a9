// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/tokenlogin.h"
#include "oauth/tokensource.h"
#include "settings/account.h"

#include <QObject>
#include <QUrl>
#include <functional>

class QWidget;

// The access token for one press of a command button on an account with Auth=oauth2. Signing in
// opens the system browser, with a hint in the status line. When the user says no there, presses a
// command button again, closes the window, or closes the browser until the time limit ends the
// wait, the press ends without a box; other failures are told in a box.
class OAuthLogin : public QObject {
    Q_OBJECT
public:
    // Talks to the server with the account and the token; returns whether the server refused
    // the token.
    using Conversation = TokenConversation;
    using Browser = std::function<bool(const QUrl& url)>;

    explicit OAuthLogin(std::function<void(const QString&)> setStatus,
                        TokenSource::RefreshTokens refreshTokens = TokenSource::keyring(),
                        QObject* parent = nullptr);

    // While a run waits for the browser or the provider, another run only ends that wait.
    void run(const Account& account, QWidget* parent, const Conversation& conversation);
    bool isRunning() const { return m_parent != nullptr; }
    bool isWaitingForToken() const { return m_tokens.isRunning(); }

    // Opens the sign-in page; the system browser unless a test plays it.
    void setBrowser(Browser browser) { m_browser = std::move(browser); }
    TokenSource& tokens() { return m_tokens; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openBrowser(const QUrl& url);

    std::function<void(const QString&)> m_setStatus;
    Browser m_browser;
    TokenSource m_tokens;
    QWidget* m_parent = nullptr;
};
