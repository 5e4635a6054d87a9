// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QWidget>
#include <functional>

// The strip between the list column and the preview column: dragging it sideways moves the
// border between them. It reports how far the mouse has moved since the press.
class ColumnDivider : public QWidget {
    Q_OBJECT
public:
    ColumnDivider(std::function<void()> pressed, std::function<void(int movedBy)> dragged,
                  QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_pressed;
    std::function<void(int)> m_dragged;
    int m_pressX = 0;
};
