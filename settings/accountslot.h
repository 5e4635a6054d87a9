// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

// One account of TARVOLK.INI as the file writes it: the values of its keys, as strings.
struct AccountSlot {
    QString Title;
    QString Host;
    QString Account;
    QString Password;
    QString Security;    // "tls", "starttls", "none", or empty for the port's usual choice
    QString Fingerprint; // SHA-256 of a server certificate the user trusts, in hex
    QString Auth;        // "auto" (or empty), "user", "plain" or "oauth2": how to log in
    // For Auth "oauth2": "microsoft", "google" or "custom", the app the user registered there
    // (Google gives desktop apps a secret that is no secret and wants it back), and for "custom"
    // the provider's endpoints and scope.
    QString OAuthProvider;
    QString ClientId;
    QString ClientSecret;
    QString AuthUrl;
    QString TokenUrl;
    QString Scope;
    QString CheckInterval; // minutes between checks in the background
    QString AuthServId;    // the receiving server's id in Authentication-Results
    QString Cache;         // "no" keeps the previews off the disk
    // Whether the file has the Password key at all: an empty value is an empty password, while
    // an account without the key takes its password from the keyring or the user.
    bool PasswordGiven = false;
    // Why the slot cannot be used as the file has it (a value with a line break or a null
    // character, a password longer than a value may be), naming the key; empty when it can.
    // Nothing is sent for such a slot.
    QString problem;
};

// Whether text holds CR, LF or NUL: sent in a command line, it would end or cut the line and let
// the rest pass for a command of its own.
bool breaksCommandLine(QStringView text);
