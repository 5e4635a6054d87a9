// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/connection.h"
#include "mailbox/replyreader.h"
#include "testsupport/fedsource.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testregistry.h"

#include <QElapsedTimer>
#include <QTest>
#include <ctime>

using pop3test::Scenario;
using pop3test::ScriptedServer;
using pop3test::Step;

namespace {

// A "top" answer as dovecot sends it: "+OK" alone, then the lines, then ".".
const QByteArray TopReply = "+OK\r\nFrom: a@example.org\r\nSubject: Hi\r\n\r\nRegards.\r\n"
                            "..dotted\r\n.\r\n";
const QByteArray TopBody = "From: a@example.org\r\nSubject: Hi\r\n\r\nRegards.\r\n.dotted\r\n";

} // namespace

class TestReplyReader : public QObject {
    Q_OBJECT
private slots:
    void waitTimesOutWithinTheLimitWithoutBurningCpu();
    void statusLineWaitsForItsLineEnd();
    void statusLineLeavesTheNextAnswerBuffered();
    void badAnswersFailTheConnection_data();
    void badAnswersFailTheConnection();
    void multiLineSplitAtEveryByte();
    void multiLineEndsOnlyAtTheDotLine_data();
    void multiLineEndsOnlyAtTheDotLine();
    void multiLineErrorHasNoBody();
    void multiLineKeepsTheChunkThatCrossesTheLimit();
    void undoesDotStuffing_data();
    void undoesDotStuffing();
    void linesHandedOutAreCutWithoutLineEnd_data();
    void linesHandedOutAreCutWithoutLineEnd();

private:
    void connectTo(Connection& connection, ScriptedServer& server);
};

void TestReplyReader::connectTo(Connection& connection, ScriptedServer& server)
{
    ServerAddress address;
    address.host = QStringLiteral("127.0.0.1");
    address.port = server.port();
    connection.open(address);
}

void TestReplyReader::waitTimesOutWithinTheLimitWithoutBurningCpu()
{
    ScriptedServer server;
    server.play({Step::pause(5000)});
    Connection connection;
    connection.setTimeLimitMs(1000);
    connectTo(connection, server);
    QElapsedTimer clock;
    clock.start();
    const std::clock_t cpuBefore = std::clock();
    QVERIFY(connection.Wait_Reply());
    const double cpuMs = 1000.0 * double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    QVERIFY(connection.TimedOut);
    QVERIFY(connection.RecvBuffer.isEmpty());
    QVERIFY2(clock.elapsed() >= 1000 && clock.elapsed() < 1500,
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(cpuMs < 200, qPrintable(QStringLiteral("CPU %1 ms during a 1 s wait").arg(cpuMs)));
}

void TestReplyReader::statusLineWaitsForItsLineEnd()
{
    ScriptedServer server;
    server.play({Step::sendPieces({"+OK 1", "2 340", "\r\n"}, 30)});
    Connection connection;
    connectTo(connection, server);
    QByteArray line;
    QVERIFY(readStatusLine(connection, line));
    QCOMPARE(line, QByteArray("+OK 12 340\r\n"));
}

void TestReplyReader::statusLineLeavesTheNextAnswerBuffered()
{
    ScriptedServer server;
    server.play({Step::send("+OK first\r\n+OK sec"), Step::pause(30), Step::send("ond\r\n")});
    Connection connection;
    connectTo(connection, server);
    QByteArray line;
    QVERIFY(readStatusLine(connection, line));
    QCOMPARE(line, QByteArray("+OK first\r\n"));
    QCOMPARE(connection.RecvBuffer.unread().toByteArray(), QByteArray("+OK sec"));
    QVERIFY(readStatusLine(connection, line));
    QCOMPARE(line, QByteArray("+OK second\r\n"));
}

void TestReplyReader::badAnswersFailTheConnection_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<qint64>("expectedSize"); // of a multi-line answer; -1 for a status line
    QTest::addColumn<int>("allowedMs");       // time limit 300 ms, 1000 bytes a second, cap 600 ms
    QTest::addColumn<QString>("reason");
    const Scenario trickle = Step::sendBytewise(QByteArray(250, 'x'), 40); // within the time limit
    const QString slow = QStringLiteral("Der Server antwortet zu langsam: seine Antwort war nach "
                                        "%1 Sekunden noch nicht vollständig.");
    QTest::newRow("slow greeting")
        << Scenario{Step::send("+OK "), trickle} << qint64(-1) << 300 << slow.arg(0.3);
    QTest::newRow("trickling top")
        << Scenario{Step::send("+OK\r\n"), trickle} << qint64(200) << 500 << slow.arg(0.5);
    QTest::newRow("huge claimed size")
        << Scenario{Step::send("+OK\r\n"), trickle} << qint64(2147483647) << 600 << slow.arg(0.6);
    // Bytes faster than any time limit ends them must not fill the memory.
    const QByteArray flood(40 * 4096, 'x');
    QTest::newRow("line flood") << Scenario{Step::send(flood), Step::pause(20), Step::send(flood)}
                                << qint64(-1) << 0
                                << QStringLiteral("Der Server sendet eine Antwortzeile ohne Ende.");
    // A stray line would otherwise be taken as the answer to the next command.
    QTest::newRow("no answer") << Scenario{Step::send("\r\n+OK 1 100\r\n")} << qint64(-1) << 0
                               << QStringLiteral("Unerwartete Antwort des Servers: „“");
}

