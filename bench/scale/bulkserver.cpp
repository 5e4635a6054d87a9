// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bulkserver.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Sizes from a few hundred bytes to some kilobytes, the same for every run.
qint32 sizeOf(int number)
{
    return 400 + (number * 7919) % 6000;
}

} // namespace

quint16 BulkServer::listen()
{
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &BulkServer::accept);
    return m_server->listen(QHostAddress::LocalHost, 0) ? m_server->serverPort() : 0;
}

void BulkServer::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                answer(socket, socket->readLine().trimmed());
        });
        socket->write("+OK bulk server ready\r\n");
    }
}

void BulkServer::answer(QTcpSocket* socket, const QByteArray& line)
{
    const QList<QByteArray> words = line.split(' ');
    const QByteArray command = words.first().toLower();
    if (command == "capa") {
        socket->write("+OK\r\nUSER\r\nPIPELINING\r\nUIDL\r\nTOP\r\n.\r\n");
    } else if (command == "stat") {
        qint64 total = 0;
        for (int number = 1; number <= m_count; ++number)
            total += sizeOf(number);
        socket->write("+OK " + QByteArray::number(m_count) + ' ' +
                      QByteArray::number(qMin<qint64>(total, 2147483647)) + "\r\n");
    } else if (command == "list" || command == "uidl") {
        socket->write(listing(command == "uidl"));
    } else if (command == "top" && words.size() == 3) {
        socket->write(top(words.at(1).toInt()));
    } else if (command == "quit") {
        socket->write("+OK bye\r\n");
        socket->disconnectFromHost();
    } else {
        socket->write("+OK\r\n");
    }
}

QByteArray BulkServer::listing(bool uids) const
{
    QByteArray out = "+OK\r\n";
    out.reserve(m_count * 24);
    for (int number = 1; number <= m_count; ++number) {
        out += QByteArray::number(number) + ' ';
        out += uids ? "bulk-" + QByteArray::number(number, 36) : QByteArray::number(sizeOf(number));
        out += "\r\n";
    }
    return out + ".\r\n";
}

QByteArray BulkServer::top(int number) const
{
    if (number < 1 || number > m_count)
        return "-ERR no such message\r\n";
    const QByteArray n = QByteArray::number(number);
    return "+OK\r\nFrom: Absender " + n + " <absender" + n +
           "@example.org>\r\nTo: bert@example.org\r\nSubject: Nachricht " + n +
           "\r\nDate: Mon, 15 Jan 2024 10:30:00 +0100\r\nMessage-ID: <bulk-" + n +
           "@example.org>\r\n\r\nErste Zeile der Nachricht " + n + ".\r\n.\r\n";
}

BulkServerThread::BulkServerThread(int count)
{
    m_thread.setObjectName(QStringLiteral("bulk server"));
    m_server = new BulkServer(count);
    m_server->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_server, [this] { m_port = m_server->listen(); }, Qt::BlockingQueuedConnection);
}

BulkServerThread::~BulkServerThread()
{
    m_thread.quit();
    m_thread.wait();
}
