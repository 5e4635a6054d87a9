// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QList>

class Transport;

// Sends commands ahead of their answers, at most a given number unanswered, and records every
// command whose answer is still to be read, in order: answers can then only be read for what was
// sent, and nothing is sent twice. A depth of 1 is the plain one-command-at-a-time conversation.
class CommandPipeline {
public:
    // Commands in flight for a server that announces PIPELINING. A command is about 15 bytes,
    // so 256 of them stay within 4 KB, less than any server's TCP receive window: even a server
    // that reads no command while it writes an answer cannot block the client. And 256 queued
    // previews keep a link with a long round trip busy while the first answers are read.
    static constexpr int PipelinedDepth = 256;

    // sentAhead: commands that went out together with the log-in; their answers come first.
    CommandPipeline(Transport& connection, int depth, const QList<QByteArray>& sentAhead = {})
        : m_connection(connection), m_depth(depth), m_pending(sentAhead), m_sent(sentAhead.size())
    {
    }

    void send(const QByteArray& command);
    // The command was sent or queued and its answer has not been read yet.
    bool isPending(const QByteArray& command) const { return m_pending.contains(command); }
    // The caller has read the answer to the oldest pending command: the next waiting one goes
    // out.
    void answered();
    // Every answer has been read.
    bool isIdle() const { return m_pending.isEmpty(); }

private:
    void fill();

    Transport& m_connection;
    int m_depth = 1;
    QList<QByteArray> m_pending; // answers still to be read, oldest first
    qsizetype m_sent = 0;        // how many of m_pending have gone out
};
