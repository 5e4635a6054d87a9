// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"
#include "testsupport/conversation.h"
#include "testsupport/fedclient.h"
#include "testsupport/recordingview.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testaccount.h"
#include "testsupport/testregistry.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace pop3test;

namespace {

const QList<ServedMail> Three = {{"a", "Subject: Eins\r\n\r\neins\r\n"},
                                 {"b", "Subject: Zwei\r\n\r\nzwei\r\n"},
                                 {"c", "Subject: Drei\r\n\r\ndrei\r\n"}};
const ServedMail New = {"d", "Subject: Neu\r\n\r\nneu\r\n"};
// Another client deleted message 1 and a new one arrived: the count is the same, but every
// number names another message now.
const QList<ServedMail> Shifted = {Three[1], Three[2], New};
const QByteArray Uidl = "S: +OK\nS: UIDL\nS: TOP\nS: USER\nS: .\n";
const QByteArray Pipelining = "S: +OK\nS: UIDL\nS: TOP\nS: USER\nS: PIPELINING\nS: .\n";

Scenario top(int number, int lines, const QByteArray& answer)
{
    const QByteArray command =
        "top " + QByteArray::number(number) + ' ' + QByteArray::number(lines);
    return answer.isEmpty() ? Step::expect(command)
                            : Scenario{Step::expect(command), Step::send(answer)};
}

// The answers to "top i lines" for messages 1, 2, ...: each mail whole unless `answers` has other
// bytes for it, then "quit".
Scenario tops(const QList<ServedMail>& mails, int lines = 10,
              const QHash<int, QByteArray>& answers = {})
{
    Scenario scenario;
    for (int i = 0; i < mails.size(); ++i)
        scenario << top(i + 1, lines, answers.value(i, multiLineAnswer(mails[i].text)));
    return scenario << Step::quitOk();
}

// The same up to the message at position `at`, whose answer the server's close cuts to `bytes`.
Scenario cutTops(const QList<ServedMail>& mails, int at, const QByteArray& bytes)
{
    return {previews(mails.first(at)), top(at + 1, 10, bytes), transcript("S: <close>")};
}

Scenario dele(int number)
{
    return {Step::expect("dele " + QByteArray::number(number)),
            Step::send("+OK message " + QByteArray::number(number) + " deleted\r\n")};
}

QByteArray headerBlock(const QByteArray& text)
{
    return text.left(text.indexOf("\r\n\r\n") + 4);
}

Scenario headers(int number, const QByteArray& text)
{
    return {Step::expect("top " + QByteArray::number(number) + " 0"),
            Step::send(multiLineAnswer(headerBlock(text)))};
}

// Fetches Three as the user saw them.
void fetchThree(ScriptedServer& server, MailboxClient& client)
{
    server.play({listing(Three), tops(Three)});
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
}

void fetchThree(FedClient& fed)
{
    fed.transport->play({listing(Three), tops(Three)});
    fed.client.Emails_abrufen(testAccount(), 10);
}

} // namespace

class TestDeletion : public QObject {
    Q_OBJECT
private slots:
    // On the fed transport.
    void deletesOnlyWhatItRecognises_data();
    void deletesOnlyWhatItRecognises();
    void refusesTheListOfAnotherAccount();
    void tellsOfARefusedDeletion();
    void connectsNotWhenNothingIsMarked();
    // On the scripted server: time-outs and presses while a conversation waits.
    void stopsWithoutQuitAtATimeOut();
    void startsNothingWhileAConversationRuns();
    void abortEndsTheWaitAtOnceWithoutQuit();
};

