// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"
#include "testsupport/dovecotserver.h"
#include "testsupport/e2esupport.h"
#include "testsupport/recordingview.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

const QString Password = QStringLiteral("geheim");

// dovecot's log line that ends the log-in process's session of a user; empty until it is there.
QByteArray loginDisconnect(const DovecotServer& server, const QString& user)
{
    for (const QByteArray& line : e2e::logLinesOf(server, user)) {
        if (line.contains("pop3-login:") && line.contains("Disconnected"))
            return line;
    }
    return QByteArray();
}

} // namespace

class TestE2eLogin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void saysThatTheMailboxIsInUse();
    void logsInWithTheRightPassword();
    void refusesAWrongLogInAndSaysOnlyQuit_data();
    void refusesAWrongLogInAndSaysOnlyQuit();
    void refusedFetchLeavesTheListAlone();
    void logsInRightAwayAfterAWrongPassword();

private:
    DovecotServer m_server;
    e2e::UserPool m_users;
};

void TestE2eLogin::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
    // A second session of the same user waits for the first one's lock, then is refused.
    QVERIFY(m_server.setExtraConfig("pop3_lock_session = yes\n"));
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    QVERIFY2(m_users.create(m_server, 9, Password), qPrintable(m_server.errorString()));
}

void TestE2eLogin::saysThatTheMailboxIsInUse()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    e2e::PlainPop3 other;
    QVERIFY(other.logIn(m_server.port(), user, Password));
    RecordingView view;
    MailboxClient client(view);

    QVERIFY(!client.Do_Connect(e2e::account(e2e::loopback(m_server.port()), user, Password)));

    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text,
             QStringLiteral("Das Postfach wird gerade von einem anderen Programm benutzt. Bitte "
                            "später nochmals abrufen."));
    QVERIFY2(view.notices[0].detail.contains(QStringLiteral("[IN-USE]")),
             qPrintable(view.notices[0].detail));
    QVERIFY(!client.passwordRefused());
    QVERIFY(other.quit());
}

void TestE2eLogin::logsInWithTheRightPassword()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    RecordingView view;
    MailboxClient client(view);

    QVERIFY(client.Do_Connect(e2e::account(e2e::loopback(m_server.port()), user, Password)));

    QCOMPARE(view.statusHistory,
             QStringList({QStringLiteral("Suche Host"), QStringLiteral("Suche Account"),
                          QStringLiteral("Sende Passwort")}));
    QVERIFY(view.notices.isEmpty());
    QVERIFY(client.connection().isOpen());
    QTRY_VERIFY_WITH_TIMEOUT(m_server.log().contains("Login: user=<" + user.toUtf8() + '>'),
                             e2e::ReplyTimeoutMs);
    client.connection().close();
}

void TestE2eLogin::refusesAWrongLogInAndSaysOnlyQuit_data()
{
    QTest::addColumn<bool>("userExists");
    QTest::addColumn<QString>("password");
    QTest::newRow("wrong password") << true << QStringLiteral("falsch");
    QTest::newRow("unknown user") << false << Password;
    QTest::newRow("password of another letter case") << true << QStringLiteral("GEHEIM");
}

void TestE2eLogin::refusesAWrongLogInAndSaysOnlyQuit()
{
    QFETCH(bool, userExists);
    QFETCH(QString, password);
    const QString user = userExists ? m_users.take() : QStringLiteral("niemand");
    QVERIFY(!user.isEmpty());
    RecordingView view;
    MailboxClient client(view);
    const int linesBefore = client.connection().linesSent();

    QVERIFY(!client.Do_Connect(e2e::account(e2e::loopback(m_server.port()), user, password)));

    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].title, Notice::Title::Application);
    QCOMPARE(view.notices[0].text, QStringLiteral("Anmeldung fehlgeschlagen"));
    // dovecot's own words to the refused "pass".
    QVERIFY2(view.notices[0].detail.contains(QStringLiteral("Authentication failed")),
             qPrintable(view.notices[0].detail));
    QCOMPARE(view.status(), QString());
    QVERIFY(!client.connection().isOpen());
    // "capa", "user", "pass" and "quit": nothing else went out after the refusal.
    QCOMPARE(client.connection().linesSent() - linesBefore, 4);

    // dovecot agrees: one attempt, ended by the client's "quit".
    QTRY_VERIFY_WITH_TIMEOUT(!loginDisconnect(m_server, user).isEmpty(), e2e::ReplyTimeoutMs);
    const QByteArray line = loginDisconnect(m_server, user);
    QVERIFY2(line.contains("Aborted login by logging out"), line.constData());
    QVERIFY2(line.contains("auth failed, 1 attempts"), line.constData());
    QVERIFY(!m_server.log().contains("Login: user=<" + user.toUtf8() + '>'));
}

void TestE2eLogin::refusedFetchLeavesTheListAlone()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    QVERIFY(!e2e::deliverAll(m_server, user, {TestMail::build({})}).isEmpty());
    RecordingView view;
    view.entries = QStringList{QStringLiteral("1. Email 512")};
    view.summary = QStringLiteral("1 Email mit 512 Bytes");
    MailboxClient client(view);
    client.MailCount = 1;

    client.Emails_abrufen(
        e2e::account(e2e::loopback(m_server.port()), user, QStringLiteral("falsch")), 10);

    // Not "Keine Emails vorhanden": the mailbox was never opened.
    QCOMPARE(view.summary, QStringLiteral("1 Email mit 512 Bytes"));
    QCOMPARE(view.entries, QStringList{QStringLiteral("1. Email 512")});
    QCOMPARE(view.clears, 0);
    QVERIFY(client.MailTexts().isEmpty());
    QCOMPARE(client.MailCount, 1);
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].text, QStringLiteral("Anmeldung fehlgeschlagen"));
    QCOMPARE(view.status(), QString());
    QVERIFY(!client.isBusy());
}

void TestE2eLogin::logsInRightAwayAfterAWrongPassword()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    TestMail::Message mail;
    mail.subject = "Nach dem Tippfehler";
    const QByteArray message = TestMail::build(mail);
    QVERIFY(!e2e::deliverAll(m_server, user, {message}).isEmpty());
    RecordingView view;
    MailboxClient client(view);
    const QString host = e2e::loopback(m_server.port());

    QVERIFY(!client.Do_Connect(e2e::account(host, user, QStringLiteral("falsch"))));
    QCOMPARE(view.notices.size(), 1);

    // Without a penalty for the failed attempt the next log-in takes a fraction of a second.
    QElapsedTimer timer;
    timer.start();
    client.Emails_abrufen(e2e::account(host, user, Password), 10);
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));

    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.entries, QStringList{QStringLiteral("1. Email %1").arg(message.size())});
    QCOMPARE(view.summary, QStringLiteral("1 Email mit %1 Bytes").arg(message.size()));
    QCOMPARE(client.MailTexts().size(), 1);
    QVERIFY(client.MailTexts()[0].contains(QStringLiteral("\r\nSubject: Nach dem Tippfehler\r\n")));
}

TARVOLK_TEST(TestE2eLogin);
#include "test_e2e_login.moc"
