#include "mailbox/fetchedmailbox.h"

#include <QSet>
#include <algorithm>
#include <limits>

namespace {

QList<QByteArray> fieldsOf(QByteArrayView line)
{
    return line.toByteArray().simplified().split(' ');
}

} // namespace

bool parseMessageNumber(QByteArrayView field, qint32& number)
{
    const bool digitsOnly =
        !field.isEmpty() && field.size() <= 10 &&
        std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly)
        return false;
    const qint64 value = field.toLongLong();
    if (value > std::numeric_limits<qint32>::max())
        return false;
    number = qint32(value);
    return true;
}

void FetchedMailbox::addListLine(QByteArrayView line)
{
    const QList<QByteArray> fields = fieldsOf(line);
    qint32 number = 0;
    qint32 size = 0;
    if (fields.size() != 2 || !parseMessageNumber(fields[0], number) ||
        !parseMessageNumber(fields[1], size) || number < 1 || number > m_countLimit ||
        m_positions.contains(number))
        return;
    m_positions.insert(number, int(messages.size()));
    messages.append({number, size, {}, {}, {}});
}

void FetchedMailbox::addUidLine(QByteArrayView line)
{
    const QList<QByteArray> fields = fieldsOf(line);
    qint32 number = 0;
    if (fields.size() != 2 || !parseMessageNumber(fields[0], number))
        return;
    const auto position = m_positions.constFind(number);
    if (position != m_positions.constEnd() && messages[*position].uid.isEmpty())
        messages[*position].uid = fields[1];
}

void FetchedMailbox::finishListing()
{
    std::sort(messages.begin(), messages.end(),
              [](const FetchedMessage& a, const FetchedMessage& b) { return a.number < b.number; });
    m_positions.clear();
    QSet<QByteArray> seen;
    m_usableIds = !messages.isEmpty();
    for (const FetchedMessage& message : std::as_const(messages)) {
        if (message.uid.isEmpty() || seen.contains(message.uid)) {
            m_usableIds = false;
            break;
        }
        seen.insert(message.uid);
    }
    if (!m_usableIds) {
        for (FetchedMessage& message : messages)
            message.uid.clear();
    }
}

QStringList FetchedMailbox::MailTexts() const
{
    QStringList texts;
    texts.reserve(messages.size());
    for (const FetchedMessage& message : messages)
        texts.append(message.text);
    return texts;
}

QList<QByteArray> FetchedMailbox::MailUids() const
{
    QList<QByteArray> uids;
    uids.reserve(messages.size());
    for (const FetchedMessage& message : messages)
        uids.append(message.uid);
    return uids;
}
