#include "keyring/keyring.h"
#include "tests/dovecot/dovecotserver.h"
#include "tests/dovecot/requiredovecot.h"
#include "tests/e2e/e2esupport.h"
#include "tests/window/windowdriver.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"
#include "window/passworddialog.h"

#include <QApplication>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using PasswordDialog::Answer;
using windowdriver::entries;
using windowdriver::press;

namespace {

const QString Password = QStringLiteral("geheim");

// The keyring's entry as another program sees it; secret-tool prints nothing for none.
QString secretToolLookup(const QString& key)
{
    QProcess tool;
    tool.start(QStringLiteral("secret-tool"),
               {QStringLiteral("lookup"), QStringLiteral("user"), key, QStringLiteral("server"),
                QStringLiteral("Tarvolk")});
    if (!tool.waitForFinished(e2e::ReplyTimeoutMs))
        return QStringLiteral("(secret-tool did not answer)");
    return QString::fromUtf8(tool.readAllStandardOutput());
}

} // namespace

// Accounts without Password in the settings file, against a real dovecot. Run by ctest twice:
// the keyring functions inside with-keyring.sh, withoutKeyringAsksEachTime without a session bus.
class TestWindowKeyring : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void remembersTheAnswerAndAsksNoMore();
    void replacesAStoredPasswordTheServerRefuses();
    void cancellingLogsInNowhere();
    void withoutKeyringAsksEachTime();

private:
    // A window on one account of dovecot without a Password line; returns the keyring key.
    QString startWindow(const QString& user);

    DovecotServer m_server;
    e2e::UserPool m_users;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<frmTarvolk> m_window;
    std::unique_ptr<MessageBox::Recorder> m_boxes;
};

void TestWindowKeyring::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    TARVOLK_REQUIRE_DOVECOT();
    QVERIFY2(m_users.create(m_server, 4, Password), qPrintable(m_server.errorString()));
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
}

void TestWindowKeyring::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_boxes = std::make_unique<MessageBox::Recorder>();
}

void TestWindowKeyring::cleanup()
{
    m_window.reset();
    m_boxes.reset();
    m_dir.reset();
}

QString TestWindowKeyring::startWindow(const QString& user)
{
    const QString host = e2e::loopback(m_server.port());
    QFile settings(m_dir->filePath(QStringLiteral("TARVOLK.INI")));
    const QByteArray ini =
        "[Setup]\nTitle1=Dovecot\nHost1=" + host.toUtf8() + "\nAccount1=" + user.toUtf8() + "\n";
    if (!settings.open(QIODevice::WriteOnly) || settings.write(ini) != ini.size())
        return QString();
    settings.close();
    m_window = std::make_unique<frmTarvolk>(m_dir->path());
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return QString();
    return user + u'@' + host;
}

void TestWindowKeyring::remembersTheAnswerAndAsksNoMore()
{
    const QString user = m_users.take();
    QCOMPARE(e2e::deliverAll(m_server, user, {e2e::numberedMessage(1)}).size(), 1);
    const QString key = startWindow(user);
    QVERIFY(!key.isEmpty());
    {
        PasswordDialog::Script dialog({Answer{true, Password, true}});
        press(m_window->Command1[0]);
        QCOMPARE(dialog.requests.size(), 1);
        QCOMPARE(dialog.requests[0].title, QStringLiteral("Dovecot"));
        QVERIFY(dialog.requests[0].canRemember);
    }
    QCOMPARE(entries(m_window->List1).size(), 1);
    QCOMPARE(secretToolLookup(key), Password);

    PasswordDialog::Script noMoreQuestions({});
    m_window->List1->clear();
    press(m_window->Command1[0]);
    QCOMPARE(noMoreQuestions.requests.size(), 0);
    QCOMPARE(entries(m_window->List1).size(), 1);
    QVERIFY(m_boxes->messages.isEmpty());
}

void TestWindowKeyring::replacesAStoredPasswordTheServerRefuses()
{
    const QString user = m_users.take();
    QCOMPARE(e2e::deliverAll(m_server, user, {e2e::numberedMessage(1)}).size(), 1);
    const QString key = startWindow(user);
    QVERIFY(!key.isEmpty());
    QVERIFY(Keyring::write(key, QStringLiteral("veraltet")));

    PasswordDialog::Script dialog({Answer{true, Password, true}});
    press(m_window->Command1[0]);
    QCOMPARE(dialog.requests.size(), 1);
    QVERIFY(dialog.requests[0].storedRefused);
    QCOMPARE(m_boxes->messages.size(), 1);
    QCOMPARE(m_boxes->messages[0].text, QStringLiteral("Anmeldung fehlgeschlagen"));
    QCOMPARE(entries(m_window->List1).size(), 1);
    QCOMPARE(secretToolLookup(key), Password);
}

void TestWindowKeyring::cancellingLogsInNowhere()
{
    const QString user = m_users.take();
    QVERIFY(!startWindow(user).isEmpty());
    PasswordDialog::Script cancelled({});
    press(m_window->Command1[0]);
    QCOMPARE(cancelled.requests.size(), 1);
    QVERIFY(m_boxes->messages.isEmpty());
    QVERIFY(e2e::logLinesOf(m_server, user).isEmpty());
}

void TestWindowKeyring::withoutKeyringAsksEachTime()
{
    const QString user = m_users.take();
    QVERIFY(!startWindow(user).isEmpty());
    PasswordDialog::Script dialog({Answer{true, Password, true}, Answer{true, Password, true}});
    press(m_window->Command1[0]);
    press(m_window->Command1[0]);
    QCOMPARE(dialog.requests.size(), 2);
    QVERIFY(!dialog.requests[0].canRemember && !dialog.requests[1].canRemember);
    QVERIFY(m_boxes->messages.isEmpty());
    QCOMPARE(e2e::countInLog(m_server, "Logged out"), 2);
}

QTEST_MAIN(TestWindowKeyring)
#include "test_window_keyring.moc"
