// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How a provider's answer to a token request is read: the input as it is, and an answer written as
// JSON from the input's fields, whose tokens must come back exactly when, by an independent reading
// of the rules, they can go into a login line, and be refused otherwise.

#include "fuzz/require.h"
#include "oauth/tokenanswer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

using Kind = TokenAnswer::Kind;
constexpr qint64 Year = 366 * 24 * 3600;

bool fit(const QString& token)
{
    return !token.isEmpty() && token.size() <= 16 * 1024 &&
           std::all_of(token.begin(), token.end(),
                       [](QChar c) { return c.unicode() >= 0x21 && c.unicode() <= 0x7e; });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TokenAnswer any =
        readTokenAnswer(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    require(any.kind == Kind::Tokens
                ? any.problem.isEmpty() && fit(any.accessToken) &&
                      (any.refreshToken.isEmpty() || fit(any.refreshToken)) &&
                      any.expiresInSeconds >= -1 && any.expiresInSeconds <= Year
                : !any.problem.isEmpty() && any.accessToken.isEmpty(),
            "tokens fit for a login line and a lifetime of at most a year, or a problem and none");

    FuzzedDataProvider fields(data, size);
    const int repeats = fields.ConsumeIntegralInRange<int>(1, 40);
    const QString access =
        QString::fromStdString(fields.ConsumeRandomLengthString(2000)).repeated(repeats);
    const QString refresh = QString::fromStdString(fields.ConsumeRandomLengthString(2000));
    const qint64 lifetime = fields.ConsumeIntegralInRange<qint64>(-10, 2 * Year);
    QJsonObject written{{QStringLiteral("access_token"), access},
                        {QStringLiteral("expires_in"), lifetime}};
    const bool withRefresh = fields.ConsumeBool();
    if (withRefresh)
        written.insert(QStringLiteral("refresh_token"), refresh);
    const QByteArray body = QJsonDocument(written).toJson(QJsonDocument::Compact);
    const TokenAnswer read = readTokenAnswer(body);
    const bool usable =
        body.size() <= MaxTokenAnswerBytes && fit(access) && (!withRefresh || fit(refresh));
    require(usable
                ? read.kind == Kind::Tokens && read.accessToken == access &&
                      read.refreshToken == (withRefresh ? refresh : QString()) &&
                      read.expiresInSeconds == (lifetime >= 0 && lifetime <= Year ? lifetime : -1)
                : read.kind == Kind::Unusable,
            "a written answer is read as written when its tokens fit, refused otherwise");
    return 0;
}
