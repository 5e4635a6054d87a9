// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "notificationserver.h"

#include <QDBusConnection>

bool NotificationServer::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                              QDBusConnection::ExportAllSlots |
                                  QDBusConnection::ExportAllSignals) &&
           bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

uint NotificationServer::Notify(const QString&, uint, const QString&, const QString& summary,
                                const QString&, const QStringList&, const QVariantMap&, int)
{
    m_received.append({m_clock.elapsed(), summary});
    return uint(m_received.size());
}
