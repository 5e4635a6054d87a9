// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

// One "method=result" of an Authentication-Results field (RFC 8601) with what it says about it.
struct AuthenticationResult {
    QString method; // lower case, without a version: "dkim", "spf", "dmarc", "compauth"
    QString result; // lower case: "pass", "fail", "softfail", "none", ...
    // "header.d", "header.from", "smtp.mailfrom", "reason", ... in lower case, to the value
    // written first; comments left out.
    QHash<QString, QString> properties;
};

// An Authentication-Results field: the server that wrote it and its results.
struct AuthenticationResults {
    // Microsoft's servers name none: their field starts with a result.
    bool hasAuthServId = false;
    QString authServId;
    QList<AuthenticationResult> results;
};

// Reads a field value of any bytes; what cannot be read as a result is left out.
AuthenticationResults readAuthenticationResults(QByteArrayView value);
