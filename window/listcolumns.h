// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QObject>

class QSettings;
class QTreeView;

// The message list's columns: sender and subject share the width the other columns leave, in
// the proportion the user gives them; date and size fit their content; the user can resize every
// column. The widths and the sort are kept between runs.
class ListColumns : public QObject {
    Q_OBJECT
public:
    explicit ListColumns(QTreeView* list);

    // The width the list's rows need to show every column at its first width.
    int fullWidth() const;
    void save(QSettings& state) const;
    // Widths and sort from an earlier run; values out of range are left as they are.
    void restore(const QSettings& state);
    // Sender and subject share the room in their proportion; call when the list's width changed.
    void shareRoom();

private:
    void resizeByUser(int column);
    // The viewport's width left for the sender and the subject.
    int room() const;
    // What sender and subject share: the room, but no less than their first widths.
    int sharedWidth() const;
    void setWidth(int column, int width);

    QTreeView* m_list;
    QList<int> m_firstWidths;
    int m_leastWidth;
    // The sender's part of the room sender and subject share.
    double m_senderPart;
    bool m_resizing = false;
};
