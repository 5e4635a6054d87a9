// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/redirectrequest.h"

#include <QHash>
#include <QStringList>
#include <optional>

namespace {

QString formValue(QByteArrayView encoded)
{
    QByteArray bytes = encoded.toByteArray();
    bytes.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(bytes));
}

// The query's values by name; nothing when a name the sign-in reads comes twice.
std::optional<QHash<QString, QString>> queryValues(QByteArrayView query)
{
    static const QStringList Read = {QStringLiteral("state"), QStringLiteral("code"),
                                     QStringLiteral("error"), QStringLiteral("error_description")};
    QHash<QString, QString> values;
    for (const QByteArrayView pair :
         QByteArray::fromRawData(query.data(), query.size()).split('&')) {
        const qsizetype equals = pair.indexOf('=');
        const QString name = formValue(equals < 0 ? pair : pair.first(equals));
        if (!Read.contains(name))
            continue;
        if (values.contains(name))
            return std::nullopt;
        values.insert(name, equals < 0 ? QString() : formValue(pair.sliced(equals + 1)));
    }
    return values;
}

// The query of "GET /?query HTTP/1.x"; nothing for any other request line.
std::optional<QByteArrayView> callbackQuery(QByteArrayView request)
{
    const qsizetype lineEnd = request.indexOf('\n');
    QByteArrayView line = lineEnd < 0 ? request : request.first(lineEnd);
    if (line.endsWith('\r'))
        line.chop(1);
    const QByteArrayView start("GET /?");
    const qsizetype blank = line.lastIndexOf(' ');
    if (!line.startsWith(start) || blank < start.size() ||
        !line.sliced(blank).startsWith(" HTTP/1."))
        return std::nullopt;
    const QByteArrayView query = line.sliced(start.size(), blank - start.size());
    if (query.contains(' ') || query.contains('#'))
        return std::nullopt;
    return query;
}

} // namespace

RedirectRequest readRedirectRequest(QByteArrayView request, QStringView expectedState)
{
    RedirectRequest result;
    const std::optional<QByteArrayView> query = callbackQuery(request);
    const std::optional<QHash<QString, QString>> values =
        query ? queryValues(*query) : std::nullopt;
    if (!values || expectedState.isEmpty() ||
        values->value(QStringLiteral("state")) != expectedState)
        return result;
    result.error = values->value(QStringLiteral("error"));
    result.code = values->value(QStringLiteral("code"));
    if (!result.error.isEmpty()) {
        result.kind = RedirectRequest::Kind::Refused;
        result.description = values->value(QStringLiteral("error_description"));
        result.code.clear();
    } else if (!result.code.isEmpty()) {
        result.kind = RedirectRequest::Kind::Code;
    }
    return result;
}
