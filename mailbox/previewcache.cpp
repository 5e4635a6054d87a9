#include "mailbox/previewcache.h"

QString PreviewCache::scope(const QString& account, qint16 lineCount)
{
    return QString::number(lineCount) + u' ' + account;
}

bool PreviewCache::find(const QString& scope, const QByteArray& uid, qint32 size,
                        QString& text) const
{
    const auto previews = m_previews.constFind(scope);
    if (previews == m_previews.constEnd())
        return false;
    const auto preview = previews->constFind(uid);
    if (preview == previews->constEnd() || preview->size != size)
        return false;
    text = preview->text;
    return true;
}

void PreviewCache::store(const QString& scope, const QByteArray& uid, qint32 size,
                         const QString& text)
{
    m_previews[scope].insert(uid, {size, text});
}

void PreviewCache::keepOnly(const QString& scope, const QSet<QByteArray>& listed)
{
    auto previews = m_previews.find(scope);
    if (previews == m_previews.end())
        return;
    previews->removeIf([&](const auto& entry) { return !listed.contains(entry.key()); });
}
