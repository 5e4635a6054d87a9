// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "oauth/redirectlistener.h"

#include "oauth/redirectrequest.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {

// A browser sends its request at once; these bound what others can hold open meanwhile.
constexpr int MaxClients = 16;
constexpr int RequestTimeLimitMs = 10 * 1000;

void drop(QTcpSocket* client)
{
    client->abort();
    client->deleteLater();
}

} // namespace

RedirectListener::RedirectListener(const QString& state, QObject* parent)
    : TokenReplyHandler(parent), m_state(state)
{
    connect(&m_server, &QTcpServer::newConnection, this, &RedirectListener::accept);
}

bool RedirectListener::listen()
{
    return m_server.listen(QHostAddress(QHostAddress::LocalHost), 0);
}

QString RedirectListener::callback() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
}

void RedirectListener::accept()
{
    while (QTcpSocket* client = m_server.nextPendingConnection()) {
        if (m_server.findChildren<QTcpSocket*>().size() > MaxClients) {
            drop(client);
            continue;
        }
        // One byte beyond the bound shows that it was passed; nothing more is taken in.
        client->setReadBufferSize(MaxRedirectRequestBytes + 1);
        connect(client, &QTcpSocket::readyRead, this, [this, client] { readFrom(client); });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        QTimer::singleShot(RequestTimeLimitMs, client, [client] { drop(client); });
    }
}

void RedirectListener::readFrom(QTcpSocket* client)
{
    if (client->bytesAvailable() > MaxRedirectRequestBytes) {
        drop(client);
        return;
    }
    const QByteArray received = client->peek(MaxRedirectRequestBytes);
    if (!received.contains("\r\n\r\n") && !received.contains("\n\n"))
        return;
    const RedirectRequest request = readRedirectRequest(received, m_state);
    if (request.kind == RedirectRequest::Kind::Ignored) {
        answer(client, "400 Bad Request",
               tr("Tarvolk: Diese Anfrage gehört zu keiner laufenden Anmeldung."));
        return;
    }
    m_server.close();
    const bool granted = request.kind == RedirectRequest::Kind::Code;
    answer(client, "200 OK",
           granted ? tr("Tarvolk: Die Anmeldung ist erledigt. Dieses Fenster kann geschlossen "
                        "werden.")
                   : tr("Tarvolk: Die Anmeldung wurde abgebrochen."));
    for (QTcpSocket* other : m_server.findChildren<QTcpSocket*>()) {
        if (other != client)
            drop(other);
    }
    // The flow decodes the code once more, as it would come straight from the query.
    QVariantMap values{{QStringLiteral("state"), m_state}};
    if (granted) {
        values.insert(QStringLiteral("code"),
                      QString::fromLatin1(QUrl::toPercentEncoding(request.code)));
    } else {
        values.insert(QStringLiteral("error"), request.error);
        values.insert(QStringLiteral("error_description"), request.description);
    }
    emit callbackReceived(values);
}

void RedirectListener::answer(QTcpSocket* client, const QByteArray& status, const QString& text)
{
    disconnect(client, &QTcpSocket::readyRead, this, nullptr);
    const QByteArray body = text.toUtf8();
    client->write("HTTP/1.1 " + status +
                  "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    // Written out now: the sign-in may end, and the listener go, before the loop runs again.
    client->flush();
    client->disconnectFromHost();
}
