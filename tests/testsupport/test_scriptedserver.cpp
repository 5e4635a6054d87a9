#include "testsupport/scriptedserver.h"
#include "testsupport/testregistry.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

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
    void sendLine(const QByteArray& line)
    {
        socket.write(line + "\r\n");
        socket.flush();
    }
    void sendRaw(const QByteArray& bytes)
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

class TestScriptedServer : public QObject {
    Q_OBJECT
private slots:
    void scenariosMixStepsAndHelpers();
    void splitPositionsAreCleanedUp();
    void playsAScenarioInOrder();
    void reportsAnUnexpectedLineAndCloses();
    void reportsALineEndedByLfAlone();
    void reportsALineWrittenInPieces();
    void reportsAnUnendedLineBeforeAClose();
    void reportsALineAfterTheEnd();
    void splitRepliesArriveAsSeparateReads();
    void clientSeesTheServerClose();
    void waitsForTheClientToClose();
    void reportsAClientThatLeavesEarly();
    void keepsAPauseAtLeastItsLength();
    void playsConnectionsInSequence();
    void reportsAConnectionWithNothingQueued();
    void reportsAScenarioNobodyTook();
    void nothingQueuedAndNoConnectionIsFine();
    void unusedPortRefusesConnections();
    void servesAClientWaitingInANestedLoop();
};

void TestScriptedServer::scenariosMixStepsAndHelpers()
{
    const Scenario s{Step::loginOk("joe", "secret", "+OK hi"), Step::expect("stat"),
                     Step::quitOk()};
    QCOMPARE(s.size(), 13);
    QCOMPARE(s.steps()[0].bytes, QByteArray("+OK hi\r\n"));
    QCOMPARE(s.steps()[3].kind, Step::Kind::Expect);
    QCOMPARE(s.steps()[3].bytes, QByteArray("user joe"));
    QCOMPARE(s.steps()[5].bytes, QByteArray("pass secret"));
    QCOMPARE(s.steps()[9].bytes, QByteArray("stat"));
    QCOMPARE(s.steps()[10].bytes, QByteArray("quit"));
    QCOMPARE(s.steps()[12].kind, Step::Kind::Close);
}

void TestScriptedServer::splitPositionsAreCleanedUp()
{
    // Out of range and repeated positions vanish; the order of positions does not matter.
    const Scenario s = Step::sendSplit("abcdef", {4, 0, 2, 2, 6, 9});
    QCOMPARE(s.size(), 5);
    QCOMPARE(s.steps()[0].bytes, QByteArray("ab"));
    QCOMPARE(s.steps()[1].kind, Step::Kind::Pause);
    QCOMPARE(s.steps()[2].bytes, QByteArray("cd"));
    QCOMPARE(s.steps()[4].bytes, QByteArray("ef"));
    QCOMPARE(Step::sendSplit("abc", {0, 3}).size(), 1);
    QCOMPARE(Step::sendBytewise("abc").size(), 5);
}

void TestScriptedServer::playsAScenarioInOrder()
{
    ScriptedServer server;
    QVERIFY(server.isListening());
    server.play({Step::send("+OK ready\r\n"), Step::expect("user joe"), Step::send("+OK"),
                 Step::send(" go on\r\n"), Step::expect("pass x"), Step::pause(20),
                 Step::send("-ERR no\r\n"), Step::close()});
    Client client;
    client.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK ready\r\n"), Limit);
    // Nothing after the greeting goes out before the expected line has come.
    QCOMPARE(server.sentBytes(0), QByteArray("+OK ready\r\n"));
    QVERIFY(!server.isFinished());

    client.sendLine("user joe");
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK ready\r\n+OK go on\r\n"), Limit);
    client.sendLine("pass x");
    QTRY_VERIFY_WITH_TIMEOUT(client.isClosed(), Limit);
    QCOMPARE(client.received(), QByteArray("+OK ready\r\n+OK go on\r\n-ERR no\r\n"));

    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);
    QCOMPARE(server.receivedLines(), (QList<QByteArray>{"user joe", "pass x"}));
    QCOMPARE(server.sentBytes(0), client.received());
    QVERIFY(!server.clientClosed(0));
    QVERIFY(server.transcript().contains(QStringLiteral("[0] ")));
    QVERIFY(server.transcript().contains(QStringLiteral("C: user joe\\r\\n")));
}

