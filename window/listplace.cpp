// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/listplace.h"

#include "window/messagelistview.h"

#include <QHash>

namespace {

bool everyEntryHasAnId(const MessageListModel& messages)
{
    for (int row = 0; row < messages.entryCount(); ++row) {
        if (messages.uid(row).isEmpty())
            return false;
    }
    return messages.entryCount() > 0;
}

} // namespace

void ListPlace::remember(const MessageListView& list)
{
    forget();
    const MessageListModel& messages = *list.messages();
    m_hadIds = everyEntryHasAnId(messages);
    m_current = list.currentRow();
    m_currentUid = messages.uid(m_current);
    // The entries only tell whether the current entry keeps its number.
    const bool keepEntries = m_current >= 0;
    for (int row = 0; row < messages.entryCount(); ++row) {
        if (keepEntries)
            m_entries.append(messages.entry(row));
        if (m_hadIds && messages.isMarkChosen(row))
            m_chosenMarks.insert(messages.uid(row), messages.isMarked(row));
    }
}

void ListPlace::forget()
{
    m_entries.clear();
    m_hadIds = false;
    m_current = -1;
    m_currentUid.clear();
    m_chosenMarks.clear();
}

void ListPlace::restore(MessageListView& list)
{
    // Nothing to give back; a list of a hundred thousand entries need not be looked through.
    if (m_current < 0 && m_chosenMarks.isEmpty())
        return;
    MessageListModel& messages = *list.messages();
    // Marks and the current entry need the entries shown.
    messages.publish();
    int current = -1;
    if (m_hadIds && everyEntryHasAnId(messages)) {
        QHash<QByteArray, int> rowOfUid;
        for (int row = 0; row < messages.entryCount(); ++row)
            rowOfUid.insert(messages.uid(row), row);
        current = rowOfUid.value(m_currentUid, -1);
        for (auto mark = m_chosenMarks.cbegin(); mark != m_chosenMarks.cend(); ++mark)
            messages.setMarked(rowOfUid.value(mark.key(), -1), mark.value());
    } else {
        QStringList entries;
        for (int row = 0; row < messages.entryCount(); ++row)
            entries.append(messages.entry(row));
        current = entries == m_entries ? m_current : -1;
    }
    if (current >= 0)
        list.setCurrentRow(current);
    forget();
}
