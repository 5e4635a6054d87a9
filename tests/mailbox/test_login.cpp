// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"
#include "settings/accountslots.h"
#include "settings/inidocument.h"
#include "testsupport/fedclient.h"
#include "testsupport/recordingview.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testaccount.h"
#include "testsupport/testregistry.h"

#include <QElapsedTimer>
#include <QTest>

using pop3test::Scenario;
using pop3test::ScriptedServer;
using pop3test::Step;
using pop3test::transcript;

namespace {

qsizetype indexOfEvent(const ScriptedServer& server, ScriptedServer::EventKind kind,
                       const QByteArray& bytes)
{
    const auto events = server.events();
    for (qsizetype i = 0; i < events.size(); ++i) {
        if (events[i].kind == kind && events[i].bytes.startsWith(bytes))
            return i;
    }
    return -1;
}

} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    // On the fed transport.
    void logsInAndLeavesTheConnectionOpen_data();
    void logsInAndLeavesTheConnectionOpen();
    void closesAConnectionStillOpen();
    void reportsRefusedLogIn_data();
    void reportsRefusedLogIn();
    void refusesUnusableSettingsBeforeSending_data();
    void refusesUnusableSettingsBeforeSending();
    // On the scripted server: pieces, leftovers, missing and silent servers.
    void waitsForTheWholeGreeting();
    void dropsDataLeftFromAnEarlierConversation();
    void reportsAMissingServerAtOnce();
    void reportsAServerThatClosesAtOnce();
    void reportsAServerThatNeverAnswersPass();
    void waitsLongerForThePassword();
};

void TestLogin::logsInAndLeavesTheConnectionOpen_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("auth");
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QStringList>("statuses");
    const QStringList userAndPass{QStringLiteral("Suche Host"), QStringLiteral("Suche Account"),
                                  QStringLiteral("Sende Passwort")};
    const QStringList plain{QStringLiteral("Suche Host"), QStringLiteral("Sende Passwort")};
    QTest::newRow("user and pass")
        << QStringLiteral("joe") << QString() << Step::loginOk("joe", "secret") << userAndPass;
    // An empty user name still goes out with its blank.
    QTest::newRow("empty user name")
        << QString() << QString()
        << transcript("S: +OK ready\nC: capa\nS: -ERR\nC: user \nS: +OK\nC: pass secret\n"
                      "S: +OK\nC: capa\nS: -ERR")
        << userAndPass;
    const QByteArray sasl = "S: +OK ready\nC: capa\nS: +OK\nS: SASL PLAIN\nS: USER\nS: .\n";
    QTest::newRow("plain, initial response on the AUTH line")
        << QStringLiteral("joe") << QStringLiteral("plain")
        << transcript(sasl + "C: AUTH PLAIN AGpvZQBzZWNyZXQ=\nS: +OK\nC: capa\nS: -ERR") << plain;
    const QString longUser(180, u'u');
    const QByteArray response =
        ('\0' + longUser.toUtf8() + '\0' + QByteArrayLiteral("secret")).toBase64();
    QTest::newRow("plain, long response after the challenge")
        << longUser << QStringLiteral("PLAIN")
        << transcript(sasl + "C: AUTH PLAIN\nS: + \nC: " + response + "\nS: +OK\nC: capa\nS: -ERR")
        << plain;
    QTest::newRow("auto without USER")
        << QStringLiteral("joe") << QString()
        << transcript("S: +OK ready\nC: capa\nS: +OK\nS: SASL LOGIN PLAIN\nS: .\n"
                      "C: AUTH PLAIN AGpvZQBzZWNyZXQ=\nS: +OK\nC: capa\nS: -ERR")
        << plain;
}

void TestLogin::logsInAndLeavesTheConnectionOpen()
{
    QFETCH(QString, user);
    QFETCH(QString, auth);
    QFETCH(Scenario, scenario);
    QFETCH(QStringList, statuses);
    FedClient fed;
    fed.transport->play(scenario);
    AccountSlot slot;
    slot.Auth = auth;
    QVERIFY(fed.client.Do_Connect(
        testAccount(QStringLiteral("pop.example.org"), user, QStringLiteral("secret"), slot)));
    SCRIPTED_VERIFY(*fed.transport);
    QVERIFY(fed.view.notices.isEmpty());
    QCOMPARE(fed.view.statusHistory, statuses);
    QVERIFY(fed.transport->isOpen());
}

