// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "watch/checkscheduler.h"

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

// The tray icon of a watching Tarvolk: the number of new messages drawn on the icon (nothing at
// 0), a line per account in its tooltip, and a menu to check every account, to show one, or to
// quit. A click shows or hides the window.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(const QIcon& icon, QObject* parent = nullptr);

    void show() { m_tray.show(); }
    bool isVisible() const { return m_tray.isVisible(); }
    void update(const QList<CheckScheduler::Status>& statuses, int newTotal);

    // The icon with the count on it.
    static QIcon withCount(const QIcon& icon, int count);
    // "Privat: 3 neu, 12 im Postfach", or the account's last problem, a line per account that is
    // watched or was checked.
    static QString toolTipOf(const QList<CheckScheduler::Status>& statuses);

signals:
    void checkAllRequested();
    void accountRequested(int slot);
    void toggleRequested();
    void quitRequested();
    void aboutRequested();

private:
    QIcon m_icon;
    QMenu m_menu;
    QSystemTrayIcon m_tray;
};