void TestReplyReader::badAnswersFailTheConnection()
{
    QFETCH(Scenario, scenario);
    QFETCH(qint64, expectedSize);
    QFETCH(int, allowedMs);
    QFETCH(QString, reason);
    ScriptedServer server;
    server.play(scenario);
    Connection connection;
    connection.setTimeLimitMs(300);
    connection.setFloorRate(1000);
    connection.setAnswerCapMs(600);
    connectTo(connection, server);
    QElapsedTimer clock;
    clock.start();
    MultiLineReply reply;
    MultiLineOptions options;
    options.expectedSize = expectedSize;
    QVERIFY(expectedSize < 0 ? !readStatusLine(connection, reply.status)
                             : !readMultiLine(connection, reply, options));
    QVERIFY2(clock.elapsed() >= allowedMs && clock.elapsed() < allowedMs + 1500,
             qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(connection.failureReason(), reason);
    QVERIFY(!connection.isOpen());
}

void TestReplyReader::multiLineSplitAtEveryByte()
{
    const QByteArray stream = TopReply + "+OK next\r\n";
    for (int position = 1; position < stream.size(); ++position) {
        ScriptedServer server;
        server.play(Step::sendSplit(stream, {position}, 2));
        Connection connection;
        connectTo(connection, server);
        MultiLineReply reply;
        QVERIFY2(readMultiLine(connection, reply), qPrintable(QString::number(position)));
        QCOMPARE(reply.status, QByteArray("+OK\r\n"));
        QCOMPARE(reply.body, TopBody);
        QByteArray next;
        QVERIFY(readStatusLine(connection, next));
        QCOMPARE(next, QByteArray("+OK next\r\n"));
    }
}

void TestReplyReader::multiLineEndsOnlyAtTheDotLine_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::newRow("chunk ends after a line ending in a dot")
        << Scenario{Step::send("+OK\r\nSubject: x\r\n\r\nRegards.\r\n"), Step::pause(40),
                    Step::send(".dotted\r\n.\r\n+OK next\r\n")};
    QTest::newRow("end marker split after its dot")
        << Scenario{Step::send("+OK\r\nSubject: x\r\n\r\nRegards.\r\n..dotted\r\n."),
                    Step::pause(40), Step::send("\r\n+OK next\r\n")};
    QTest::newRow("end marker split in its line end")
        << Scenario{Step::send("+OK\r\nSubject: x\r\n\r\nRegards.\r\n..dotted\r\n.\r"),
                    Step::pause(40), Step::send("\n+OK next\r\n")};
    QTest::newRow("answer and the next in one write") << Scenario{
        Step::send("+OK\r\nSubject: x\r\n\r\nRegards.\r\n..dotted\r\n.\r\n+OK next\r\n")};
}

void TestReplyReader::multiLineEndsOnlyAtTheDotLine()
{
    QFETCH(Scenario, scenario);
    ScriptedServer server;
    server.play(scenario);
    Connection connection;
    connection.setTimeLimitMs(1000);
    connectTo(connection, server);
    MultiLineReply reply;
    QVERIFY(readMultiLine(connection, reply));
    QCOMPARE(reply.body, QByteArray("Subject: x\r\n\r\nRegards.\r\n.dotted\r\n"));
    QByteArray next;
    QVERIFY(readStatusLine(connection, next));
    QCOMPARE(next, QByteArray("+OK next\r\n"));
}