void TestLogin::waitsForTheWholeGreeting()
{
    ScriptedServer server;
    server.play({Step::sendPieces({"+OK POP3 ", "server ", "ready\r\n"}), Step::expect("capa"),
                 Step::send("+OK\r\nTOP\r\nUIDL\r\nPIPELINING\r\n.\r\n"), Step::expect("user joe"),
                 Step::sendSplit("+OK\r\n", {1, 4}), Step::expect("pass secret"),
                 Step::send("+OK logged in\r\n")});
    RecordingView view;
    MailboxClient client(view);
    QVERIFY(client.Do_Connect(testAccount(server.hostWithPort())));
    SCRIPTED_VERIFY(server);
    // The first command must not go out before the greeting's last piece.
    QVERIFY(indexOfEvent(server, ScriptedServer::EventKind::Sent, "ready") <
            indexOfEvent(server, ScriptedServer::EventKind::Received, "capa"));
    QVERIFY(indexOfEvent(server, ScriptedServer::EventKind::Sent, "\r\n") <
            indexOfEvent(server, ScriptedServer::EventKind::Received, "pass"));
}

void TestLogin::dropsDataLeftFromAnEarlierConversation()
{
    ScriptedServer server;
    // The first server says more than asked; its surplus must not pass for the next greeting.
    server.play({Step::loginOk("joe", "secret"), Step::send("-ERR surplus\r\n")});
    server.play({Step::loginOk("joe", "secret")});
    RecordingView view;
    MailboxClient client(view);
    QVERIFY(client.Do_Connect(testAccount(server.hostWithPort())));
    QTRY_COMPARE_WITH_TIMEOUT(server.sentBytes(0).endsWith("-ERR surplus\r\n"), true, 5000);
    QTRY_VERIFY(!client.connection().receiveBuffer().isEmpty());
    QVERIFY(client.Do_Connect(testAccount(server.hostWithPort())));
    QVERIFY(view.notices.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), 5000);
    SCRIPTED_VERIFY(server);
}

void TestLogin::closesAConnectionStillOpen()
{
    FedClient fed;
    fed.transport->play({Step::loginOk("joe", "secret"), Step::expectClose()});
    fed.transport->play(Step::loginOk("joe", "secret"));
    QVERIFY(fed.client.Do_Connect(testAccount()));
    QVERIFY(fed.client.Do_Connect(testAccount()));
    SCRIPTED_VERIFY(*fed.transport);
}

