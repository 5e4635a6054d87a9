#include "mailbox/mailboxclient.h"
#include "pop3replies.h"
#include "pop3server/scriptedserver.h"
#include "recordingview.h"
#include "testaccount.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using pop3replies::uidl;
using pop3test::Scenario;
using pop3test::ScriptedServer;
using pop3test::Step;

Q_DECLARE_METATYPE(pop3test::Scenario)

namespace {

// The state a fetch of three messages with ids a, b, c leaves behind, with marks set.
void seenThreeMessages(RecordingView& view, MailboxClient& client, QSet<int> marks)
{
    view.entries = QStringList({QStringLiteral("1. Email 10"), QStringLiteral("2. Email 20"),
                                QStringLiteral("3. Email 30")});
    view.marks = marks;
    client.MailCount = 3;
    client.MailUids = {"a", "b", "c"};
}

Scenario dele(int number)
{
    return {Step::expect("dele " + QByteArray::number(number)),
            Step::send("+OK message " + QByteArray::number(number) + " deleted\r\n")};
}

} // namespace

class TestDeletion : public QObject {
    Q_OBJECT
private slots:
    void deletesTheMarkedMessages_data();
    void deletesTheMarkedMessages();
    void refusesWhenTheMailboxChanged_data();
    void refusesWhenTheMailboxChanged();
    void connectsNotWhenNothingIsMarked();
    void stopsWithoutQuitAtATimeOut();
    void readsEachMarkWhenItGetsThere();
    void startsNothingWhileAConversationRuns();
    void abortEndsTheWaitAtOnceWithoutQuit();
};

void TestDeletion::deletesTheMarkedMessages_data()
{
    QTest::addColumn<Scenario>("checks");
    QTest::newRow("ids unchanged")
        << Scenario{Step::expect("stat"), Step::send("+OK 3 60\r\n"), Step::expect("uidl"),
                    Step::send(uidl({"a", "b", "c"}))};
    QTest::newRow("a message arrived at the end")
        << Scenario{Step::expect("stat"), Step::send("+OK 4 80\r\n"), Step::expect("uidl"),
                    Step::send(uidl({"a", "b", "c", "d"}))};
    QTest::newRow("no ids, same count")
        << Scenario{Step::expect("stat"), Step::send("+OK 3 60\r\n"), Step::expect("uidl"),
                    Step::send("-ERR unknown command\r\n")};
}

void TestDeletion::deletesTheMarkedMessages()
{
    QFETCH(Scenario, checks);
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), checks, dele(1), dele(3), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    seenThreeMessages(view, client, {0, 2});
    client.DeleteMail(testAccount(server.hostWithPort()));
    SCRIPTED_VERIFY(server);
    QVERIFY(view.notices.isEmpty());
    QVERIFY(view.statusHistory.contains(QStringLiteral("Nachricht 1 löschen")));
    QVERIFY(view.statusHistory.contains(QStringLiteral("Nachricht 3 löschen")));
    QVERIFY(!view.statusHistory.contains(QStringLiteral("Nachricht 2 löschen")));
    QCOMPARE(view.status(), QString());
    QCOMPARE(view.entries.size(), 3);
}

void TestDeletion::refusesWhenTheMailboxChanged_data()
{
    QTest::addColumn<Scenario>("checks");
    // Message 1 went and another came: the count is the same, but number 3 is now "d".
    QTest::newRow("same count, shifted ids")
        << Scenario{Step::expect("stat"), Step::send("+OK 3 60\r\n"), Step::expect("uidl"),
                    Step::send(uidl({"b", "c", "d"}))};
    QTest::newRow("no ids, other count")
        << Scenario{Step::expect("stat"), Step::send("+OK 4 80\r\n"), Step::expect("uidl"),
                    Step::send("-ERR unknown command\r\n")};
    QTest::newRow("mailbox emptied") << Scenario{Step::expect("stat"), Step::send("+OK 0 0\r\n")};
    QTest::newRow("stat refused") << Scenario{Step::expect("stat"), Step::send("-ERR no\r\n")};
}

