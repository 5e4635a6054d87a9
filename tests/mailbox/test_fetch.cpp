#include "mailbox/mailboxclient.h"
#include "pop3replies.h"
#include "pop3server/scriptedserver.h"
#include "recordingview.h"
#include "testaccount.h"

#include <QTest>

using pop3replies::multiLine;
using pop3replies::uidl;
using pop3test::Scenario;
using pop3test::ScriptedServer;
using pop3test::Step;

Q_DECLARE_METATYPE(pop3test::Scenario)

namespace {

const QByteArray Message1 = "From: Anna <anna@example.org>\r\nSubject: Eins\r\n\r\nHallo.\r\n"
                            "Regards.\r\n";
const QByteArray Message2 = "From: Bert <bert@example.org>\r\nSubject: Zwei\r\n\r\n.hidden\r\n"
                            "..two\r\n";
const QByteArray Message3 = "From: Carl <carl@example.org>\r\nSubject: Drei\r\n\r\nEnde\r\n";

Scenario statAndUidl(const QByteArray& stat, const QList<QByteArray>& ids)
{
    return {Step::loginOk("joe", "secret"), Step::expect("stat"), Step::send(stat + "\r\n"),
            Step::expect("uidl"), Step::send(uidl(ids))};
}

Scenario listAndTop(int i, int size, const Scenario& topAnswer, int lineCount = 10)
{
    return {Step::expect("list " + QByteArray::number(i)),
            Step::send("+OK " + QByteArray::number(i) + ' ' + QByteArray::number(size) + "\r\n"),
            Step::expect("top " + QByteArray::number(i) + ' ' + QByteArray::number(lineCount)),
            topAnswer};
}

Scenario threeMessages(const Scenario& firstTop)
{
    return {statAndUidl("+OK 3 900", {"a", "b", "c"}), listAndTop(1, 300, firstTop),
            listAndTop(2, 350, Step::send(multiLine(Message2))),
            listAndTop(3, 250, Step::send(multiLine(Message3))), Step::quitOk()};
}

} // namespace

class TestFetch : public QObject {
    Q_OBJECT
private slots:
    void fetchesEveryMessage_data();
    void fetchesEveryMessage();
    void reportsEmptyAndBrokenMailboxes_data();
    void reportsEmptyAndBrokenMailboxes();
    void waitsForASplitStatLine();
    void stopsAtATimeOutDuringTop();
    void stopsGrowingATextAtTheLimit();
    void asksForLineCountLines();
    void goesOnAfterAnErrorToTop();
    void keepsTheProgressBarValidForEmptyMessages();
    void decodesEachMessageOnceComplete();
    void survivesAnInflatedCount();
};

void TestFetch::fetchesEveryMessage_data()
{
    QTest::addColumn<Scenario>("firstTop");
    QTest::newRow("whole answers") << Scenario(Step::send(multiLine(Message1)));
    QTest::newRow("chunk ends after Regards.") << Step::sendSplit(
        multiLine(Message1), {int(multiLine(Message1).indexOf("Regards.") + 10)}, 30);
    QTest::newRow("end marker split across chunks")
        << Step::sendSplit(multiLine(Message1), {int(multiLine(Message1).size() - 2)}, 30);
    QTest::newRow("byte by byte") << Step::sendBytewise(multiLine(Message1), 1);
}

void TestFetch::fetchesEveryMessage()
{
    QFETCH(Scenario, firstTop);
    ScriptedServer server;
    server.play(threeMessages(firstTop));
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QVERIFY(view.notices.isEmpty());
    QCOMPARE(view.entries,
             QStringList({QStringLiteral("1. Email 300"), QStringLiteral("2. Email 350"),
                          QStringLiteral("3. Email 250")}));
    QCOMPARE(client.MailTexts,
             QStringList({QString::fromLatin1(Message1), QString::fromLatin1(Message2),
                          QString::fromLatin1(Message3)}));
    QCOMPARE(client.MailCount, 3);
    QCOMPARE(client.MailUids, QList<QByteArray>({"a", "b", "c"}));
    QCOMPARE(view.summary, QStringLiteral("3 Emails mit 900 Bytes"));
    QVERIFY(view.statusHistory.contains(QStringLiteral("Nachricht 2 erfassen")));
    QVERIFY(view.statusHistory.contains(QStringLiteral("Nachricht 3 abrufen")));
    QCOMPARE(view.status(), QString());
    QCOMPARE(view.progressMax, 900);
    QCOMPARE(view.progressValues.last(), 0);
    for (int value : view.progressValues)
        QVERIFY(value >= 0 && value <= 900);
    QCOMPARE(view.busyHistory, QList<bool>({true, false}));
}

void TestFetch::reportsEmptyAndBrokenMailboxes_data()
{
    QTest::addColumn<QByteArray>("stat");
    QTest::addColumn<QString>("summary");
    QTest::newRow("empty mailbox")
        << QByteArray("+OK 0 0") << QStringLiteral("Keine Emails vorhanden");
    QTest::newRow("count without a blank after it")
        << QByteArray("+OK 3") << QStringLiteral("Fehler");
    QTest::newRow("error line") << QByteArray("-ERR Unknown command.")
                                << QStringLiteral("Keine Emails vorhanden");
}

void TestFetch::reportsEmptyAndBrokenMailboxes()
{
    QFETCH(QByteArray, stat);
    QFETCH(QString, summary);
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"), Step::send(stat + "\r\n"),
                 Step::quitOk()});
    RecordingView view;
    view.entries = QStringList({QStringLiteral("old")});
    MailboxClient client(view);
    client.MailCount = 5;
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QCOMPARE(view.summary, summary);
    QVERIFY(view.entries.isEmpty());
    QCOMPARE(client.MailCount, 5);
    QVERIFY(view.notices.isEmpty());
}