void TestLogin::reportsRefusedLogIn_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("serverWords");
    QTest::addColumn<bool>("wrongPassword");
    const QString failed = QStringLiteral("Anmeldung fehlgeschlagen");
    const auto toPass = [](const QByteArray& capa, const QByteArray& answer) {
        return transcript("S: +OK ready\nC: capa\n" + capa + "C: user joe\nS: +OK\n" +
                          "C: pass secret\nS: " + answer + "\nC: quit\nC: <close>");
    };
    QTest::newRow("-ERR to pass") << toPass("S: -ERR\n", "-ERR [AUTH] Authentication failed.")
                                  << failed << QStringLiteral("-ERR [AUTH] Authentication failed.")
                                  << true;
    QTest::newRow("no code") << toPass("S: -ERR\n", "-ERR wrong") << failed
                             << QStringLiteral("-ERR wrong") << true;
    QTest::newRow("in use") << toPass("S: -ERR\n", "-ERR [IN-USE] Mailbox is locked.")
                            << QStringLiteral("Das Postfach wird gerade von einem anderen "
                                              "Programm benutzt. Bitte später nochmals abrufen.")
                            << QStringLiteral("-ERR [IN-USE] Mailbox is locked.") << false;
    QTest::newRow("login delay")
        << toPass("S: +OK\nS: USER\nS: LOGIN-DELAY 900\nS: .\n", "-ERR [LOGIN-DELAY] wait")
        << QStringLiteral("Der Server erlaubt so bald noch keine neue Anmeldung. Er lässt nur "
                          "alle 15 Minuten eine Anmeldung zu.")
        << QStringLiteral("-ERR [LOGIN-DELAY] wait") << false;
    QTest::newRow("login delay beyond range")
        << toPass("S: +OK\nS: USER\nS: LOGIN-DELAY 2147483600\nS: .\n", "-ERR [LOGIN-DELAY] wait")
        << QStringLiteral("Der Server erlaubt so bald noch keine neue Anmeldung. Er lässt nur in "
                          "Abständen von über 1000 Minuten eine Anmeldung zu.")
        << QStringLiteral("-ERR [LOGIN-DELAY] wait") << false;
    QTest::newRow("temporary") << toPass("S: -ERR\n", "-ERR [SYS/TEMP] disk full")
                               << QStringLiteral("Der Server hat gerade ein vorübergehendes "
                                                 "Problem. Bitte später nochmals abrufen.")
                               << QStringLiteral("-ERR [SYS/TEMP] disk full") << false;
    QTest::newRow("lasting") << toPass("S: -ERR\n", "-ERR [SYS/PERM] account closed")
                             << QStringLiteral("Der Server meldet ein dauerhaftes Problem. Bitte "
                                               "an den Anbieter des Postfachs wenden.")
                             << QStringLiteral("-ERR [SYS/PERM] account closed") << false;
    QTest::newRow("-ERR to user")
        << transcript("S: +OK ready\nC: capa\nS: -ERR\nC: user joe\nS: -ERR no such user\n"
                      "C: quit\nC: <close>")
        << failed << QStringLiteral("-ERR no such user") << false;
    QTest::newRow("-ERR as greeting")
        << transcript("S: -ERR too many connections\nC: quit\nC: <close>") << failed
        << QStringLiteral("-ERR too many connections") << false;
    // AUTH PLAIN when the server offers no USER: a failure challenge is answered with an empty
    // line and its decoded words are shown.
    QTest::newRow("plain, failure challenge")
        << transcript("S: +OK ready\nC: capa\nS: +OK\nS: SASL PLAIN\nS: .\n"
                      "C: AUTH PLAIN AGpvZQBzZWNyZXQ=\nS: + eyJzdGF0dXMiOiI0MDEifQ==\nC: \n"
                      "S: -ERR [AUTH] Authentication failed.\nC: quit\nC: <close>")
        << failed << QStringLiteral("-ERR [AUTH] Authentication failed.\n{\"status\":\"401\"}")
        << true;
}

void TestLogin::reportsRefusedLogIn()
{
    QFETCH(Scenario, scenario);
    QFETCH(QString, text);
    QFETCH(QString, serverWords);
    QFETCH(bool, wrongPassword);
    FedClient fed;
    fed.transport->play(scenario);
    QVERIFY(!fed.client.Do_Connect(testAccount()));
    QCOMPARE(fed.view.notices.size(), 1);
    QCOMPARE(fed.view.notices[0].title, Notice::Title::Application);
    QCOMPARE(fed.view.notices[0].text, text);
    QCOMPARE(fed.view.notices[0].detail, serverWords);
    QCOMPARE(fed.client.passwordRefused(), wrongPassword);
    QCOMPARE(fed.view.status(), QString());
    SCRIPTED_VERIFY(*fed.transport);
}

void TestLogin::reportsAMissingServerAtOnce()
{
    RecordingView view;
    MailboxClient client(view);
    const quint16 port = ScriptedServer::unusedPort();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!client.Do_Connect(testAccount(QStringLiteral("127.0.0.1:%1").arg(port))));
    QVERIFY2(clock.elapsed() < 2000, "a refused connection must not wait for the time limit");
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Fehler bei der Übertragung"));
    QCOMPARE(view.notices[0].title, Notice::Title::Application);
    QVERIFY2(view.notices[0].detail.contains(QString::number(port)),
             qPrintable(view.notices[0].detail));
    QCOMPARE(view.status(), QString());
    QVERIFY(!client.connection().isOpen());
}

void TestLogin::reportsAServerThatClosesAtOnce()
{
    ScriptedServer server;
    server.play({Step::close()});
    RecordingView view;
    MailboxClient client(view);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!client.Do_Connect(testAccount(server.hostWithPort())));
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(view.notices.size(), 1);
    QVERIFY2(view.notices[0].detail.contains(QStringLiteral("beendet")),
             qPrintable(view.notices[0].detail));
}

