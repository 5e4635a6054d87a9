// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"
#include "testsupport/conversation.h"
#include "testsupport/fedclient.h"
#include "testsupport/recordingview.h"
#include "testsupport/resourceusage.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testaccount.h"
#include "testsupport/testregistry.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace pop3test;

Q_DECLARE_METATYPE(QList<pop3test::ServedMail>)

namespace {

const QByteArray Message1 = "From: Anna <anna@example.org>\r\nSubject: Eins\r\n\r\nHallo.\r\n"
                            "Regards.\r\n";
const QByteArray Message2 = "From: Bert <bert@example.org>\r\nSubject: Zwei\r\n\r\n.hidden\r\n"
                            "..two\r\n";
const QByteArray Message3 = "From: Carl <carl@example.org>\r\nSubject: Drei\r\n\r\nEnde\r\n";
const QList<ServedMail> Three = {{"a", Message1}, {"b", Message2}, {"c", Message3}};

QStringList entriesOf(const QList<ServedMail>& mails)
{
    QStringList result;
    for (int i = 0; i < mails.size(); ++i)
        result << QStringLiteral("%1. Email %2").arg(i + 1).arg(mails[i].text.size());
    return result;
}

QStringList texts(const QList<ServedMail>& mails)
{
    QStringList result;
    for (const ServedMail& mail : mails)
        result << QString::fromLatin1(mail.text);
    return result;
}

const QByteArray Pipelining = "S: +OK\nS: TOP\nS: UIDL\nS: PIPELINING\nS: .\n";

// "top i 10" for every message at once, then the answers in the order given (0 for the first).
Scenario pipelinedTops(const QList<ServedMail>& mails, const QList<int>& order)
{
    QByteArray commands;
    QByteArray answers;
    for (int i = 0; i < mails.size(); ++i)
        commands += "C: top " + QByteArray::number(i + 1) + " 10\n";
    for (int i : order)
        answers += multiLineAnswer(mails[i].text);
    return {transcript(commands), Step::send(answers)};
}

} // namespace

class TestFetch : public QObject {
    Q_OBJECT
private slots:
    // On the fed transport.
    void reportsEmptyAndBrokenMailboxes_data();
    void reportsEmptyAndBrokenMailboxes();
    void pipelinesWhenAnnounced();
    void refetchAsksOnlyForNewMessages_data();
    void refetchAsksOnlyForNewMessages();
    void twoAccountsFetchAtTheSameTime();
    void keepsAnswersInStep_data();
    void keepsAnswersInStep();
    void restartAsksAgainForPreviewsNotOnDisk_data();
    void restartAsksAgainForPreviewsNotOnDisk();
    // On the scripted server: answers in pieces, floods and time-outs.
    void fetchesEveryMessage_data();
    void fetchesEveryMessage();
    void withstandsHostileServers_data();
    void withstandsHostileServers();
    void stopsGrowingATextAtTheLimit();
    void decodesEachMessageOnceComplete();
};

void TestFetch::fetchesEveryMessage_data()
{
    const QByteArray first = multiLineAnswer(Message1);
    const QString text = texts(Three)[0];
    QTest::addColumn<Scenario>("firstTop");
    QTest::addColumn<QString>("firstText");
    QTest::newRow("whole answers") << Scenario(Step::send(first)) << text;
    QTest::newRow("chunk ends after Regards.")
        << Step::sendSplit(first, {int(first.indexOf("Regards.") + 10)}, 30) << text;
    QTest::newRow("end marker split across chunks")
        << Step::sendSplit(first, {int(first.size() - 2)}, 30) << text;
    QTest::newRow("byte by byte") << Step::sendBytewise(first, 1) << text;
    QTest::newRow("error answer keeps an empty entry")
        << Scenario(Step::send("-ERR gone\r\n")) << QString();
}