void TestScriptedServer::reportsAnUnexpectedLineAndCloses()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::expect("user joe"), Step::send("+OK\r\n")});
    QSignalSpy failed(&server, &ScriptedServer::failed);
    Client client;
    client.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK\r\n"), Limit);
    client.sendLine("user bob");

    QTRY_VERIFY_WITH_TIMEOUT(client.isClosed(), Limit);
    QCOMPARE(client.received(), QByteArray("+OK\r\n")); // the rest is not played
    QCOMPARE(failed.size(), 1);
    QCOMPARE(server.failures().size(), 1);
    const QString failure = server.failures().first();
    QVERIFY2(failure.contains(QStringLiteral("\"user joe\"")), qPrintable(failure));
    QVERIFY2(failure.contains(QStringLiteral("\"user bob\"")), qPrintable(failure));
    QVERIFY(server.isFinished());
    QVERIFY(server.problems().contains(failure));
    QVERIFY(server.problems().contains(QStringLiteral("Transcript:")));

    QEXPECT_FAIL("", "the wrong line must fail the verification", Abort);
    SCRIPTED_VERIFY(server);
}

void TestScriptedServer::reportsALineEndedByLfAlone()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::expect("user joe")});
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    client.sendRaw("user joe\n");
    QTRY_VERIFY_WITH_TIMEOUT(client.isClosed(), Limit);
    QCOMPARE(server.failures().size(), 1);
    QVERIFY2(server.failures().first().contains(QStringLiteral("LF alone")),
             qPrintable(server.failures().first()));
}

void TestScriptedServer::reportsALineWrittenInPieces()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::expect("user joe"), Step::send("+OK\r\n")});
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    client.sendRaw("user ");
    QTRY_COMPARE_WITH_TIMEOUT(server.bytesReceived(0), qint64(5), Limit);
    client.sendRaw("joe\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(client.isClosed(), Limit);
    QCOMPARE(server.failures().size(), 1);
    QVERIFY2(server.failures().first().contains(QStringLiteral("in pieces")),
             qPrintable(server.failures().first()));
    QCOMPARE(client.received(), QByteArray("+OK\r\n"));
}

void TestScriptedServer::reportsAnUnendedLineBeforeAClose()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::expect("quit"), Step::expectClose()});
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    client.sendRaw("quit");
    QTRY_COMPARE_WITH_TIMEOUT(server.bytesReceived(0), qint64(4), Limit);
    client.socket.disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    QVERIFY(!server.failures().isEmpty());
    QVERIFY2(server.failures().first().contains(QStringLiteral("without a line end")),
             qPrintable(server.failures().first()));
    QCOMPARE(server.receivedLines(), QList<QByteArray>{"quit"});
}

void TestScriptedServer::reportsALineAfterTheEnd()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::expect("user joe"), Step::send("+OK\r\n")});
    QSignalSpy played(&server, &ScriptedServer::scenarioPlayed);
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    client.sendLine("user joe");
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK\r\n+OK\r\n"), Limit);
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    QCOMPARE(played.size(), 1);
    QVERIFY(server.problems().isEmpty());

    client.sendLine("quit");
    QTRY_VERIFY_WITH_TIMEOUT(client.isClosed(), Limit);
    QCOMPARE(server.failures().size(), 1);
    QVERIFY(server.failures().first().contains(QStringLiteral("after the end")));
    QCOMPARE(server.receivedLinesStartingWith("quit"), QList<QByteArray>{"quit"});
    QVERIFY(server.receivedLinesStartingWith("pass").isEmpty());
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
    client.sendLine("next");
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK 2 200\r\n"), Limit);
    QCOMPARE(client.chunks.size(), 11);
    for (const QByteArray& chunk : std::as_const(client.chunks))
        QCOMPARE(chunk.size(), 1);

    // Several replies in one send reach the client in one read.
    client.chunks.clear();
    client.sendLine("both");
    QTRY_COMPARE_WITH_TIMEOUT(client.received(), QByteArray("+OK 1\r\n+OK 2\r\n"), Limit);
    QCOMPARE(client.chunks.size(), 1);

    client.sendLine("done");
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);
}

