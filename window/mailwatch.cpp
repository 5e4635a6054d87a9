// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/mailwatch.h"

MailWatch::MailWatch(const QList<std::pair<int, Account>>& accounts, const QIcon& icon,
                     QObject* parent)
    : QObject(parent), m_scheduler(m_seen, m_secrets)
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray = std::make_unique<TrayIcon>(icon);
        connect(m_tray.get(), &TrayIcon::checkAllRequested, &m_scheduler,
                &CheckScheduler::checkAll);
        connect(m_tray.get(), &TrayIcon::accountRequested, this, &MailWatch::showAccountRequested);
        connect(m_tray.get(), &TrayIcon::toggleRequested, this, &MailWatch::toggleWindowRequested);
        connect(m_tray.get(), &TrayIcon::quitRequested, this, &MailWatch::quitRequested);
        connect(m_tray.get(), &TrayIcon::aboutRequested, this, &MailWatch::aboutRequested);
    }
    connect(&m_scheduler, &CheckScheduler::changed, this, &MailWatch::update);
    connect(&m_scheduler, &CheckScheduler::newMail, &m_notifier, &Notifier::tellNewMail);
    connect(&m_notifier, &Notifier::showRequested, this, &MailWatch::showAccountRequested);
    m_scheduler.setAccounts(accounts);
    if (m_tray)
        m_tray->show();
}

QString MailWatch::titleOf(int slot, const QString& title) const
{
    for (const CheckScheduler::Status& status : m_scheduler.statuses()) {
        if (status.slot == slot && status.newCount > 0)
            return QStringLiteral("%1 (%2)").arg(title).arg(status.newCount);
    }
    return title;
}

void MailWatch::update()
{
    if (m_tray)
        m_tray->update(m_scheduler.statuses(), m_scheduler.newTotal());
    emit countsChanged();
}
