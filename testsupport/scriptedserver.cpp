// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/scriptedserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace pop3test {

namespace {

QString quoted(const QByteArray& bytes)
{
    return QLatin1Char('"') + printable(bytes) + QLatin1Char('"');
}

} // namespace

struct ScriptedServer::Connection {
    enum class State { Playing, Done, Failed };

    int index = 0;
    QTcpSocket* socket = nullptr;
    QList<Step> steps;
    qsizetype next = 0;
    State state = State::Playing;
    QByteArray partial;      // received bytes of a line not yet ended
    QList<QByteArray> lines; // whole lines, without CR LF, not yet matched
    QTimer pauseTimer;
    bool pausing = false;
    bool advancing = false;
    bool clientClosed = false;
    bool serverClosed = false;
    qint64 bytesReceived = 0;
    qint64 flooded = 0; // bytes a Flood step has written so far
};

ScriptedServer::ScriptedServer(QObject* parent) : QObject(parent), m_listener(new QTcpServer(this))
{
    connect(m_listener, &QTcpServer::newConnection, this, &ScriptedServer::onNewConnection);
    if (!m_listener->listen(QHostAddress::LocalHost, 0))
        m_failures
            << QStringLiteral("cannot listen on 127.0.0.1: %1").arg(m_listener->errorString());
}

ScriptedServer::~ScriptedServer()
{
    // Sockets must not call back into a half-destroyed server.
    for (const auto& c : m_connections) {
        c->pauseTimer.stop();
        QObject::disconnect(c->socket, nullptr, this, nullptr);
        c->socket->abort();
        delete c->socket;
    }
}

bool ScriptedServer::isListening() const
{
    return m_listener->isListening();
}

quint16 ScriptedServer::port() const
{
    return m_listener->serverPort();
}

QString ScriptedServer::hostWithPort() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

quint16 ScriptedServer::unusedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void ScriptedServer::play(const Scenario& scenario)
{
    const QList<Step>& steps = scenario.steps();
    for (qsizetype i = 0; i + 1 < steps.size(); ++i) {
        const Step::Kind kind = steps[i].kind;
        if (kind == Step::Kind::Close || kind == Step::Kind::ExpectClose) {
            m_failures << QStringLiteral("scenario %1: steps after \"%2\" can never be played")
                              .arg(m_connections.size() + m_queue.size())
                              .arg(steps[i].describe());
            break;
        }
    }
    m_queue.append(scenario);
}

int ScriptedServer::connectionCount() const
{
    return static_cast<int>(m_connections.size());
}

bool ScriptedServer::isFinished() const
{
    if (!m_queue.isEmpty())
        return false;
    return std::none_of(m_connections.begin(), m_connections.end(),
                        [](const auto& c) { return c->state == Connection::State::Playing; });
}

QString ScriptedServer::problems() const
{
    QStringList lines = m_failures;
    for (const auto& c : m_connections) {
        if (c->state == Connection::State::Playing) {
            lines << QStringLiteral("connection %1 stopped before step %2 of %3: %4")
                         .arg(c->index)
                         .arg(c->next + 1)
                         .arg(c->steps.size())
                         .arg(c->steps[c->next].describe());
        }
    }
    if (!m_queue.isEmpty())
        lines << QStringLiteral("%1 queued scenario(s) never played: no client connected for them")
                     .arg(m_queue.size());
    if (lines.isEmpty())
        return {};
    return lines.join(QLatin1Char('\n')) + QStringLiteral("\nTranscript:\n") + transcript();
}

qint64 ScriptedServer::bytesReceived(int connection) const
{
    if (connection < 0 || connection >= connectionCount())
        return 0;
    return m_connections[static_cast<size_t>(connection)]->bytesReceived;
}

bool ScriptedServer::clientClosed(int connection) const
{
    if (connection < 0 || connection >= connectionCount())
        return false;
    return m_connections[static_cast<size_t>(connection)]->clientClosed;
}

void ScriptedServer::onNewConnection()
{
    while (QTcpSocket* socket = m_listener->nextPendingConnection()) {
        auto owned = std::make_unique<Connection>();
        Connection* c = owned.get();
        c->index = connectionCount();
        c->socket = socket;
        // Without this, Nagle's algorithm holds a small piece back until the previous one is
        // acknowledged, and split replies arrive glued together.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        c->pauseTimer.setSingleShot(true);
        c->pauseTimer.setTimerType(Qt::PreciseTimer);
        m_connections.push_back(std::move(owned));
        m_log.record(c->index, EventKind::Accepted, {});

        connect(socket, &QTcpSocket::readyRead, this, [this, c] { onReadyRead(c); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, c] { advance(c); });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] { onClientClosed(c); });
        // Going on through a queued call lets every socket that became readable during the
        // pause be served first, so a client reads each piece of a split reply on its own.
        connect(&c->pauseTimer, &QTimer::timeout, this, [this, c] {
            QMetaObject::invokeMethod(
                this,
                [this, c] {
                    if (!c->pausing)
                        return;
                    c->pausing = false;
                    ++c->next;
                    advance(c);
                },
                Qt::QueuedConnection);
        });

        if (m_queue.isEmpty()) {
            fail(c, QStringLiteral("a client connected, but no scenario was queued for it"));
            continue;
        }
        c->steps = m_queue.takeFirst().steps();
        emit connectionAccepted(c->index);
        advance(c);
    }
}

