// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLatin1String>

// Every key of section "Setup" of TARVOLK.INI, with the value that a missing key stands for.
namespace SettingsKeys {

struct Key {
    QLatin1String name;
    QLatin1String fallback;
};

inline const QLatin1String Section("Setup");

// For the whole program.
inline const Key LineCount{QLatin1String("LineCount"), QLatin1String("0")};
// Only "0" turns the question before a deletion off.
inline const Key ConfirmDelete{QLatin1String("ConfirmDelete"), QLatin1String("1")};

// For each account, followed by its slot number, 1 to 10.
inline const Key Title{QLatin1String("Title"), QLatin1String()};
inline const Key Host{QLatin1String("Host"), QLatin1String()};
inline const Key Account{QLatin1String("Account"), QLatin1String()};
// Without the key at all, the keyring or the user gives the password.
inline const Key Password{QLatin1String("Password"), QLatin1String()};
inline const Key Security{QLatin1String("Security"), QLatin1String()};
inline const Key Fingerprint{QLatin1String("Fingerprint"), QLatin1String()};
inline const Key Auth{QLatin1String("Auth"), QLatin1String("auto")};
inline const Key OAuthProvider{QLatin1String("OAuthProvider"), QLatin1String()};
inline const Key ClientId{QLatin1String("ClientId"), QLatin1String()};
inline const Key ClientSecret{QLatin1String("ClientSecret"), QLatin1String()};
inline const Key AuthUrl{QLatin1String("AuthUrl"), QLatin1String()};
inline const Key TokenUrl{QLatin1String("TokenUrl"), QLatin1String()};
inline const Key Scope{QLatin1String("Scope"), QLatin1String()};
// "no" keeps the account's previews off the disk.
inline const Key Cache{QLatin1String("Cache"), QLatin1String("yes")};
// Minutes between checks in the background, 1 to 1440; 0 or none: never.
inline const Key CheckInterval{QLatin1String("CheckInterval"), QLatin1String("0")};
// The id the receiving server writes into its Authentication-Results ("-": it writes none);
// without it the id most of the mailbox's messages agree on is taken.
inline const Key AuthServId{QLatin1String("AuthServId"), QLatin1String()};

} // namespace SettingsKeys
