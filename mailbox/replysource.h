// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/receivebuffer.h"

#include <QDeadlineTimer>
#include <QString>
#include <QtGlobal>

// Where the reply readers take the server's bytes from: the connection, or a test's own feed.
class ReplySource {
public:
    // A multi-line answer may take the time limit plus the time its expected size needs at this
    // rate, but never longer than the cap: a server that trickles its bytes just fast enough to
    // stay within the time limit must not hold the window for hours.
    static constexpr qint64 DefaultFloorRate = 2 * 1024; // bytes a second
    static constexpr qint64 DefaultAnswerCapMs = 3 * 60 * 1000;

    virtual ~ReplySource() = default;

    virtual ReceiveBuffer& receiveBuffer() = 0;
    // Waits until more bytes have arrived, the deadline has passed or the connection failed.
    // Returns true when no more bytes arrived.
    virtual bool Wait_Reply(QDeadlineTimer deadline) = 0;
    virtual int timeLimitMs() const = 0;
    // The server sent something no POP3 server sends; the connection is given up.
    virtual void failProtocol(const QString& reason) = 0;

    qint64 floorRate() const { return m_floorRate; }
    void setFloorRate(qint64 bytesPerSecond) { m_floorRate = qMax<qint64>(1, bytesPerSecond); }
    qint64 answerCapMs() const { return m_answerCapMs; }
    void setAnswerCapMs(qint64 milliseconds) { m_answerCapMs = qMax<qint64>(0, milliseconds); }

    // How long a whole answer of about expectedSize bytes may take.
    qint64 answerTimeMs(qint64 expectedSize) const
    {
        // Far beyond any answer, and small enough that the product below cannot overflow.
        constexpr qint64 SizeBound = qint64(1) << 40;
        const qint64 size = qBound<qint64>(0, expectedSize, SizeBound);
        return qMin(m_answerCapMs, timeLimitMs() + size * 1000 / m_floorRate);
    }

private:
    qint64 m_floorRate = DefaultFloorRate;
    qint64 m_answerCapMs = DefaultAnswerCapMs;
};
