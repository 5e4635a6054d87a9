// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// One message of a listing, in the order the list shows it.
struct FetchedMessage {
    qint32 number = 0; // the server's message number in the session that listed it
    qint32 size = 0;
    QByteArray uid; // the server's unique id; empty when it has none
    QString text;   // header block and first lines, decoded
    // The header block as the server sent it, up to and with the empty line that ends it; empty
    // unless it arrived whole. Without ids, a deletion recognises the message by it.
    QByteArray header;
};

// The listing of one fetch: the server's "list" and "uidl" answers, collected by message number
// so that missing, repeated or garbled lines cannot shift one message's data onto another.
class FetchedMailbox {
public:
    // countLimit is the "stat" count: no message number above it is taken.
    explicit FetchedMailbox(qint32 countLimit = 0) : m_countLimit(countLimit) {}

    // One line of the "list" answer ("3 1200"); a line that is not two whole numbers, a number
    // outside 1..countLimit, or a number already listed is ignored.
    void addListLine(QByteArrayView line);
    // One line of the "uidl" answer ("3 abc"), for a number already listed.
    void addUidLine(QByteArrayView line);
    // Sorts the listed messages by number and drops every id unless each message has one of
    // its own: ids that are missing or repeated cannot tell messages apart.
    void finishListing();

    qint32 countLimit() const { return m_countLimit; }
    // Every listed message has a unique id.
    bool hasUsableIds() const { return m_usableIds; }

    QList<FetchedMessage> messages;

    // The stored texts in list order, empty where none has arrived.
    QStringList MailTexts() const;
    QList<QByteArray> MailUids() const;

private:
    qint32 m_countLimit = 0;
    bool m_usableIds = false;
    QHash<qint32, int> m_positions; // while listing: message number to index in messages
};

// Message numbers of the POP3 listings: a whole number from 1 up, nothing else.
bool parseMessageNumber(QByteArrayView field, qint32& number);