void TestScriptedServer::clientSeesTheServerClose()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::close()});
    Client client;
    QSignalSpy disconnected(&client.socket, &QTcpSocket::disconnected);
    client.connectTo(server.port());
    QVERIFY(disconnected.wait(Limit));
    QCOMPARE(client.received(), QByteArray("+OK\r\n"));
    QVERIFY(server.isFinished());
    SCRIPTED_VERIFY(server);
    QCOMPARE(server.events().last().kind, ScriptedServer::EventKind::ServerClosed);
}

void TestScriptedServer::waitsForTheClientToClose()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::expect("quit"), Step::expectClose()});
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    client.sendLine("quit");
    QTRY_COMPARE_WITH_TIMEOUT(server.receivedLines(), QList<QByteArray>{"quit"}, Limit);
    QVERIFY(!server.isFinished());
    QVERIFY(server.problems().contains(QStringLiteral("expect the client to close")));

    client.socket.disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    QVERIFY(server.clientClosed(0));
    SCRIPTED_VERIFY(server);
}

void TestScriptedServer::reportsAClientThatLeavesEarly()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n"), Step::expect("user joe"), Step::send("+OK\r\n")});
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    client.socket.abort();
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    QCOMPARE(server.failures().size(), 1);
    QVERIFY2(server.failures().first().contains(QStringLiteral("closed the connection before")),
             qPrintable(server.failures().first()));
}

