// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// The desktop's parts that a watching Tarvolk talks to, for tests on a private session bus
// (tests/window/desktop-session.sh): dunst as the notification server, read back with dunstctl as
// a user would, and a StatusNotifierWatcher that tray items register with.

#include <QDBusConnection>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

namespace desktop {

// A notification dunst has shown.
struct Shown {
    QString summary;
    QString text; // the body as dunst shows it: markup rendered
};

// Closes every notification dunst shows, which moves it into the history, and returns the
// whole history, newest first. Closed ones join the history a moment later: poll with QTRY_*.
QList<Shown> closeAllShown();

// True once the service is on the session bus.
bool isOnBus(const QString& service);

// What a StatusNotifierItem shows, read through the bus without blocking this thread, which
// serves the item: its tooltip (title and text), the pixels of its icon in every size, and the
// labels of its menu, all levels. Empty when there was no answer.
QString toolTipOf(const QString& item);
QByteArray iconOf(const QString& item);
QStringList menuLabels(const QString& item);

// Stands for org.kde.StatusNotifierWatcher on the bus; lives in StatusNotifierTray's thread.
class StatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    QStringList items() const;
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& service);
    void RegisterStatusNotifierHost(const QString& service);

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    mutable QMutex m_mutex;
    QStringList m_items;
};

// A StatusNotifierItem tray as desktops such as KDE have one: a watcher that answers from a thread
// of its own, since Qt asks it synchronously whether a tray is there.
class StatusNotifierTray {
public:
    StatusNotifierTray();
    ~StatusNotifierTray();
    StatusNotifierTray(const StatusNotifierTray&) = delete;
    StatusNotifierTray& operator=(const StatusNotifierTray&) = delete;

    // False when the watcher's name could not be taken.
    bool start();
    // The bus name of the item registered last; empty before any.
    QString lastItem() const
    {
        const QStringList items = m_watcher->items();
        return items.isEmpty() ? QString() : items.last();
    }

private:
    QThread m_thread;
    StatusNotifierWatcher* m_watcher;
    QDBusConnection m_bus;
    bool m_registered = false;
};

} // namespace desktop
