// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QStringList>

class MessageListView;

// The user's place in the message list across a fetch: the current entry and the marks the user
// set (those the rules set, the rules set again). A message is found again by the server's id
// when the old and the new listing both have ids. Without ids the current entry keeps its number
// only when the listing is unchanged, and the marks go: no mark may pass to another message that
// now has the number.
class ListPlace {
public:
    // Remembers the place in the list as it is now.
    void remember(const MessageListView& list);
    // The next listing starts with no marks and no current entry.
    void forget();
    // Gives the list, just filled with the next listing, what still holds of the place, then
    // forgets it.
    void restore(MessageListView& list);

private:
    QStringList m_entries;
    bool m_hadIds = false;
    int m_current = -1;
    QByteArray m_currentUid;
    QHash<QByteArray, bool> m_chosenMarks; // by id: marked or not
};
