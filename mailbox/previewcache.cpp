// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/previewcache.h"

#include "mailbox/framebudget.h"
#include "mailbox/previewstore.h"

#include <QDateTime>
#include <utility>

namespace {

qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

QString PreviewCache::scope(const QString& account, qint16 lineCount)
{
    return QString::number(lineCount) + u' ' + account;
}

void PreviewCache::open(const QString& scope, bool onDisk)
{
    if (!m_store || !onDisk) {
        m_onDisk.remove(scope);
        return;
    }
    m_onDisk.insert(scope);
    if (m_opened.contains(scope))
        return;
    m_opened.insert(scope);
    QHash<QByteArray, Preview>& previews = m_previews[scope];
    QList<PreviewStore::Entry> entries = m_store->load(scope);
    previews.reserve(previews.size() + entries.size());
    FrameBudget frame;
    for (const PreviewStore::Entry& entry : std::as_const(entries)) {
        if (!entry.uid.isEmpty() && !previews.contains(entry.uid))
            previews.insert(entry.uid, {entry.size, entry.text, entry.header, entry.usedAt});
        frame.yieldWhenSpent();
    }
    frame.releaseList(entries);
}

bool PreviewCache::find(const QString& scope, FetchedMessage& message)
{
    const auto previews = m_previews.find(scope);
    if (previews == m_previews.end())
        return false;
    const auto preview = previews->find(message.uid);
    if (preview == previews->end() || preview->size != message.size)
        return false;
    preview->usedAt = now();
    message.text = preview->text;
    message.header = preview->header;
    return true;
}

void PreviewCache::store(const QString& scope, const FetchedMessage& message)
{
    m_previews[scope].insert(message.uid, {message.size, message.text, message.header, now()});
}

void PreviewCache::keepOnly(const QString& scope, const QList<FetchedMessage>& listed)
{
    QHash<QByteArray, Preview>& previews = m_previews[scope];
    // Built anew at its final size: a hundred thousand previews added one by one to a growing
    // table would hold up the window.
    QHash<QByteArray, Preview> kept;
    kept.reserve(listed.size());
    FrameBudget frame;
    for (const FetchedMessage& message : listed) {
        const auto preview = previews.constFind(message.uid);
        if (preview != previews.constEnd())
            kept.insert(message.uid, *preview);
        frame.yieldWhenSpent();
    }
    std::swap(previews, kept);
    frame.releaseHash(kept);
}

void PreviewCache::persist(const QString& scope)
{
    if (!m_store || !m_onDisk.contains(scope))
        return;
    QList<PreviewStore::Entry> entries;
    const QHash<QByteArray, Preview> previews = m_previews.value(scope);
    entries.reserve(previews.size());
    FrameBudget frame;
    for (auto it = previews.begin(); it != previews.end(); ++it) {
        entries.append({it.key(), it->size, it->header, it->text, it->usedAt});
        frame.yieldWhenSpent();
    }
    m_store->save(scope, entries);
}
