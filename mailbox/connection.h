#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QSslSocket>
#include <QString>
#include <QTimer>

class QEventLoop;

// The connection to the mail server: what has arrived and not yet been taken, and the one way
// to wait for more. A wait blocks on a nested event loop, so the window keeps repainting and
// taking input while the CPU stays idle.
class Connection : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultTimeLimitMs = 4000;

    explicit Connection(QObject* parent = nullptr);

    // Starts a connection; whatever an earlier conversation left unread is dropped first.
    void open(const QString& host, quint16 port);
    void close();
    bool isOpen() const;

    // Sends one command line; CR LF is added here.
    void sendLine(const QByteArray& command);

    // Takes what has arrived into Reply, waiting for data until the time limit has passed
    // (or until deadline). Returns true when it timed out or the connection failed, with Reply
    // empty in the latter case.
    bool Wait_Reply();
    bool Wait_Reply(QDeadlineTimer deadline);

    // Puts bytes that belong to the next answer back in front of the buffer.
    void unread(const QByteArray& bytes);

    // Ends a running wait at once and makes every later wait fail; for a window that closes.
    void abort();
    bool isAborted() const { return m_aborted; }

    // Why the last wait failed, in German, for the detail of the error box.
    QString failureReason() const;

    int timeLimitMs() const { return m_timeLimitMs; }
    void setTimeLimitMs(int milliseconds) { m_timeLimitMs = milliseconds; }

    // Counters for the benchmarks.
    int linesSent() const { return m_linesSent; }
    int waits() const { return m_waits; }

    QByteArray RecvBuffer;
    QByteArray Reply;
    bool TimedOut = false;

private slots:
    void Winsock1_DataArrival();
    void Timer1_Timer();
    void Winsock1_Error(QAbstractSocket::SocketError error);

private:
    void wake();

    QSslSocket Winsock1;
    QTimer Timer1;
    QEventLoop* m_loop = nullptr;
    QString m_host;
    quint16 m_port = 0;
    bool m_failed = false;
    QAbstractSocket::SocketError m_error = QAbstractSocket::UnknownSocketError;
    bool m_aborted = false;
    int m_timeLimitMs = DefaultTimeLimitMs;
    int m_linesSent = 0;
    int m_waits = 0;
};
