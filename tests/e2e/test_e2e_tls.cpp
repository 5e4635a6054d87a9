// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/mailboxclient.h"
#include "testsupport/dovecotserver.h"
#include "testsupport/e2esupport.h"
#include "testsupport/recordingview.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/scriptedserver.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"

#include <QSslCertificate>
#include <QTest>

using pop3test::Scenario;
using pop3test::ScriptedServer;
using pop3test::transcript;

namespace {

const QString Password = QStringLiteral("geheim");
const QString Negotiating = QStringLiteral("Sichere Verbindung");

QList<QByteArray> threeMessages()
{
    QList<QByteArray> messages;
    for (int number = 1; number <= 3; ++number) {
        TestMail::Message mail;
        mail.subject = "Vertraulich " + QByteArray::number(number);
        mail.body = QStringLiteral("Geheime Grüße, Teil %1\n").arg(number).toUtf8();
        messages.append(TestMail::build(mail));
    }
    return messages;
}

QStringList expectedTexts(const QList<QByteArray>& messages)
{
    QStringList texts;
    for (const QByteArray& message : messages)
        texts.append(QString::fromUtf8(e2e::headerBlockAndFirstLines(message, 10)));
    return texts;
}

QStringList entriesOf(const QList<QByteArray>& messages)
{
    QStringList entries;
    for (int i = 0; i < messages.size(); ++i)
        entries.append(QStringLiteral("%1. Email %2").arg(i + 1).arg(messages[i].size()));
    return entries;
}

// dovecot's log line of a user's log-in; empty until there is one.
QByteArray loginLine(const DovecotServer& server, const QString& user)
{
    for (const QByteArray& line : e2e::logLinesOf(server, user)) {
        if (line.contains("Login: "))
            return line;
    }
    return QByteArray();
}

} // namespace

class TestE2eTls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void refusesTheCertificateBeforeTheLogIn_data();
    void refusesTheCertificateBeforeTheLogIn();
    void fetchesAndDeletesWithTheTrustedFingerprint_data();
    void fetchesAndDeletesWithTheTrustedFingerprint();
    void starttlsRefusedWhenTheServerOffersNoStls_data();
    void starttlsRefusedWhenTheServerOffersNoStls();
    void plainPathIsUnchanged_data();
    void plainPathIsUnchanged();

private:
    quint16 portFor(const QString& security) const;

    DovecotServer m_server;
    e2e::UserPool m_users;
    QByteArray m_digest; // SHA-256 of dovecot's certificate
};

void TestE2eTls::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
    QVERIFY2(m_server.start(DovecotServer::Tls::On), qPrintable(m_server.errorString()));
    QVERIFY2(m_users.create(m_server, 10, Password), qPrintable(m_server.errorString()));
    const QList<QSslCertificate> certificates =
        QSslCertificate::fromPath(m_server.certificatePath());
    QCOMPARE(certificates.size(), 1);
    m_digest = certificates.first().digest(QCryptographicHash::Sha256);
    QCOMPARE(m_digest.size(), 32);
}

quint16 TestE2eTls::portFor(const QString& security) const
{
    // STLS is offered on the plain port.
    return security == QStringLiteral("tls") ? m_server.tlsPort() : m_server.port();
}

void TestE2eTls::refusesTheCertificateBeforeTheLogIn_data()
{
    QTest::addColumn<QString>("security");
    QTest::addColumn<bool>("wrongFingerprint");
    QTest::newRow("tls, self-signed") << QStringLiteral("tls") << false;
    QTest::newRow("tls, wrong fingerprint") << QStringLiteral("tls") << true;
    QTest::newRow("starttls, self-signed") << QStringLiteral("starttls") << false;
    QTest::newRow("starttls, wrong fingerprint") << QStringLiteral("starttls") << true;
}