void TestScriptedServer::keepsAPauseAtLeastItsLength()
{
    ScriptedServer server;
    server.play(
        {Step::send("+OK\r\n"), Step::expect("go"), Step::pause(150), Step::send("+OK late\r\n")});
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(!client.received().isEmpty(), Limit);
    QElapsedTimer clock;
    clock.start();
    client.sendLine("go");
    QTRY_VERIFY_WITH_TIMEOUT(client.received().endsWith("+OK late\r\n"), Limit);
    QVERIFY2(clock.elapsed() >= 150, qPrintable(QString::number(clock.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);

    const QList<ScriptedServer::Event> events = server.events();
    qint64 heard = -1;
    qint64 answered = -1;
    for (const ScriptedServer::Event& e : events) {
        if (e.kind == ScriptedServer::EventKind::Received)
            heard = e.atMs;
        if (e.kind == ScriptedServer::EventKind::Sent && e.bytes == "+OK late\r\n")
            answered = e.atMs;
    }
    QVERIFY(heard >= 0);
    QVERIFY2(answered - heard >= 150, qPrintable(server.transcript()));
}

void TestScriptedServer::playsConnectionsInSequence()
{
    ScriptedServer server;
    server.play({Step::send("+OK first\r\n"), Step::expect("user a"), Step::send("+OK\r\n"),
                 Step::close()});
    server.play({Step::send("+OK second\r\n"), Step::expect("user b"), Step::send("+OK\r\n"),
                 Step::quitOk()});
    QSignalSpy accepted(&server, &ScriptedServer::connectionAccepted);
    QSignalSpy finished(&server, &ScriptedServer::finished);

    Client first;
    first.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(first.received(), QByteArray("+OK first\r\n"), Limit);
    first.sendLine("user a");
    QTRY_VERIFY_WITH_TIMEOUT(first.isClosed(), Limit);
    QVERIFY(!server.isFinished()); // the second scenario still waits for its client
    QCOMPARE(finished.size(), 0);

    Client second;
    second.connectTo(server.port());
    QTRY_COMPARE_WITH_TIMEOUT(second.received(), QByteArray("+OK second\r\n"), Limit);
    second.sendLine("user b");
    QTRY_VERIFY_WITH_TIMEOUT(second.received().endsWith("+OK\r\n"), Limit);
    second.sendLine("quit");
    QTRY_VERIFY_WITH_TIMEOUT(second.isClosed(), Limit);

    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    QCOMPARE(finished.size(), 1);
    SCRIPTED_VERIFY(server);
    QCOMPARE(accepted.size(), 2);
    QCOMPARE(server.connectionCount(), 2);
    QCOMPARE(server.receivedLines(0), QList<QByteArray>{"user a"});
    QCOMPARE(server.receivedLines(1), (QList<QByteArray>{"user b", "quit"}));
    QCOMPARE(server.receivedLines(), (QList<QByteArray>{"user a", "user b", "quit"}));
    QCOMPARE(server.sentBytes(0), QByteArray("+OK first\r\n+OK\r\n"));
    QCOMPARE(server.sentBytes(1), QByteArray("+OK second\r\n+OK\r\n+OK bye\r\n"));
}

void TestScriptedServer::reportsAConnectionWithNothingQueued()
{
    ScriptedServer server;
    Client client;
    client.connectTo(server.port());
    QTRY_VERIFY_WITH_TIMEOUT(server.connectionCount() == 1 && client.isClosed(), Limit);
    QCOMPARE(server.failures().size(), 1);
    QVERIFY(server.failures().first().contains(QStringLiteral("no scenario was queued")));
}

void TestScriptedServer::reportsAScenarioNobodyTook()
{
    ScriptedServer server;
    server.play({Step::send("+OK\r\n")});
    QVERIFY(!server.isFinished());
    QVERIFY(server.failures().isEmpty());
    QVERIFY(server.problems().contains(QStringLiteral("never played")));
}

void TestScriptedServer::nothingQueuedAndNoConnectionIsFine()
{
    ScriptedServer server;
    QVERIFY(server.isFinished());
    QCOMPARE(server.connectionCount(), 0);
    SCRIPTED_VERIFY(server);
    QVERIFY(server.hostWithPort().startsWith(QStringLiteral("127.0.0.1:")));
}

void TestScriptedServer::unusedPortRefusesConnections()
{
    const quint16 port = ScriptedServer::unusedPort();
    QVERIFY(port != 0);
    QTcpSocket socket;
    QSignalSpy errors(&socket, &QTcpSocket::errorOccurred);
    socket.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(errors.wait(Limit));
    QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);
}

// The client under test reads the way this does: a nested event loop that ends on new data or on
// its time limit, repeated until the reply is complete.
void TestScriptedServer::servesAClientWaitingInANestedLoop()
{
    ScriptedServer server;
    server.play({Step::sendPieces({"+OK POP3 ", "ready\r\n"}), Step::expect("user joe"),
                 Step::pause(30), Step::send("+OK\r\n"), Step::expectClose()});
    QTcpSocket socket;
    QByteArray buffer;
    int waits = 0;
    QElapsedTimer clock;
    auto waitForLine = [&] {
        clock.start();
        while (!buffer.endsWith("\r\n") && clock.elapsed() < Limit) {
            QEventLoop loop;
            QTimer limit;
            limit.setSingleShot(true);
            QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
            QObject::connect(&socket, &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
            limit.start(Limit);
            loop.exec();
            buffer += socket.readAll();
            ++waits;
        }
    };

    socket.connectToHost(QHostAddress::LocalHost, server.port());
    waitForLine();
    QCOMPARE(buffer, QByteArray("+OK POP3 ready\r\n"));
    QCOMPARE(waits, 2); // one wake-up per piece

    buffer.clear();
    socket.write("user joe\r\n");
    waitForLine();
    QCOMPARE(buffer, QByteArray("+OK\r\n"));
    socket.disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), Limit);
    SCRIPTED_VERIFY(server);
}

TARVOLK_TEST(TestScriptedServer);
#include "test_scriptedserver.moc"