void TestReplyReader::multiLineErrorHasNoBody()
{
    ScriptedServer server;
    server.play({Step::send("-ERR no such message\r\n+OK 2 20\r\n")});
    Connection connection;
    connectTo(connection, server);
    MultiLineReply reply;
    QVERIFY(readMultiLine(connection, reply));
    QVERIFY(!reply.isOk());
    QVERIFY(reply.body.isEmpty());
    QByteArray next;
    QVERIFY(readStatusLine(connection, next));
    QCOMPARE(next, QByteArray("+OK 2 20\r\n"));
}

void TestReplyReader::multiLineKeepsTheChunkThatCrossesTheLimit()
{
    const QByteArray line(98, 'x');
    QByteArray first = "+OK\r\n";
    for (int i = 0; i < 8; ++i)
        first += line + "\r\n"; // 800 bytes of body
    ScriptedServer server;
    server.play({Step::send(first), Step::pause(40), Step::send(line + "\r\n"), Step::pause(40),
                 Step::send(".\r\n")});
    Connection connection;
    connectTo(connection, server);
    MultiLineReply reply;
    MultiLineOptions options;
    options.storeLimit = 500;
    QList<qint64> progress;
    options.progress = [&](qint64 received) {
        progress.append(received);
    };
    QVERIFY(readMultiLine(connection, reply, options));
    QVERIFY(reply.body.size() >= 500 && first.mid(5).startsWith(reply.body));
    QCOMPARE(reply.received, qint64(900));
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.first(), qint64(800));
}

void TestReplyReader::undoesDotStuffing_data()
{
    QTest::addColumn<QByteArray>("stuffed");
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("leading double dot") << QByteArray("..a\r\n") << QByteArray(".a\r\n");
    QTest::newRow("double dot alone") << QByteArray("..\r\n") << QByteArray(".\r\n");
    QTest::newRow("dots inside a line stay") << QByteArray("a..b\r\n") << QByteArray("a..b\r\n");
    QTest::newRow("every line") << QByteArray("x\r\n...y\r\n..\r\n")
                                << QByteArray("x\r\n..y\r\n.\r\n");
    QTest::newRow("single dot line start stays") << QByteArray(".a\r\n") << QByteArray(".a\r\n");
    QTest::newRow("bare line feed is no line end")
        << QByteArray("a\n..b\r\n") << QByteArray("a\n..b\r\n");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    // Arrived at once and longer than the reader takes in one go: the rest is read without
    // waiting for more, and a line across the slice's end stays whole.
    QTest::newRow("longer than a slice")
        << QByteArray("..lines\r\n").repeated(8000) << QByteArray(".lines\r\n").repeated(8000);
}

void TestReplyReader::undoesDotStuffing()
{
    QFETCH(QByteArray, stuffed);
    QFETCH(QByteArray, plain);
    FedSource source({"+OK\r\n" + stuffed + ".\r\n"});
    MultiLineReply reply;
    QVERIFY(readMultiLine(source, reply));
    QCOMPARE(reply.body, plain);
}

void TestReplyReader::linesHandedOutAreCutWithoutLineEnd_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("handedOut");
    QTest::newRow("short") << 10 << 10;
    // Within the cut, the line end's CR must not stay behind.
    QTest::newRow("one below the cut") << 4095 << 4095;
    QTest::newRow("at the cut") << 4096 << 4096;
    QTest::newRow("longer") << 5000 << 4096;
}

void TestReplyReader::linesHandedOutAreCutWithoutLineEnd()
{
    QFETCH(int, length);
    QFETCH(int, handedOut);
    const QByteArray line(length, 'x');
    // Split inside the line, so that it arrives in pieces.
    FedSource source({"+OK\r\n" + line.left(length / 2), line.mid(length / 2) + "\r\n.\r\n"});
    QList<QByteArray> lines;
    MultiLineOptions options;
    options.onLine = [&](QByteArrayView text) {
        lines.append(text.toByteArray());
    };
    MultiLineReply reply;
    QVERIFY(readMultiLine(source, reply, options));
    QCOMPARE(lines, QList<QByteArray>{line.left(handedOut)});
}

TARVOLK_TEST(TestReplyReader);
#include "test_replyreader.moc"
