// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "delayproxy.h"

#include "testsupport/resourceusage.h"

#include <QTcpServer>
#include <QTcpSocket>

DelayedPipe::DelayedPipe(QTcpSocket& from, QTcpSocket& to, int delayMs, const QElapsedTimer& clock,
                         qint64& chunks, qint64& bytes, QObject* parent)
    : QObject(parent), m_from(from), m_to(to), m_delayMs(delayMs), m_clock(clock), m_chunks(chunks),
      m_bytes(bytes)
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % late, which would add to the delay under test.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &DelayedPipe::release);
    connect(&m_from, &QIODevice::readyRead, this, &DelayedPipe::take);
}

void DelayedPipe::take()
{
    QByteArray bytes = m_from.readAll();
    if (bytes.isEmpty())
        return;
    ++m_chunks;
    m_bytes += bytes.size();
    m_held.push_back({m_clock.elapsed() + m_delayMs, std::move(bytes)});
    schedule();
}

void DelayedPipe::sourceClosed()
{
    if (m_sourceClosed)
        return; // an error and the close may both report it
    take();     // what arrived together with the close
    m_sourceClosed = true;
    release();
}

void DelayedPipe::release()
{
    const qint64 now = m_clock.elapsed();
    while (!m_held.empty() && m_held.front().dueMs <= now) {
        m_to.write(m_held.front().bytes);
        m_held.pop_front();
    }
    if (isDone()) {
        m_to.disconnectFromHost();
        emit done();
        return;
    }
    schedule();
}

void DelayedPipe::schedule()
{
    if (m_timer.isActive() || m_held.empty())
        return;
    m_timer.start(int(qMax<qint64>(0, m_held.front().dueMs - m_clock.elapsed())));
}

DelayProxy::DelayProxy(quint16 targetPort, int delayMs)
    : m_targetPort(targetPort), m_delayMs(delayMs)
{
    m_clock.start();
}

quint16 DelayProxy::listen()
{
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &DelayProxy::accept);
    if (!m_server->listen(QHostAddress::LocalHost, 0))
        return 0;
    return m_server->serverPort();
}

ProxyStats DelayProxy::stats() const
{
    ProxyStats stats = m_stats;
    stats.threadCpuNs = ResourceUsage::threadCpuNs();
    return stats;
}

void DelayProxy::accept()
{
    while (QTcpSocket* client = m_server->nextPendingConnection()) {
        ++m_stats.connections;
        // One object per proxied connection owns both sockets and both directions.
        auto* link = new QObject(this);
        auto* server = new QTcpSocket;
        // Small commands must not wait for more to fill a packet; the delay is ours alone.
        client->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        server->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto* up = new DelayedPipe(*client, *server, m_delayMs, m_clock, m_stats.chunksToServer,
                                   m_stats.bytesToServer, link);
        auto* down = new DelayedPipe(*server, *client, m_delayMs, m_clock, m_stats.chunksToClient,
                                     m_stats.bytesToClient, link);
        // Children go in the order they came: the pipes before the sockets whose closing they
        // would otherwise still hear.
        client->setParent(link);
        server->setParent(link);
        connect(client, &QAbstractSocket::disconnected, up, &DelayedPipe::sourceClosed);
        connect(server, &QAbstractSocket::disconnected, down, &DelayedPipe::sourceClosed);
        // A refused or failed upstream ends the client's side too.
        connect(server, &QAbstractSocket::errorOccurred, down, [server, down] {
            if (server->state() == QAbstractSocket::UnconnectedState)
                down->sourceClosed();
        });
        const auto finishWhenBothDone = [link, up, down] {
            if (up->isDone() && down->isDone())
                link->deleteLater();
        };
        connect(up, &DelayedPipe::done, link, finishWhenBothDone);
        connect(down, &DelayedPipe::done, link, finishWhenBothDone);
        server->connectToHost(QHostAddress::LocalHost, m_targetPort);
    }
}

DelayProxyThread::DelayProxyThread(quint16 targetPort, int delayMs)
{
    m_thread.setObjectName(QStringLiteral("delay proxy"));
    m_proxy = new DelayProxy(targetPort, delayMs);
    m_proxy->moveToThread(&m_thread);
    // The proxy and its sockets are deleted in their own thread once its loop has ended.
    QObject::connect(&m_thread, &QThread::finished, m_proxy, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_proxy, [this] { m_port = m_proxy->listen(); }, Qt::BlockingQueuedConnection);
}

DelayProxyThread::~DelayProxyThread()
{
    stop();
}

ProxyStats DelayProxyThread::stats()
{
    ProxyStats now = m_stats;
    if (m_thread.isRunning())
        QMetaObject::invokeMethod(
            m_proxy, [this, &now] { now = m_proxy->stats(); }, Qt::BlockingQueuedConnection);
    return now;
}

ProxyStats DelayProxyThread::stop()
{
    if (!m_thread.isRunning())
        return m_stats;
    QMetaObject::invokeMethod(
        m_proxy, [this] { m_stats = m_proxy->stats(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    m_proxy = nullptr;
    return m_stats;
}
