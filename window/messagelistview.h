#pragma once

#include "window/messagelistmodel.h"

#include <QTreeView>

// The message list as the user works it: a click on an entry's text or the arrow, Home, End and
// page keys make it the current entry; a click on its check box, or Space or Delete on the
// current entry, changes its mark, and only these do.
class MessageListView : public QTreeView {
    Q_OBJECT
public:
    explicit MessageListView(QWidget* parent = nullptr);

    MessageListModel* messages() const { return m_messages; }
    int count() const { return m_messages->rowCount(); }
    // The current entry's row, -1 when there is none.
    int currentRow() const { return currentIndex().row(); }

signals:
    // The current entry changed, or the current entry was clicked again.
    void entryChosen();
    // A context menu for the entry in the row, to show at the point on the screen: the entry
    // under the mouse, or the current entry when the keyboard asked.
    void menuRequested(int row, const QPoint& globalPosition);

protected:
    // The current entry gets a frame one sees at a glance while the list has the focus.
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The row whose check box is at point, -1 when there is none.
    int checkBoxRowAt(const QPoint& point) const;

    MessageListModel* m_messages;
    int m_pressedCheckBox = -1;
    int m_currentAtPress = -1;
};
