// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/tokenendpoint.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageAuthenticationCode>
#include <QTcpSocket>
#include <QUrlQuery>

namespace {

QByteArray base64Url(const QByteArray& bytes)
{
    return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QByteArray httpAnswer(const QByteArray& status, const QByteArray& headers, const QByteArray& body)
{
    return "HTTP/1.1 " + status + "\r\n" + headers +
           "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
}

QByteArray jsonAnswer(const QByteArray& status, const QJsonObject& body)
{
    return httpAnswer(status, "Content-Type: application/json\r\n",
                      QJsonDocument(body).toJson(QJsonDocument::Compact));
}

} // namespace

bool TokenEndpoint::start()
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_requests.remove(socket);
                socket->deleteLater();
            });
        }
    });
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl TokenEndpoint::url(const QString& path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
}

void TokenEndpoint::answer(QTcpSocket* socket)
{
    QByteArray& request = m_requests[socket];
    request += socket->readAll();
    const qsizetype headEnd = request.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    const QByteArray head = request.left(headEnd).toLower();
    const qsizetype lengthAt = head.indexOf("content-length:");
    const int length =
        lengthAt < 0 ? 0 : head.mid(lengthAt + 15).split('\r').first().trimmed().toInt();
    if (request.size() < headEnd + 4 + length)
        return;
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    const QUrl target(QString::fromUtf8(requestLine.value(1)));
    const QByteArray body = request.mid(headEnd + 4, length);
    m_requests.remove(socket);
    if (requestLine.value(0) == "GET" && target.path() == u"/authorize")
        socket->write(authorize(target));
    else if (requestLine.value(0) == "POST" && target.path() == u"/token")
        socket->write(grant(QUrlQuery(QString::fromUtf8(body))));
    else
        socket->write(httpAnswer("404 Not Found", QByteArray(), QByteArray()));
    socket->disconnectFromHost();
}

QByteArray TokenEndpoint::authorize(const QUrl& target)
{
    const QUrlQuery query(target);
    const auto value = [&query](const char* key) {
        return query.queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
    };
    if (value("response_type") != u"code" || value("code_challenge_method") != u"S256" ||
        value("code_challenge").isEmpty() || value("client_id").isEmpty()) {
        fault =
            QStringLiteral("authorization request without code, PKCE or client: ") + target.query();
        return httpAnswer("400 Bad Request", QByteArray(), QByteArray());
    }
    const QString code = codeFor(value("code_challenge"));
    QUrl back(value("redirect_uri"));
    QUrlQuery answer;
    answer.addQueryItem(QStringLiteral("code"), QString::fromLatin1(QUrl::toPercentEncoding(code)));
    answer.addQueryItem(QStringLiteral("state"),
                        QString::fromLatin1(QUrl::toPercentEncoding(value("state"))));
    back.setQuery(answer);
    return httpAnswer("302 Found", "Location: " + back.toEncoded() + "\r\n", QByteArray());
}

QString TokenEndpoint::codeFor(const QString& challenge)
{
    ++authorizations;
    // Real providers' codes hold characters such as "/" that must survive the round trip.
    const QString code = QStringLiteral("4/code%1").arg(authorizations);
    m_challenges.insert(code, challenge);
    return code;
}

QByteArray TokenEndpoint::grant(const QUrlQuery& form)
{
    if (!tokenAnswer.isEmpty())
        return httpAnswer("200 OK", "Content-Type: application/json\r\n", tokenAnswer);
    const auto value = [&form](const char* key) {
        return form.queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
    };
    const QJsonObject refused{{QStringLiteral("error"), QStringLiteral("invalid_grant")}};
    if (value("grant_type") == u"authorization_code") {
        const QString challenge = m_challenges.take(value("code"));
        const QByteArray verified = base64Url(
            QCryptographicHash::hash(value("code_verifier").toUtf8(), QCryptographicHash::Sha256));
        if (challenge.isEmpty() || challenge.toUtf8() != verified) {
            fault = QStringLiteral("code or verifier does not match: ") + form.query();
            return jsonAnswer("400 Bad Request", refused);
        }
        ++codeGrants;
        return issue();
    }
    if (value("grant_type") == u"refresh_token" &&
        m_refreshTokens.contains(value("refresh_token"))) {
        ++refreshGrants;
        return issue();
    }
    return jsonAnswer("400 Bad Request", refused);
}

QByteArray TokenEndpoint::issue()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QJsonObject header{{QStringLiteral("alg"), QStringLiteral("HS256")},
                             {QStringLiteral("typ"), QStringLiteral("JWT")}};
    const QJsonObject claims{{QStringLiteral("sub"), subject},
                             {QStringLiteral("iat"), now},
                             {QStringLiteral("exp"), now + lifetimeSeconds}};
    const QByteArray signedPart = base64Url(QJsonDocument(header).toJson(QJsonDocument::Compact)) +
                                  '.' +
                                  base64Url(QJsonDocument(claims).toJson(QJsonDocument::Compact));
    const QByteArray token = signedPart + '.' +
                             base64Url(QMessageAuthenticationCode::hash(
                                 signedPart, signingKey, QCryptographicHash::Sha256));
    issued.append(QString::fromLatin1(token));
    m_refreshTokens.append(QStringLiteral("refresh-%1").arg(issued.size()));
    return jsonAnswer("200 OK", {{QStringLiteral("access_token"), QString::fromLatin1(token)},
                                 {QStringLiteral("token_type"), QStringLiteral("Bearer")},
                                 {QStringLiteral("expires_in"), lifetimeSeconds},
                                 {QStringLiteral("refresh_token"), m_refreshTokens.last()}});
}
