// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/account.h"
#include "window/oauthlogin.h"

#include <functional>

class QWidget;

// The password for one press of a command button. An account with Password in the settings file
// uses it as before; one without takes it from the keyring (SecretKeys::password) or asks the user,
// and a password the user asks to remember is stored once the server has not refused it. An
// account with Auth=oauth2 gets an access token instead (OAuthLogin).
class LoginPassword {
public:
    // setStatus shows the hint while the user signs in in the browser.
    explicit LoginPassword(std::function<void(const QString&)> setStatus = {},
                           TokenSource::RefreshTokens refreshTokens = TokenSource::keyring());

    // Talks to the server with the account, and its access token for an OAuth2 account; returns
    // whether the server refused the password or the token.
    using Conversation = std::function<bool(const Account& account, const AccessToken& token)>;

    // Runs the conversation with the password filled in. When the server refuses a password from
    // the keyring, the user is asked once more and the conversation runs again. Nothing runs when
    // the user cancels or the parent window has been closed meanwhile.
    void run(Account account, QWidget* parent, const Conversation& conversation);

    // True from the start of run() to its end, also while the keyring or the user is asked; but
    // not while the browser sign-in waits, which another run() ends.
    bool isRunning() const
    {
        return m_running || (m_oauth.isRunning() && !m_oauth.isWaitingForToken());
    }

    OAuthLogin& oauth() { return m_oauth; }

private:
    bool m_running = false;
    OAuthLogin m_oauth;
};