void TestLogin::reportsAServerThatNeverAnswersPass()
{
    ScriptedServer server;
    server.play(transcript("S: +OK ready\nC: capa\nS: -ERR\nC: user joe\nS: +OK\n"
                           "C: pass secret\nP: 3000"));
    RecordingView view;
    MailboxClient client(view);
    client.connection().setTimeLimitMs(300);
    client.connection().setLoginTimeLimitMs(400);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!client.Do_Connect(testAccount(server.hostWithPort())));
    QVERIFY(clock.elapsed() >= 400);
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Fehler bei der Übertragung"));
    QVERIFY(view.notices[0].detail.contains(QStringLiteral("innerhalb von 0.4 Sekunden")));
    QCOMPARE(view.status(), QString());
    QVERIFY(!client.connection().isOpen());
    QVERIFY(!server.receivedLines().contains("quit"));
}

void TestLogin::waitsLongerForThePassword()
{
    ScriptedServer server;
    server.play(transcript("S: +OK ready\nC: capa\nS: -ERR\nC: user joe\nS: +OK\n"
                           "C: pass secret\nP: 600\nS: +OK\nC: capa\nS: -ERR"));
    RecordingView view;
    MailboxClient client(view);
    client.connection().setTimeLimitMs(300);
    client.connection().setLoginTimeLimitMs(3000);
    QVERIFY(client.Do_Connect(testAccount(server.hostWithPort())));
    SCRIPTED_VERIFY(server);
}

void TestLogin::refusesUnusableSettingsBeforeSending_data()
{
    QTest::addColumn<QString>("line");     // first in section Setup, so that it counts
    QTest::addColumn<QString>("password"); // from the keyring or the dialog, when given
    QTest::addColumn<QString>("detail");
    const QString breaks = QStringLiteral("Der Wert von %1 enthält einen Zeilenumbruch oder ein "
                                          "Nullzeichen; es wurde nichts gesendet.");
    QTest::newRow("empty host")
        << QStringLiteral("Host1=") << QString()
        << QStringLiteral("Für dieses Konto ist kein Server eingetragen (Host in TARVOLK.INI).");
    QTest::newRow("token over a plain connection")
        << QStringLiteral("Auth1=OAuth2") << QString()
        << QStringLiteral("Die Anmeldung mit OAuth2 braucht eine verschlüsselte Verbindung "
                          "(Security tls oder starttls).");
    QTest::newRow("CR") << QStringLiteral("Password1=a\rDELE 1") << QString()
                        << breaks.arg(u"Password1");
    QTest::newRow("NUL") << QStringLiteral("Account1=a") + QChar(0) << QString()
                         << breaks.arg(u"Account1");
    QTest::newRow("long password")
        << QStringLiteral("Password1=") + QString(256, u'p') << QString()
        << QStringLiteral("Der Wert von Password1 ist länger als 255 Zeichen; es wurde nichts "
                          "gesendet.");
    QTest::newRow("password from the dialog")
        << QString() << QStringLiteral("secret\r\ndele 1")
        << QStringLiteral("Das Passwort enthält einen Zeilenumbruch oder ein Nullzeichen; es "
                          "wurde nichts gesendet.");
}

void TestLogin::refusesUnusableSettingsBeforeSending()
{
    QFETCH(QString, line);
    QFETCH(QString, password);
    QFETCH(QString, detail);
    const QString text =
        QStringLiteral("[Setup]\n%1\nHost1=pop.example.org\nAccount1=joe\nPassword1=secret\n")
            .arg(line);
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    for (const QByteArray& bytes : {text.toUtf8(), "\xFF\xFE" + utf16}) {
        AccountSlots accounts;
        accounts.load(parseIni(bytes));
        accounts.SetIdentity(1);
        Account account = accounts.current();
        account.password = password.isEmpty() ? account.password : password;
        FedClient fed;
        QVERIFY(!fed.client.Do_Connect(account));
        QCOMPARE(fed.view.notices.size(), 1);
        QCOMPARE(fed.view.notices[0].detail, detail);
        QVERIFY(!fed.view.statusHistory.contains(QStringLiteral("Suche Host")));
        QCOMPARE(fed.transport->connectionCount(), 0);
    }
}

TARVOLK_TEST(TestLogin);
#include "test_login.moc"
