// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The largest request the sign-in listener reads; a longer one is nobody's browser coming back.
constexpr qsizetype MaxRedirectRequestBytes = 8 * 1024;

// What a request to the sign-in listener asks for.
struct RedirectRequest {
    enum class Kind {
        Ignored, // not the provider's answer to this sign-in: it changes nothing
        Code,    // the provider grants a code
        Refused, // the provider ends the sign-in
    };
    Kind kind = Kind::Ignored;
    QString code;
    QString error;       // for Refused: the provider's error code, never empty
    QString description; // for Refused: its error_description, when it sent one
};

// Reads the request line of the bytes a client sent to the listener: "GET /?query HTTP/1.x".
// Only a request whose query carries `state` exactly once and equal to the given one, and a
// non-empty `error` or `code` at most once each, is more than Ignored. Query values are decoded as
// a form ('+' for blanks, percent escapes, then UTF-8).
RedirectRequest readRedirectRequest(QByteArrayView request, QStringView expectedState);
