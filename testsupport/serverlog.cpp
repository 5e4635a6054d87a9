// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/serverlog.h"

#include "testsupport/scenario.h"

namespace pop3test {

ServerLog::ServerLog()
{
    m_clock.start();
}

void ServerLog::record(int connection, Kind kind, const QByteArray& bytes)
{
    m_events.append(Event{connection, kind, bytes, m_clock.elapsed()});
}

QList<QByteArray> ServerLog::receivedLines(int connection) const
{
    QList<QByteArray> lines;
    for (const Event& e : m_events) {
        if (e.kind != Kind::Received || (connection >= 0 && e.connection != connection))
            continue;
        QByteArray line = e.bytes;
        if (line.endsWith("\r\n"))
            line.chop(2);
        else if (line.endsWith('\n'))
            line.chop(1);
        lines.append(line);
    }
    return lines;
}

QList<QByteArray> ServerLog::receivedLinesStartingWith(const QByteArray& prefix) const
{
    QList<QByteArray> lines = receivedLines();
    lines.removeIf([&prefix](const QByteArray& line) { return !line.startsWith(prefix); });
    return lines;
}

QByteArray ServerLog::sentBytes(int connection) const
{
    QByteArray bytes;
    for (const Event& e : m_events) {
        if (e.kind == Kind::Sent && e.connection == connection)
            bytes += e.bytes;
    }
    return bytes;
}

QString ServerLog::transcript() const
{
    QString out;
    for (const Event& e : m_events) {
        out += QStringLiteral("[%1] %2 ms ").arg(e.connection).arg(e.atMs);
        switch (e.kind) {
        case Kind::Accepted:
            out += QStringLiteral("accepted");
            break;
        case Kind::Sent:
            out += QStringLiteral("S: ") + printable(e.bytes);
            break;
        case Kind::Received:
            out += QStringLiteral("C: ") + printable(e.bytes);
            break;
        case Kind::ServerClosed:
            out += QStringLiteral("server closed the connection");
            break;
        case Kind::ClientClosed:
            out += QStringLiteral("client closed the connection");
            break;
        case Kind::Failure:
            out += QStringLiteral("FAILURE: ") + QString::fromUtf8(e.bytes);
            break;
        }
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace pop3test
