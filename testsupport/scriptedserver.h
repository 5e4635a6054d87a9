// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// A POP3 server for tests that plays a scripted conversation on 127.0.0.1.
//
// The client under test runs in the same thread and waits inside a nested event loop, so the
// server only ever reacts to signals and timers: it never blocks, never calls waitFor*() and never
// processes events itself.
//
//     using namespace pop3test;
//     ScriptedServer server;
//     server.play({Step::loginOk("joe", "secret"),
//                  Step::expect("stat"), Step::sendSplit("+OK 2 340\r\n", {5}),
//                  Step::quitOk()});
//     ... run the client against server.hostWithPort() ...
//     QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), 5000);
//     SCRIPTED_VERIFY(server);

#include "testsupport/scenario.h"
#include "testsupport/serverlog.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QTcpServer;

namespace pop3test {

class ScriptedServer : public QObject {
    Q_OBJECT
public:
    using EventKind = ServerLog::Kind;
    using Event = ServerLog::Event;

    // Listens on 127.0.0.1 at a port the system chooses.
    explicit ScriptedServer(QObject* parent = nullptr);
    ~ScriptedServer() override;

    bool isListening() const;
    quint16 port() const;
    QString hostWithPort() const; // "127.0.0.1:<port>", the form the settings take

    // A loopback port with nothing listening on it (bound and released at once).
    static quint16 unusedPort();

    // Queues a scenario: each accepted connection plays the next queued one. A connection with
    // nothing queued is a failure and is closed at once.
    void play(const Scenario& scenario);

    int connectionCount() const;
    // Every queued scenario has been taken by a connection and played to its end (or stopped by
    // a failure). True as well when nothing was ever queued.
    bool isFinished() const;

    // Failures, steps not played, scenarios never taken, followed by the transcript; empty when
    // every queued scenario was played to its end without a failure. SCRIPTED_VERIFY uses it.
    QString problems() const;

    // What happened, in order (ServerLog).
    const QList<Event>& events() const { return m_log.events(); }
    QList<QByteArray> receivedLines(int connection = -1) const
    {
        return m_log.receivedLines(connection);
    }
    QList<QByteArray> receivedLinesStartingWith(const QByteArray& prefix) const
    {
        return m_log.receivedLinesStartingWith(prefix);
    }
    QByteArray sentBytes(int connection) const { return m_log.sentBytes(connection); }
    QString transcript() const { return m_log.transcript(); }
    qint64 bytesReceived(int connection) const;
    bool clientClosed(int connection) const;

signals:
    void connectionAccepted(int connection);

private:
    struct Connection;

    void onNewConnection();
    void onReadyRead(Connection* c);
    void onClientClosed(Connection* c);
    void advance(Connection* c);
    // Plays one step; false when the scenario waits (for the client, for a pause, for the socket
    // to drain) or has failed.
    bool playStep(Connection* c, const Step& step);
    bool takeExpectedLine(Connection* c, const Step& step);
    void flood(Connection* c, const Step& step);
    bool takeClose(Connection* c);
    void fail(Connection* c, const QString& message);

    QTcpServer* m_listener = nullptr;
    QList<Scenario> m_queue;
    std::vector<std::unique_ptr<Connection>> m_connections;
    ServerLog m_log;
    QStringList m_failures;
};

} // namespace pop3test
