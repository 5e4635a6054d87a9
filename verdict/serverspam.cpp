// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/serverspam.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ServerSpam)
};

QByteArray topmostValue(const QList<HeaderField>& fields, QByteArrayView name)
{
    const QList<QByteArray> values = fieldValues(fields, name);
    return values.isEmpty() ? QByteArray() : values.first().trimmed();
}

// "Yes", alone or followed by what the filter adds after a comma or a blank.
bool saysYes(const QByteArray& value)
{
    static const QRegularExpression yes(QStringLiteral("^yes\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    return yes.match(QString::fromLatin1(value)).hasMatch();
}

// A number as the filter wrote it, in German notation; empty when there is none.
QString germanNumber(const QRegularExpressionMatch& match, int group)
{
    return match.captured(group).replace(u'.', u',');
}

struct Score {
    QString value;
    QString threshold;
};

// SpamAssassin: "Yes, score=7.9 required=5.0 ..." (older versions "hits="); rspamd:
// "default: True [15.50 / 15.00]".
Score scoreOf(const QList<HeaderField>& fields)
{
    static const QRegularExpression status(
        QStringLiteral("\\b(?:score|hits)=(-?\\d{1,6}(?:\\.\\d{1,4})?)"
                       "(?:.*?\\brequired=(-?\\d{1,6}(?:\\.\\d{1,4})?))?"));
    static const QRegularExpression rspamd(
        QStringLiteral("\\[\\s*(-?\\d{1,6}(?:\\.\\d{1,4})?)\\s*/\\s*(-?\\d{1,6}(?:\\.\\d{1,4})?)"));
    QRegularExpressionMatch match =
        status.match(QString::fromLatin1(topmostValue(fields, "X-Spam-Status")));
    if (!match.hasMatch())
        match = rspamd.match(QString::fromLatin1(topmostValue(fields, "X-Spamd-Result")));
    return match.hasMatch() ? Score{germanNumber(match, 1), germanNumber(match, 2)} : Score{};
}

} // namespace

std::optional<Finding> judgeServerSpam(const QList<HeaderField>& fields)
{
    if (!saysYes(topmostValue(fields, "X-Spam-Flag")) &&
        !saysYes(topmostValue(fields, "X-Spam-Status")) && !saysYes(topmostValue(fields, "X-Spam")))
        return std::nullopt;
    const Score score = scoreOf(fields);
    QString detail = Texts::tr("Der Spamfilter des Servers hält die Nachricht für Spam");
    if (!score.value.isEmpty())
        detail += score.threshold.isEmpty()
                      ? Texts::tr(" (Wertung %1)").arg(score.value)
                      : Texts::tr(" (Wertung %1, Grenze %2)").arg(score.value, score.threshold);
    return makeFinding(FindingKind::ServerSpam, detail + u'.', score.value);
}
