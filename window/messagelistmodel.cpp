#include "window/messagelistmodel.h"

#include "window/plaintext.h"

#include <algorithm>

void MessageListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_published = 0;
    m_changedFirst = INT_MAX;
    m_changedLast = -1;
    endResetModel();
}

void MessageListModel::append(const QStringList& entries, const QList<QByteArray>& uids)
{
    m_rows.reserve(m_rows.size() + entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        m_rows.append({entries[i], uids.value(i), {}, {}, false});
}

void MessageListModel::setMessage(int row, const QString& text,
                                  const std::array<QString, 3>& details)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_rows[row].text = text;
    for (size_t i = 0; i < details.size(); ++i)
        m_rows[row].details[i] = plaintext::line(details[i]);
    if (row < m_published) {
        m_changedFirst = std::min(m_changedFirst, row);
        m_changedLast = std::max(m_changedLast, row);
    }
}

void MessageListModel::publish()
{
    if (m_rows.size() > m_published) {
        beginInsertRows(QModelIndex(), m_published, int(m_rows.size()) - 1);
        m_published = int(m_rows.size());
        endInsertRows();
    }
    if (m_changedFirst <= m_changedLast) {
        emit dataChanged(index(m_changedFirst, Entry), index(m_changedLast, Date),
                         {Qt::DisplayRole, Qt::ToolTipRole});
        m_changedFirst = INT_MAX;
        m_changedLast = -1;
    }
}

bool MessageListModel::isMarked(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows[row].marked;
}

QList<int> MessageListModel::markedRows() const
{
    QList<int> rows;
    for (int row = 0; row < m_rows.size(); ++row) {
        if (m_rows[row].marked)
            rows.append(row);
    }
    return rows;
}

void MessageListModel::setMarked(int row, bool marked)
{
    // Only a row the user can see can be marked.
    if (row < 0 || row >= m_published || m_rows[row].marked == marked)
        return;
    m_rows[row].marked = marked;
    const QModelIndex changed = index(row, Entry);
    emit dataChanged(changed, changed, {Qt::CheckStateRole});
}

int MessageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_published;
}

int MessageListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_published)
        return QVariant();
    const Row& row = m_rows[index.row()];
    if (index.column() == Entry) {
        if (role == Qt::DisplayRole)
            return row.entry;
        if (role == Qt::CheckStateRole)
            return row.marked ? Qt::Checked : Qt::Unchecked;
        // In a list too narrow for the other columns, hovering an entry still tells who sent it.
        if (role == Qt::ToolTipRole && row.details != std::array<QString, 3>{}) {
            return plaintext::toolTip({tr("Absender: %1").arg(row.details[0]),
                                       tr("Betreff: %1").arg(row.details[1]),
                                       tr("Datum: %1").arg(row.details[2])});
        }
        return QVariant();
    }
    const QString& value = row.details[index.column() - Sender];
    if (role == Qt::DisplayRole)
        return value;
    // A column narrower than its value shows the whole of it on hovering.
    if (role == Qt::ToolTipRole)
        return plaintext::toolTip(value);
    return QVariant();
}

Qt::ItemFlags MessageListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return index.column() == Entry ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant MessageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case Entry:
        return tr("Nachricht");
    case Sender:
        return tr("Absender");
    case Subject:
        return tr("Betreff");
    case Date:
        return tr("Datum");
    }
    return QVariant();
}
