// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/fedtransport.h"
#include "testsupport/scenario.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testregistry.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace pop3test;

namespace {

// A bare client in the test's own thread: every read is kept as the chunk it arrived in.
class Client {
public:
    Client()
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { chunks << socket.readAll(); });
    }

    void connectTo(quint16 port) { socket.connectToHost(QHostAddress::LocalHost, port); }
    void send(const QByteArray& bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    QByteArray received() const { return chunks.join(); }
    bool isClosed() const { return socket.state() == QAbstractSocket::UnconnectedState; }

    QTcpSocket socket;
    QList<QByteArray> chunks;
};

constexpr int Limit = 5000; // ms; generous, every wait ends as soon as its condition holds

} // namespace

// What the client tests rely on: the scripted server and the fed transport play a scenario in
// order and report every way a client strays from it, and a transcript means what it says.
class TestScriptedServer : public QObject {
    Q_OBJECT
private slots:
    void readsTheTranscriptNotation();
    void playsAScenarioInOrder();
    void reportsWhatTheClientDidWrong_data();
    void reportsWhatTheClientDidWrong();
    void splitRepliesArriveAsSeparateReads();
    void keepsAPauseAtLeastItsLength();
    void playsConnectionsInSequence();
    void fedTransportReportsWhatTheClientDidWrong_data();
    void fedTransportReportsWhatTheClientDidWrong();
};

void TestScriptedServer::readsTheTranscriptNotation()
{
    const Scenario scenario = transcript("  S: +OK\n S: two\n\nC: user \nP: 300\n"
                                         "S: <flood 1 abc>\nC: <close>\nS: <close>");
    QStringList steps;
    for (const Step& step : scenario.steps())
        steps << step.describe();
    QCOMPARE(steps,
             QStringList({QStringLiteral("send \"+OK\\r\\ntwo\\r\\n\""),
                          QStringLiteral("expect \"user \""), QStringLiteral("pause 300 ms"),
                          QStringLiteral("flood with \"1 abc\\r\\n\""),
                          QStringLiteral("expect the client to close"), QStringLiteral("close")}));
}

void TestScriptedServer::playsAScenarioInOrder()
{
    ScriptedServer server;
    server.play(transcript("S: +OK ready\nC: user joe\nS: +OK go on\nC: pass x\nS: -ERR no\n"
                           "S: <close>"));
    Client client;
    client.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK ready\r\n"), Limit);
    // Nothing after the greeting goes out before the expected line has come.
    QCOMPARE(server.sentBytes(0), QByteArray("+OK ready\r\n"));
    QVERIFY(!server.isFinished());

    client.send("user joe\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK ready\r\n+OK go on\r\n"), Limit);
    client.send("pass x\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(client.isClosed(), Limit);
    QCOMPARE(client.received(), QByteArray("+OK ready\r\n+OK go on\r\n-ERR no\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);
    QCOMPARE(server.receivedLines(), (QList<QByteArray>{"user joe", "pass x"}));
}

// Each row: what the client writes after the greeting, one write at a time ("<close>" and
// "<abort>" end the connection), and what the server's report must name.
void TestScriptedServer::reportsWhatTheClientDidWrong_data()
{
    QTest::addColumn<Scenario>("scenario"); // none: nothing is queued
    QTest::addColumn<bool>("connects");
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QString>("problem");
    const Scenario userJoe = transcript("S: +OK\nC: user joe\nS: +OK");
    const Scenario quitAndClose = transcript("S: +OK\nC: quit\nC: <close>");
    QTest::newRow("a wrong line") << userJoe << true << QList<QByteArray>{"user bob\r\n"}
                                  << QStringLiteral("expected \"user joe\", received \"user bob\"");
    QTest::newRow("a line ended by LF alone")
        << userJoe << true << QList<QByteArray>{"user joe\n"} << QStringLiteral("LF alone");
    QTest::newRow("a line written in pieces")
        << userJoe << true << QList<QByteArray>{"user ", "joe\r\n"} << QStringLiteral("in pieces");
    QTest::newRow("a line without its end before a close")
        << quitAndClose << true << QList<QByteArray>{"quit", "<close>"}
        << QStringLiteral("without a line end");
    QTest::newRow("a line after the end")
        << userJoe << true << QList<QByteArray>{"user joe\r\n", "quit\r\n"}
        << QStringLiteral("received \"quit\" after the end");
    QTest::newRow("a close before the end") << userJoe << true << QList<QByteArray>{"<abort>"}
                                            << QStringLiteral("closed the connection before");
    QTest::newRow("no close where expected")
        << quitAndClose << true << QList<QByteArray>{"quit\r\n"}
        << QStringLiteral("expect the client to close");
    QTest::newRow("nothing queued")
        << Scenario() << true << QList<QByteArray>() << QStringLiteral("no scenario was queued");
    QTest::newRow("never connected")
        << userJoe << false << QList<QByteArray>() << QStringLiteral("never played");
}

void TestScriptedServer::reportsWhatTheClientDidWrong()
{
    QFETCH(Scenario, scenario);
    QFETCH(bool, connects);
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QString, problem);
    ScriptedServer server;
    if (scenario.size() > 0)
        server.play(scenario);
    Client client;
    if (connects)
        client.connectTo(server.port());
    if (connects && scenario.size() > 0)
        QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    qint64 sent = 0;
    for (const QByteArray& write : writes) {
        if (write == "<close>") {
            client.socket.disconnectFromHost();
        } else if (write == "<abort>") {
            client.socket.abort();
        } else {
            client.send(write);
            sent += write.size();
            // Each write reaches the server on its own.
            QTRY_COMPARE_WITH_TIMEOUT(server.bytesReceived(0), sent, Limit);
        }
    }
    QTRY_VERIFY2_WITH_TIMEOUT(server.problems().contains(problem), qPrintable(server.problems()),
                              Limit);
}

void TestScriptedServer::splitRepliesArriveAsSeparateReads()
{
    ScriptedServer server;
    server.play({Step::sendSplit("+OK 1 340\r\n", {4, 6}), Step::expect("next"),
                 Step::sendBytewise("+OK 2 200\r\n"), Step::expect("both"),
                 Step::send("+OK 1\r\n+OK 2\r\n"), Step::expect("done")});
    Client client;
    client.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK 1 340\r\n"), Limit);
    QCOMPARE(client.chunks, (QList<QByteArray>{"+OK ", "1 ", "340\r\n"}));

    client.chunks.clear();
    client.send("next\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK 2 200\r\n"), Limit);
    QCOMPARE(client.chunks.size(), 11);

    // Several replies in one send reach the client in one read.
    client.chunks.clear();
    client.send("both\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK 1\r\n+OK 2\r\n"), Limit);
    QCOMPARE(client.chunks.size(), 1);

    client.send("done\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);
}

