#pragma once

#include <QString>

// Passwords in the desktop's keyring (the Secret Service), one per key. Each call waits for the
// keyring in a local event loop, so the window keeps drawing and other events run meanwhile.
namespace Keyring {

enum class Status { Found, NotFound, Unavailable };

struct Entry {
    Status status = Status::Unavailable;
    QString password;
};

Entry read(const QString& key);

// Stores or replaces the password; false when the keyring did not take it.
bool write(const QString& key, const QString& password);

} // namespace Keyring