void TestFetch::waitsForASplitStatLine()
{
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"),
                 Step::sendPieces({"+OK 2", " 600\r\n"}, 30), Step::expect("uidl"),
                 Step::send(uidl({"a", "b"})), listAndTop(1, 300, Step::send(multiLine(Message1))),
                 listAndTop(2, 300, Step::send(multiLine(Message3))), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QCOMPARE(view.summary, QStringLiteral("2 Emails mit 600 Bytes"));
    QCOMPARE(view.entries.size(), 2);
}

void TestFetch::stopsAtATimeOutDuringTop()
{
    ScriptedServer server;
    server.play({statAndUidl("+OK 3 900", {"a", "b", "c"}),
                 listAndTop(1, 300, Step::send(multiLine(Message1))),
                 listAndTop(2, 350, Step::send("+OK\r\nFrom: Bert\r\n")), Step::pause(2000)});
    RecordingView view;
    MailboxClient client(view);
    client.connection().setTimeLimitMs(300);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Fehler bei der Übertragung"));
    QCOMPARE(view.entries.size(), 2);
    QCOMPARE(client.MailTexts.value(0), QString::fromLatin1(Message1));
    QCOMPARE(view.status(), QString());
    QCOMPARE(view.progressValues.last(), 0);
    QVERIFY(!server.receivedLines().contains("quit"));
    QVERIFY(!client.connection().isOpen());
}

void TestFetch::stopsGrowingATextAtTheLimit()
{
    QByteArray body = "Subject: big\r\n\r\n";
    while (body.size() < 80000)
        body += QByteArray(98, 'x') + "\r\n";
    const QByteArray answer = multiLine(body);
    QList<int> cuts;
    for (int at = 16000; at < answer.size(); at += 16000)
        cuts.append(at);
    ScriptedServer server;
    server.play({statAndUidl("+OK 1 80000", {"a"}),
                 listAndTop(1, 80000, Step::sendSplit(answer, cuts, 20)), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    const QString stored = client.MailTexts.value(0);
    QVERIFY2(stored.size() >= 64000 && stored.size() < body.size(),
             qPrintable(QString::number(stored.size())));
    QVERIFY(QString::fromLatin1(body).startsWith(stored));
}

void TestFetch::asksForLineCountLines()
{
    const QByteArray header = "From: a@example.org\r\nSubject: nur Kopf\r\n\r\n";
    ScriptedServer server;
    server.play({statAndUidl("+OK 1 100", {"a"}),
                 listAndTop(1, 100, Step::send(multiLine(header)), 0), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 0);
    SCRIPTED_VERIFY(server);
    QCOMPARE(client.MailTexts, QStringList({QString::fromLatin1(header)}));
}

void TestFetch::goesOnAfterAnErrorToTop()
{
    ScriptedServer server;
    server.play({statAndUidl("+OK 2 600", {"a", "b"}),
                 listAndTop(1, 300, Step::send("-ERR message gone\r\n")),
                 listAndTop(2, 300, Step::send(multiLine(Message3))), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QCOMPARE(client.MailTexts, QStringList({QString(), QString::fromLatin1(Message3)}));
    QVERIFY(view.notices.isEmpty());
}

void TestFetch::keepsTheProgressBarValidForEmptyMessages()
{
    ScriptedServer server;
    server.play({statAndUidl("+OK 1 0", {"a"}), listAndTop(1, 0, Step::send(multiLine(""))),
                 Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QVERIFY(view.progressMax > 0);
    QCOMPARE(view.summary, QStringLiteral("1 Email mit 0 Bytes"));
}

void TestFetch::decodesEachMessageOnceComplete()
{
    const QByteArray utf8 = "Subject: x\r\n\r\nGr\xC3\xBC\xC3\x9F"
                            "e\r\n";
    const QByteArray latin1 = "Subject: y\r\n\r\nGr\xFC\xDF"
                              "e\r\n";
    const QByteArray answer = multiLine(utf8);
    // The answer is cut in the middle of the two bytes of "ü".
    ScriptedServer server;
    server.play({statAndUidl("+OK 2 100", {"a", "b"}),
                 listAndTop(1, 50, Step::sendSplit(answer, {int(answer.indexOf('\xBC'))}, 30)),
                 listAndTop(2, 50, Step::send(multiLine(latin1))), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QCOMPARE(client.MailTexts.value(0), QStringLiteral("Subject: x\r\n\r\nGrüße\r\n"));
    QCOMPARE(client.MailTexts.value(1), QStringLiteral("Subject: y\r\n\r\nGrüße\r\n"));
}

void TestFetch::survivesAnInflatedCount()
{
    // A server that claims two billion messages must not make the client reserve room for them.
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"),
                 Step::send("+OK 2000000000 900\r\n"), Step::expect("uidl"),
                 Step::send(uidl({"a"})), listAndTop(1, 300, Step::send(multiLine(Message1))),
                 Step::expect("list 2"), Step::close()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.entries, QStringList({QStringLiteral("1. Email 300")}));
    QCOMPARE(client.MailTexts, QStringList({QString::fromLatin1(Message1)}));
    QCOMPARE(client.MailUids, QList<QByteArray>({"a"}));
}

QTEST_GUILESS_MAIN(TestFetch)
#include "test_fetch.moc"
