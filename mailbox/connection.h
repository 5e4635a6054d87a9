// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "mailbox/receivebuffer.h"
#include "mailbox/transport.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslError>
#include <QSslSocket>
#include <QString>
#include <QTimer>

class QEventLoop;

// The connection to the mail server: what has arrived and not yet been taken, and the one way
// to wait for more. A wait blocks on a nested event loop, so the window keeps repainting and
// taking input while the CPU stays idle.
class Connection : public QObject, public Transport {
    Q_OBJECT
public:
    static constexpr int DefaultTimeLimitMs = 4000;
    // Servers take their time over a password on purpose: a refused one is answered late, and
    // dovecot waits about 10 s for a locked mailbox before it says so.
    static constexpr int DefaultLoginTimeLimitMs = 15000;

    explicit Connection(QObject* parent = nullptr);

    // Starts a connection, with TLS from the first byte for Security::Tls; whatever an earlier
    // conversation left unread is dropped first. A certificate that does not verify is accepted
    // only when its SHA-256 digest equals fingerprint; with a fingerprint, no other is accepted.
    void open(const ServerAddress& server) override;
    void close() override;
    bool isOpen() const override;

    // Turns the open plain connection into a TLS one (after "stls") and waits for the
    // handshake. Returns false when it failed or timed out.
    bool startEncryption() override;

    // Sends one command line; CR LF is added here.
    void sendLine(const QByteArray& command) override;

    // Waits until more bytes are in RecvBuffer, the time limit (or deadline) has passed or the
    // connection failed. Returns true when no more bytes arrived.
    bool Wait_Reply();
    bool Wait_Reply(QDeadlineTimer deadline) override;
    ReceiveBuffer& receiveBuffer() override { return RecvBuffer; }

    // Ends a running wait at once and makes every later wait fail; for a window that closes.
    void abort() override;
    bool isAborted() const override { return m_aborted; }
    // Ends a running wait at once, as the user asked; the next open() starts afresh.
    void cancel() override;

    void failProtocol(const QString& reason) override;

    // What ended the last failed wait, and why, in German, for the user.
    Failure failure() const override;
    QString failureReason() const override;

    int timeLimitMs() const override { return m_timeLimitMs; }
    void setTimeLimitMs(int milliseconds) override { m_timeLimitMs = milliseconds; }
    // The time limit for the answer to a password.
    int loginTimeLimitMs() const override { return m_loginTimeLimitMs; }
    void setLoginTimeLimitMs(int milliseconds) override { m_loginTimeLimitMs = milliseconds; }

    // Bytes are taken from the socket only while the buffer holds less than this, so a server
    // that floods answers ahead of the reader fills the network's buffers, not memory.
    static constexpr qsizetype ReceiveLimit = 1024 * 1024;

    ReceiveBuffer RecvBuffer;
    bool TimedOut = false;

signals:
    // The TLS handshake begins.
    void encrypting();

private slots:
    void Winsock1_DataArrival();
    void Timer1_Timer();
    void Winsock1_Error(QAbstractSocket::SocketError error);
    void Winsock1_SslErrors(const QList<QSslError>& errors);
    void Winsock1_Encrypted();

private:
    void waitForEvent();
    // Moves what the socket holds into RecvBuffer, up to ReceiveLimit.
    void takeArrived();
    void wake();

    QSslSocket Winsock1;
    QTimer Timer1;
    QEventLoop* m_loop = nullptr;
    bool m_woken = false;
    ServerAddress m_server;
    bool m_failed = false;
    QAbstractSocket::SocketError m_error = QAbstractSocket::UnknownSocketError;
    QList<QSslError> m_certificateErrors;
    bool m_fingerprintMismatch = false;
    QString m_protocolError;
    bool m_aborted = false;
    bool m_cancelled = false;
    int m_timeLimitMs = DefaultTimeLimitMs;
    // The time limit of the wait that timed out: the log-in's may be over before it is told.
    int m_expiredLimitMs = DefaultTimeLimitMs;
    int m_loginTimeLimitMs = DefaultLoginTimeLimitMs;
};
