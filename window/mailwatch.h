// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/account.h"
#include "watch/backgroundsecrets.h"
#include "watch/checkscheduler.h"
#include "watch/notifier.h"
#include "watch/seenstate.h"
#include "window/trayicon.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <memory>

// Watching the accounts that have a CheckInterval, tied to the window: the checks in the
// background, the notifications, and the tray icon when the desktop has a tray.
class MailWatch : public QObject {
    Q_OBJECT
public:
    MailWatch(const QList<std::pair<int, Account>>& accounts, const QIcon& icon,
              QObject* parent = nullptr);

    // A tray shows Tarvolk: closing the window leaves it running there.
    bool keepsRunning() const { return m_tray && m_tray->isVisible(); }
    // The window talks to this mailbox (AccountIdentity::key), or to none (empty).
    void windowTalksTo(const QString& mailboxKey) { m_scheduler.setWindowMailbox(mailboxKey); }
    // The window listed the mailbox: what it shows is seen.
    void windowListed(const QString& mailboxKey, const QSet<QByteArray>& ids, qint32 count)
    {
        m_scheduler.markListed(mailboxKey, ids, count);
    }
    // The account box's title of the slot: "Privat (3)" while it has new messages.
    QString titleOf(int slot, const QString& title) const;

signals:
    void showAccountRequested(int slot);
    void toggleWindowRequested();
    void quitRequested();
    void aboutRequested();
    void countsChanged();

private:
    void update();

    SeenState m_seen;
    BackgroundSecrets m_secrets;
    CheckScheduler m_scheduler;
    Notifier m_notifier;
    std::unique_ptr<TrayIcon> m_tray;
};
