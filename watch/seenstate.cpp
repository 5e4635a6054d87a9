// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "watch/seenstate.h"

#include "settings/userfolders.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

// Far more than the ids of a few large mailboxes take; a larger file is not ours.
constexpr qint64 MostBytes = 64LL * 1024 * 1024;
const QString Version = QStringLiteral("tarvolk-seen-1");

// Ids are printable ASCII; Latin-1 keeps any byte as it was.
QSet<QByteArray> idsOf(const QJsonValue& value)
{
    QSet<QByteArray> ids;
    for (const QJsonValue id : value.toArray())
        ids.insert(id.toString().toLatin1());
    return ids;
}

QJsonArray arrayOf(const QSet<QByteArray>& ids)
{
    QJsonArray array;
    for (const QByteArray& id : ids)
        array.append(QString::fromLatin1(id));
    return array;
}

} // namespace

QString SeenState::defaultPath()
{
    return UserFolders::state() + QStringLiteral("/seen.json");
}

SeenState::SeenState(QString path) : m_path(std::move(path))
{
    load();
}

void SeenState::load()
{
    QFile file(m_path);
    if (!QFileInfo(file).isFile() || file.size() > MostBytes || !file.open(QIODevice::ReadOnly))
        return;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (root.value(QLatin1String("version")).toString() != Version)
        return;
    const QJsonObject mailboxes = root.value(QLatin1String("mailboxes")).toObject();
    for (auto it = mailboxes.begin(); it != mailboxes.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        Seen seen;
        seen.known = true;
        seen.count = qMax(0, entry.value(QLatin1String("count")).toInt());
        seen.unreadCount = qBound(0, entry.value(QLatin1String("unreadCount")).toInt(), seen.count);
        seen.ids = idsOf(entry.value(QLatin1String("ids")));
        seen.unread = idsOf(entry.value(QLatin1String("unread"))) & seen.ids;
        m_mailboxes.insert(it.key(), seen);
    }
}

void SeenState::markListed(const QString& mailboxKey, const QSet<QByteArray>& ids, qint32 count)
{
    m_mailboxes.insert(mailboxKey, {true, ids, {}, qMax(0, count), 0});
    save();
}

void SeenState::markTold(const QString& mailboxKey, const QSet<QByteArray>& ids, qint32 count,
                         const QSet<QByteArray>& fresh, qint32 freshCount)
{
    Seen& seen = m_mailboxes[mailboxKey];
    seen.known = true;
    seen.unread = (seen.unread + fresh) & ids;
    seen.ids = ids;
    // Without ids a shrinking mailbox may have lost unread messages as well as read ones.
    seen.unreadCount = qBound(0, seen.unreadCount + freshCount, qMax(0, count));
    seen.count = qMax(0, count);
    save();
}

bool SeenState::save() const
{
    QJsonObject mailboxes;
    for (auto it = m_mailboxes.begin(); it != m_mailboxes.end(); ++it) {
        mailboxes.insert(it.key(), QJsonObject{{QLatin1String("count"), it->count},
                                               {QLatin1String("unreadCount"), it->unreadCount},
                                               {QLatin1String("ids"), arrayOf(it->ids)},
                                               {QLatin1String("unread"), arrayOf(it->unread)}});
    }
    const QJsonObject root{{QLatin1String("version"), Version},
                           {QLatin1String("mailboxes"), mailboxes}};
    QSaveFile file(m_path);
    if (!UserFolders::openPrivately(file))
        return false;
    file.write(QJsonDocument(root).toJson(QJsonDocument::Compact));
    return file.commit();
}
