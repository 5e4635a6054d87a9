// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QString>

namespace pop3test {

// What a scripted server saw and did, in order: for the tests' checks and for its report.
class ServerLog {
public:
    enum class Kind { Accepted, Sent, Received, ServerClosed, ClientClosed, Failure };
    struct Event {
        int connection = 0; // 0 for the first accepted connection
        Kind kind = Kind::Accepted;
        QByteArray bytes; // Sent: what was written; Received: one line with its line end
        qint64 atMs = 0;  // since the log began
    };

    ServerLog();
    void record(int connection, Kind kind, const QByteArray& bytes);

    const QList<Event>& events() const { return m_events; }
    // Lines received without their line end: from every connection in order (-1), or from one.
    QList<QByteArray> receivedLines(int connection = -1) const;
    QList<QByteArray> receivedLinesStartingWith(const QByteArray& prefix) const;
    QByteArray sentBytes(int connection) const;
    // The whole conversation, readable: "[0] S: +OK ready\r\n", "[0] C: user joe\r\n", ...
    QString transcript() const;

private:
    QElapsedTimer m_clock;
    QList<Event> m_events;
};

} // namespace pop3test
