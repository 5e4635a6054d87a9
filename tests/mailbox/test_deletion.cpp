#include "mailbox/mailboxclient.h"
#include "pop3server/conversation.h"
#include "pop3server/scriptedserver.h"
#include "recordingview.h"
#include "testaccount.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace pop3test;

Q_DECLARE_METATYPE(pop3test::Scenario)

namespace {

const QList<ServedMail> Three = {{"a", "Subject: Eins\r\n\r\neins\r\n"},
                                 {"b", "Subject: Zwei\r\n\r\nzwei\r\n"},
                                 {"c", "Subject: Drei\r\n\r\ndrei\r\n"}};

// Up to the answer to "uidl", with a server that answers it with these ids or, when there are
// none, with "-ERR".
Scenario listing(const QList<ServedMail>& mails, bool withIds = true)
{
    return {Step::loginOk("joe", "secret"),
            Step::expect("stat"),
            Step::send(statAnswer(mails)),
            Step::expect("list"),
            Step::send(listAnswer(mails)),
            Step::expect("uidl"),
            Step::send(withIds ? uidlAnswer(mails) : "-ERR unknown command\r\n")};
}

// Fetches Three as the user saw them.
void fetchThree(ScriptedServer& server, MailboxClient& client, bool withIds = true)
{
    Scenario fetch = listing(Three, withIds);
    for (int i = 0; i < Three.size(); ++i)
        fetch << Step::expect("top " + QByteArray::number(i + 1) + " 10")
              << Step::send(multiLineAnswer(Three[i].text));
    server.play(fetch << Step::quitOk());
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
}

Scenario dele(int number)
{
    return {Step::expect("dele " + QByteArray::number(number)),
            Step::send("+OK message " + QByteArray::number(number) + " deleted\r\n")};
}

Scenario headers(int number, const QByteArray& text)
{
    return {Step::expect("top " + QByteArray::number(number) + " 0"),
            Step::send(multiLineAnswer(text.left(text.indexOf("\r\n\r\n") + 4)))};
}

} // namespace

class TestDeletion : public QObject {
    Q_OBJECT
private slots:
    void deletesTheMarkedMessages_data();
    void deletesTheMarkedMessages();
    void refusesWhenTheMailboxChanged_data();
    void refusesWhenTheMailboxChanged();
    void refusesTheListOfAnotherAccount();
    void tellsOfARefusedDeletion();
    void connectsNotWhenNothingIsMarked();
    void stopsWithoutQuitAtATimeOut();
    void startsNothingWhileAConversationRuns();
    void abortEndsTheWaitAtOnceWithoutQuit();
};

void TestDeletion::deletesTheMarkedMessages_data()
{
    QTest::addColumn<bool>("withIds");
    QTest::addColumn<Scenario>("checks");
    QTest::newRow("ids unchanged") << true << listing(Three);
    QTest::newRow("a message arrived at the end")
        << true << listing(Three + QList<ServedMail>{{"d", "Subject: Vier\r\n\r\n"}});
    // "a" and "c" are numbers 2 and 3 now.
    QTest::newRow("renumbered, found by id")
        << true << listing({{"d", "Subject: Vier\r\n\r\n"}, Three[0], Three[2]});
    QTest::newRow("no ids, same headers")
        << false
        << Scenario{listing(Three, false), headers(1, Three[0].text), headers(3, Three[2].text)};
}

void TestDeletion::deletesTheMarkedMessages()
{
    QFETCH(bool, withIds);
    QFETCH(Scenario, checks);
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client, withIds);
    const bool renumbered = QByteArray(QTest::currentDataTag()).startsWith("renumbered");
    server.play({checks, renumbered ? Scenario{dele(2), dele(3)} : Scenario{dele(1), dele(3)},
                 Step::quitOk()});
    client.DeleteMail(testAccount(server.hostWithPort()), {0, 2});
    SCRIPTED_VERIFY(server);
    QVERIFY(view.notices.isEmpty());
    QCOMPARE(view.status(), QString());
}

