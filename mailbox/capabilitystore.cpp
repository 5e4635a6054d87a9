// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/capabilitystore.h"

#include "settings/userfolders.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString Version = QStringLiteral("tarvolk-capabilities-1");
// A few servers' announcements take a few kilobytes; more is not ours.
constexpr qint64 MostBytes = 1024 * 1024;

} // namespace

CapabilityStore::CapabilityStore(QString folder)
    : m_path(std::move(folder) + QStringLiteral("/capabilities.json"))
{
}

QHash<QString, Capabilities> CapabilityStore::load() const
{
    QHash<QString, Capabilities> announced;
    QFile file(m_path);
    if (!QFileInfo(file).isFile() || file.size() > MostBytes || !file.open(QIODevice::ReadOnly))
        return announced;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (root.value(QLatin1String("version")).toString() != Version)
        return announced;
    const QJsonObject servers = root.value(QLatin1String("servers")).toObject();
    for (auto it = servers.begin(); it != servers.end(); ++it) {
        Capabilities capabilities;
        for (const QJsonValue line : it.value().toArray())
            capabilities.addLine(line.toString().toLatin1());
        announced.insert(it.key(), capabilities);
    }
    return announced;
}

void CapabilityStore::save(const QHash<QString, Capabilities>& announced) const
{
    QJsonObject servers;
    for (auto it = announced.begin(); it != announced.end(); ++it) {
        QJsonArray lines;
        for (const QByteArray& line : it->lines())
            lines.append(QString::fromLatin1(line));
        servers.insert(it.key(), lines);
    }
    QSaveFile file(m_path);
    if (!UserFolders::openPrivately(file))
        return;
    file.write(QJsonDocument(QJsonObject{{QLatin1String("version"), Version},
                                         {QLatin1String("servers"), servers}})
                   .toJson(QJsonDocument::Compact));
    file.commit();
}