// Each row: the fetch the user saw, the marks, and the deletion's conversation. A row deletes
// exactly the "dele" lines its conversation holds; a row without any must end in the mismatch
// box. No row may delete a message the user did not mark.
void TestDeletion::deletesOnlyWhatItRecognises_data()
{
    QTest::addColumn<Scenario>("fetch");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<QList<int>>("marks");
    QTest::addColumn<Scenario>("deletion");
    const QList<int> firstAndLast{0, 2};
    const QList<int> last{2};
    const Scenario noIds{listing(Three, Ids::Refused), tops(Three)};
    QTest::newRow("ids unchanged") << Scenario{listing(Three), tops(Three)} << 10 << firstAndLast
                                   << Scenario{listing(Three), dele(1), dele(3), Step::quitOk()};
    QTest::newRow("renumbered, found by id")
        << Scenario{listing(Three), tops(Three)} << 10 << firstAndLast
        << Scenario{listing({New, Three[0], Three[2]}), dele(2), dele(3), Step::quitOk()};
    QTest::newRow("marked message gone")
        << Scenario{listing(Three), tops(Three)} << 10 << firstAndLast
        << Scenario{listing(Three.mid(1)), Step::quitOk()};
    QTest::newRow("mailbox emptied") << Scenario{listing(Three), tops(Three)} << 10 << firstAndLast
                                     << Scenario{Step::loginOk("joe", "secret"),
                                                 transcript("C: stat\nS: +OK 0 0"), Step::quitOk()};
    QTest::newRow("stat refused") << Scenario{listing(Three), tops(Three)} << 10 << firstAndLast
                                  << Scenario{Step::loginOk("joe", "secret"),
                                              transcript("C: stat\nS: -ERR no"), Step::quitOk()};
    QTest::newRow("no ids, same header blocks") << noIds << 10 << firstAndLast
                                                << Scenario{listing(Three, Ids::Refused),
                                                            headers(1, Three[0].text),
                                                            headers(3, Three[2].text),
                                                            dele(1),
                                                            dele(3),
                                                            Step::quitOk()};
    QTest::newRow("no ids, other count")
        << noIds << 10 << firstAndLast
        << Scenario{listing(Three.mid(1), Ids::Refused), Step::quitOk()};
    QTest::newRow("no ids, shifted")
        << noIds << 10 << firstAndLast
        << Scenario{listing(Shifted, Ids::Refused), headers(1, Shifted[0].text),
                    headers(3, New.text), Step::quitOk()};
    QTest::newRow("no ids, top k 0 refused")
        << noIds << 10 << last
        << Scenario{listing(Three, Ids::Refused), transcript("C: top 3 0\nS: -ERR no"),
                    Step::quitOk()};
    QTest::newRow("no ids, top 3 refused in the fetch")
        << Scenario{listing(Three, Ids::Refused), tops(Three, 10, {{2, "-ERR no\r\n"}})} << 10
        << last << Scenario{listing(Shifted, Ids::Refused), Step::quitOk()};
    for (const auto& [name, answer] :
         {std::pair{"no ids, cut after the status line of top 3", QByteArray("+OK\r\n")},
          {"no ids, cut inside the header block of top 3", QByteArray("+OK\r\nSubject: Dr")},
          {"no ids, closed before top 3 was answered", QByteArray()}}) {
        QTest::newRow(name) << Scenario{listing(Three, Ids::Refused), cutTops(Three, 2, answer)}
                            << 10 << last
                            << Scenario{listing(Shifted, Ids::Refused), Step::quitOk()};
    }
    QTest::newRow("capa announces UIDL, uidl refused")
        << Scenario{listing(Three, Ids::Refused, Uidl), tops(Three)} << 10 << last
        << Scenario{listing(Shifted, Ids::Refused, Uidl), headers(3, New.text), Step::quitOk()};
    QTest::newRow("every id alike")
        << Scenario{listing(Three, Ids::Alike), tops(Three)} << 10 << last
        << Scenario{listing(Shifted, Ids::Alike), headers(3, New.text), Step::quitOk()};
    QTest::newRow("every id alike, pipelined")
        << Scenario{listing(Three, Ids::Alike, Pipelining),
                    transcript("C: top 1 10\nC: top 2 10\nC: top 3 10"),
                    Step::send(multiLineAnswer(Three[0].text) + multiLineAnswer(Three[1].text) +
                               multiLineAnswer(Three[2].text)),
                    Step::quitOk()}
        << 10 << last
        << Scenario{listing(Shifted, Ids::Alike, Pipelining, true), headers(3, New.text),
                    Step::quitOk()};
    QHash<int, QByteArray> headerOnly;
    for (int i = 0; i < Three.size(); ++i)
        headerOnly.insert(i, multiLineAnswer(headerBlock(Three[i].text)));
    QTest::newRow("LineCount below 0 asks for header blocks")
        << Scenario{listing(Three, Ids::Refused), tops(Three, 0, headerOnly)} << -1 << last
        << Scenario{listing(Three, Ids::Refused), headers(3, Three[2].text), dele(3),
                    Step::quitOk()};
    const QList<ServedMail> mixed{{"m", "Subject: J\xC3\xBCrgen\r\n\r\nGr\xFC\xDF"
                                        "e\r\n"}};
    QTest::newRow("no ids, UTF-8 header block over a Latin-1 body")
        << Scenario{listing(mixed, Ids::Refused), tops(mixed)} << 10 << QList<int>{0}
        << Scenario{listing(mixed, Ids::Refused), headers(1, mixed[0].text), dele(1),
                    Step::quitOk()};
}

