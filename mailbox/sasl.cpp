// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/sasl.h"

#include "mailbox/pop3session.h"

namespace Sasl {

namespace {

QByteArray bearer(const QString& token)
{
    return "auth=Bearer " + token.toUtf8() + "\x01\x01";
}

} // namespace

QByteArray plainResponse(const QString& user, const QString& password)
{
    return ('\0' + user.toUtf8() + '\0' + password.toUtf8()).toBase64();
}

QByteArray xoauth2Response(const QString& user, const QString& token)
{
    return ("user=" + user.toUtf8() + '\x01' + bearer(token)).toBase64();
}

QByteArray oauthBearerResponse(const QString& user, const QString& host, quint16 port,
                               const QString& token)
{
    // The authorization identity escapes the two characters that delimit it.
    const QByteArray identity = user.toUtf8().replace('=', "=3D").replace(',', "=2C");
    return ("n,a=" + identity + ",\x01host=" + host.toUtf8() +
            "\x01port=" + QByteArray::number(port) + '\x01' + bearer(token))
        .toBase64();
}

bool authenticate(Pop3Session& session, const QByteArray& mechanism, const QByteArray& response,
                  bool initialResponse)
{
    const QByteArray command = "AUTH " + mechanism + ' ' + response;
    // The initial response rides on the AUTH line only while the line, with its CR LF, stays
    // within the 255 octets a server must accept.
    if (initialResponse && command.size() + 2 <= 255) {
        session.send(command);
        return true;
    }
    session.send("AUTH " + mechanism);
    QByteArray challenge;
    if (!session.readLogInAnswer(challenge))
        return false;
    if (!challenge.startsWith("+ ") && challenge != "+\r\n")
        return session.refuseWithReason(challenge);
    session.send(response);
    return true;
}

} // namespace Sasl
