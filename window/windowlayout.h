// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QHash>
#include <QRect>
#include <QSize>

class ColumnDivider;
class frmTarvolk;
class QWidget;

// Places the window's controls as designed (in twips), grown in proportion when the desktop's
// font is larger than the usual 9 pt so that no text is cut, and widened where a text of the
// demo would not fit. When the user enlarges the window, the list column and the preview column
// share the extra width as the divider between them says, and both take the extra height; it
// never gets smaller than at the start.
class WindowLayout {
public:
    explicit WindowLayout(frmTarvolk& window);

    // Places every control; call once, after the controls exist.
    void place();
    QSize startSize() const { return m_startSize; }
    // Resizes the window to the start size scaled up, in its proportions, until the list is wide
    // enough for rows of this width; at most to three quarters of the screen. There the list may
    // take up to three quarters of the width gained.
    void openRoomy(int rowsWidth);
    // Moves and stretches the controls for a client area of this size.
    void follow(const QSize& size);
    // The list column's part of the width beyond the start size, from 0 to 1.
    double listPart() const { return m_listPart; }
    void setListPart(double part);

private:
    // Where a control's extra room comes from when the window is larger than at the start.
    enum class Share { None, List, Preview, All };
    struct Follow {
        QWidget* control;
        Share moveX;
        Share growX;
        bool growY;
    };

    QRect toPixels(int left, int top, int width, int height) const;
    void placeFrames();
    void widenToFit();
    void widenListColumn(int by);
    QList<Follow> followers() const;
    void placeDivider();

    frmTarvolk& m_window;
    double m_scale = 1.0;
    QSize m_startSize;
    QHash<QWidget*, QRect> m_start;
    ColumnDivider* m_divider = nullptr;
    double m_listPart = 0.5;
    // The list column's extra width when the divider was pressed.
    int m_listExtraAtPress = 0;
};
