// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QUrl>
#include <QUrlQuery>

// An OAuth2 provider on 127.0.0.1 for tests: /authorize sends the browser back to the redirect
// address with a code, /token trades a code (when its PKCE verifier matches) or a refresh token
// for an access token, an HS256-signed JWT for `subject` that expires after `lifetimeSeconds`.
class TokenEndpoint : public QObject {
    Q_OBJECT
public:
    bool start();
    QUrl url(const QString& path) const;
    // A code for a sign-in whose PKCE challenge is given.
    QString codeFor(const QString& challenge);

    QString subject;
    QByteArray signingKey;
    qint64 lifetimeSeconds = 3600;
    // When set, every token request gets this body (200, JSON) instead.
    QByteArray tokenAnswer;

    int authorizations = 0;
    int codeGrants = 0;
    int refreshGrants = 0;
    // What went wrong in a request, empty while none did.
    QString fault;
    // Every access token it issued.
    QStringList issued;

private:
    void answer(QTcpSocket* socket);
    QByteArray authorize(const QUrl& target);
    QByteArray grant(const QUrlQuery& form);
    QByteArray issue();

    QHash<QTcpSocket*, QByteArray> m_requests; // what arrived of each request so far
    QHash<QString, QString> m_challenges;      // code -> PKCE challenge
    QStringList m_refreshTokens;
    // Last, so that it goes first: its sockets, closing as it goes, still find m_requests.
    QTcpServer m_server;
};
