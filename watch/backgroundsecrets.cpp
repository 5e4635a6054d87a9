// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "watch/backgroundsecrets.h"

#include "keyring/keyring.h"
#include "keyring/secretkeys.h"

#include <QCoreApplication>

BackgroundSecrets::BackgroundSecrets(TokenSource::RefreshTokens refreshTokens)
    : m_tokens({}, std::move(refreshTokens))
{
}

BackgroundSecrets::Found BackgroundSecrets::find(Account account, const QString& refusedToken)
{
    if (!account.problem.isEmpty())
        return {account, {}, account.problem};
    if (account.auth == AuthMethod::OAuth2) {
        const TokenSource::Result result = m_tokens.accessToken(account, refusedToken);
        if (result.outcome != TokenSource::Outcome::Granted)
            return {account, {}, result.problem};
        return {account, {result.token, result.fromMemory}, QString()};
    }
    if (account.passwordGiven)
        return {account, {}, QString()};
    const Keyring::Entry stored =
        Keyring::read(Keyring::Space::Passwords, SecretKeys::password(account.identity()));
    if (stored.status != Keyring::Status::Found) {
        return {account,
                {},
                QCoreApplication::translate("BackgroundSecrets",
                                            "Kein gemerktes Passwort: bitte einmal im Fenster "
                                            "abrufen und „Passwort merken“ wählen.")};
    }
    account.password = stored.password;
    return {account, {}, QString()};
}
