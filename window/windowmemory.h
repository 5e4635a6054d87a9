// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QSize>
#include <QString>

class ListColumns;
class QWidget;
class WindowLayout;

// What the window keeps between runs in $XDG_STATE_HOME/tarvolk/window.ini, never in the
// settings file: its size, the list column's part of the width, and the message list's column
// widths and sort.
class WindowMemory {
public:
    static QString defaultPath();

    explicit WindowMemory(QString path = defaultPath());

    // Gives the window and its list what was kept; without a kept size the window opens large
    // enough to show the list's columns.
    void restore(QWidget& window, WindowLayout& layout, ListColumns& columns) const;
    void save(const QWidget& window, const WindowLayout& layout, const ListColumns& columns) const;

private:
    QString m_path;
};
