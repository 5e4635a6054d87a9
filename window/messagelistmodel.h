// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "rules/markingrules.h"
#include "verdict/verdict.h"

#include <QAbstractTableModel>
#include <QBitArray>
#include <QHash>
#include <QStringList>
#include <array>
#include <climits>

// The message list: per message its entry "i. Email size", the server's id for it (empty when the
// server has no usable ids), its sender, subject and date once its text has arrived, what its
// header block tells (the "Hinweis" column, see window/hint.h), its size, and the mark for
// deletion. The rules tick and untick a message until the user sets its mark. Row k is message
// k + 1, the listing's position; the view sorts by SortRole without changing the rows.
// Entries and details added during a fetch reach the views only when published: a fetch that
// fills the list message by message then lays it out and repaints it a few times a second, not
// for every message, and ten thousand entries cost one insertion.
class MessageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Entry, Hint, Sender, Subject, Date, Size, ColumnCount };
    // What a column sorts by: the listing's order, the gravity of the hint, the size in bytes,
    // the time sent, or the text without case.
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    // Empties the list; the window's event loop runs while a long list's rows are let go.
    void clear();
    // uids and sizes, when given, hold each entry's id and size in bytes in the same order.
    void append(const QStringList& entries, const QList<QByteArray>& uids = {},
                const QList<qint64>& sizes = {});
    // A message's stored text has arrived (or was dropped: empty), with the values shown beside
    // its entry: sender, subject and date, and its header block as the server sent it.
    void setMessage(int row, const QString& text, const std::array<QString, 3>& details,
                    const QByteArray& header = {});
    // The stored text of the entry, empty when none has arrived.
    QString text(int row) const
    {
        return row >= 0 && row < m_rows.size() ? m_rows[row].text : QString();
    }
    // Shows the views what was appended and set since the last time.
    void publish();
    // Every entry, published or not.
    int entryCount() const { return int(m_rows.size()); }

    QString entry(int row) const { return rowAt(row).entry; }
    QByteArray uid(int row) const { return rowAt(row).uid; }
    // Sender, subject and date, empty until the entry's text has arrived.
    std::array<QString, 3> details(int row) const { return rowAt(row).details; }
    QByteArray header(int row) const { return rowAt(row).header; }
    // Whether a line of the header block begins with "Authentication-Results".
    bool holdsAuthenticationResults(int row) const { return rowAt(row).holdsAuthenticationResults; }
    // What the rules look at, read when first asked for.
    MessageFacts facts(int row) const;
    // The verdict on the header block, judged when first asked for, or as the block arrives while
    // judgeOnArrival() holds: a list sorted by its hints then judges a fetch's blocks one by one
    // instead of thousands at once when it sorts the rows just shown.
    Verdict verdict(int row) const;
    void judgeOnArrival(bool judge) { m_judgeOnArrival = judge; }
    RuleMatch rule(int row) const { return rowAt(row).rule; }
    // Neither details nor a header block nor a rule: every column but the entry's and the size's
    // sorts the row like every other such row. Read without touching the row itself, so that a
    // sorted view inserts a listing's hundred thousand rows quickly.
    bool isBlank(int row) const { return row >= 0 && row < m_blank.size() && m_blank.testBit(row); }
    // Sender, subject or date (0, 1, 2) as shown, and the size in bytes, without a copy: a sorted
    // view compares them a few million times.
    const QString& detail(int row, int index) const { return rowAt(row).details.at(index); }
    qint64 size(int row) const { return m_sizes.value(row); }

    // The Authentication-Results the verdicts read (verdict/authservid.h).
    void setTrustedAuthServId(const QString& id);
    QString trustedAuthServId() const { return m_trustedId; }
    // Every message is matched against the rules again.
    void setRules(const MarkingRules& rules);

    bool isMarked(int row) const;
    QList<int> markedRows() const;
    // The user's own mark: no rule changes it any more.
    void setMarked(int row, bool marked);
    void toggleMark(int row) { setMarked(row, !isMarked(row)); }
    bool isMarkChosen(int row) const { return rowAt(row).markChosen; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        QString entry;
        QByteArray uid;
        std::array<QString, 3> details;
        // Milliseconds since the epoch; messages without a readable date sort first.
        qint64 sentAt = LLONG_MIN;
        QString text;
        bool marked = false;
        bool markChosen = false;
        bool holdsAuthenticationResults = false;
        QByteArray header;
        RuleMatch rule;
    };
    // The row, or an empty one outside the list: without copying it, as QList::value() would,
    // for each of a hundred thousand rows.
    const Row& rowAt(int row) const
    {
        static const Row none;
        return row >= 0 && row < m_rows.size() ? m_rows[row] : none;
    }
    QVariant hintData(int row, int role) const;
    QVariant sizeData(int row, int role) const;
    QVariant sortKey(int row, int column) const;
    int hintRank(int row) const;
    // Matches the row against the rules, then ticks or unticks it as its rule says, unless the
    // user has set its mark.
    void followRules(int row);
    void changeMark(int row, bool marked);
    // The rows have changed in the columns from first to last since the last publish().
    void noteChanged(int first, int last);
    void noteBlank(int row);

    QList<Row> m_rows;
    QBitArray m_blank;
    // Apart from the rows: a view sorted by size reads a hundred thousand of them at random.
    QList<qint64> m_sizes;
    // By row, read or judged when first asked for: outside the rows, which most lists never ask
    // for them.
    mutable QHash<int, MessageFacts> m_facts;
    mutable QHash<int, Verdict> m_verdicts;
    QString m_trustedId;
    MarkingRules m_rules;
    bool m_noRules = true;
    bool m_judgeOnArrival = false;
    int m_published = 0;
    // Published rows whose details changed since; empty when first > last.
    int m_changedFirst = INT_MAX;
    int m_changedLast = -1;
};
