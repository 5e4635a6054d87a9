// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/tokenanswer.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

constexpr double MaxLifetimeSeconds = 366 * 24 * 3600;

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TokenAnswer)
};

TokenAnswer unusable(const QString& problem)
{
    TokenAnswer answer;
    answer.problem = problem;
    return answer;
}

// Why the value cannot serve as a token (named in German), or nothing when it can.
QString tokenProblem(const QJsonValue& value, const QString& name)
{
    if (value.isUndefined() || value.isNull())
        return Texts::tr("Die Antwort des Anbieters enthält kein %1.").arg(name);
    if (!value.isString())
        return Texts::tr("Das %1 in der Antwort des Anbieters ist kein Text.").arg(name);
    const QString token = value.toString();
    if (token.isEmpty())
        return Texts::tr("Die Antwort des Anbieters enthält kein %1.").arg(name);
    if (token.size() > MaxTokenChars)
        return Texts::tr("Das %1 in der Antwort des Anbieters ist länger als 16 KB.").arg(name);
    for (const QChar c : token) {
        if (c.unicode() <= u' ' || c.unicode() > u'~')
            return Texts::tr("Das %1 in der Antwort des Anbieters enthält Zeichen, die in keiner "
                             "Anmeldung stehen dürfen.")
                .arg(name);
    }
    return QString();
}

// Lifetimes come as numbers, from some providers as text.
int lifetime(const QJsonValue& value)
{
    bool ok = value.isDouble();
    const double seconds = ok ? value.toDouble() : value.toString().toDouble(&ok);
    return ok && seconds >= 0 && seconds <= MaxLifetimeSeconds ? int(seconds) : -1;
}

} // namespace

QString tokenAnswerTooLarge()
{
    return Texts::tr("Die Antwort des Anbieters auf die Token-Anfrage ist größer als 64 KB.");
}

TokenAnswer readTokenAnswer(QByteArrayView body)
{
    if (body.size() > MaxTokenAnswerBytes)
        return unusable(tokenAnswerTooLarge());
    const QJsonDocument document = QJsonDocument::fromJson(body.toByteArray());
    if (!document.isObject())
        return unusable(
            Texts::tr("Die Antwort des Anbieters auf die Token-Anfrage ist kein JSON-Objekt."));
    const QJsonObject object = document.object();
    const QString error = object.value(QLatin1String("error")).toString();
    if (!error.isEmpty()) {
        const QString description = object.value(QLatin1String("error_description")).toString();
        TokenAnswer refused;
        refused.kind = TokenAnswer::Kind::Refused;
        refused.problem =
            description.isEmpty() ? error : error + QStringLiteral(": ") + description;
        return refused;
    }
    const QString accessName = Texts::tr("Zugriffstoken (access_token)");
    const QJsonValue access = object.value(QLatin1String("access_token"));
    QString problem = tokenProblem(access, accessName);
    const QJsonValue refresh = object.value(QLatin1String("refresh_token"));
    if (problem.isEmpty() && !refresh.isUndefined() && !refresh.isNull())
        problem = tokenProblem(refresh, Texts::tr("Aktualisierungstoken (refresh_token)"));
    if (!problem.isEmpty())
        return unusable(problem);
    TokenAnswer answer;
    answer.kind = TokenAnswer::Kind::Tokens;
    answer.accessToken = access.toString();
    answer.refreshToken = refresh.toString();
    answer.expiresInSeconds = lifetime(object.value(QLatin1String("expires_in")));
    return answer;
}
