// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/loginpassword.h"

#include "keyring/keyring.h"
#include "keyring/secretkeys.h"
#include "window/passworddialog.h"

#include <QScopeGuard>
#include <QWidget>

LoginPassword::LoginPassword(std::function<void(const QString&)> setStatus,
                             TokenSource::RefreshTokens refreshTokens)
    : m_oauth(std::move(setStatus), std::move(refreshTokens))
{
}

void LoginPassword::run(Account account, QWidget* parent, const Conversation& conversation)
{
    const bool usable = account.problem.isEmpty();
    // A press while the browser sign-in waits only ends that wait, whichever account it names.
    if (m_oauth.isRunning() || (account.auth == AuthMethod::OAuth2 && usable)) {
        m_oauth.run(account, parent, conversation);
        return;
    }
    // Unusable settings are for the conversation to report; asking first would be in vain.
    if (account.passwordGiven || !usable) {
        conversation(account, {});
        return;
    }
    m_running = true;
    const auto done = qScopeGuard([this] { m_running = false; });
    const QString key = SecretKeys::password(account.identity());
    const Keyring::Entry stored = Keyring::read(Keyring::Space::Passwords, key);
    bool fromKeyring = stored.status == Keyring::Status::Found;
    PasswordDialog::Request request{account.title, stored.status != Keyring::Status::Unavailable};
    while (parent->isVisible()) {
        PasswordDialog::Answer answer;
        if (fromKeyring) {
            account.password = stored.password;
        } else {
            answer = PasswordDialog::ask(parent, request);
            if (!answer.given)
                return;
            account.password = answer.password;
        }
        const bool refused = conversation(account, {});
        if (!refused && answer.remember)
            Keyring::write(Keyring::Space::Passwords, key, account.password);
        if (!refused || !fromKeyring)
            return;
        fromKeyring = false;
        request.storedRefused = true;
    }
}
