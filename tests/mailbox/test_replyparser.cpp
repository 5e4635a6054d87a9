// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/replyparser.h"
#include "testsupport/testregistry.h"

#include <QRandomGenerator>
#include <QTest>

class TestReplyParser : public QObject {
    Q_OBJECT
private slots:
    void readsBothNumbers_data();
    void readsBothNumbers();
    void survivesRandomBytes();
};

void TestReplyParser::readsBothNumbers_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("cutReply");
    QTest::addColumn<int>("number1");
    QTest::addColumn<int>("number2");
    // The caller's numbers start as 77 and 88, so rows show which ones were written.
    QTest::newRow("count and size")
        << QByteArray("+OK 2 320\r\n") << QByteArray("+OK 2 320\r\n") << 2 << 320;
    QTest::newRow("text before +OK is cut")
        << QByteArray("xyz+OK 5 100\r\n") << QByteArray("+OK 5 100\r\n") << 5 << 100;
    QTest::newRow("+OK alone") << QByteArray("+OK\r\n") << QByteArray("+OK\r\n") << -1 << 88;
    QTest::newRow("one number") << QByteArray("+OK 7\r\n") << QByteArray("+OK 7\r\n") << -1 << 88;
    QTest::newRow("lower case is no +OK")
        << QByteArray("+ok 1 2\r\n") << QByteArray("+ok 1 2\r\n") << 77 << 88;
    QTest::newRow("-ERR changes nothing") << QByteArray("-ERR no such message\r\n")
                                          << QByteArray("-ERR no such message\r\n") << 77 << 88;
    QTest::newRow("runs of blanks")
        << QByteArray("+OK   3   40\r\n") << QByteArray("+OK   3   40\r\n") << 3 << 40;
    QTest::newRow("three numbers join the last two")
        << QByteArray("+OK 1 2 3\r\n") << QByteArray("+OK 1 2 3\r\n") << 1 << 23;
    QTest::newRow("tabs do not separate")
        << QByteArray("+OK\t2\t320\r\n") << QByteArray("+OK\t2\t320\r\n") << -1 << 88;
    QTest::newRow("two status lines, the first counts")
        << QByteArray("+OK 2 320\r\n+OK 1 120\r\n") << QByteArray("+OK 2 320\r\n+OK 1 120\r\n") << 2
        << 320;
    QTest::newRow("word in place of the count")
        << QByteArray("+OK POP3 ready\r\n") << QByteArray("+OK POP3 ready\r\n") << 0 << 0;
    QTest::newRow("no blank after +OK")
        << QByteArray("+OK2 320\r\n") << QByteArray("+OK2 320\r\n") << 2 << 320;
    QTest::newRow("beyond 32 bits is clamped")
        << QByteArray("+OK 1 99999999999\r\n") << QByteArray("+OK 1 99999999999\r\n") << 1
        << 2147483647;
    QTest::newRow("empty reply") << QByteArray() << QByteArray() << 77 << 88;
}

void TestReplyParser::readsBothNumbers()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, cutReply);
    QFETCH(int, number1);
    QFETCH(int, number2);
    qint32 first = 77;
    qint32 second = 88;
    Parse_Reply(reply, first, second);
    QCOMPARE(reply, cutReply);
    QCOMPARE(first, number1);
    QCOMPARE(second, number2);
}

void TestReplyParser::survivesRandomBytes()
{
    // Any bytes at all: never a crash or a read out of range (run under the sanitizers too).
    QRandomGenerator random(20261207);
    static const char characters[] = "+OK -ERR0123456789.&HhEe\r\n\t \x00\xff";
    const QByteArray alphabet(characters, sizeof(characters) - 1);
    for (int round = 0; round < 20000; ++round) {
        QByteArray reply(random.bounded(40), '\0');
        for (char& byte : reply)
            byte = alphabet.at(random.bounded(alphabet.size()));
        if (round % 3 == 0)
            reply.prepend("+OK");
        const QByteArray original = reply;
        qint32 first = 5;
        qint32 second = 6;
        Parse_Reply(reply, first, second);
        const qsizetype ok = original.indexOf("+OK");
        QCOMPARE(reply, ok < 0 ? original : original.mid(ok));
        if (ok < 0)
            QCOMPARE(first, 5);
    }
}

TARVOLK_TEST(TestReplyParser);
#include "test_replyparser.moc"
