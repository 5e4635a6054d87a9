// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Watching the mailboxes with the desktop's real parts (desktop-session.sh): dunst shows the
// notifications, a StatusNotifierWatcher or trayer is the tray, dovecot or the scripted server
// holds the mail. The schedule's seconds last 20 ms here, so a minute passes in 1.2 s.

#include "testsupport/conversation.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"
#include "testsupport/window/desktopservices.h"
#include "testsupport/window/windowfixture.h"
#include "watch/checkscheduler.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QSystemTrayIcon>

using namespace pop3test;
using namespace windowdriver;

namespace {

constexpr int SecondMs = 20;
constexpr int MinuteMs = 60 * SecondMs;
constexpr int Patience = 30000;

QByteArray watchedSettings(const QString& host, int minutes)
{
    return "[Setup]\nTitle1=Privat\nHost1=" + host.toUtf8() +
           "\nAccount1=joe\nPassword1=secret\nCheckInterval1=" + QByteArray::number(minutes) + '\n';
}

QByteArray mail(const QByteArray& from, const QByteArray& subject)
{
    TestMail::Message message;
    message.from = from;
    message.subject = subject;
    return TestMail::build(message);
}

// Log-in with a server that refuses the password for the reason given.
Scenario refused(const QByteArray& capa, const QByteArray& answer)
{
    return transcript("S: +OK ready\nC: capa\n" + capa +
                      "C: user joe\nS: +OK\nC: pass secret\nS: " + answer +
                      "\nC: quit\nS: +OK\nS: <close>");
}

} // namespace

class TestWatching : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void notifiesEachMessageOnce();
    void waitsAndBacksOff_data();
    void waitsAndBacksOff();
    void neverChecksWhileTheWindowTalks();
    void keepsRunningInTheXEmbedTray();

private:
    bool m_xembed = false;
    desktop::StatusNotifierTray m_tray;
};

void TestWatching::initTestCase()
{
    CheckScheduler::setSecondLength(std::chrono::milliseconds(SecondMs));
    QTRY_VERIFY_WITH_TIMEOUT(desktop::isOnBus(QStringLiteral("org.freedesktop.Notifications")),
                             Patience);
    // Qt decides once which tray it uses: trayer's, or the watcher's when one is on the bus.
    m_xembed = qEnvironmentVariable("TARVOLK_TEST_TRAY") == QLatin1String("xembed");
    if (!m_xembed)
        QVERIFY(m_tray.start());
}

