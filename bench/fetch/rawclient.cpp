// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "rawclient.h"

#include <QElapsedTimer>
#include <QString>
#include <QTcpSocket>

namespace RawClient {

namespace {

constexpr int WaitMs = 10000;

// Reads until `terminator` has been seen `count` times since the call; false on a time-out.
bool readUntil(QTcpSocket& socket, const QByteArray& terminator, int count)
{
    QByteArray tail;
    int seen = 0;
    while (seen < count) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(WaitMs))
            return false;
        const QByteArray window = tail + socket.readAll();
        for (qsizetype at = window.indexOf(terminator); at >= 0;
             at = window.indexOf(terminator, at + terminator.size()))
            ++seen;
        tail = window.right(terminator.size() - 1);
    }
    return true;
}

} // namespace

Result fetchAllTops(quint16 port, const QString& user, const QString& password, int count,
                    int lineCount)
{
    Result result;
    QElapsedTimer clock;
    clock.start();
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(WaitMs) || !readUntil(socket, "\r\n", 1))
        return result;
    socket.write("user " + user.toUtf8() + "\r\npass " + password.toUtf8() + "\r\n");
    if (!readUntil(socket, "\r\n", 2))
        return result;
    QByteArray commands;
    for (int i = 1; i <= count; ++i)
        commands += "top " + QByteArray::number(i) + ' ' + QByteArray::number(lineCount) + "\r\n";
    socket.write(commands);
    // Each answer ends in a line holding only "."; the status line's CR LF precedes it even
    // when the body is empty.
    result.ok = readUntil(socket, "\r\n.\r\n", count);
    result.answers = result.ok ? count : 0;
    result.wallNs = clock.nsecsElapsed();
    socket.write("quit\r\n");
    socket.waitForBytesWritten(WaitMs);
    return result;
}

} // namespace RawClient