void TestFetch::fetchesEveryMessage()
{
    QFETCH(Scenario, firstTop);
    QFETCH(QString, firstText);
    ScriptedServer server;
    server.play({listing(Three), Step::expect("top 1 10"), firstTop, previews(Three, 10, 1),
                 Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QVERIFY(view.notices.isEmpty());
    QCOMPARE(view.entries, entriesOf(Three));
    QCOMPARE(client.MailTexts(), QStringList({firstText}) + texts(Three).mid(1));
    QCOMPARE(view.arrivals, QList<int>({0, 1, 2}));
    QCOMPARE(client.MailCount, 3);
    QCOMPARE(client.MailUids(), QList<QByteArray>({"a", "b", "c"}));
    const int total = int(Message1.size() + Message2.size() + Message3.size());
    QCOMPARE(view.summary, QStringLiteral("3 Emails mit %1 Bytes").arg(total));
    QVERIFY(view.statusHistory.contains(QStringLiteral("Nachricht 3 abrufen")));
    QCOMPARE(view.status(), QString());
    QCOMPARE(view.progressMax, total);
    QCOMPARE(view.progressValues.last(), 0);
    for (int value : view.progressValues)
        QVERIFY(value >= 0 && value <= total);
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
    FedClient fed;
    fed.transport->play({Step::loginOk("joe", "secret"), Step::expect("stat"),
                         Step::send(stat + "\r\n"), Step::quitOk()});
    fed.view.entries = QStringList({QStringLiteral("old")});
    fed.client.MailCount = 5;
    fed.client.Emails_abrufen(testAccount(), 10);
    SCRIPTED_VERIFY(*fed.transport);
    QCOMPARE(fed.view.summary, summary);
    QVERIFY(fed.view.entries.isEmpty());
    QCOMPARE(fed.client.MailCount, 5);
    QVERIFY(fed.view.notices.isEmpty());
}

void TestFetch::withstandsHostileServers_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QString>("detail"); // of the one box; empty for no box
    QTest::addColumn<QStringList>("entries");
    const QString tooLong = QStringLiteral("Die Antwort des Servers ist zu lang.");
    const QStringList none;
    QTest::newRow("endless capa")
        << transcript("S: +OK ready\nC: capa\nS: +OK\nS: <flood STLS SASL PLAIN>\nC: <close>")
        << tooLong << none;
    QTest::newRow("endless uidl")
        << Scenario{Step::loginOk("joe", "secret"),
                    transcript("C: stat\nS: +OK 2 200\nC: list\nS: +OK\nS: 1 100\nS: 2 100\nS: .\n"
                               "C: uidl\nS: +OK\nS: <flood 1 abcdefgh>\nC: <close>")}
        << tooLong << none;
    QTest::newRow("endless top") << Scenario{listing(Three),
                                             transcript("C: top 1 10\nS: +OK\nS: <flood " +
                                                        QByteArray(998, 'x') + ">\nC: <close>")}
                                 << tooLong << entriesOf(Three);
    QTest::newRow("flood after a time-out")
        << Scenario{Step::loginOk("joe", "secret"),
                    transcript("C: stat\nP: 500\nS: <flood +OK 1 100>\nC: <close>")}
        << QStringLiteral("Der Server 127.0.0.1 hat nicht innerhalb von 0.3 Sekunden geantwortet.")
        << none;
    QTest::newRow("more messages than a list holds")
        << Scenario{Step::loginOk("joe", "secret"),
                    transcript("C: stat\nS: +OK 2147483647 900\nC: quit\nC: <close>")}
        << QStringLiteral(
               "Das Postfach enthält 2147483647 E-Mails; Tarvolk zeigt höchstens 200000.")
        << none;
    QTest::newRow("inflated stat, error to list")
        << Scenario{Step::loginOk("joe", "secret"),
                    transcript("C: stat\nS: +OK 200000 900\nC: list\nS: -ERR no such message\n"
                               "C: quit\nC: <close>")}
        << QStringLiteral("-ERR no such message") << none;
    QTest::newRow("inflated stat, short listing, two-billion uidl number")
        << Scenario{Step::loginOk("joe", "secret"),
                    transcript("C: stat\nS: +OK 200000 900\nC: list\nS: +OK\nS: 1 80\n"
                               "S: 1 90\nS: x 5\nS: 2000000000\nS: .\nC: uidl\nS: +OK\n"
                               "S: 2000000000 z\nS: 1 a\nS: .\nC: top 1 10\nS: -ERR gone"),
                    Step::quitOk()}
        << QString() << QStringList{QStringLiteral("1. Email 80")};
    QTest::newRow("stray empty line after stat")
        << Scenario{Step::loginOk("joe", "secret"),
                    transcript("C: stat\nS: +OK 1 100\nS: \nC: list\nC: <close>")}
        << QStringLiteral("Unerwartete Antwort des Servers: „“") << none;
}

void TestFetch::withstandsHostileServers()
{
    QFETCH(Scenario, scenario);
    QFETCH(QString, detail);
    QFETCH(QStringList, entries);
    const qint64 rssBefore = ResourceUsage::currentRssKiB();
    ResourceUsage::resetPeak();
    ScriptedServer server;
    server.play(scenario);
    RecordingView view;
    MailboxClient client(view);
    client.connection().setTimeLimitMs(300);
    bool closedBeforeTheBox = true;
    view.onNotice = [&](const Notice&) {
        closedBeforeTheBox = !client.connection().isOpen();
    };
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), 5000);
    SCRIPTED_VERIFY(server);
    QCOMPARE(view.notices.size(), detail.isEmpty() ? 0 : 1);
    if (!detail.isEmpty())
        QCOMPARE(view.notices[0].detail, detail);
    QVERIFY(closedBeforeTheBox);
    QCOMPARE(view.entries, entries);
    const qint64 grownKiB = ResourceUsage::peakRssKiB() - rssBefore;
    QVERIFY2(grownKiB < 64 * 1024, qPrintable(QString::number(grownKiB)));
}