void TestDeletion::deletesOnlyWhatItRecognises()
{
    QFETCH(Scenario, fetch);
    QFETCH(int, lineCount);
    QFETCH(QList<int>, marks);
    QFETCH(Scenario, deletion);
    FedClient fed;
    fed.transport->play(fetch);
    fed.transport->play(deletion);
    fed.client.Emails_abrufen(testAccount(), qint16(lineCount));
    fed.view.notices.clear();
    fed.client.DeleteMail(testAccount(), marks);
    SCRIPTED_VERIFY(*fed.transport);
    const bool deletes =
        std::any_of(deletion.steps().begin(), deletion.steps().end(),
                    [](const Step& step) { return step.bytes.startsWith("dele"); });
    QCOMPARE(fed.view.notices.size(), deletes ? 0 : 1);
    if (!deletes)
        QCOMPARE(fed.view.notices[0].text,
                 QStringLiteral("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."));
}

void TestDeletion::refusesTheListOfAnotherAccount()
{
    FedClient fed;
    fetchThree(fed);
    fed.client.DeleteMail(testAccount(QStringLiteral("pop.example.org"), QStringLiteral("anna")),
                          {0});
    QCOMPARE(fed.view.notices.size(), 1);
    QCOMPARE(fed.view.notices[0].text,
             QStringLiteral("Anzahl Emails abweichend! - Emails bitte nochmals abrufen."));
    QCOMPARE(fed.transport->connectionCount(), 1);
}

void TestDeletion::tellsOfARefusedDeletion()
{
    FedClient fed;
    fetchThree(fed);
    fed.transport->play({listing(Three), transcript("C: dele 1\nS: -ERR message is locked"),
                         dele(3), Step::quitOk()});
    fed.client.DeleteMail(testAccount(), {0, 2});
    SCRIPTED_VERIFY(*fed.transport);
    QCOMPARE(fed.view.notices.size(), 1);
    QCOMPARE(fed.view.notices[0].detail, QStringLiteral("Nachricht 1: -ERR message is locked"));
}

void TestDeletion::connectsNotWhenNothingIsMarked()
{
    FedClient fed;
    fetchThree(fed);
    fed.client.DeleteMail(testAccount(), {});
    QVERIFY(fed.view.notices.isEmpty());
    QCOMPARE(fed.transport->connectionCount(), 1);
}

void TestDeletion::stopsWithoutQuitAtATimeOut()
{
    ScriptedServer server;
    RecordingView view;
    MailboxClient client(view);
    fetchThree(server, client);
    server.play({listing(Three), dele(1), transcript("C: dele 3\nP: 2000")});
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
    // The server keeps the client waiting for its greeting.
    server.play({transcript("P: 200"), listing(Three), dele(2), Step::quitOk()});
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
    server.play({listing(Three), transcript("C: dele 1\nP: 3000")});
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

TARVOLK_TEST(TestDeletion);
#include "test_deletion.moc"
