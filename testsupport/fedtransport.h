// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/receivebuffer.h"
#include "mailbox/transport.h"
#include "testsupport/scenario.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A transport without a socket that plays scenarios as a POP3 server would: each open() takes the
// next queued one. What the server sends reaches the client one Send step per wait; the client's
// lines are compared with the Expect steps as they are sent. Nothing waits in real time: a wait
// for bytes the script holds back until the client sends more is a time-out at once, and pauses
// are passed over. Chunking in mid-line, time limits, floods and TLS need the ScriptedServer.
class FedTransport : public Transport {
public:
    void play(const pop3test::Scenario& scenario);

    int connectionCount() const { return int(m_conversations.size()); }
    // Failures, steps not played and scenarios never taken, with the lines the client sent;
    // empty when every queued scenario was played to its end. SCRIPTED_VERIFY uses it.
    QString problems() const;

    void open(const ServerAddress& server) override;
    bool startEncryption() override;
    void sendLine(const QByteArray& command) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    ReceiveBuffer& receiveBuffer() override { return m_buffer; }
    bool Wait_Reply(QDeadlineTimer deadline) override;
    void failProtocol(const QString& reason) override;

    int timeLimitMs() const override { return m_timeLimitMs; }
    void setTimeLimitMs(int milliseconds) override { m_timeLimitMs = milliseconds; }
    int loginTimeLimitMs() const override { return m_loginTimeLimitMs; }
    void setLoginTimeLimitMs(int milliseconds) override { m_loginTimeLimitMs = milliseconds; }

    void abort() override;
    bool isAborted() const override { return m_aborted; }
    void cancel() override;
    Failure failure() const override { return m_cancelled ? Failure::Cancelled : m_failure; }
    QString failureReason() const override { return m_reason; }

private:
    struct Conversation {
        QList<pop3test::Step> steps;
        qsizetype next = 0;
        QList<QByteArray> arriving; // sent by the server, not yet taken by the client
        bool serverClosed = false;  // after the bytes still arriving
        QList<QByteArray> lines;
        QStringList failures;
    };

    // Plays the server's steps up to the next one that waits for the client.
    void advance(Conversation& c);
    void fail(Conversation& c, const QString& message);
    void setFailure(Failure failure, const QString& reason);

    QList<pop3test::Scenario> m_queue;
    QList<Conversation> m_conversations;
    QStringList m_refused;
    ReceiveBuffer m_buffer;
    bool m_open = false;
    bool m_aborted = false;
    bool m_cancelled = false;
    Failure m_failure = Failure::None;
    QString m_reason;
    int m_timeLimitMs = 4000;
    int m_loginTimeLimitMs = 15000;
};
