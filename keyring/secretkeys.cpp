// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyring/secretkeys.h"

namespace {

const QString EarlierTokenPrefix = QStringLiteral("oauth2:");

// Hosts that hold '@', or that could pass for such a host written here, get '%' and '@'
// percent-encoded: so a written host never holds '@', and no two hosts are written alike.
QString hostField(const QString& host)
{
    if (!host.contains(u'@') && !host.contains(QLatin1String("%40")) &&
        !host.contains(QLatin1String("%25")))
        return host;
    QString written = host;
    written.replace(u'%', QLatin1String("%25"));
    written.replace(u'@', QLatin1String("%40"));
    return written;
}

QString joined(const QString& user, const AccountIdentity& owner)
{
    return user + u'@' + hostField(owner.host) + u':' + QString::number(owner.port);
}

} // namespace

namespace SecretKeys {

QString password(const AccountIdentity& owner)
{
    const bool escaped = owner.user.startsWith(EarlierTokenPrefix) || owner.user.startsWith(u'%');
    return joined(escaped ? u'%' + owner.user : owner.user, owner);
}

QString refreshToken(const AccountIdentity& owner)
{
    return joined(owner.user, owner);
}

QString earlierRefreshToken(const AccountIdentity& owner)
{
    // Written then without any escaping: only a host without '@' tells where the user ends.
    if (owner.host.contains(u'@'))
        return QString();
    return EarlierTokenPrefix + owner.user + u'@' + owner.host + u':' + QString::number(owner.port);
}

} // namespace SecretKeys
