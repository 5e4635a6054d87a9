#pragma once

#include "settings/accountslots.h"

#include <QByteArray>
#include <QString>

enum class Security { None, Tls, StartTls };

// Where and how to reach an account's server.
struct ServerAddress {
    QString host;
    quint16 port = 0;
    Security security = Security::None;
    QByteArray fingerprint; // SHA-256 of a trusted certificate, empty when none is given
    QString problem;        // why the settings cannot be used, in German; empty when they can
};

// Reads Host, Security and Fingerprint. "tls" defaults to port 995, the others to 110; without a
// Security value an account on port 995 uses TLS, one with a Fingerprint on another port
// starttls, and any other none, as files written for plain POP3 expect.
ServerAddress resolveServer(const AccountSlot& account);

// Names the mailbox an account reaches (server, port and user), to tell two accounts apart.
QString accountKey(const AccountSlot& account);

// "AB:CD:..." for showing a fingerprint to the user.
QString formatFingerprint(const QByteArray& digest);
