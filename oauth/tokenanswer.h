// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArrayView>
#include <QString>

// The most a provider's answer to a token request may hold; anything longer is read no further.
constexpr qsizetype MaxTokenAnswerBytes = 64 * 1024;
// The longest access or refresh token taken; real ones hold a few kilobytes at most.
constexpr qsizetype MaxTokenChars = 16 * 1024;

// A provider's answer to a token request, read.
struct TokenAnswer {
    enum class Kind {
        Tokens,   // a usable access token
        Refused,  // the provider said no: `problem` holds its own words
        Unusable, // no usable answer: `problem` says why, in German
    };
    Kind kind = Kind::Unusable;
    QString accessToken;       // visible ASCII only, as it goes into a login line
    QString refreshToken;      // the same rules; empty when none came
    int expiresInSeconds = -1; // -1 unless the answer gives a lifetime of up to a year
    QString problem;           // never holds a token
};

// Reads the JSON body of an answer to a token request: {"access_token": …, "refresh_token": …,
// "expires_in": …} or {"error": …, "error_description": …}.
TokenAnswer readTokenAnswer(QByteArrayView body);

// Why an answer longer than MaxTokenAnswerBytes is not taken, in German.
QString tokenAnswerTooLarge();
