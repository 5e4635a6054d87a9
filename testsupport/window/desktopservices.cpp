// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "testsupport/window/desktopservices.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

namespace desktop {

namespace {

constexpr int AnswerMs = 10000;

QByteArray dunstctl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("dunstctl"), arguments);
    process.waitForFinished(AnswerMs);
    return process.readAllStandardOutput();
}

// Pango markup as dunst draws it: tags gone, entities read.
QString rendered(QString markup)
{
    markup.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return markup.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&apos;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

QString dataOf(const QJsonObject& entry, const char* field)
{
    return entry.value(QLatin1String(field)).toObject().value(QLatin1String("data")).toString();
}

// Waits on an event loop, so that this thread goes on serving the bus.
QDBusMessage callAndWait(const QDBusMessage& call)
{
    QDBusPendingCallWatcher watcher(QDBusConnection::sessionBus().asyncCall(call, AnswerMs));
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec();
    return watcher.reply();
}

void collectLabels(const QDBusArgument& layout, QStringList& labels)
{
    int id = 0;
    QVariantMap properties;
    layout.beginStructure();
    layout >> id >> properties;
    if (properties.contains(QStringLiteral("label")))
        labels.append(properties.value(QStringLiteral("label")).toString());
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        collectLabels(child.variant().value<QDBusArgument>(), labels);
    }
    layout.endArray();
    layout.endStructure();
}

QVariant itemProperty(const QString& item, const QString& name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        item, QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << name;
    const QDBusMessage reply = callAndWait(get);
    return reply.arguments().isEmpty() ? QVariant()
                                       : reply.arguments().first().value<QDBusVariant>().variant();
}

// An array of (width, height, pixels): the pixels of every size, one after another.
QByteArray readPixels(const QDBusArgument& sizes)
{
    QByteArray pixels;
    sizes.beginArray();
    while (!sizes.atEnd()) {
        int width = 0;
        int height = 0;
        QByteArray size;
        sizes.beginStructure();
        sizes >> width >> height >> size;
        sizes.endStructure();
        pixels += size;
    }
    sizes.endArray();
    return pixels;
}

} // namespace

QList<Shown> closeAllShown()
{
    dunstctl({QStringLiteral("close-all")});
    const QJsonArray pages = QJsonDocument::fromJson(dunstctl({QStringLiteral("history")}))
                                 .object()
                                 .value(QLatin1String("data"))
                                 .toArray();
    QList<Shown> shown;
    for (const QJsonValue entry : pages.at(0).toArray())
        shown.append(
            {dataOf(entry.toObject(), "summary"), rendered(dataOf(entry.toObject(), "body"))});
    return shown;
}

bool isOnBus(const QString& service)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(service).value();
}

QString toolTipOf(const QString& item)
{
    const QDBusArgument tip = itemProperty(item, QStringLiteral("ToolTip")).value<QDBusArgument>();
    QString icon;
    QString title;
    QString text;
    tip.beginStructure();
    tip >> icon;
    readPixels(tip);
    tip >> title >> text;
    tip.endStructure();
    return title + text;
}

QByteArray iconOf(const QString& item)
{
    return readPixels(itemProperty(item, QStringLiteral("IconPixmap")).value<QDBusArgument>());
}

QStringList menuLabels(const QString& item)
{
    const QString path = itemProperty(item, QStringLiteral("Menu")).value<QDBusObjectPath>().path();
    QDBusMessage get = QDBusMessage::createMethodCall(
        item, path, QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("GetLayout"));
    get << 0 << -1 << QStringList{QStringLiteral("label")};
    const QDBusMessage reply = callAndWait(get);
    QStringList labels;
    if (reply.arguments().size() == 2)
        collectLabels(reply.arguments().at(1).value<QDBusArgument>(), labels);
    return labels;
}

QStringList StatusNotifierWatcher::items() const
{
    const QMutexLocker lock(&m_mutex);
    return m_items;
}

void StatusNotifierWatcher::RegisterStatusNotifierItem(const QString& service)
{
    {
        const QMutexLocker lock(&m_mutex);
        m_items.append(service);
    }
    emit StatusNotifierItemRegistered(service);
}

void StatusNotifierWatcher::RegisterStatusNotifierHost(const QString&)
{
    emit StatusNotifierHostRegistered();
}

StatusNotifierTray::StatusNotifierTray()
    : m_watcher(new StatusNotifierWatcher),
      m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                          QStringLiteral("status-notifier-watcher")))
{
    // Registered before the move: the bus gives the object helpers in its own thread.
    m_registered =
        m_bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), m_watcher,
                             QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                 QDBusConnection::ExportAllProperties);
    m_watcher->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_watcher, &QObject::deleteLater);
    m_thread.start();
}

StatusNotifierTray::~StatusNotifierTray()
{
    m_bus.unregisterService(QStringLiteral("org.kde.StatusNotifierWatcher"));
    m_bus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
    m_thread.quit();
    m_thread.wait();
    QDBusConnection::disconnectFromBus(m_bus.name());
}

bool StatusNotifierTray::start()
{
    return m_registered && m_bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"));
}

} // namespace desktop
