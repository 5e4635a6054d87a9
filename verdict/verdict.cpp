// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "verdict/verdict.h"

#include "verdict/addresschecks.h"
#include "verdict/headerfields.h"
#include "verdict/mailaddresses.h"
#include "verdict/senderauthentication.h"
#include "verdict/serverspam.h"

#include <algorithm>

namespace {

QList<MailAddress> topmostAddresses(const QList<HeaderField>& fields, QByteArrayView name)
{
    const QList<QByteArray> values = fieldValues(fields, name);
    return values.isEmpty() ? QList<MailAddress>() : readMailAddresses(values.first());
}

} // namespace

Verdict judgeHeaderBlock(QByteArrayView headerBlock, const QString& trustedAuthServId)
{
    const QList<HeaderField> fields = readHeaderFields(headerBlock);
    Verdict verdict;
    const auto add = [&verdict](const std::optional<Finding>& finding) {
        if (finding)
            verdict.findings.append(*finding);
    };
    const QList<MailAddress> from = topmostAddresses(fields, "From");
    if (!from.isEmpty()) {
        const QList<MailAddress> replyTo = topmostAddresses(fields, "Reply-To");
        add(judgeSenderAuthentication(fields, from.first().domain, trustedAuthServId));
        add(judgeDisplayName(from.first()));
        add(judgeReplyTo(from.first(), replyTo));
        add(judgeInternationalDomains(QList<MailAddress>{from.first()} + replyTo));
    }
    add(judgeServerSpam(fields));
    std::stable_sort(verdict.findings.begin(), verdict.findings.end(),
                     [](const Finding& a, const Finding& b) { return a.kind < b.kind; });
    return verdict;
}
