// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keyring/keyring.h"
#include "keyring/secretkeys.h"
#include "oauth/tokensource.h"
#include "testsupport/e2esupport.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testregistry.h"
#include "testsupport/window/windowdriver.h"
#include "window/messagebox.h"
#include "window/passworddialog.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

using PasswordDialog::Answer;
using windowdriver::entries;
using windowdriver::press;

const QString Password = QStringLiteral("geheim");

// How a secret is stored or looked up: as today, or under a key of earlier versions.
enum class Secret { UserPassword, RefreshToken, EarlierPassword, EarlierRefreshToken };
Q_DECLARE_METATYPE(Secret)
Q_DECLARE_METATYPE(AccountIdentity)

// Accounts without Password in the settings file, against dovecot. ctest runs the keyring
// functions and withoutKeyringAsksEachTime in separate private sessions (private-session.sh).
class TestWindowKeyring : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void remembersTheAnswerAndAsksNoMore();
    void replacesAStoredPasswordTheServerRefuses();
    void cancellingLogsInNowhere();
    void withoutKeyringAsksEachTime();
    void findsEachSecretForItsOwnerOnly_data();
    void findsEachSecretForItsOwnerOnly();

private:
    // A shown window on a new dovecot user with one message; returns the user's keyring key.
    QString startWindow();
    // The keyring's entry as another program sees it.
    static QString secretToolLookup(const QString& key);

    DovecotServer m_server;
    e2e::UserPool m_users;
    QString m_user;
    QTemporaryDir m_dir;
    std::unique_ptr<frmTarvolk> m_window;
    MessageBox::Recorder m_boxes;
};

void TestWindowKeyring::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
    QVERIFY2(m_users.create(m_server, 4, Password), qPrintable(m_server.errorString()));
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
}

QString TestWindowKeyring::startWindow()
{
    m_user = m_users.take();
    m_boxes.messages.clear();
    const QString host = e2e::loopback(m_server.port());
    const QByteArray ini =
        "[Setup]\nTitle1=Dovecot\nHost1=" + host.toUtf8() + "\nAccount1=" + m_user.toUtf8() + "\n";
    QFile settings(m_dir.filePath(QStringLiteral("TARVOLK.INI")));
    if (e2e::deliverAll(m_server, m_user, {e2e::numberedMessage(1)}).isEmpty() ||
        !settings.open(QIODevice::WriteOnly) || settings.write(ini) != ini.size())
        return QString();
    settings.close();
    m_window = std::make_unique<frmTarvolk>(m_dir.path());
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get()) ? m_user + u'@' + host : QString();
}

QString TestWindowKeyring::secretToolLookup(const QString& key)
{
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"),
               {QStringLiteral("lookup"), QStringLiteral("user"), key, QStringLiteral("server"),
                QStringLiteral("Tarvolk")});
    tool.waitForFinished(e2e::ReplyTimeoutMs);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

void TestWindowKeyring::remembersTheAnswerAndAsksNoMore()
{
    const QString key = startWindow();
    QVERIFY(!key.isEmpty());
    PasswordDialog::Script dialog({Answer{true, Password, true}});
    press(m_window->Command1[0]);
    m_window->List1->messages()->clear();
    press(m_window->Command1[0]);
    QCOMPARE(dialog.requests.size(), 1);
    QCOMPARE(dialog.requests[0].title, QStringLiteral("Dovecot"));
    QVERIFY(dialog.requests[0].canRemember);
    QCOMPARE(secretToolLookup(key), Password);
    QCOMPARE(entries(m_window->List1).size(), 1);
    QVERIFY(m_boxes.messages.isEmpty());
}

void TestWindowKeyring::replacesAStoredPasswordTheServerRefuses()
{
    const QString key = startWindow();
    QVERIFY(Keyring::write(Keyring::Space::Passwords, key, QStringLiteral("veraltet")));
    PasswordDialog::Script dialog({Answer{true, Password, true}});
    press(m_window->Command1[0]);
    QCOMPARE(dialog.requests.size(), 1);
    QVERIFY(dialog.requests[0].storedRefused);
    QCOMPARE(m_boxes.messages.size(), 1);
    QCOMPARE(m_boxes.messages[0].text, QStringLiteral("Anmeldung fehlgeschlagen"));
    QCOMPARE(entries(m_window->List1).size(), 1);
    QCOMPARE(secretToolLookup(key), Password);
}