void ScriptedServer::onReadyRead(Connection* c)
{
    const QByteArray data = c->socket->readAll();
    if (data.isEmpty())
        return;
    c->bytesReceived += data.size();
    // A line that began in an earlier read was written by the client in more than one go.
    bool continuesEarlierRead = !c->partial.isEmpty();
    c->partial += data;

    qsizetype from = 0;
    qsizetype end;
    while ((end = c->partial.indexOf('\n', from)) >= 0) {
        const QByteArray raw = c->partial.mid(from, end + 1 - from);
        from = end + 1;
        m_log.record(c->index, EventKind::Received, raw);
        const bool pieces = continuesEarlierRead;
        continuesEarlierRead = false;
        if (c->state == Connection::State::Failed)
            continue;
        if (!raw.endsWith("\r\n"))
            fail(c, QStringLiteral("the line %1 ends with LF alone, not CR LF").arg(quoted(raw)));
        else if (pieces)
            fail(c, QStringLiteral("the line %1 reached the server in pieces: the client did not "
                                   "write it in one go")
                        .arg(quoted(raw)));
        else
            c->lines.append(raw.chopped(2));
    }
    c->partial.remove(0, from);
    advance(c);
}

void ScriptedServer::onClientClosed(Connection* c)
{
    if (c->serverClosed || c->clientClosed)
        return;
    onReadyRead(c); // whatever came with the close
    c->clientClosed = true;
    m_log.record(c->index, EventKind::ClientClosed, {});
    if (!c->partial.isEmpty()) {
        m_log.record(c->index, EventKind::Received, c->partial);
        if (c->state != Connection::State::Failed)
            fail(c, QStringLiteral("the client sent %1 without a line end and closed")
                        .arg(quoted(c->partial)));
        c->partial.clear();
    }
    advance(c);
}

void ScriptedServer::advance(Connection* c)
{
    // Writing can report a closed socket at once; the outer call carries on with the new state.
    if (c->advancing)
        return;
    c->advancing = true;
    while (c->state == Connection::State::Playing && !c->pausing) {
        if (c->next >= c->steps.size()) {
            c->state = Connection::State::Done;
            break;
        }
        if (!playStep(c, c->steps[c->next]))
            break;
    }
    if (c->state == Connection::State::Done && !c->lines.isEmpty()) {
        fail(c, QStringLiteral("received %1 after the end of the scenario")
                    .arg(quoted(c->lines.first())));
    }
    c->advancing = false;
}

bool ScriptedServer::playStep(Connection* c, const Step& step)
{
    if (c->clientClosed && step.kind == Step::Kind::Flood) {
        ++c->next; // the client gave up, as it should
        return true;
    }
    if (c->clientClosed && step.kind != Step::Kind::ExpectClose &&
        !(step.kind == Step::Kind::Expect && !c->lines.isEmpty())) {
        fail(c, QStringLiteral("the client closed the connection before step %1: %2")
                    .arg(c->next + 1)
                    .arg(step.describe()));
        return false;
    }
    switch (step.kind) {
    case Step::Kind::Send:
        c->socket->write(step.bytes);
        c->socket->flush();
        m_log.record(c->index, EventKind::Sent, step.bytes);
        ++c->next;
        return true;
    case Step::Kind::Expect:
        return takeExpectedLine(c, step);
    case Step::Kind::Flood:
        flood(c, step);
        return false;
    case Step::Kind::Pause:
        c->pausing = true;
        c->pauseTimer.start(step.milliseconds);
        return false;
    case Step::Kind::Close:
        ++c->next;
        c->serverClosed = true;
        m_log.record(c->index, EventKind::ServerClosed, {});
        c->socket->disconnectFromHost();
        return true;
    case Step::Kind::ExpectClose:
        return takeClose(c);
    }
    return false;
}

bool ScriptedServer::takeExpectedLine(Connection* c, const Step& step)
{
    if (c->lines.isEmpty())
        return false;
    const QByteArray line = c->lines.takeFirst();
    if (line != step.bytes) {
        fail(c, QStringLiteral("step %1: expected %2, received %3")
                    .arg(c->next + 1)
                    .arg(quoted(step.bytes), quoted(line)));
        return false;
    }
    ++c->next;
    return true;
}

void ScriptedServer::flood(Connection* c, const Step& step)
{
    if (c->flooded >= step.limit) {
        fail(c, QStringLiteral("the client took %1 bytes of a flood without giving up")
                    .arg(c->flooded));
        return;
    }
    // Written as the socket drains, so the server's memory stays small too.
    if (c->socket->bytesToWrite() > 0)
        return;
    if (c->flooded == 0)
        m_log.record(c->index, EventKind::Sent, step.bytes);
    for (int i = 0; i < 64; ++i)
        c->socket->write(step.bytes);
    c->flooded += 64 * step.bytes.size();
}

bool ScriptedServer::takeClose(Connection* c)
{
    if (!c->lines.isEmpty()) {
        fail(c, QStringLiteral("step %1: expected the client to close, received %2")
                    .arg(c->next + 1)
                    .arg(quoted(c->lines.first())));
        return false;
    }
    if (!c->clientClosed)
        return false;
    ++c->next;
    return true;
}

void ScriptedServer::fail(Connection* c, const QString& message)
{
    const QString full = QStringLiteral("connection %1: %2").arg(c->index).arg(message);
    m_failures << full;
    m_log.record(c->index, EventKind::Failure, full.toUtf8());
    c->state = Connection::State::Failed;
    c->pausing = false;
    c->pauseTimer.stop();
    c->lines.clear();
    if (!c->serverClosed && !c->clientClosed) {
        c->serverClosed = true;
        m_log.record(c->index, EventKind::ServerClosed, {});
        c->socket->disconnectFromHost();
    }
}

} // namespace pop3test