void TestFetch::pipelinesWhenAnnounced()
{
    // Every command of a stage arrives before the server answers the first of them; the
    // password and the listing go out together.
    const QByteArray capabilities = "S: +OK\nS: TOP\nS: UIDL\nS: PIPELINING\nS: USER\nS: .\n";
    FedClient fed;
    fed.transport->play({transcript("S: +OK ready\nC: capa\n" + capabilities +
                                    "C: user joe\nC: pass secret\nC: stat\nC: list\nC: uidl\n"
                                    "S: +OK\nS: +OK logged in"),
                         Step::send(statAnswer(Three) + listAnswer(Three) + uidlAnswer(Three)),
                         transcript("C: top 1 10\nC: top 2 10\nC: top 3 10"),
                         Step::send(multiLineAnswer(Message1) + multiLineAnswer(Message2) +
                                    multiLineAnswer(Message3)),
                         Step::quitOk()});
    // Known to take commands ahead, the server gets "capa" together with the log-in the next
    // time; the previews come from memory.
    fed.transport->play({transcript("S: +OK ready\nC: capa\nC: user joe\nC: pass secret\nC: stat\n"
                                    "C: list\nC: uidl\n" +
                                    capabilities + "S: +OK\nS: +OK logged in"),
                         Step::send(statAnswer(Three) + listAnswer(Three) + uidlAnswer(Three)),
                         Step::quitOk()});
    fed.client.Emails_abrufen(testAccount(), 10);
    fed.client.Emails_abrufen(testAccount(), 10);
    SCRIPTED_VERIFY(*fed.transport);
    QVERIFY(fed.view.notices.isEmpty());
    QCOMPARE(fed.client.MailTexts(), texts(Three));
}

void TestFetch::refetchAsksOnlyForNewMessages_data()
{
    QTest::addColumn<bool>("withIds");
    QTest::newRow("ids: only the new message") << true;
    QTest::newRow("no uidl: everything again") << false;
}

void TestFetch::refetchAsksOnlyForNewMessages()
{
    QFETCH(bool, withIds);
    const QList<ServedMail> later = {Three[0], Three[2], {"d", "Subject: Neu\r\n\r\nneu\r\n"}};
    const Ids ids = withIds ? Ids::Unique : Ids::Refused;
    FedClient fed;
    fed.transport->play({listing(Three, ids), previews(Three), Step::quitOk()});
    fed.transport->play(
        {listing(later, ids), previews(later, 10, withIds ? 2 : 0), Step::quitOk()});
    fed.client.Emails_abrufen(testAccount(), 10);
    fed.client.Emails_abrufen(testAccount(), 10);
    SCRIPTED_VERIFY(*fed.transport);
    QCOMPARE(fed.client.MailTexts(), texts(later));
}

