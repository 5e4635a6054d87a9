// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/accountslot.h"
#include "settings/oauthendpoints.h"

#include <QByteArray>
#include <QString>

enum class Security { None, Tls, StartTls };
enum class AuthMethod { Auto, User, Plain, OAuth2 };

// Where and how to reach an account's server.
struct ServerAddress {
    QString host;
    quint16 port = 0;
    Security security = Security::None;
    QByteArray fingerprint; // SHA-256 of a trusted certificate, empty when none is given
};

// The mailbox an account reaches: a user on a server's port. The preview cache and the keyring
// name their entries after it.
struct AccountIdentity {
    QString user;
    QString host;
    quint16 port = 0;

    // "port host user", to tell two mailboxes apart: the user name may hold any character, so it
    // goes last, where no name can pass for another.
    QString key() const;
};

// One account of the settings file, read once from the strings of its slot into the form the
// program uses.
struct Account {
    QString title;
    QString user;
    ServerAddress server;
    AuthMethod auth = AuthMethod::Auto;
    // As the file gives it; a press may fill it in from the keyring or the user.
    QString password;
    // The file has the Password key at all: an empty value is an empty password, while an
    // account without the key takes its password from the keyring or the user.
    bool passwordGiven = false;
    // For AuthMethod::OAuth2: the provider's endpoints and the app registered there.
    OAuthEndpoints oauth;
    QString clientId;
    QString clientSecret;
    // Why the account cannot be used, in German, naming the setting; empty when it can. Nothing
    // is sent for such an account.
    QString problem;
    // Minutes between checks in the background, 1 to 1440; 0: never.
    int checkIntervalMinutes = 0;
    // The id of the account's receiving server in Authentication-Results, "-" for a server that
    // writes none; empty when the settings name none.
    QString authServId;
    // Its previews may be kept on disk across runs of the program.
    bool cacheOnDisk = true;

    AccountIdentity identity() const { return {user, server.host, server.port}; }
};

// Reads the slot's values: Host as "name", "name:port" or "[IPv6]:port"; Security "tls" (port
// 995 unless given), "starttls" or "none" (port 110), and without it TLS on port 995, STARTTLS
// with a Fingerprint, else none, as files written for plain POP3 expect; Fingerprint as hex with
// or without colons; Auth; and for OAuth2 the provider's endpoints.
Account accountFrom(const AccountSlot& slot);

// What a press carries besides the account when it signs in with OAuth2.
struct AccessToken {
    QString token;
    // Kept from before: the server may have revoked it, so its refusal is left untold and the
    // press tries once more with a fresh one.
    bool mayBeRevoked = false;
};
