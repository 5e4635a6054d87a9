// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// A notification server on the session bus that keeps, instead of showing, what it is sent: the
// summary of each notification and when it came.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Received {
        qint64 atMs = 0; // on the clock given
        QString summary;
    };

    explicit NotificationServer(const QElapsedTimer& clock) : m_clock(clock) {}
    // False when the name is taken or there is no session bus.
    bool start();
    const QList<Received>& received() const { return m_received; }

public slots:
    QStringList GetCapabilities() { return {QStringLiteral("body"), QStringLiteral("actions")}; }
    uint Notify(const QString& appName, uint replacesId, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int timeout);
    void CloseNotification(uint) {}

signals:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);

private:
    const QElapsedTimer& m_clock;
    QList<Received> m_received;
};