// Each row: a fetch whose server lets answers and commands fall out of step, after a clean fetch
// when the row needs one. Either every preview is right, or none shows, the user is told, and
// the next fetch asks for every preview again (nothing was kept).
void TestFetch::keepsAnswersInStep_data()
{
    QTest::addColumn<Scenario>("before");
    QTest::addColumn<QList<ServedMail>>("mails");
    QTest::addColumn<Scenario>("fetch");
    QTest::addColumn<bool>("clean");
    QTest::addColumn<Scenario>("next");
    QByteArray big = "Subject: Zwei\r\n\r\n";
    while (big.size() < 3000)
        big += QByteArray(98, 'x') + "\r\n";
    const QList<ServedMail> bigSecond{Three[0], {"b", big}, Three[2]};
    const QList<ServedMail> four = Three + QList<ServedMail>{{"d", "Subject: Vier\r\n\r\n"}};
    const Scenario pipelined{listing(Three, Ids::Unique, Pipelining),
                             pipelinedTops(Three, {0, 1, 2}), Step::quitOk()};
    const QByteArray noPipelining = "S: +OK\nS: TOP\nS: UIDL\nS: .\n";
    QTest::newRow("capa loses PIPELINING on a later press")
        << pipelined << four
        << Scenario{listing(four, Ids::Unique, noPipelining, true),
                    transcript("C: top 4 10\nS: +OK\nS: Subject: Vier\nS: \nS: ."), Step::quitOk()}
        << true << Scenario{listing(four, Ids::Unique, noPipelining), Step::quitOk()};
    QTest::newRow("capa refused on a later press")
        << pipelined << four
        << Scenario{listing(four, Ids::Unique, "S: -ERR\n", true),
                    transcript("C: top 4 10\nS: +OK\nS: Subject: Vier\nS: \nS: ."), Step::quitOk()}
        << true << Scenario{listing(four), Step::quitOk()};
    QTest::newRow("an answer sent twice")
        << Scenario() << Three
        << Scenario{listing(Three),
                    transcript("C: top 1 10"),
                    Step::send(multiLineAnswer(Message1) + multiLineAnswer(Message1)),
                    transcript("C: top 2 10"),
                    Step::send(multiLineAnswer(Message2)),
                    transcript("C: top 3 10"),
                    Step::send(multiLineAnswer(Message3)),
                    Step::quitOk()}
        << false << Scenario{listing(Three), previews(Three), Step::quitOk()};
    QTest::newRow("two answers swapped")
        << Scenario() << bigSecond
        << Scenario{listing(bigSecond, Ids::Unique, Pipelining),
                    pipelinedTops(bigSecond, {1, 0, 2}), Step::expectClose()}
        << false
        << Scenario{listing(bigSecond, Ids::Unique, Pipelining, true),
                    pipelinedTops(bigSecond, {0, 1, 2}), Step::quitOk()};
    QTest::newRow("an answer dropped")
        << Scenario() << Three
        << Scenario{listing(Three, Ids::Unique, Pipelining), pipelinedTops(Three, {0, 2}),
                    Step::expectClose()}
        << false
        << Scenario{listing(Three, Ids::Unique, Pipelining, true), pipelinedTops(Three, {0, 1, 2}),
                    Step::quitOk()};
    QTest::newRow("a stray status line")
        << Scenario() << Three
        << Scenario{listing(Three), transcript("C: top 1 10"),
                    Step::send("+OK\r\n" + multiLineAnswer(Message1)), Step::expectClose()}
        << false << Scenario{listing(Three), previews(Three), Step::quitOk()};
    QTest::newRow("bytes after the answer to quit")
        << Scenario() << Three
        << Scenario{listing(Three), previews(Three),
                    transcript("C: quit\nS: +OK bye\nS: +OK\nS: <close>")}
        << false << Scenario{listing(Three), previews(Three), Step::quitOk()};
}

void TestFetch::keepsAnswersInStep()
{
    QFETCH(Scenario, before);
    QFETCH(QList<ServedMail>, mails);
    QFETCH(Scenario, fetch);
    QFETCH(bool, clean);
    QFETCH(Scenario, next);
    FedClient fed;
    if (before.size() > 0) {
        fed.transport->play(before);
        fed.client.Emails_abrufen(testAccount(), 10);
    }
    fed.transport->play(fetch);
    fed.transport->play(next);
    fed.client.Emails_abrufen(testAccount(), 10);
    QCOMPARE(fed.client.MailTexts(), clean ? texts(mails) : QStringList(mails.size(), QString()));
    QCOMPARE(fed.view.notices.size(), clean ? 0 : 1);
    fed.client.Emails_abrufen(testAccount(), 10);
    SCRIPTED_VERIFY(*fed.transport);
    QCOMPARE(fed.client.MailTexts(), texts(mails));
}

void TestFetch::restartAsksAgainForPreviewsNotOnDisk_data()
{
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<int>("damage"); // bytes cut off the previews' file, or (> 0) where one changes
    QTest::newRow("file cut") << true << -40;
    QTest::newRow("a byte changed") << true << 100;
    QTest::newRow("Cache=no") << false << 0;
}

