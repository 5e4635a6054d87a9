// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/messagelistmodel.h"

#include "mailbox/framebudget.h"
#include "verdict/authservid.h"
#include "window/hint.h"
#include "window/plaintext.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <utility>

namespace {

// A Date header's time, without the comment many senders add ("(CET)").
qint64 sentAt(const QString& date)
{
    static const QRegularExpression comment(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QDateTime time = QDateTime::fromString(QString(date).remove(comment), Qt::RFC2822Date);
    return time.isValid() ? time.toMSecsSinceEpoch() : LLONG_MIN;
}

} // namespace

void MessageListModel::clear()
{
    beginResetModel();
    QList<Row> old = std::exchange(m_rows, {});
    m_blank.clear();
    m_sizes.clear();
    QHash<int, MessageFacts> oldFacts = std::exchange(m_facts, {});
    QHash<int, Verdict> oldVerdicts = std::exchange(m_verdicts, {});
    m_published = 0;
    m_changedFirst = INT_MAX;
    m_changedLast = -1;
    endResetModel();
    FrameBudget frame;
    frame.releaseList(old);
    frame.releaseHash(oldFacts);
    frame.releaseHash(oldVerdicts);
}

void MessageListModel::append(const QStringList& entries, const QList<QByteArray>& uids,
                              const QList<qint64>& sizes)
{
    m_blank.resize(m_rows.size() + entries.size());
    m_blank.fill(true, m_rows.size(), m_blank.size());
    m_rows.reserve(m_rows.size() + entries.size());
    FrameBudget frame;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        Row& row = m_rows.emplace_back();
        row.entry = entries[i];
        row.uid = uids.value(i);
        m_sizes.append(sizes.value(i));
        frame.yieldWhenSpent();
    }
}

void MessageListModel::setMessage(int row, const QString& text,
                                  const std::array<QString, 3>& details, const QByteArray& header)
{
    if (row < 0 || row >= m_rows.size())
        return;
    Row& changed = m_rows[row];
    changed.text = text;
    for (size_t i = 0; i < details.size(); ++i)
        changed.details[i] = plaintext::line(details[i]);
    changed.sentAt = sentAt(changed.details[2]);
    changed.header = header;
    changed.holdsAuthenticationResults = namesAuthenticationResults(header);
    m_facts.remove(row);
    m_verdicts.remove(row);
    if (m_judgeOnArrival)
        verdict(row);
    followRules(row);
    noteBlank(row);
    noteChanged(row, row);
}

void MessageListModel::noteBlank(int row)
{
    const Row& checked = m_rows[row];
    m_blank.setBit(row, checked.details == std::array<QString, 3>{} && checked.header.isEmpty() &&
                            checked.rule.effect == RuleMatch::Effect::None);
}

void MessageListModel::noteChanged(int first, int last)
{
    last = std::min(last, m_published - 1);
    if (first > last)
        return;
    m_changedFirst = std::min(m_changedFirst, first);
    m_changedLast = std::max(m_changedLast, last);
}

MessageFacts MessageListModel::facts(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    auto known = m_facts.constFind(row);
    if (known == m_facts.constEnd()) {
        const QByteArray& header = m_rows[row].header;
        known = m_facts.insert(row, header.isEmpty() ? MessageFacts() : readMessageFacts(header));
    }
    return *known;
}

Verdict MessageListModel::verdict(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return {};
    auto known = m_verdicts.constFind(row);
    if (known == m_verdicts.constEnd())
        known = m_verdicts.insert(row, judgeHeaderBlock(m_rows[row].header, m_trustedId));
    return *known;
}

void MessageListModel::setTrustedAuthServId(const QString& id)
{
    if (id == m_trustedId)
        return;
    m_trustedId = id;
    m_verdicts.clear();
    noteChanged(0, int(m_rows.size()) - 1);
}

void MessageListModel::setRules(const MarkingRules& rules)
{
    m_rules = rules;
    m_noRules = rules.isEmpty();
    for (int row = 0; row < m_rows.size(); ++row) {
        followRules(row);
        noteBlank(row);
    }
    noteChanged(0, int(m_rows.size()) - 1);
}

