// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/replysource.h"
#include "settings/account.h"

#include <QByteArray>
#include <QString>
#include <utility>

// The connection one POP3 session runs on: connect, start TLS, send a line, wait for data or the
// time-out (ReplySource), close. Connection is the one that talks to a server.
class Transport : public ReplySource {
public:
    enum class Failure { None, TimedOut, Network, Certificate, Protocol, Cancelled };

    // Connects, with TLS from the first byte for Security::Tls; what an earlier conversation left
    // unread is dropped.
    virtual void open(const ServerAddress& server) = 0;
    // Turns the open plain connection into a TLS one; false when the handshake failed or timed
    // out.
    virtual bool startEncryption() = 0;
    // Sends one command line; CR LF is added.
    virtual void sendLine(const QByteArray& command) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // The time limit of a wait, and the longer one for the answer to a password.
    virtual void setTimeLimitMs(int milliseconds) = 0;
    virtual int loginTimeLimitMs() const = 0;
    virtual void setLoginTimeLimitMs(int milliseconds) = 0;

    // Ends a running wait at once and makes every later wait fail, and nobody is told: the
    // window closes.
    virtual void abort() = 0;
    virtual bool isAborted() const = 0;
    // Ends a running wait at once, as the user asked; the next open() starts afresh.
    virtual void cancel() = 0;
    // What ended the last failed wait, and why, in German, for the user.
    virtual Failure failure() const = 0;
    virtual QString failureReason() const = 0;

    // Counters for the benchmarks. A flight is a run of commands sent without waiting for an
    // answer in between: each costs one round trip.
    int linesSent() const { return m_linesSent; }
    int waits() const { return m_waits; }
    int flights() const { return m_flights; }

protected:
    // A transport counts each line it sends and each wait that had to wait.
    void countLine()
    {
        ++m_linesSent;
        if (std::exchange(m_waitedSinceSend, false))
            ++m_flights;
    }
    void countWait()
    {
        ++m_waits;
        m_waitedSinceSend = true;
    }

private:
    int m_linesSent = 0;
    int m_waits = 0;
    int m_flights = 0;
    bool m_waitedSinceSend = true;
};
