// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/dovecotserver.h"
#include "testsupport/e2esupport.h"
#include "testsupport/requiredovecot.h"
#include "testsupport/testmail.h"
#include "testsupport/testregistry.h"
#include "testsupport/window/windowdriver.h"
#include "testsupport/window/windowfixture.h"
#include "window/frmtarvolk.h"
#include "window/messagebox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using windowdriver::clickEntry;
using windowdriver::entries;
using windowdriver::markedRows;
using windowdriver::press;

namespace {

const QString Password = QStringLiteral("geheim");

QStringList listEntries(const QList<QByteArray>& messages)
{
    QStringList texts;
    for (int i = 0; i < messages.size(); ++i)
        texts << QStringLiteral("%1. Email %2").arg(i + 1).arg(messages[i].size());
    return texts;
}

QStringList subjects(const QList<int>& numbers)
{
    QStringList texts;
    for (int number : numbers)
        texts << QStringLiteral("Nachricht %1").arg(number);
    return texts;
}

} // namespace

class TestWindowDovecot : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void deletesTheTwoMarkedMessagesAndKeepsThePlace();

private:
    frmTarvolk& startWindow(const QString& user);
    // The subject of every entry, read as the user does: by clicking each entry in turn.
    QStringList subjectsShown();

    DovecotServer m_server;
    e2e::UserPool m_users;
    std::unique_ptr<windowdriver::WindowFixture> m_f;
};

void TestWindowDovecot::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
    // Every user before the first log-in: dovecot re-reads its users at most once a second.
    QVERIFY2(m_users.create(m_server, 1, Password), qPrintable(m_server.errorString()));
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
}

void TestWindowDovecot::init()
{
    m_f = std::make_unique<windowdriver::WindowFixture>();
    QVERIFY(m_f->isReady());
}

void TestWindowDovecot::cleanup()
{
    m_f.reset();
}

frmTarvolk& TestWindowDovecot::startWindow(const QString& user)
{
    [&] {
        QVERIFY(m_f->writeSettings(
            {{"Dovecot", e2e::loopback(m_server.port()), user.toUtf8(), Password.toUtf8()}}, 0));
        m_f->open().show();
        QVERIFY(QTest::qWaitForWindowExposed(m_f->window.get()));
    }();
    return *m_f->window;
}

QStringList TestWindowDovecot::subjectsShown()
{
    QStringList shown;
    for (int row = 0; row < m_f->window->List1->count(); ++row) {
        clickEntry(m_f->window->List1, row);
        shown << m_f->window->lblMailInfo[2]->text();
    }
    return shown;
}

// Another client deletes message 1: F5 takes the marks and the current message along to their new
// entries, and so does the deletion for the current message.
void TestWindowDovecot::deletesTheTwoMarkedMessagesAndKeepsThePlace()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    QList<QByteArray> messages;
    for (int number = 1; number <= 5; ++number)
        messages << e2e::numberedMessage(number);
    const QStringList ids = e2e::deliverAll(m_server, user, messages);
    QCOMPARE(ids.size(), 5);
    frmTarvolk& w = startWindow(user);

    press(w.Command1[0]);
    QCOMPARE(entries(w.List1), listEntries(messages));
    QVERIFY(windowdriver::clickCheckBox(w.List1, 1));
    QVERIFY(windowdriver::clickCheckBox(w.List1, 3));
    QVERIFY(clickEntry(w.List1, 4));
    e2e::PlainPop3 other;
    QVERIFY(other.logIn(m_server.port(), user, Password));
    QVERIFY(other.command("dele 1").startsWith("+OK") && other.quit());
    QTRY_COMPARE_WITH_TIMEOUT(m_server.messageIds(user).size(), 4, e2e::ReplyTimeoutMs);
    QTest::keyClick(&w, Qt::Key_F5);
    QCOMPARE(markedRows(w.List1), QList<int>({0, 2}));
    QCOMPARE(w.List1->currentRow(), 3);
    press(w.Command1[1]);

    QVERIFY(m_f->boxes.messages.isEmpty());
    QCOMPARE(m_f->boxes.questions.value(0).text,
             QStringLiteral("2 Nachrichten auf dem Server löschen?"));
    QCOMPARE(m_f->boxes.questions[0].detail.section(u'\n', 0, 0),
             QStringLiteral("1. Email %1 – Anna Absender <anna@example.org> – Nachricht 2")
                 .arg(messages[1].size()));
    QTRY_COMPARE_WITH_TIMEOUT(e2e::loggedOutWith(m_server, user, "del=2/4"), 1,
                              e2e::ReplyTimeoutMs);
    QCOMPARE(entries(w.List1), listEntries({messages[2], messages[4]}));
    QCOMPARE(w.List1->currentRow(), 1);
    QCOMPARE(w.lblMailInfo[2]->text(), QStringLiteral("Nachricht 5"));
    QCOMPARE(subjectsShown(), subjects({3, 5}));
    QCOMPARE(m_server.messageIds(user), QStringList({ids[2], ids[4]}));
    QCOMPARE(w.Label2->text(),
             QStringLiteral("2 Emails mit %1 Bytes").arg(messages[2].size() + messages[4].size()));
    QCOMPARE(w.Label1->text(), QString());
}

TARVOLK_TEST(TestWindowDovecot);
#include "test_window_dovecot.moc"
