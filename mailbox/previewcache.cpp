#include "mailbox/previewcache.h"

QString PreviewCache::scope(const QString& account, qint16 lineCount)
{
    return QString::number(lineCount) + u' ' + account;
}

bool PreviewCache::find(const QString& scope, FetchedMessage& message) const
{
    const auto previews = m_previews.constFind(scope);
    if (previews == m_previews.constEnd())
        return false;
    const auto preview = previews->constFind(message.uid);
    if (preview == previews->constEnd() || preview->size != message.size)
        return false;
    message.text = preview->text;
    message.header = preview->header;
    return true;
}

void PreviewCache::store(const QString& scope, const FetchedMessage& message)
{
    m_previews[scope].insert(message.uid, {message.size, message.text, message.header});
}

void PreviewCache::keepOnly(const QString& scope, const QSet<QByteArray>& listed)
{
    auto previews = m_previews.find(scope);
    if (previews == m_previews.end())
        return;
    previews->removeIf([&](const auto& entry) { return !listed.contains(entry.key()); });
}