void TestScriptedServer::keepsAPauseAtLeastItsLength()
{
    ScriptedServer server;
    server.play(transcript("S: +OK\nC: go\nP: 150\nS: +OK late"));
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    QElapsedTimer clock;
    clock.start();
    client.send("go\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(client.received().endsWith("+OK late\r\n"), Limit);
    QVERIFY2(clock.elapsed() >= 150, qPrintable(QString::number(clock.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);
}

void TestScriptedServer::playsConnectionsInSequence()
{
    ScriptedServer server;
    server.play(transcript("S: +OK first\nC: user a\nS: <close>"));
    server.play(transcript("S: +OK second\nC: user b\nS: +OK\nS: <close>"));

    Client first;
    first.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(first.received(), QByteArray("+OK first\r\n"), Limit);
    first.send("user a\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(first.isClosed(), Limit);
    QVERIFY(!server.isFinished()); // the second scenario still waits for its client

    Client second;
    second.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(second.received(), QByteArray("+OK second\r\n"), Limit);
    second.send("user b\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(second.isClosed(), Limit);
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);
    QCOMPARE(server.connectionCount(), 2);
    QCOMPARE(server.receivedLines(0), QList<QByteArray>{"user a"});
    QCOMPARE(server.receivedLines(1), QList<QByteArray>{"user b"});
}

// Each row: what the client does ("<open>", "<close>", or a line it sends), and what the fed
// transport's report must name.
void TestScriptedServer::fedTransportReportsWhatTheClientDidWrong_data()
{
    QTest::addColumn<Scenario>("scenario"); // none: nothing is queued
    QTest::addColumn<QList<QByteArray>>("actions");
    QTest::addColumn<QString>("problem");
    const Scenario userJoe = transcript("S: +OK\nC: user joe\nS: +OK");
    QTest::newRow("a wrong line") << userJoe << QList<QByteArray>{"<open>", "user bob"}
                                  << QStringLiteral("expected \"user joe\", received \"user bob\"");
    QTest::newRow("a line after the end")
        << transcript("S: +OK") << QList<QByteArray>{"<open>", "quit"}
        << QStringLiteral("received \"quit\" where the script holds: its end");
    QTest::newRow("a close before the end")
        << userJoe << QList<QByteArray>{"<open>", "<close>"} << QStringLiteral("before step 2");
    QTest::newRow("no close where expected")
        << transcript("C: quit\nC: <close>") << QList<QByteArray>{"<open>", "quit"}
        << QStringLiteral("expect the client to close");
    QTest::newRow("nothing queued")
        << Scenario() << QList<QByteArray>{"<open>"} << QStringLiteral("no scenario was queued");
    QTest::newRow("never connected")
        << userJoe << QList<QByteArray>() << QStringLiteral("never played");
}

void TestScriptedServer::fedTransportReportsWhatTheClientDidWrong()
{
    QFETCH(Scenario, scenario);
    QFETCH(QList<QByteArray>, actions);
    QFETCH(QString, problem);
    FedTransport transport;
    if (scenario.size() > 0)
        transport.play(scenario);
    for (const QByteArray& action : actions) {
        if (action == "<open>")
            transport.open({});
        else if (action == "<close>")
            transport.close();
        else
            transport.sendLine(action);
    }
    QVERIFY2(transport.problems().contains(problem), qPrintable(transport.problems()));
}

TARVOLK_TEST(TestScriptedServer);
#include "test_scriptedserver.moc"