void TestWindowKeyring::cancellingLogsInNowhere()
{
    QVERIFY(!startWindow().isEmpty());
    PasswordDialog::Script cancelled({});
    press(m_window->Command1[0]);
    QCOMPARE(cancelled.requests.size(), 1);
    QVERIFY(m_boxes.messages.isEmpty());
    QVERIFY(e2e::logLinesOf(m_server, m_user).isEmpty());
}

void TestWindowKeyring::withoutKeyringAsksEachTime()
{
    QVERIFY(!startWindow().isEmpty());
    PasswordDialog::Script dialog({Answer{true, Password, true}, Answer{true, Password, true}});
    press(m_window->Command1[0]);
    press(m_window->Command1[0]);
    QCOMPARE(dialog.requests.size(), 2);
    QVERIFY(!dialog.requests[0].canRemember && !dialog.requests[1].canRemember);
    QVERIFY(m_boxes.messages.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(e2e::loggedOutWith(m_server, m_user, "del=0/1"), 2,
                              e2e::ReplyTimeoutMs);
}

void TestWindowKeyring::findsEachSecretForItsOwnerOnly_data()
{
    QTest::addColumn<Secret>("stored");
    QTest::addColumn<AccountIdentity>("storedFor");
    QTest::addColumn<AccountIdentity>("readFor"); // found when it is storedFor
    QTest::addColumn<Secret>("read");
    const auto owner = [](const char* user, quint16 port = 110, const char* host = "192.0.2.10") {
        return AccountIdentity{QString::fromUtf8(user), QString::fromUtf8(host), port};
    };
    using S = Secret;
    QTest::newRow("u%1 and u4%1") << S::UserPassword << owner("u%1", 41100) << owner("u4%1", 1100)
                                  << S::UserPassword;
    QTest::newRow("@ in user or host")
        << S::UserPassword << owner("a@b", 110, "c") << owner("a", 110, "b@c") << S::UserPassword;
    QTest::newRow("oauth2: name, refresh token")
        << S::RefreshToken << owner("alice") << owner("oauth2:alice") << S::UserPassword;
    QTest::newRow("oauth2: name, earlier refresh token")
        << S::EarlierRefreshToken << owner("bob") << owner("oauth2:bob") << S::UserPassword;
    QTest::newRow("password of an oauth2: name")
        << S::UserPassword << owner("oauth2:carol") << owner("carol") << S::RefreshToken;
    QTest::newRow("earlier password")
        << S::EarlierPassword << owner("dave") << owner("dave") << S::UserPassword;
    QTest::newRow("earlier refresh token")
        << S::EarlierRefreshToken << owner("erin") << owner("erin") << S::RefreshToken;
}

void TestWindowKeyring::findsEachSecretForItsOwnerOnly()
{
    QFETCH(Secret, stored);
    QFETCH(AccountIdentity, storedFor);
    QFETCH(AccountIdentity, readFor);
    QFETCH(Secret, read);
    using Keyring::Space;
    // Each row's own, so that no row finds what an earlier one stored.
    const QString secret = QUuid::createUuid().toString();
    // Earlier versions joined the fields as they were.
    const QString earlierKey =
        storedFor.user + u'@' + storedFor.host + u':' + QString::number(storedFor.port);
    const QString earlierTokenKey = QStringLiteral("oauth2:") + earlierKey;
    if (stored == Secret::UserPassword)
        QVERIFY(Keyring::write(Space::Passwords, SecretKeys::password(storedFor), secret));
    if (stored == Secret::RefreshToken)
        TokenSource::keyring().write(storedFor, secret);
    if (stored == Secret::EarlierPassword || stored == Secret::EarlierRefreshToken) {
        QVERIFY(Keyring::write(Space::Passwords,
                               stored == Secret::EarlierPassword ? earlierKey : earlierTokenKey,
                               secret));
    }

    const QString found =
        read == Secret::UserPassword
            ? Keyring::read(Space::Passwords, SecretKeys::password(readFor)).password
            : TokenSource::keyring().read(readFor);

    QCOMPARE(found, readFor.user == storedFor.user ? secret : QString());
    // A refresh token found where earlier versions kept it moves to its own place.
    if (stored == Secret::EarlierRefreshToken && read == Secret::RefreshToken) {
        QCOMPARE(Keyring::read(Space::Passwords, earlierTokenKey).status,
                 Keyring::Status::NotFound);
        QCOMPARE(Keyring::read(Space::RefreshTokens, SecretKeys::refreshToken(readFor)).password,
                 secret);
    }
}

TARVOLK_TEST(TestWindowKeyring);
#include "test_window_keyring.moc"
