// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QString>

class Pop3Session;

// SASL log-ins over POP3 AUTH (RFC 5034): the mechanisms' responses, and sending them.
namespace Sasl {

// PLAIN: the user and the password, base64.
QByteArray plainResponse(const QString& user, const QString& password);
// XOAUTH2, as Microsoft and Google take it, base64.
QByteArray xoauth2Response(const QString& user, const QString& token);
// OAUTHBEARER (RFC 7628), base64.
QByteArray oauthBearerResponse(const QString& user, const QString& host, quint16 port,
                               const QString& token);

// Sends AUTH with the response on its line or, when it must not or cannot go there, after the
// server's "+ ". False when the conversation ended meanwhile.
bool authenticate(Pop3Session& session, const QByteArray& mechanism, const QByteArray& response,
                  bool initialResponse = true);

} // namespace Sasl
