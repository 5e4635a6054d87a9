// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "mailbox/fetchedmailbox.h"

#include "mailbox/framebudget.h"

#include <QSet>
#include <algorithm>
#include <limits>

namespace {

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Splits a line into exactly two fields between white space, without copying: a listing of a
// hundred thousand lines is read while the window waits.
bool twoFieldsOf(QByteArrayView line, QByteArrayView& first, QByteArrayView& second)
{
    line = line.trimmed();
    const auto gap = std::find_if(line.begin(), line.end(), isSpace);
    if (gap == line.end())
        return false;
    first = line.first(gap - line.begin());
    second = line.sliced(first.size()).trimmed();
    return std::none_of(second.begin(), second.end(), isSpace);
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
    QByteArrayView numberField;
    QByteArrayView sizeField;
    qint32 number = 0;
    qint32 size = 0;
    if (!twoFieldsOf(line, numberField, sizeField) || !parseMessageNumber(numberField, number) ||
        !parseMessageNumber(sizeField, size) || number < 1 || number > m_countLimit ||
        m_positions.contains(number))
        return;
    m_positions.insert(number, int(messages.size()));
    messages.append({number, size, {}, {}, {}});
}

void FetchedMailbox::addUidLine(QByteArrayView line)
{
    QByteArrayView numberField;
    QByteArrayView uid;
    qint32 number = 0;
    if (!twoFieldsOf(line, numberField, uid) || !parseMessageNumber(numberField, number))
        return;
    const auto position = m_positions.constFind(number);
    if (position != m_positions.constEnd() && messages[*position].uid.isEmpty())
        messages[*position].uid = uid.toByteArray();
}

void FetchedMailbox::finishListing()
{
    const auto byNumber = [](const FetchedMessage& a, const FetchedMessage& b) {
        return a.number < b.number;
    };
    // Servers list in number order; only another order needs sorting.
    if (!std::is_sorted(messages.begin(), messages.end(), byNumber))
        std::sort(messages.begin(), messages.end(), byNumber);
    m_positions.clear();
    QSet<QByteArray> seen;
    seen.reserve(messages.size());
    m_usableIds = !messages.isEmpty();
    FrameBudget frame;
    for (const FetchedMessage& message : std::as_const(messages)) {
        if (message.uid.isEmpty() || seen.contains(message.uid)) {
            m_usableIds = false;
            break;
        }
        seen.insert(message.uid);
        frame.yieldWhenSpent();
    }
    frame.releaseHash(seen);
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
