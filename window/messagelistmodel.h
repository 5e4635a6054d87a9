#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <array>

// The message list: per message its entry "i. Email size", its sender, subject and date once its
// text has arrived, and the user's mark for deletion. Row k is message k + 1; nothing is sorted.
// A listing comes in as one batch, so ten thousand entries cost one insertion.
class MessageListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Entry, Sender, Subject, Date, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void clear();
    void append(const QStringList& entries);
    // The values shown beside an entry: sender, subject and date.
    void setDetails(int row, const std::array<QString, 3>& details);

    bool isMarked(int row) const;
    void toggleMark(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    struct Row {
        QString entry;
        std::array<QString, 3> details;
        bool marked = false;
    };
    QList<Row> m_rows;
};
