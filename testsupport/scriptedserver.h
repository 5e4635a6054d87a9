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

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <vector>

class QTcpServer;

namespace pop3test {

class Scenario;

// One line of the script.
struct Step {
    enum class Kind {
        Send,        // write bytes (one write, then flush)
        Expect,      // the next line from the client, compared without its CR LF
        Pause,       // wait, then go on with the next step
        Close,       // the server closes the connection; ends the scenario
        ExpectClose, // the client must close the connection now; any line is a failure
        Flood,       // write bytes again and again, as the client takes them, until it closes
    };

    // Gap between the pieces of a split reply: long enough for the client to read each piece on
    // its own, short enough for a test that splits at every byte.
    static constexpr int DefaultGapMs = 5;

    Kind kind = Kind::Send;
    QByteArray bytes; // Send, Flood: the bytes; Expect: the line without CR LF
    int milliseconds = 0;
    qint64 limit = 0; // Flood

    static Step send(const QByteArray& bytes);
    static Step expect(const QByteArray& line);
    static Step pause(int milliseconds);
    static Step close();
    static Step expectClose();
    // A server that does not stop: bytes repeated until the client closes or `limit` bytes
    // have gone out (which fails the scenario: the client should have given up before).
    static Step flood(const QByteArray& bytes, qint64 limit);

    // One reply written in pieces, each flushed, with a pause between them, so that the client's
    // socket reads each piece separately. `positions` are the offsets where a new piece begins;
    // offsets outside 1..size-1 and repeats are dropped, so splitting at 0 sends the reply whole.
    static Scenario sendSplit(const QByteArray& bytes, const QList<int>& positions,
                              int gapMs = DefaultGapMs);
    static Scenario sendPieces(const QList<QByteArray>& pieces, int gapMs = DefaultGapMs);
    static Scenario sendBytewise(const QByteArray& bytes, int gapMs = DefaultGapMs);

    // Greeting, "user <user>", "+OK", "pass <password>", "+OK", from a server that answers
    // "capa" with "-ERR" before and after the log-in.
    static Scenario loginOk(const QByteArray& user, const QByteArray& password,
                            const QByteArray& greeting = "+OK POP3 server ready");
    // "quit", "+OK", and the server closes, as a POP3 server does.
    static Scenario quitOk();

    QString describe() const;
};

// A list of steps. Built from steps and from other scenarios, which are spliced in place:
//     Scenario s{Step::loginOk("joe", "pw"), Step::expect("stat"), Step::send("+OK 0 0\r\n")};
class Scenario {
public:
    Scenario() = default;
    Scenario(const Step& step); // NOLINT: implicit on purpose, so steps and scenarios mix
    Scenario(std::initializer_list<Scenario> parts);

    Scenario& operator<<(const Scenario& more);
    const QList<Step>& steps() const { return m_steps; }
    qsizetype size() const { return m_steps.size(); }

private:
    QList<Step> m_steps;
};

class ScriptedServer : public QObject {
    Q_OBJECT
public:
    enum class EventKind { Accepted, Sent, Received, ServerClosed, ClientClosed, Failure };
    struct Event {
        int connection = 0; // 0 for the first accepted connection
        EventKind kind = EventKind::Accepted;
        QByteArray bytes; // Sent: what was written; Received: one line with its line end
        qint64 atMs = 0;  // since the server was created
    };

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

    // Failures recorded so far; empty when all went well.
    QStringList failures() const;
    // Failures, steps not played, scenarios never taken, followed by the transcript; empty when
    // every queued scenario was played to its end without a failure. SCRIPTED_VERIFY uses it.
    QString problems() const;

    QList<Event> events() const { return m_events; }
    // Lines received without their line end: from every connection in order, or from one.
    QList<QByteArray> receivedLines() const;
    QList<QByteArray> receivedLines(int connection) const;
    QList<QByteArray> receivedLinesStartingWith(const QByteArray& prefix) const;
    QByteArray sentBytes(int connection) const;
    qint64 bytesReceived(int connection) const;
    bool clientClosed(int connection) const;
    // The whole conversation, readable: "[0] S: +OK ready\r\n", "[0] C: user joe\r\n", ...
    QString transcript() const;

signals:
    void connectionAccepted(int connection);
    void scenarioPlayed(int connection); // every step played
    void failed(const QString& message);
    void finished(); // isFinished() has become true

private:
    struct Connection;

    void onNewConnection();
    void onReadyRead(Connection* c);
    void onClientClosed(Connection* c);
    void advance(Connection* c);
    void fail(Connection* c, const QString& message);
    void record(int connection, EventKind kind, const QByteArray& bytes);
    void checkFinished();

    QTcpServer* m_listener = nullptr;
    QElapsedTimer m_clock;
    QList<Scenario> m_queue;
    std::vector<std::unique_ptr<Connection>> m_connections;
    QList<Event> m_events;
    QStringList m_failures;
    bool m_finishedSignalled = true;
};

} // namespace pop3test

// Fails the calling test function, with the transcript, unless the server played every queued
// scenario to its end without a failure.
#define SCRIPTED_VERIFY(server)                                                                    \
    do {                                                                                           \
        const QString scriptedProblems_ = (server).problems();                                     \
        QVERIFY2(scriptedProblems_.isEmpty(), qPrintable(scriptedProblems_));                      \
    } while (false)
