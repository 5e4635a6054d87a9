#include "window/messagelistview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

MessageListView::MessageListView(QWidget* parent)
    : QTreeView(parent), m_messages(new MessageListModel(this))
{
    setModel(m_messages);
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
    header()->resizeSection(MessageListModel::Sender, 12 * em);
    header()->resizeSection(MessageListModel::Subject, 16 * em);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MessageListView::entryChosen);
    // A click on the current entry changes no row but must still show what is stored by now.
    connect(this, &QAbstractItemView::clicked, this, &MessageListView::entryChosen);
}

void MessageListView::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Select) &&
        event->modifiers() == Qt::NoModifier) {
        m_messages->toggleMark(currentRow());
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}
