// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <deque>

class QTcpServer;
class QTcpSocket;

// Figures of one proxy, read when it stops.
struct ProxyStats {
    int connections = 0;
    qint64 chunksToServer = 0;
    qint64 chunksToClient = 0;
    qint64 bytesToServer = 0;
    qint64 bytesToClient = 0;
    qint64 threadCpuNs = 0; // the proxy thread's own CPU time
};

// One direction of a proxied connection: every chunk read from `from` is written to `to` once
// it has been held for the delay, in the order it came.
class DelayedPipe : public QObject {
    Q_OBJECT
public:
    DelayedPipe(QTcpSocket& from, QTcpSocket& to, int delayMs, const QElapsedTimer& clock,
                qint64& chunks, qint64& bytes, QObject* parent);

    // The source has closed: what is still held goes out, then the other side is closed too.
    void sourceClosed();
    bool isDone() const { return m_sourceClosed && m_held.empty(); }

signals:
    void done();

private:
    void take();
    void release();
    void schedule();

    struct Chunk {
        qint64 dueMs;
        QByteArray bytes;
    };

    QTcpSocket& m_from;
    QTcpSocket& m_to;
    const int m_delayMs;
    const QElapsedTimer& m_clock;
    qint64& m_chunks;
    qint64& m_bytes;
    std::deque<Chunk> m_held;
    QTimer m_timer;
    bool m_sourceClosed = false;
};

// Forwards connections from a port on 127.0.0.1 to a server on 127.0.0.1, holding every chunk
// for a fixed delay in each direction: each request and its answer then cost one round trip of
// twice the delay, as on a distant network. Purely event-driven; lives in the thread that
// DelayProxyThread gives it.
class DelayProxy : public QObject {
    Q_OBJECT
public:
    DelayProxy(quint16 targetPort, int delayMs);

    // Listens on 127.0.0.1 at a free port; returns it, or 0 when listening failed.
    quint16 listen();
    ProxyStats stats() const;

private:
    void accept();

    QTcpServer* m_server = nullptr;
    const quint16 m_targetPort;
    const int m_delayMs;
    QElapsedTimer m_clock;
    ProxyStats m_stats;
};

// Runs a DelayProxy in a thread of its own, so that the client's thread CPU time does not
// include the forwarding.
class DelayProxyThread {
public:
    DelayProxyThread(quint16 targetPort, int delayMs);
    ~DelayProxyThread();
    DelayProxyThread(const DelayProxyThread&) = delete;
    DelayProxyThread& operator=(const DelayProxyThread&) = delete;

    quint16 port() const { return m_port; }
    // The figures so far, while it goes on forwarding.
    ProxyStats stats();
    // Stops forwarding and returns the figures; afterwards the proxy is gone.
    ProxyStats stop();

private:
    QThread m_thread;
    DelayProxy* m_proxy = nullptr;
    quint16 m_port = 0;
    ProxyStats m_stats;
};
