#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <array>
#include <climits>

// The message list: per message its entry "i. Email size", the server's id for it (empty when the
// server has no usable ids), its sender, subject and date once its text has arrived, and the
// user's mark for deletion. Row k is message k + 1; nothing is sorted.
// Entries and details added during a fetch reach the views only when published: a fetch that
// fills the list message by message then lays it out and repaints it a few times a second, not
// for every message, and ten thousand entries cost one insertion.
class MessageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Entry, Sender, Subject, Date, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void clear();
    // uids, when given, holds each entry's id in the same order.
    void append(const QStringList& entries, const QList<QByteArray>& uids = {});
    // A message's stored text has arrived (or was dropped: empty), with the values shown beside
    // its entry: sender, subject and date.
    void setMessage(int row, const QString& text, const std::array<QString, 3>& details);
    // The stored text of the entry, empty when none has arrived.
    QString text(int row) const
    {
        return row >= 0 && row < m_rows.size() ? m_rows[row].text : QString();
    }
    // Shows the views what was appended and set since the last time.
    void publish();
    // Every entry, published or not.
    int entryCount() const { return int(m_rows.size()); }

    QString entry(int row) const { return m_rows.value(row).entry; }
    QByteArray uid(int row) const { return m_rows.value(row).uid; }
    // Sender, subject and date, empty until the entry's text has arrived.
    std::array<QString, 3> details(int row) const { return m_rows.value(row).details; }

    bool isMarked(int row) const;
    QList<int> markedRows() const;
    void setMarked(int row, bool marked);
    void toggleMark(int row) { setMarked(row, !isMarked(row)); }

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
        QString text;
        bool marked = false;
    };
    QList<Row> m_rows;
    int m_published = 0;
    // Published rows whose details changed since; empty when first > last.
    int m_changedFirst = INT_MAX;
    int m_changedLast = -1;
};
