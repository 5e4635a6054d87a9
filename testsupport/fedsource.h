// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/replysource.h"

#include <QByteArray>
#include <QList>

// Hands the reply readers prepared chunks, one per wait, without a socket.
class FedSource : public ReplySource {
public:
    explicit FedSource(QList<QByteArray> chunks) : m_chunks(std::move(chunks)) {}

    ReceiveBuffer& receiveBuffer() override { return m_buffer; }
    bool Wait_Reply(QDeadlineTimer) override
    {
        if (m_chunks.isEmpty())
            return true;
        m_buffer.append(m_chunks.takeFirst());
        return false;
    }
    // Chunks come at once; a run far longer than this is a hang, not a slow server.
    int timeLimitMs() const override { return 60 * 1000; }
    void failProtocol(const QString& reason) override { failure = reason; }

    QString failure;

private:
    QList<QByteArray> m_chunks;
    ReceiveBuffer m_buffer;
};