void TestDeletion::refusesWhenTheMailboxChanged()
{
    QFETCH(Scenario, checks);
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), checks, Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    seenThreeMessages(view, client, {0, 2});
    client.DeleteMail(testAccount(server.hostWithPort()));
    SCRIPTED_VERIFY(server);
    QVERIFY(server.receivedLinesStartingWith("dele").isEmpty());
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text,
             QStringLiteral("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."));
    QCOMPARE(view.notices[0].title, Notice::Title::WindowCaption);
}

void TestDeletion::connectsNotWhenNothingIsMarked()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    seenThreeMessages(view, client, {});
    client.DeleteMail(testAccount(server.hostWithPort()));
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Keine Mail zum Löschen ausgewählt !"));
    QCOMPARE(view.notices[0].title, Notice::Title::WindowCaption);
    QTest::qWait(50);
    QCOMPARE(server.connectionCount(), 0);
}

void TestDeletion::stopsWithoutQuitAtATimeOut()
{
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"), Step::send("+OK 3 60\r\n"),
                 Step::expect("uidl"), Step::send(uidl({"a", "b", "c"})), dele(1),
                 Step::expect("dele 3"), Step::pause(2000)});
    RecordingView view;
    MailboxClient client(view);
    client.connection().setTimeLimitMs(300);
    seenThreeMessages(view, client, {0, 2});
    client.DeleteMail(testAccount(server.hostWithPort()));
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Fehler bei der Übertragung"));
    QCOMPARE(view.status(), QString());
    QVERIFY(!server.receivedLines().contains("quit"));
    QTRY_VERIFY(server.clientClosed(0));
}

void TestDeletion::readsEachMarkWhenItGetsThere()
{
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"), Step::send("+OK 3 60\r\n"),
                 Step::expect("uidl"), Step::send(uidl({"a", "b", "c"})), Step::expect("dele 1"),
                 Step::pause(200), Step::send("+OK\r\n"), dele(3), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    seenThreeMessages(view, client, {0});
    // The user marks message 3 while "dele 1" is still unanswered.
    connect(&server, &ScriptedServer::connectionAccepted, this,
            [&] { QTimer::singleShot(100, [&] { view.marks.insert(2); }); });
    client.DeleteMail(testAccount(server.hostWithPort()));
    SCRIPTED_VERIFY(server);
}

void TestDeletion::startsNothingWhileAConversationRuns()
{
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"), Step::pause(200),
                 Step::send("+OK 3 60\r\n"), Step::expect("uidl"),
                 Step::send(uidl({"a", "b", "c"})), dele(2), Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    seenThreeMessages(view, client, {1});
    bool pressedWhileBusy = false;
    connect(&server, &ScriptedServer::connectionAccepted, this, [&] {
        QTimer::singleShot(100, [&] {
            pressedWhileBusy = client.isBusy();
            client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
            client.DeleteMail(testAccount(server.hostWithPort()));
        });
    });
    client.DeleteMail(testAccount(server.hostWithPort()));
    SCRIPTED_VERIFY(server);
    QVERIFY(pressedWhileBusy);
    QCOMPARE(server.connectionCount(), 1);
    QCOMPARE(view.busyHistory, QList<bool>({true, false}));
    QVERIFY(!client.isBusy());
}

void TestDeletion::abortEndsTheWaitAtOnceWithoutQuit()
{
    ScriptedServer server;
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"), Step::send("+OK 3 60\r\n"),
                 Step::expect("uidl"), Step::send(uidl({"a", "b", "c"})), Step::expect("dele 1"),
                 Step::pause(3000)});
    RecordingView view;
    MailboxClient client(view);
    seenThreeMessages(view, client, {0, 1});
    connect(&server, &ScriptedServer::connectionAccepted, this,
            [&] { QTimer::singleShot(150, [&] { client.abort(); }); });
    QElapsedTimer clock;
    clock.start();
    client.DeleteMail(testAccount(server.hostWithPort()));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(view.notices.isEmpty());
    QVERIFY(!server.receivedLines().contains("quit"));
    QVERIFY(!server.receivedLines().contains("dele 2"));
    QTRY_VERIFY(server.clientClosed(0));
}

QTEST_GUILESS_MAIN(TestDeletion)
#include "test_deletion.moc"
