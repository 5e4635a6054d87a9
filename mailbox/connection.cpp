// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/connection.h"

#include "mailbox/certificatereason.h"

#include <QEventLoop>

Connection::Connection(QObject* parent) : QObject(parent)
{
    Timer1.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the time limit is a promise to the user.
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &Connection::Timer1_Timer);
    Winsock1.setReadBufferSize(ReceiveLimit);
    connect(&Winsock1, &QIODevice::readyRead, this, &Connection::Winsock1_DataArrival);
    connect(&Winsock1, &QAbstractSocket::errorOccurred, this, &Connection::Winsock1_Error);
    connect(&Winsock1, &QSslSocket::sslErrors, this, &Connection::Winsock1_SslErrors);
    connect(&Winsock1, &QSslSocket::encrypted, this, &Connection::Winsock1_Encrypted);
    connect(&Winsock1, &QAbstractSocket::connected, this, [this] {
        if (m_server.security == Security::Tls)
            emit encrypting();
    });
}

void Connection::open(const ServerAddress& server)
{
    close();
    RecvBuffer.clear();
    m_server = server;
    m_failed = false;
    m_cancelled = false;
    m_certificateErrors.clear();
    m_fingerprintMismatch = false;
    m_protocolError.clear();
    if (server.security == Security::Tls)
        Winsock1.connectToHostEncrypted(server.host, server.port);
    else
        Winsock1.connectToHost(server.host, server.port);
}

void Connection::close()
{
    if (Winsock1.state() == QAbstractSocket::UnconnectedState)
        return;
    // What was sent last (a "quit") still goes out; nothing is awaited.
    Winsock1.flush();
    Winsock1.abort();
}

bool Connection::isOpen() const
{
    return Winsock1.state() != QAbstractSocket::UnconnectedState;
}

bool Connection::startEncryption()
{
    emit encrypting();
    // Anything the server sent before the handshake is not protected by it.
    RecvBuffer.clear();
    TimedOut = false;
    Timer1.start(m_timeLimitMs);
    Winsock1.startClientEncryption();
    while (!Winsock1.isEncrypted() && !TimedOut && !m_failed && !m_aborted && !m_cancelled)
        waitForEvent();
    Timer1.stop();
    return Winsock1.isEncrypted() && !m_failed && !m_aborted && !m_cancelled;
}

void Connection::sendLine(const QByteArray& command)
{
    Winsock1.write(command + "\r\n");
    countLine();
}

bool Connection::Wait_Reply()
{
    return Wait_Reply(QDeadlineTimer(m_timeLimitMs));
}

bool Connection::Wait_Reply(QDeadlineTimer deadline)
{
    TimedOut = false;
    // Bytes may also come in from the error handler, which takes what a closing server sent.
    const qsizetype before = RecvBuffer.size();
    const auto arrived = [&] {
        takeArrived();
        return RecvBuffer.size() != before;
    };
    if (!arrived() && !m_aborted && !m_cancelled) {
        Timer1.start(int(qMax<qint64>(0, deadline.remainingTime())));
        countWait();
        while (!arrived() && !TimedOut && !m_failed && !m_aborted && !m_cancelled)
            waitForEvent();
        Timer1.stop();
    }
    return RecvBuffer.size() == before || m_aborted || m_cancelled;
}

void Connection::takeArrived()
{
    const qint64 room = ReceiveLimit - RecvBuffer.size();
    if (room > 0 && Winsock1.bytesAvailable() > 0)
        RecvBuffer.append(Winsock1.read(room));
}

void Connection::waitForEvent()
{
    QEventLoop loop;
    m_loop = &loop;
    m_woken = false;
    loop.exec();
    m_loop = nullptr;
    // Only a quitting application ends the loop without one of our reasons.
    if (!m_woken)
        m_aborted = true;
}

void Connection::abort()
{
    m_aborted = true;
    close();
    wake();
}

void Connection::cancel()
{
    m_cancelled = true;
    close();
    wake();
}

void Connection::failProtocol(const QString& reason)
{
    m_protocolError = reason;
    close();
}

Connection::Failure Connection::failure() const
{
    if (m_cancelled)
        return Failure::Cancelled;
    if (!m_protocolError.isEmpty())
        return Failure::Protocol;
    if (!m_certificateErrors.isEmpty() || m_fingerprintMismatch)
        return Failure::Certificate;
    if (m_failed)
        return Failure::Network;
    return TimedOut ? Failure::TimedOut : Failure::None;
}

QString Connection::failureReason() const
{
    const QString host = m_server.host;
    switch (failure()) {
    case Failure::None:
    case Failure::Cancelled:
        return QString();
    case Failure::TimedOut:
        return tr("Der Server %1 hat nicht innerhalb von %2 Sekunden geantwortet.")
            .arg(host)
            .arg(m_expiredLimitMs / 1000.0);
    case Failure::Certificate:
        return certificateReason(m_certificateErrors, m_fingerprintMismatch, m_server.host,
                                 Winsock1.peerCertificate().digest(QCryptographicHash::Sha256));
    case Failure::Protocol:
        return m_protocolError;
    case Failure::Network:
        break;
    }
    switch (m_error) {
    case QAbstractSocket::HostNotFoundError:
        return tr("Der Server „%1“ wurde nicht gefunden.").arg(host);
    case QAbstractSocket::ConnectionRefusedError:
        return tr("Der Server %1 hat die Verbindung an Port %2 abgelehnt.")
            .arg(host)
            .arg(m_server.port);
    case QAbstractSocket::RemoteHostClosedError:
        return tr("Der Server %1 hat die Verbindung beendet.").arg(host);
    case QAbstractSocket::NetworkError:
        return tr("Das Netzwerk ist nicht erreichbar.");
    case QAbstractSocket::SslHandshakeFailedError:
        return tr("Die sichere Verbindung zu %1 kam nicht zustande: %2")
            .arg(host, Winsock1.errorString());
    default:
        return tr("Netzwerkfehler bei %1: %2").arg(host, Winsock1.errorString());
    }
}

void Connection::Winsock1_DataArrival()
{
    wake();
}

void Connection::Timer1_Timer()
{
    TimedOut = true;
    m_expiredLimitMs = m_timeLimitMs;
    wake();
}

void Connection::Winsock1_Error(QAbstractSocket::SocketError error)
{
    // A close after the last answer matters only when an answer is still awaited: what arrived
    // before it stays readable.
    takeArrived();
    m_failed = true;
    m_error = error;
    wake();
}

void Connection::Winsock1_SslErrors(const QList<QSslError>& errors)
{
    const QByteArray digest = Winsock1.peerCertificate().digest(QCryptographicHash::Sha256);
    if (!m_server.fingerprint.isEmpty() && digest == m_server.fingerprint) {
        Winsock1.ignoreSslErrors(errors);
        return;
    }
    m_certificateErrors = errors;
    m_fingerprintMismatch = !m_server.fingerprint.isEmpty();
}

void Connection::Winsock1_Encrypted()
{
    const QByteArray digest = Winsock1.peerCertificate().digest(QCryptographicHash::Sha256);
    if (!m_server.fingerprint.isEmpty() && digest != m_server.fingerprint) {
        // A certificate other than the trusted one is refused even when it verifies.
        m_fingerprintMismatch = true;
        m_failed = true;
        Winsock1.abort();
    }
    wake();
}

void Connection::wake()
{
    m_woken = true;
    if (m_loop)
        m_loop->quit();
}
