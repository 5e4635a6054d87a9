// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/account.h"

#include <QString>

// Keys in the keyring. Each field can be read back from a key, so no value can stand in for
// another: the port goes after the last ':', a host never holds '@' once written here, and the user
// takes the rest. Passwords and refresh tokens live in name spaces of their own (Keyring::Space).
namespace SecretKeys {

// user@host:port, in Space::Passwords. A user beginning with "oauth2:" or '%' gets a '%' in front,
// so that no password key is one where earlier versions kept a refresh token.
QString password(const AccountIdentity& owner);

// user@host:port, in Space::RefreshTokens.
QString refreshToken(const AccountIdentity& owner);

// Where earlier versions kept the refresh token, in Space::Passwords; empty when that key could
// also have named another mailbox's secret.
QString earlierRefreshToken(const AccountIdentity& owner);

} // namespace SecretKeys
