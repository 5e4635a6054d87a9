// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/authservid.h"

#include "verdict/domainnames.h"
#include "verdict/headerfields.h"

#include <QHash>

namespace {

// The most frequent key, when it is frequent enough to be taken as the mailbox's.
QString majority(const QHash<QString, int>& counts, int blocksWithField)
{
    for (auto it = counts.begin(); it != counts.end(); ++it) {
        if (it.value() >= 2 && it.value() * 2 > blocksWithField)
            return it.key();
    }
    return {};
}

} // namespace

bool namesAuthenticationResults(QByteArrayView headerBlock)
{
    constexpr QByteArrayView Field("Authentication-Results");
    for (qsizetype at = 0; at >= 0 && at < headerBlock.size(); at = headerBlock.indexOf('\n', at)) {
        at += headerBlock[at] == '\n' ? 1 : 0;
        // Most lines are told apart by their first letter.
        if (at < headerBlock.size() && (headerBlock[at] | 0x20) == 'a' &&
            headerBlock.sliced(at)
                    .first(qMin(Field.size(), headerBlock.size() - at))
                    .compare(Field, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isFromTrustedServer(const AuthenticationResults& field, const QString& trustedAuthServId)
{
    if (trustedAuthServId == withoutAuthServId)
        return !field.hasAuthServId;
    if (!field.hasAuthServId || trustedAuthServId.isEmpty())
        return false;
    return field.authServId.compare(trustedAuthServId, Qt::CaseInsensitive) == 0 ||
           (looksLikeDomain(field.authServId) &&
            registrableDomain(field.authServId) == asciiDomain(trustedAuthServId));
}

QString commonAuthServId(const QList<QByteArray>& headerBlocks)
{
    QHash<QString, int> byId;
    QHash<QString, int> byDomain;
    int blocksWithField = 0;
    for (const QByteArray& block : headerBlocks) {
        const QList<QByteArray> values =
            fieldValues(readHeaderFields(block), "Authentication-Results");
        if (values.isEmpty())
            continue;
        ++blocksWithField;
        const AuthenticationResults topmost = readAuthenticationResults(values.first());
        if (!topmost.hasAuthServId) {
            ++byId[withoutAuthServId];
            continue;
        }
        ++byId[topmost.authServId.toLower()];
        if (looksLikeDomain(topmost.authServId))
            ++byDomain[registrableDomain(topmost.authServId)];
    }
    const QString id = majority(byId, blocksWithField);
    return id.isEmpty() ? majority(byDomain, blocksWithField) : id;
}
