// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Secrets in the desktop's keyring (the Secret Service), one per key and name space. Each call
// waits for the keyring in a local event loop, so the window keeps drawing and other events run
// meanwhile. The keys come from SecretKeys.
namespace Keyring {

// Name spaces no setting can reach: a key in one never finds a secret of the other.
enum class Space {
    Passwords,     // service "Tarvolk"
    RefreshTokens, // service "Tarvolk OAuth2"
};

enum class Status { Found, NotFound, Unavailable };

struct Entry {
    Status status = Status::Unavailable;
    QString password;
};

Entry read(Space space, const QString& key);

// Stores or replaces the secret; false when the keyring did not take it.
bool write(Space space, const QString& key, const QString& secret);

// Deletes the secret; false when the keyring did not delete it.
bool remove(Space space, const QString& key);

} // namespace Keyring