// Each row: a fetch by one run of the program, then by the next, whose server no longer takes
// commands ahead. What the first run knew goes into the second's log-in, but none of its previews.
void TestFetch::restartAsksAgainForPreviewsNotOnDisk()
{
    QFETCH(bool, allowed);
    QFETCH(int, damage);
    QTemporaryDir disk;
    const QString folder = disk.filePath(QStringLiteral("tarvolk"));
    Account account = testAccount();
    account.cacheOnDisk = allowed;
    const auto fetch = [&](const QByteArray& capa, bool known) {
        FedClient fed;
        fed.client.useDisk(folder);
        fed.transport->play(
            {listing(Three, Ids::Unique, capa, known), previews(Three), Step::quitOk()});
        fed.client.Emails_abrufen(account, 10);
        SCRIPTED_VERIFY(*fed.transport);
        QCOMPARE(fed.client.MailTexts(), texts(Three));
    };
    fetch("S: +OK\nS: TOP\nS: UIDL\nS: PIPELINING\nS: .\n", false);
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), allowed ? 2 : 0);
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QVERIFY(!allowed ||
            QFileInfo(folder).permissions() == (owner | QFile::ExeOwner | QFile::ExeUser));
    for (const QFileInfo& info : files) {
        QCOMPARE(info.permissions(), owner);
        QFile file(info.filePath());
        if (!info.fileName().endsWith(QLatin1String(".previews")) ||
            !file.open(QIODevice::ReadWrite))
            continue;
        QByteArray bytes = file.readAll().chopped(qMax(0, -damage));
        bytes[bytes.size() - qMax(1, damage)] ^= char(damage > 0 ? 0x20 : 0);
        QVERIFY(file.resize(0) && file.write(bytes) == bytes.size());
    }
    fetch("S: +OK\nS: TOP\nS: UIDL\nS: .\n", allowed);
}

void TestFetch::twoAccountsFetchAtTheSameTime()
{
    // The second account's fetch starts while the first waits for its server, and ends first.
    const QList<ServedMail> other{{"x", "Subject: Anderes Konto\r\n\r\n"}};
    ScriptedServer first;
    ScriptedServer second;
    first.play({listing(Three), Step::expect("top 1 10"), Step::pause(300),
                Step::send(multiLineAnswer(Message1)), transcript("C: top 2 10"),
                Step::send(multiLineAnswer(Message2)), transcript("C: top 3 10"),
                Step::send(multiLineAnswer(Message3)), Step::quitOk()});
    second.play(fetchConversation(other));
    RecordingView firstView;
    RecordingView secondView;
    MailboxClient firstClient(firstView);
    MailboxClient secondClient(secondView);
    bool overlapped = false;
    QTimer::singleShot(100, [&] {
        secondClient.Emails_abrufen(testAccount(second.hostWithPort()), 10);
        overlapped = firstClient.isBusy() && firstView.arrivals.isEmpty();
    });
    firstClient.Emails_abrufen(testAccount(first.hostWithPort()), 10);
    SCRIPTED_VERIFY(first);
    SCRIPTED_VERIFY(second);
    QVERIFY(overlapped);
    QVERIFY(firstView.notices.isEmpty() && secondView.notices.isEmpty());
    QCOMPARE(firstClient.MailTexts(), texts(Three));
    QCOMPARE(secondClient.MailTexts(), texts(other));
}

void TestFetch::stopsGrowingATextAtTheLimit()
{
    QByteArray body = "Subject: big\r\n\r\n";
    while (body.size() < 80000)
        body += QByteArray(98, 'x') + "\r\n";
    const QByteArray answer = multiLineAnswer(body);
    QList<int> cuts;
    for (int at = 16000; at < answer.size(); at += 16000)
        cuts.append(at);
    ScriptedServer server;
    server.play({listing({{"a", body}}), Step::expect("top 1 0"), Step::sendSplit(answer, cuts, 20),
                 Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 0);
    SCRIPTED_VERIFY(server);
    const QString stored = client.MailText(0);
    QVERIFY2(stored.size() >= 64000 && stored.size() < body.size(),
             qPrintable(QString::number(stored.size())));
    QVERIFY(QString::fromLatin1(body).startsWith(stored));
}

void TestFetch::decodesEachMessageOnceComplete()
{
    const QByteArray utf8 = "Subject: x\r\n\r\nGr\xC3\xBC\xC3\x9F"
                            "e\r\n";
    const QByteArray latin1 = "Subject: y\r\n\r\nGr\xFC\xDF"
                              "e\r\n";
    const QByteArray answer = multiLineAnswer(utf8);
    const QList<ServedMail> mails = {{"a", utf8}, {"b", latin1}};
    // The answer is cut in the middle of the two bytes of "ü".
    ScriptedServer server;
    server.play({listing(mails), Step::expect("top 1 10"),
                 Step::sendSplit(answer, {int(answer.indexOf('\xBC'))}, 30), previews(mails, 10, 1),
                 Step::quitOk()});
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(testAccount(server.hostWithPort()), 10);
    SCRIPTED_VERIFY(server);
    QCOMPARE(client.MailText(0), QStringLiteral("Subject: x\r\n\r\nGrüße\r\n"));
    QCOMPARE(client.MailText(1), QStringLiteral("Subject: y\r\n\r\nGrüße\r\n"));
}

TARVOLK_TEST(TestFetch);
#include "test_fetch.moc"