void TestWatching::notifiesEachMessageOnce()
{
    TARVOLK_REQUIRE_DOVECOT();
    DovecotServer dovecot;
    QVERIFY(dovecot.addUser(QStringLiteral("joe"), QStringLiteral("secret")));
    QVERIFY2(dovecot.start(), qPrintable(dovecot.errorString()));
    const QString user = QStringLiteral("joe");
    QVERIFY(!dovecot.deliver(user, mail("Anna <anna@example.org>", "Erste")).isEmpty());
    QVERIFY(!dovecot.deliver(user, mail("<b>Fett</b> <fett@example.org>", "Zweite")).isEmpty());
    WindowFixture f;
    QVERIFY(
        f.writeSettings(watchedSettings(QStringLiteral("127.0.0.1:%1").arg(dovecot.port()), 1)));
    f.open().show();

    QTRY_COMPARE_WITH_TIMEOUT(desktop::closeAllShown().size(), 1, Patience);
    desktop::Shown first = desktop::closeAllShown().first();
    QCOMPARE(first.summary, QStringLiteral("2 neue Nachrichten – Privat"));
    QCOMPARE(
        first.text,
        QStringLiteral("Anna <anna@example.org> – Erste\n<b>Fett</b> <fett@example.org> – Zweite"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_tray.lastItem().isEmpty(), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(desktop::toolTipOf(m_tray.lastItem()),
                              QStringLiteral("Privat: 2 neu, 2 im Postfach"), Patience);
    const QStringList labels = desktop::menuLabels(m_tray.lastItem());
    QVERIFY2(labels.contains(QStringLiteral("Alle Konten prüfen")) &&
                 labels.contains(QStringLiteral("Privat")) &&
                 labels.contains(QStringLiteral("Beenden")),
             qPrintable(labels.join(u'|')));

    // A restart tells of the next delivery, and of nothing told before.
    f.window.reset();
    f.open().show();
    QVERIFY(!dovecot.deliver(user, mail("Carl <carl@example.org>", "Dritte")).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(desktop::closeAllShown().size(), 2, Patience);
    const desktop::Shown second = desktop::closeAllShown().first();
    QCOMPARE(second.summary, QStringLiteral("1 neue Nachricht – Privat"));
    QCOMPARE(second.text, QStringLiteral("Carl <carl@example.org> – Dritte"));
    QTRY_COMPARE_WITH_TIMEOUT(f.window->cmbIdentity->currentText(), QStringLiteral("Privat (3)"),
                              Patience);
    const QByteArray withCount = desktop::iconOf(m_tray.lastItem());
    QVERIFY(!withCount.isEmpty());

    // Listed in the window, nothing is new: no count beside the title, none on the icon.
    press(f.window->Command1[0]);
    QTRY_COMPARE_WITH_TIMEOUT(f.window->cmbIdentity->currentText(), QStringLiteral("Privat"),
                              Patience);
    QTRY_VERIFY_WITH_TIMEOUT(desktop::iconOf(m_tray.lastItem()) != withCount, Patience);
    QVERIFY(f.boxes.messages.isEmpty());
}

void TestWatching::waitsAndBacksOff_data()
{
    QTest::addColumn<QList<Scenario>>("refusals");
    QTest::addColumn<QList<int>>("leastGapsMs");
    QTest::addColumn<QString>("problem");
    const QByteArray loginDelay = "S: +OK\nS: USER\nS: UIDL\nS: LOGIN-DELAY 120\nS: .\n";
    QTest::newRow("login delay") << QList<Scenario>{refused(loginDelay,
                                                            "-ERR [LOGIN-DELAY] zu früh")}
                                 << QList<int>{120 * SecondMs} << QString();
    QTest::newRow("in use") << QList<Scenario>{refused("S: -ERR\n", "-ERR [IN-USE] belegt")}
                            << QList<int>{5 * MinuteMs} << QString();
    // Failures twice in a row: one minute, then two; the problem shows until a check goes well.
    QTest::newRow("failing server")
        << QList<Scenario>{refused("S: -ERR\n", "-ERR [SYS/TEMP] Wartung"),
                           refused("S: -ERR\n", "-ERR [SYS/TEMP] Wartung")}
        << QList<int>{MinuteMs, 2 * MinuteMs} << QStringLiteral("Privat: -ERR [SYS/TEMP] Wartung");
}

void TestWatching::waitsAndBacksOff()
{
    QFETCH(QList<Scenario>, refusals);
    QFETCH(QList<int>, leastGapsMs);
    QFETCH(QString, problem);
    WindowFixture f;
    for (const Scenario& refusal : refusals)
        f.server.play(refusal);
    const QList<ServedMail> mails{{"u1", mail("Anna <anna@example.org>", "Erste")}};
    // The last check waits a moment for its greeting, for the tooltip to be read meanwhile.
    f.server.play({transcript("P: 1000"), listing(mails), Step::expect("top 1 0"),
                   Step::send(multiLineAnswer(mails[0].text)), Step::quitOk()});
    QElapsedTimer clock;
    clock.start();
    QList<qint64> accepted;
    connect(&f.server, &ScriptedServer::connectionAccepted, this,
            [&] { accepted.append(clock.elapsed()); });
    // Hourly: no check follows the scripted ones while the test looks.
    QVERIFY(f.writeSettings(watchedSettings(f.server.hostWithPort(), 60)));
    f.open().show();

    if (!problem.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(!m_tray.lastItem().isEmpty(), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(desktop::toolTipOf(m_tray.lastItem()), problem, Patience);
    }
    QTRY_VERIFY_WITH_TIMEOUT(f.server.isFinished(), Patience);
    SCRIPTED_VERIFY(f.server);
    for (int k = 0; k < leastGapsMs.size(); ++k)
        QVERIFY2(accepted[k + 1] - accepted[k] >= leastGapsMs[k],
                 qPrintable(QStringLiteral("check %1 came after %2 ms")
                                .arg(k + 2)
                                .arg(accepted[k + 1] - accepted[k])));
    QTRY_COMPARE_WITH_TIMEOUT(f.window->cmbIdentity->currentText(), QStringLiteral("Privat (1)"),
                              Patience);
    QVERIFY(f.boxes.messages.isEmpty());
}

void TestWatching::neverChecksWhileTheWindowTalks()
{
    WindowFixture f;
    const Scenario emptyMailbox{Step::loginOk("joe", "secret"), transcript("C: stat\nS: +OK 0 0"),
                                Step::quitOk()};
    f.server.play(emptyMailbox);
    QVERIFY(f.writeSettings(watchedSettings(f.server.hostWithPort(), 2)));
    f.open().show();
    QTRY_VERIFY_WITH_TIMEOUT(f.server.isFinished(), Patience);
    // The window waits longer for "stat" than a check takes to fall due (but less than its
    // time limit of 4 s).
    const QList<ServedMail> mails{{"u1", mail("Anna <anna@example.org>", "Erste")}};
    f.server.play({Step::loginOk("joe", "secret"), transcript("C: stat\nP: 3000"),
                   Step::send(statAnswer(mails)), Step::expect("list"),
                   Step::send(listAnswer(mails)), Step::expect("uidl"),
                   Step::send(uidlAnswer(mails)), previews(mails, 0), Step::quitOk()});
    // What the window listed is seen: the check reads no header.
    f.server.play({listing(mails), Step::quitOk()});
    bool overlapped = false;
    connect(&f.server, &ScriptedServer::connectionAccepted, this, [&](int connection) {
        overlapped = overlapped || !f.server.receivedLines(connection - 1).contains("quit");
    });
    press(f.window->Command1[0]);
    QTRY_VERIFY_WITH_TIMEOUT(f.server.isFinished(), Patience);
    SCRIPTED_VERIFY(f.server);
    QCOMPARE(f.server.connectionCount(), 3);
    QVERIFY(!overlapped);
    QVERIFY(f.boxes.messages.isEmpty());
}

void TestWatching::keepsRunningInTheXEmbedTray()
{
    QVERIFY(m_xembed);
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), Patience);
    WindowFixture f;
    f.server.play(
        {Step::loginOk("joe", "secret"), transcript("C: stat\nS: +OK 0 0"), Step::quitOk()});
    QVERIFY(f.writeSettings(watchedSettings(f.server.hostWithPort(), 60)));
    f.open().show();
    QTRY_VERIFY_WITH_TIMEOUT(f.window->watchesFromTray(), Patience);
    f.window->close();
    QVERIFY(f.window->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(f.server.isFinished(), Patience);
    QVERIFY(f.boxes.messages.isEmpty());
}

TARVOLK_TEST(TestWatching);
#include "test_watching.moc"