void TestE2eTls::refusesTheCertificateBeforeTheLogIn()
{
    QFETCH(QString, security);
    QFETCH(bool, wrongFingerprint);
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    QVERIFY(!e2e::deliverAll(m_server, user, threeMessages()).isEmpty());
    QByteArray other = m_digest;
    other[0] = char(other[0] ^ 0x01);
    const QString fingerprint =
        wrongFingerprint ? QString::fromLatin1(other.toHex(':')) : QString();
    const int refusedBefore = e2e::countInLog(m_server, "(no auth attempts");
    RecordingView view;
    MailboxClient client(view);

    client.Emails_abrufen(
        e2e::account(e2e::loopback(portFor(security)), user, Password, security, fingerprint), 10);

    QCOMPARE(view.notices.size(), 1);
    const Notice notice = view.notices[0];
    QCOMPARE(notice.title, Notice::Title::Application);
    QCOMPARE(notice.text, QStringLiteral("Das Zertifikat des Servers wurde nicht angenommen."));
    QVERIFY2(notice.detail.contains(QStringLiteral("selbst signiert")), qPrintable(notice.detail));
    // With a pin set, the box says that it did not match.
    QCOMPARE(notice.detail.contains(QStringLiteral("stimmt nicht mit dem eingetragenen")),
             wrongFingerprint);
    // The user can copy the fingerprint from the box into the settings.
    QVERIFY2(notice.detail.contains(QString::fromLatin1(m_digest.toHex(':')), Qt::CaseInsensitive),
             qPrintable(notice.detail));
    QVERIFY(view.statusHistory.contains(Negotiating));
    QVERIFY(!view.statusHistory.contains(QStringLiteral("Suche Account")));
    QCOMPARE(view.status(), QString());
    QCOMPARE(view.clears, 0);

    // dovecot saw a connection that ended without any log-in attempt, and nothing of this user.
    QTRY_COMPARE_WITH_TIMEOUT(e2e::countInLog(m_server, "(no auth attempts"), refusedBefore + 1,
                              e2e::ReplyTimeoutMs);
    QCOMPARE(e2e::logLinesOf(m_server, user), QList<QByteArray>());
}

void TestE2eTls::fetchesAndDeletesWithTheTrustedFingerprint_data()
{
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("fingerprint");
    QTest::newRow("tls, fingerprint with colons in lower case")
        << QStringLiteral("tls") << QString::fromLatin1(m_digest.toHex(':')).toLower();
    QTest::newRow("starttls, fingerprint in upper case without colons")
        << QStringLiteral("starttls") << QString::fromLatin1(m_digest.toHex()).toUpper();
}

void TestE2eTls::fetchesAndDeletesWithTheTrustedFingerprint()
{
    QFETCH(QString, security);
    QFETCH(QString, fingerprint);
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    const QList<QByteArray> messages = threeMessages();
    const QStringList ids = e2e::deliverAll(m_server, user, messages);
    QCOMPARE(ids.size(), 3);
    const Account account =
        e2e::account(e2e::loopback(portFor(security)), user, Password, security, fingerprint);
    RecordingView view;
    MailboxClient client(view);

    client.Emails_abrufen(account, 10);

    QVERIFY(view.notices.isEmpty());
    QCOMPARE(view.entries, entriesOf(messages));
    QCOMPARE(client.MailTexts(), expectedTexts(messages));
    // The status line tells of the negotiation between finding the host and the user name.
    const qsizetype negotiating = view.statusHistory.indexOf(Negotiating);
    QVERIFY(negotiating > view.statusHistory.indexOf(QStringLiteral("Suche Host")));
    QVERIFY(negotiating < view.statusHistory.indexOf(QStringLiteral("Suche Account")));
    QTRY_VERIFY_WITH_TIMEOUT(!loginLine(m_server, user).isEmpty(), e2e::ReplyTimeoutMs);
    QVERIFY2(loginLine(m_server, user).contains(", TLS"), loginLine(m_server, user).constData());

    client.DeleteMail(account, {1});
    QVERIFY2(view.notices.isEmpty(),
             qPrintable(view.notices.value(0).text + view.notices.value(0).detail));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.messageIds(user), QStringList({ids[0], ids[2]}),
                              e2e::ReplyTimeoutMs);

    client.Emails_abrufen(account, 10);
    QVERIFY(view.notices.isEmpty());
    const QList<QByteArray> kept{messages[0], messages[2]};
    QCOMPARE(view.entries, entriesOf(kept));
    QCOMPARE(client.MailTexts(), expectedTexts(kept));
}

