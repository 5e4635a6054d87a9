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
#include <QTimer>
#include <functional>

namespace {

const QString Password = QStringLiteral("geheim");

QList<QByteArray> numberedMessages(int count)
{
    QList<QByteArray> messages;
    for (int number = 1; number <= count; ++number)
        messages.append(e2e::numberedMessage(number));
    return messages;
}

// What a fetch with no body lines stores for these messages.
QStringList headerBlocks(const QList<QByteArray>& messages)
{
    QStringList texts;
    for (const QByteArray& message : messages)
        texts.append(QString::fromUtf8(e2e::headerBlockAndFirstLines(message, 0)));
    return texts;
}

QStringList deletionStatuses(const RecordingView& view)
{
    QStringList statuses;
    for (const QString& status : view.statusHistory) {
        if (status.endsWith(QStringLiteral(" löschen")))
            statuses.append(status);
    }
    return statuses;
}

// A window whose status line can act, like a user who closes the window at some point.
class ActingView : public RecordingView {
public:
    void setStatus(const QString& text) override
    {
        RecordingView::setStatus(text);
        if (onStatus)
            onStatus(text);
    }
    std::function<void(const QString&)> onStatus;
};

} // namespace

class TestE2eDelete : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void deletesExactlyTheMarkedMessages();
    void sameCountAfterAnotherClientDeletedAndMailArrivedDeletesByTheId();
    void mailArrivedAtTheEndDoesNotBlockTheDeletion();
    void conversationEndedWithoutQuitDeletesNothing();

private:
    Account accountOf(const QString& user) const;
    QStringList deliverThreeAndFetch(const QString& user, MailboxClient& client,
                                     const RecordingView& view);

    DovecotServer m_server;
    e2e::UserPool m_users;
};

void TestE2eDelete::initTestCase()
{
    TARVOLK_REQUIRE_DOVECOT();
    QVERIFY2(m_server.start(), qPrintable(m_server.errorString()));
    QVERIFY2(m_users.create(m_server, 4, Password), qPrintable(m_server.errorString()));
}

// Gives the user three messages and fetches them; their ids, or none when either step failed.
QStringList TestE2eDelete::deliverThreeAndFetch(const QString& user, MailboxClient& client,
                                                const RecordingView& view)
{
    const QStringList ids = e2e::deliverAll(m_server, user, numberedMessages(3));
    if (ids.size() != 3)
        return {};
    client.Emails_abrufen(accountOf(user), 0);
    return view.entries.size() == 3 ? ids : QStringList();
}

Account TestE2eDelete::accountOf(const QString& user) const
{
    return e2e::account(e2e::loopback(m_server.port()), user, Password);
}

