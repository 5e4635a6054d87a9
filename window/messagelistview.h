// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "window/listcolumns.h"
#include "window/messagelistmodel.h"

#include <QTreeView>

class QSortFilterProxyModel;

// The message list as the user works it: a click on an entry's text or the arrow, Home, End and
// page keys make it the current entry; a click on its check box, or Space or Delete on the
// current entry, changes its mark, and only these do. A click on a column's header sorts the
// list by it. Rows are always named by their position in the listing (the model's rows), however
// the list is sorted.
class MessageListView : public QTreeView {
    Q_OBJECT
public:
    explicit MessageListView(QWidget* parent = nullptr);

    MessageListModel* messages() const { return m_messages; }
    ListColumns& columns() const { return *m_columns; }
    int count() const { return m_messages->rowCount(); }
    // The current entry's row, -1 when there is none.
    int currentRow() const { return rowOf(currentIndex()); }
    void setCurrentRow(int row);
    // About a screenful of rows around the current entry, in the order shown.
    QList<int> rowsAroundCurrent() const;

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
    bool viewportEvent(QEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;

private:
    // The row whose check box is at point, -1 when there is none.
    int checkBoxRowAt(const QPoint& point) const;
    // The model's row of an index of the view, -1 for none.
    int rowOf(const QModelIndex& index) const;

    MessageListModel* m_messages;
    QSortFilterProxyModel* m_sorted;
    ListColumns* m_columns;
    int m_pressedCheckBox = -1;
    int m_currentAtPress = -1;
};