void TestE2eTls::starttlsRefusedWhenTheServerOffersNoStls_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QString>("detailPart");
    const QByteArray greeting = "S: +OK POP3 ready\nC: capa\n";
    const QByteArray quit = "C: quit\nC: <close>";
    QTest::newRow("capa lists no STLS")
        << transcript(greeting + "S: +OK\nS: TOP\nS: USER\nS: UIDL\nS: .\n" + quit)
        << QStringLiteral("STLS");
    QTest::newRow("capa answered with -ERR")
        << transcript(greeting + "S: -ERR unknown command\n" + quit) << QStringLiteral("STLS");
    QTest::newRow("stls answered with -ERR")
        << transcript(greeting + "S: +OK\nS: TOP\nS: STLS\nS: USER\nS: .\nC: stls\n" +
                      "S: -ERR TLS is switched off here\n" + quit)
        << QStringLiteral("TLS is switched off here");
}

void TestE2eTls::starttlsRefusedWhenTheServerOffersNoStls()
{
    QFETCH(Scenario, scenario);
    QFETCH(QString, detailPart);
    ScriptedServer server;
    server.play(scenario);
    RecordingView view;
    MailboxClient client(view);

    QVERIFY(!client.Do_Connect(e2e::account(server.hostWithPort(), QStringLiteral("joe"),
                                            QStringLiteral("secret"), QStringLiteral("starttls"))));

    QTRY_VERIFY_WITH_TIMEOUT(server.isFinished(), e2e::ReplyTimeoutMs);
    SCRIPTED_VERIFY(server);
    QCOMPARE(server.receivedLinesStartingWith("user"), QList<QByteArray>());
    QCOMPARE(server.receivedLinesStartingWith("pass"), QList<QByteArray>());
    QCOMPARE(view.notices.size(), 1);
    QCOMPARE(view.notices[0].title, Notice::Title::Application);
    QCOMPARE(view.notices[0].text, QStringLiteral("Keine sichere Verbindung möglich"));
    QVERIFY2(view.notices[0].detail.contains(detailPart), qPrintable(view.notices[0].detail));
    QCOMPARE(view.status(), QString());
}

void TestE2eTls::plainPathIsUnchanged_data()
{
    QTest::addColumn<QString>("security");
    QTest::newRow("no Security") << QString();
    QTest::newRow("Security none") << QStringLiteral("none");
}

void TestE2eTls::plainPathIsUnchanged()
{
    QFETCH(QString, security);
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    const QList<QByteArray> messages = threeMessages();
    QVERIFY(!e2e::deliverAll(m_server, user, messages).isEmpty());
    RecordingView view;
    MailboxClient client(view);

    // The server offers STLS on this port, but the account does not ask for it.
    client.Emails_abrufen(e2e::account(e2e::loopback(m_server.port()), user, Password, security),
                          10);

    QVERIFY(view.notices.isEmpty());
    QCOMPARE(view.entries, entriesOf(messages));
    QCOMPARE(client.MailTexts(), expectedTexts(messages));
    QVERIFY(!view.statusHistory.contains(Negotiating));
    QTRY_VERIFY_WITH_TIMEOUT(!loginLine(m_server, user).isEmpty(), e2e::ReplyTimeoutMs);
    QVERIFY2(!loginLine(m_server, user).contains("TLS"), loginLine(m_server, user).constData());
}

TARVOLK_TEST(TestE2eTls);
#include "test_e2e_tls.moc"