void TestE2eDelete::deletesExactlyTheMarkedMessages()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    const QList<QByteArray> messages = numberedMessages(5);
    const QStringList ids = e2e::deliverAll(m_server, user, messages);
    QCOMPARE(ids.size(), 5);
    RecordingView view;
    MailboxClient client(view);
    client.Emails_abrufen(accountOf(user), 0);
    QCOMPARE(view.entries.size(), 5);

    client.DeleteMail(accountOf(user), {1, 3});

    QVERIFY(view.notices.isEmpty());
    QCOMPARE(deletionStatuses(view), QStringList({QStringLiteral("Nachricht 2 löschen"),
                                                  QStringLiteral("Nachricht 4 löschen")}));
    QCOMPARE(view.status(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(e2e::loggedOutWith(m_server, user, "del=2/5"), 1,
                              e2e::ReplyTimeoutMs);
    QCOMPARE(m_server.messageIds(user), QStringList({ids[0], ids[2], ids[4]}));

    client.Emails_abrufen(accountOf(user), 0);
    QVERIFY(view.notices.isEmpty());
    const QList<QByteArray> kept{messages[0], messages[2], messages[4]};
    QCOMPARE(view.entries, QStringList({QStringLiteral("1. Email %1").arg(kept[0].size()),
                                        QStringLiteral("2. Email %1").arg(kept[1].size()),
                                        QStringLiteral("3. Email %1").arg(kept[2].size())}));
    QCOMPARE(client.MailTexts(), headerBlocks(kept));
}

void TestE2eDelete::sameCountAfterAnotherClientDeletedAndMailArrivedDeletesByTheId()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    RecordingView view;
    MailboxClient client(view);
    const QStringList ids = deliverThreeAndFetch(user, client, view);
    QCOMPARE(ids.size(), 3);

    // Meanwhile another mail program removes message 1, and a new message arrives: still three,
    // but the marked message 3 is number 2 now, and number 3 is one the user never saw.
    e2e::PlainPop3 other;
    QVERIFY(other.logIn(m_server.port(), user, Password));
    QVERIFY(other.command("dele 1").startsWith("+OK"));
    QVERIFY(other.quit());
    QTRY_COMPARE_WITH_TIMEOUT(m_server.messageIds(user), QStringList({ids[1], ids[2]}),
                              e2e::ReplyTimeoutMs);
    const QString arrived = m_server.deliver(user, e2e::numberedMessage(4));
    QVERIFY(!arrived.isEmpty());

    client.DeleteMail(accountOf(user), {2});

    QVERIFY(view.notices.isEmpty());
    QCOMPARE(deletionStatuses(view), QStringList({QStringLiteral("Nachricht 2 löschen")}));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.messageIds(user), QStringList({ids[1], arrived}),
                              e2e::ReplyTimeoutMs);
}

void TestE2eDelete::mailArrivedAtTheEndDoesNotBlockTheDeletion()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    RecordingView view;
    MailboxClient client(view);
    const QStringList ids = deliverThreeAndFetch(user, client, view);
    QCOMPARE(ids.size(), 3);
    const QString arrived = m_server.deliver(user, e2e::numberedMessage(4));
    QVERIFY(!arrived.isEmpty());

    client.DeleteMail(accountOf(user), {0, 2});

    QVERIFY(view.notices.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(e2e::loggedOutWith(m_server, user, "del=2/4"), 1,
                              e2e::ReplyTimeoutMs);
    QCOMPARE(m_server.messageIds(user), QStringList({ids[1], arrived}));
}

void TestE2eDelete::conversationEndedWithoutQuitDeletesNothing()
{
    const QString user = m_users.take();
    QVERIFY(!user.isEmpty());
    ActingView view;
    MailboxClient client(view);
    const QStringList ids = deliverThreeAndFetch(user, client, view);
    QCOMPARE(ids.size(), 3);

    // "dele 1" has been answered; the conversation is cut off while it waits for "dele 3",
    // as when the window is closed.
    view.onStatus = [&client](const QString& status) {
        if (status == QStringLiteral("Nachricht 3 löschen"))
            client.abort();
    };
    QElapsedTimer timer;
    timer.start();
    client.DeleteMail(accountOf(user), {0, 2});

    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(deletionStatuses(view), QStringList({QStringLiteral("Nachricht 1 löschen"),
                                                  QStringLiteral("Nachricht 3 löschen")}));
    QCOMPARE(view.status(), QString());
    QVERIFY(!client.connection().isOpen());
    QVERIFY(!client.isBusy());

    // dovecot sees the connection end without "quit" and so deletes nothing.
    const auto closedWithoutQuit = [&] {
        for (const QByteArray& line : e2e::logLinesOf(m_server, user)) {
            if (line.contains("Disconnected: Connection closed"))
                return true;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(closedWithoutQuit(), e2e::ReplyTimeoutMs);
    QCOMPARE(e2e::loggedOutWith(m_server, user, "Logged out"), 1); // the fetch
    QCOMPARE(m_server.messageIds(user), ids);
}

TARVOLK_TEST(TestE2eDelete);
#include "test_e2e_delete.moc"
