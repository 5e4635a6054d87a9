// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/messagelistview.h"

#include <QCollator>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSortFilterProxyModel>
#include <QStyle>
#include <QStyledItemDelegate>

namespace {

// Fusion draws a check box's frame in a shade darker than the window colour, which vanishes on a
// dark scheme's base: an unmarked entry would show no box to click. In a dark scheme the entries'
// options get a window colour from which that shade lies well between base and text.
class VisibleCheckBoxDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor base = option->palette.color(QPalette::Base);
        const QColor text = option->palette.color(QPalette::Text);
        if (base.lightness() >= text.lightness())
            return;
        const auto between = [](int from, int to) {
            return from + (to - from) * 3 / 5;
        };
        const QColor frame(between(base.red(), text.red()), between(base.green(), text.green()),
                           between(base.blue(), text.blue()));
        option->palette.setColor(QPalette::Window, frame.lighter(140));
    }
};

// Compares without building the model's sort keys, a few million times when a listing fills a
// sorted list: rows with nothing to sort by but their entry and size yet sort as equals unread,
// texts are compared ignoring case without a case-folded copy of each, and sizes directly.
class ListOrder : public QSortFilterProxyModel {
public:
    explicit ListOrder(QObject* parent) : QSortFilterProxyModel(parent)
    {
        m_texts.setCaseSensitivity(Qt::CaseInsensitive);
    }

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        const auto* messages = static_cast<const MessageListModel*>(sourceModel());
        const int column = left.column();
        if (column == MessageListModel::Entry)
            return left.row() < right.row();
        if (column == MessageListModel::Size)
            return messages->size(left.row()) < messages->size(right.row());
        if (messages->isBlank(left.row()) && messages->isBlank(right.row()))
            return false;
        if (column == MessageListModel::Sender || column == MessageListModel::Subject) {
            const int detail = column - MessageListModel::Sender;
            return m_texts.compare(messages->detail(left.row(), detail),
                                   messages->detail(right.row(), detail)) < 0;
        }
        return QSortFilterProxyModel::lessThan(left, right);
    }

private:
    QCollator m_texts;
};

} // namespace

MessageListView::MessageListView(QWidget* parent)
    : QTreeView(parent), m_messages(new MessageListModel(this)), m_sorted(new ListOrder(this))
{
    m_sorted->setSourceModel(m_messages);
    m_sorted->setSortRole(MessageListModel::SortRole);
    m_sorted->setSortLocaleAware(true);
    setModel(m_sorted);
    setItemDelegate(new VisibleCheckBoxDelegate(this));
    // Every row is one line: the view need not measure each entry to place the next.
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    // Listing order until the user clicks a header.
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    connect(header(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column) { m_messages->judgeOnArrival(column == MessageListModel::Hint); });
    setAllColumnsShowFocus(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    header()->setSectionsMovable(false);
    m_columns = new ListColumns(this);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MessageListView::entryChosen);
    // A click on the current entry changes no row but must still show what is stored by now.
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (rowOf(index) == m_currentAtPress)
            emit entryChosen();
    });
}

int MessageListView::rowOf(const QModelIndex& index) const
{
    return index.isValid() ? m_sorted->mapToSource(index).row() : -1;
}

void MessageListView::setCurrentRow(int row)
{
    setCurrentIndex(m_sorted->mapFromSource(m_messages->index(row, MessageListModel::Entry)));
}

QList<int> MessageListView::rowsAroundCurrent() const
{
    // The list shows the current entry once its rows are laid out; rows not shown yet follow in
    // the listing's order.
    const int rowHeight = qMax(1, fontMetrics().height());
    const int shown = qMax(1, viewport()->height() / rowHeight);
    const int first = qMax(0, currentIndex().row() - shown / 2);
    QList<int> rows;
    for (int row = first; row < first + shown; ++row)
        rows.append(row < m_sorted->rowCount() ? rowOf(m_sorted->index(row, 0)) : row);
    return rows;
}

void MessageListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    QTreeView::drawRow(painter, option, index);
    if (!hasFocus() || index.row() != currentIndex().row())
        return;
    painter->save();
    painter->setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
    painter->restore();
}

int MessageListView::checkBoxRowAt(const QPoint& point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid() || index.column() != MessageListModel::Entry)
        return -1;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    const QRect box = style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, this);
    return box.contains(point) ? rowOf(index) : -1;
}

// A click on a check box marks the entry and leaves the current entry and its preview as they
// are, so that marking several entries does not flip through their previews.
void MessageListView::mousePressEvent(QMouseEvent* event)
{
    m_pressedCheckBox = event->button() == Qt::LeftButton ? checkBoxRowAt(event->pos()) : -1;
    if (m_pressedCheckBox >= 0) {
        event->accept();
        return;
    }
    m_currentAtPress = currentRow();
    QTreeView::mousePressEvent(event);
}

void MessageListView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressedCheckBox < 0) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    if (checkBoxRowAt(event->pos()) == m_pressedCheckBox)
        m_messages->toggleMark(m_pressedCheckBox);
    m_pressedCheckBox = -1;
    event->accept();
}

void MessageListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click on a check box counts as a click of its own.
    if (checkBoxRowAt(event->pos()) >= 0)
        mousePressEvent(event);
    else
        QTreeView::mouseDoubleClickEvent(event);
}

void MessageListView::mouseMoveEvent(QMouseEvent* event)
{
    // A press on a check box drags nothing and selects nothing.
    if (m_pressedCheckBox < 0)
        QTreeView::mouseMoveEvent(event);
}

void MessageListView::keyPressEvent(QKeyEvent* event)
{
    // Delete marks for deletion too, and deletes nothing by itself: the button does, after asking.
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Select || key == Qt::Key_Delete) &&
        event->modifiers() == Qt::NoModifier) {
        m_messages->toggleMark(currentRow());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void MessageListView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    // The mouse's event comes from the viewport, the keyboard's from the list itself.
    const bool byMouse = event->reason() == QContextMenuEvent::Mouse;
    const QModelIndex index = byMouse ? indexAt(event->pos()) : currentIndex();
    if (index.isValid())
        emit menuRequested(rowOf(index), byMouse
                                             ? event->globalPos()
                                             : viewport()->mapToGlobal(visualRect(index).center()));
}

bool MessageListView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        m_columns->shareRoom();
    return QTreeView::viewportEvent(event);
}

void MessageListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                  const QList<int>& roles)
{
    // A fetch changes thousands of rows at once, most of them out of sight; the tree view would
    // measure each of them to find what to repaint. Only the rows shown need it.
    const QModelIndex firstShown = indexAt(QPoint(0, 0));
    if (topLeft.row() == bottomRight.row() || !firstShown.isValid()) {
        QTreeView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    const QModelIndex lastShown = indexAt(QPoint(0, viewport()->height() - 1));
    const int from = qMax(topLeft.row(), firstShown.row());
    const int to =
        qMin(bottomRight.row(), lastShown.isValid() ? lastShown.row() : bottomRight.row());
    if (from <= to)
        QTreeView::dataChanged(topLeft.siblingAtRow(from), bottomRight.siblingAtRow(to), roles);
}