void MessageListModel::followRules(int row)
{
    // Without rules no message's facts need reading while a fetch fills the list.
    m_rows[row].rule = m_noRules ? RuleMatch() : matchRules(m_rules, facts(row));
    if (!m_rows[row].markChosen)
        changeMark(row, m_rows[row].rule.effect == RuleMatch::Effect::Mark);
}

void MessageListModel::publish()
{
    if (m_rows.size() > m_published) {
        beginInsertRows(QModelIndex(), m_published, int(m_rows.size()) - 1);
        m_published = int(m_rows.size());
        endInsertRows();
    }
    if (m_changedFirst <= m_changedLast) {
        // The size never changes: a list sorted by it need not sort the rows again.
        emit dataChanged(index(m_changedFirst, Entry), index(m_changedLast, Date),
                         {Qt::DisplayRole, Qt::DecorationRole, Qt::ToolTipRole, SortRole});
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
    if (row < 0 || row >= m_published)
        return;
    m_rows[row].markChosen = true;
    changeMark(row, marked);
}

void MessageListModel::changeMark(int row, bool marked)
{
    if (m_rows[row].marked == marked)
        return;
    m_rows[row].marked = marked;
    // Rows not yet shown get their mark with their insertion.
    if (row < m_published) {
        const QModelIndex changed = index(row, Entry);
        emit dataChanged(changed, changed, {Qt::CheckStateRole});
    }
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
    if (role == SortRole)
        return sortKey(index.row(), index.column());
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
    if (index.column() == Hint)
        return hintData(index.row(), role);
    if (index.column() == Size)
        return sizeData(index.row(), role);
    const QString& value = row.details[index.column() - Sender];
    if (role == Qt::DisplayRole)
        return value;
    // A column narrower than its value shows the whole of it on hovering.
    if (role == Qt::ToolTipRole)
        return plaintext::toolTip(value);
    return QVariant();
}

QVariant MessageListModel::hintData(int row, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ToolTipRole)
        return QVariant();
    const ::Hint hint = hintFor(verdict(row), m_rows[row].rule);
    if (role == Qt::DisplayRole)
        return hint.word;
    if (role == Qt::DecorationRole)
        return hint.icon.isNull() ? QVariant() : QVariant(hint.icon);
    return plaintext::toolTip(hint.lines);
}

QVariant MessageListModel::sizeData(int row, int role) const
{
    if (role == Qt::DisplayRole)
        return QLocale().formattedDataSize(m_sizes[row], 1, QLocale::DataSizeTraditionalFormat);
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant MessageListModel::sortKey(int row, int column) const
{
    const Row& sorted = m_rows[row];
    switch (column) {
    case Entry:
        return row;
    case Hint:
        return hintRank(row);
    case Date:
        return sorted.sentAt;
    case Size:
        return m_sizes[row];
    }
    // Case-folded, so that the view's locale-aware comparison ignores case in every locale. A
    // listing inserts a hundred thousand rows without details yet, compared many times each.
    const QString& value = sorted.details[column - Sender];
    return value.isEmpty() ? QString() : value.toCaseFolded();
}

int MessageListModel::hintRank(int row) const
{
    // The gravest finding first, then the rules' hints, then messages without any.
    const Verdict judged = verdict(row);
    if (!judged.findings.isEmpty())
        return int(judged.findings.first().kind);
    const int afterFindings = int(FindingKind::SenderConfirmed) + 1;
    switch (m_rows[row].rule.effect) {
    case RuleMatch::Effect::Mark:
        return afterFindings;
    case RuleMatch::Effect::NeverMark:
        return afterFindings + 1;
    case RuleMatch::Effect::None:
        break;
    }
    return afterFindings + 2;
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
    if (orientation != Qt::Horizontal)
        return QVariant();
    // A first click on a column sorts it ascending, whichever column was sorted before.
    if (role == Qt::InitialSortOrderRole)
        return Qt::AscendingOrder;
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case Entry:
        return tr("Nachricht");
    case Hint:
        return tr("Hinweis");
    case Sender:
        return tr("Absender");
    case Subject:
        return tr("Betreff");
    case Date:
        return tr("Datum");
    case Size:
        return tr("Größe");
    }
    return QVariant();
}
