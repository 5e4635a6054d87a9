// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// Which messages of each mailbox the user has been told of, kept across runs, so that a restart
// does not tell of them again. A mailbox with usable ids keeps the ids it lists now; one without
// keeps its count, and new there means the count grew. Kept in
// $XDG_STATE_HOME/tarvolk/seen.json, written atomically and readable by the user alone.
class SeenState {
public:
    struct Seen {
        bool known = false;      // the mailbox was listed before
        QSet<QByteArray> ids;    // told of: listed in the window, or notified
        QSet<QByteArray> unread; // notified, and not listed in the window since
        qint32 count = 0;        // without ids: how many messages were told of
        qint32 unreadCount = 0;  // without ids: how many of them were only notified

        int newCount() const { return unread.isEmpty() ? unreadCount : int(unread.size()); }
    };

    // Reads the file at path; a missing, foreign or broken file counts as empty.
    explicit SeenState(QString path = defaultPath());
    static QString defaultPath();

    Seen of(const QString& mailboxKey) const { return m_mailboxes.value(mailboxKey); }
    // The window listed the mailbox: every message in it is seen and nothing is new. Saved at
    // once, as every change here.
    void markListed(const QString& mailboxKey, const QSet<QByteArray>& ids, qint32 count);
    // A check listed the mailbox and told of the fresh messages. Ids no longer listed are
    // forgotten.
    void markTold(const QString& mailboxKey, const QSet<QByteArray>& ids, qint32 count,
                  const QSet<QByteArray>& fresh, qint32 freshCount);

private:
    void load();
    bool save() const;

    QString m_path;
    QHash<QString, Seen> m_mailboxes;
};
