#pragma once

#include <QSize>
#include <QString>

class ListColumns;
class QWidget;

// What the window keeps between runs in $XDG_STATE_HOME/tarvolk/window.ini, never in the
// settings file: its size, and the message list's column widths and sort.
class WindowMemory {
public:
    static QString defaultPath();

    explicit WindowMemory(QString path = defaultPath());

    // Gives the window and its list what was kept; without a kept size the window takes
    // firstSize.
    void restore(QWidget& window, const QSize& firstSize, ListColumns& columns) const;
    void save(const QWidget& window, const ListColumns& columns) const;

private:
    QString m_path;
};