void TestDeletion::refusesWhenTheMailboxChanged_data()
{
    QTest::addColumn<bool>("withIds");
    QTest::addColumn<Scenario>("checks");
    QTest::newRow("marked message gone") << true << listing({Three[1], Three[2]});
    QTest::newRow("no ids, other count") << false << listing(Three.mid(1), false);
    // Another client deleted message 1 and a new one arrived: the count is the same, but
    // number 3 is another message now.
    QTest::newRow("no ids, same count, renumbered")
        << false
        << Scenario{listing({Three[1], Three[2], {"d", "Subject: Neu\r\n\r\n"}}, false),
                    headers(1, Three[1].text), headers(3, "Subject: Neu\r\n\r\n")};
    QTest::newRow("every id the same")
        << true
        << Scenario{
               listing({{"x", Three[0].text}, {"x", Three[1].text}, {"x", "Subject: Neu\r\n"}}),
               headers(1, Three[0].text), headers(3, "Subject: Neu\r\n\r\n")};
    QTest::newRow("mailbox emptied")
        << true << Scenario{Step::loginOk("joe", "secret"), transcript("C: stat\nS: +OK 0 0")};
    QTest::newRow("stat refused") << true
                                  << Scenario{Step::loginOk("joe", "secret"),
                                              transcript("C: stat\nS: -ERR no")};
}

void TestDeletion::refusesWhenTheMailboxChanged()
{
    QFETCH(bool, withIds);
    QFETCH(Scenario, checks);
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client, withIds);
    server.play({checks, Step::quitOk()});
    client.DeleteMail(testAccount(server.hostWithPort()), {0, 2});
    SCRIPTED_VERIFY(server);
    QVERIFY(server.receivedLinesStartingWith("dele").isEmpty());
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text,
             QStringLiteral("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."));
    QCOMPARE(view.notices[0].title, Notice::Title::WindowCaption);
}

void TestDeletion::refusesTheListOfAnotherAccount()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client);
    client.DeleteMail(testAccount(server.hostWithPort(), QStringLiteral("anna")), {0});
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text,
             QStringLiteral("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."));
    QTest::qWait(50);
    QCOMPARE(server.connectionCount(), 1);
}

void TestDeletion::tellsOfARefusedDeletion()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client);
    server.play({listing(Three), transcript("C: dele 1\nS: -ERR message is locked"), dele(3),
                 Step::quitOk()});
    client.DeleteMail(testAccount(server.hostWithPort()), {0, 2});
    SCRIPTED_VERIFY(server);
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].detail, QStringLiteral("Nachricht 1: -ERR message is locked"));
}

void TestDeletion::connectsNotWhenNothingIsMarked()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client);
    client.DeleteMail(testAccount(server.hostWithPort()), {});
    QVERIFY(view.notices.isEmpty());
    QTest::qWait(50);
    QCOMPARE(server.connectionCount(), 1);
}

void TestDeletion::stopsWithoutQuitAtATimeOut()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client);
    server.play({listing(Three), dele(1), Step::expect("dele 3"), Step::pause(2000)});
    client.connection().setTimeLimitMs(300);
    client.DeleteMail(testAccount(server.hostWithPort()), {0, 2});
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Fehler bei der Übertragung"));
    QCOMPARE(view.status(), QString());
    QVERIFY(!server.receivedLines(1).contains("quit"));
    QTRY_VERIFY(server.clientClosed(1));
}

void TestDeletion::startsNothingWhileAConversationRuns()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client);
    server.play({Step::loginOk("joe", "secret"), Step::expect("stat"), Step::pause(200),
                 Step::send(statAnswer(Three)), transcript("C: list"),
                 Step::send(listAnswer(Three)), transcript("C: uidl"),
                 Step::send(uidlAnswer(Three)), dele(2), Step::quitOk()});
    bool pressedWhileBusy = false;
    connect(&server, &ScriptedServer::connectionAccepted, this, [&] {
        QTimer::singleShot(100, [&] {
            pressedWhileBusy = client.isBusy();
            client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
            client.DeleteMail(testAccount(server.hostWithPort()), {1});
        });
    });
    view.busyHistory.clear();
    client.DeleteMail(testAccount(server.hostWithPort()), {1});
    SCRIPTED_VERIFY(server);
    QVERIFY(pressedWhileBusy);
    QCOMPARE(server.connectionCount(), 2);
    QCOMPARE(view.busyHistory, QList<bool>({true, false}));
    QVERIFY(!client.isBusy());
}

void TestDeletion::abortEndsTheWaitAtOnceWithoutQuit()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client);
    server.play({listing(Three), Step::expect("dele 1"), Step::pause(3000)});
    connect(&server, &ScriptedServer::connectionAccepted, this,
            [&] { QTimer::singleShot(150, [&] { client.abort(); }); });
    QElapsedTimer clock;
    clock.start();
    client.DeleteMail(testAccount(server.hostWithPort()), {0, 1});
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(view.notices.isEmpty());
    QVERIFY(!server.receivedLines(1).contains("quit"));
    QVERIFY(!server.receivedLines(1).contains("dele 2"));
    QTRY_VERIFY(server.clientClosed(1));
}

QTEST_GUILESS_MAIN(TestDeletion)
#include "test_deletion.moc"
