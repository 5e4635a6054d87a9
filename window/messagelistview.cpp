#include "window/messagelistview.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
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

} // namespace

MessageListView::MessageListView(QWidget* parent)
    : QTreeView(parent), m_messages(new MessageListModel(this))
{
    setModel(m_messages);
    setItemDelegate(new VisibleCheckBoxDelegate(this));
    // Every row is one line: the view need not measure each entry to place the next.
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    // The entry column fits the longest entry a mailbox gives, beside its check box.
    const int checkBox = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int entry = fontMetrics().horizontalAdvance(QStringLiteral("9999. Email 99999999"));
    header()->resizeSection(MessageListModel::Entry, entry + checkBox + fontMetrics().height());
    const int em = fontMetrics().horizontalAdvance(u'M');
    header()->resizeSection(MessageListModel::Hint, 16 * em);
    header()->resizeSection(MessageListModel::Sender, 12 * em);
    header()->resizeSection(MessageListModel::Subject, 16 * em);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MessageListView::entryChosen);
    // A click on the current entry changes no row but must still show what is stored by now.
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.row() == m_currentAtPress)
            emit entryChosen();
    });
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
    return box.contains(point) ? index.row() : -1;
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
        emit menuRequested(index.row(), byMouse
                                            ? event->globalPos()
                                            : viewport()->mapToGlobal(visualRect(index).center()));
}
