// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "oauth/tokensource.h"
#include "settings/account.h"

#include <QString>

// The password or access token a check in the background logs in with, found without asking
// anyone: the settings file, the keyring, or the refresh token kept from a sign-in in the window.
class BackgroundSecrets {
public:
    struct Found {
        Account account; // with its password filled in
        AccessToken token;
        QString problem; // why none was found, in German; empty when one was
    };

    explicit BackgroundSecrets(TokenSource::RefreshTokens refreshTokens = TokenSource::keyring());

    // refusedToken names an access token the server has just refused.
    Found find(Account account, const QString& refusedToken = QString());

private:
    TokenSource m_tokens;
};
