#include "mailbox/connection.h"

#include <QEventLoop>

Connection::Connection(QObject* parent) : QObject(parent)
{
    Timer1.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the time limit is a promise to the user.
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &Connection::Timer1_Timer);
    connect(&Winsock1, &QIODevice::readyRead, this, &Connection::Winsock1_DataArrival);
    connect(&Winsock1, &QAbstractSocket::errorOccurred, this, &Connection::Winsock1_Error);
}

void Connection::open(const QString& host, quint16 port)
{
    close();
    RecvBuffer.clear();
    m_host = host;
    m_port = port;
    m_failed = false;
    Winsock1.connectToHost(host, port);
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

void Connection::sendLine(const QByteArray& command)
{
    Winsock1.write(command + "\r\n");
    ++m_linesSent;
}

bool Connection::Wait_Reply()
{
    return Wait_Reply(QDeadlineTimer(m_timeLimitMs));
}

bool Connection::Wait_Reply(QDeadlineTimer deadline)
{
    Reply.clear();
    TimedOut = false;
    Timer1.start(int(qMax<qint64>(0, deadline.remainingTime())));
    ++m_waits;
    if (RecvBuffer.isEmpty() && !m_failed && !m_aborted) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
        // Only a quitting application ends the loop without one of our reasons.
        if (RecvBuffer.isEmpty() && !TimedOut && !m_failed)
            m_aborted = true;
    }
    Reply = std::exchange(RecvBuffer, {});
    Timer1.stop();
    return TimedOut || Reply.isEmpty() || m_aborted;
}

void Connection::unread(const QByteArray& bytes)
{
    RecvBuffer.prepend(bytes);
}

void Connection::abort()
{
    m_aborted = true;
    close();
    wake();
}

QString Connection::failureReason() const
{
    if (!m_failed)
        return tr("Der Server %1 hat nicht innerhalb von %2 Sekunden geantwortet.")
            .arg(m_host)
            .arg(m_timeLimitMs / 1000.0);
    switch (m_error) {
    case QAbstractSocket::HostNotFoundError:
        return tr("Der Server „%1“ wurde nicht gefunden.").arg(m_host);
    case QAbstractSocket::ConnectionRefusedError:
        return tr("Der Server %1 hat die Verbindung an Port %2 abgelehnt.").arg(m_host).arg(m_port);
    case QAbstractSocket::RemoteHostClosedError:
        return tr("Der Server %1 hat die Verbindung beendet.").arg(m_host);
    case QAbstractSocket::NetworkError:
        return tr("Das Netzwerk ist nicht erreichbar.");
    default:
        return tr("Netzwerkfehler bei %1: %2").arg(m_host, Winsock1.errorString());
    }
}

void Connection::Winsock1_DataArrival()
{
    RecvBuffer += Winsock1.readAll();
    wake();
}

void Connection::Timer1_Timer()
{
    TimedOut = true;
    wake();
}

void Connection::Winsock1_Error(QAbstractSocket::SocketError error)
{
    // A close after the last answer matters only when an answer is still awaited.
    RecvBuffer += Winsock1.readAll();
    m_failed = true;
    m_error = error;
    wake();
}

void Connection::wake()
{
    if (m_loop)
        m_loop->quit();
}
