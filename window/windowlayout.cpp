// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/windowlayout.h"

#include "window/columndivider.h"
#include "window/frmtarvolk.h"

#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <algorithm>
#include <climits>
#include <initializer_list>

namespace {

// The font size the design's twips were made for.
constexpr double DesignPointSize = 9.0;

// The summary line keeps room for a mailbox like the demo's: up to 99 messages, under a megabyte.
const QString WidestSummary = QStringLiteral("99 Emails mit 999999 Bytes");

struct Placement {
    QWidget* control;
    int left, top, width, height; // twips
    bool sizedToCaption = false;
};

} // namespace

WindowLayout::WindowLayout(frmTarvolk& window) : m_window(window) {}

QRect WindowLayout::toPixels(int left, int top, int width, int height) const
{
    // Twips are 1/1440 inch of the screen's logical resolution, scaled for a larger font.
    const auto x = [this](int twips) {
        return qRound(twips * m_scale * m_window.logicalDpiX() / 1440.0);
    };
    const auto y = [this](int twips) {
        return qRound(twips * m_scale * m_window.logicalDpiY() / 1440.0);
    };
    return QRect(x(left), y(top), x(width), y(height));
}

void WindowLayout::place()
{
    m_scale = std::max(1.0, QFontInfo(m_window.font()).pointSizeF() / DesignPointSize);
    m_startSize = toPixels(0, 0, 8445, 4800).size();
    placeFrames();
    widenToFit();
    for (const Follow& f : followers())
        m_start.insert(f.control, f.control->geometry());
    const auto listExtra = [this] {
        return m_window.List1->width() - m_start.value(m_window.List1).width();
    };
    m_divider = new ColumnDivider([this, listExtra] { m_listExtraAtPress = listExtra(); },
                                  [this](int movedBy) {
                                      const int extra = m_window.width() - m_startSize.width();
                                      if (extra > 0)
                                          setListPart(double(m_listExtraAtPress + movedBy) / extra);
                                  },
                                  &m_window);
    m_window.setMinimumSize(m_startSize);
    m_window.resize(m_startSize);
    follow(m_startSize);
}

void WindowLayout::openRoomy(int rowsWidth)
{
    MessageListView* list = m_window.List1;
    const int listWidth = rowsWidth + 2 * list->frameWidth() +
                          list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    const int listNeeds = listWidth - m_start.value(list).width();
    const int wanted = m_startSize.width() + 2 * listNeeds;
    const QSize screen = m_window.screen()->availableSize();
    const double scale = std::max(1.0, std::min({double(wanted) / m_startSize.width(),
                                                 0.75 * screen.width() / m_startSize.width(),
                                                 0.75 * screen.height() / m_startSize.height()}));
    const QSize size = m_startSize * scale;
    const int gained = size.width() - m_startSize.width();
    if (gained > 0)
        m_listPart = std::clamp(double(listNeeds) / gained, 0.5, 0.75);
    m_window.resize(size);
}

void WindowLayout::placeFrames()
{
    frmTarvolk& w = m_window;
    // The frame's title takes room at its top that depends on style and font; the children move
    // down together just far enough to clear it.
    const auto placeIn = [this](QGroupBox* frame, std::initializer_list<Placement> children) {
        int top = INT_MAX;
        for (const Placement& p : children)
            top = std::min(top, toPixels(p.left, p.top, p.width, p.height).top());
        const int shift = std::max(0, frame->contentsRect().top() - top);
        for (const Placement& p : children) {
            p.control->setGeometry(toPixels(p.left, p.top, p.width, p.height).translated(0, shift));
            if (p.sizedToCaption)
                p.control->resize(p.control->sizeHint());
        }
    };

    w.Frame3->setGeometry(toPixels(60, 240, 8295, 735));
    placeIn(w.Frame3, {{w.Command1[0], 2820, 240, 2115, 315},
                       {w.Command1[1], 5100, 240, 2115, 315},
                       {w.cmbIdentity, 120, 240, 2295, 315}});
    w.Frame2->setGeometry(toPixels(60, 1020, 2535, 3435));
    placeIn(w.Frame2, {{w.List1, 120, 900, 2295, 2400},
                       {w.Label1, 120, 540, 2295, 255},
                       {w.Label2, 120, 240, 2295, 255}});
    w.Frame1->setGeometry(toPixels(2700, 1020, 5655, 3435));
    placeIn(w.Frame1, {{w.picMailInfo, 5160, 420, 375, 615},
                       {w.picVerdict, 5160, 1140, 375, 255},
                       {w.Text1, 120, 1500, 5415, 1815},
                       {w.lblMailInfo[3], 1080, 1140, 3975, 255},
                       {w.lblMailInfo[7], 120, 1200, 510, 195, true},
                       {w.lblMailInfo[6], 120, 900, 510, 195, true},
                       {w.lblMailInfo[2], 1080, 840, 3975, 255},
                       {w.lblMailInfo[0], 1080, 240, 3975, 255},
                       {w.lblMailInfo[1], 1080, 540, 3975, 255},
                       {w.lblMailInfo[4], 120, 300, 720, 195, true},
                       {w.lblMailInfo[5], 120, 600, 810, 195, true}});
    // The tabs that choose what the preview shows take the top of its room.
    const QRect text = w.Text1->geometry();
    const int tabsHeight = w.tabText1->sizeHint().height();
    w.tabText1->setGeometry(text.left(), text.top(), text.width(), tabsHeight);
    w.Text1->setGeometry(text.adjusted(0, tabsHeight, 0, 0));
    w.ProgressBar1->setGeometry(toPixels(0, 4605, 8445, 195));
    w.Label3->setGeometry(toPixels(6900, 0, 1395, 195));
    w.Label3->resize(w.Label3->sizeHint());
}

void WindowLayout::widenToFit()
{
    frmTarvolk& w = m_window;
    const int gap = toPixels(60, 0, 0, 0).left();

    // A caption wider than its button in the desktop's font widens the button.
    for (QPushButton* button : w.Command1)
        button->resize(std::max(button->width(), button->sizeHint().width()), button->height());

    // The account box takes the room up to the buttons, for titles longer than the design's.
    w.cmbIdentity->resize(
        std::max(w.cmbIdentity->width(), w.Command1[0]->x() - gap - w.cmbIdentity->x()),
        w.cmbIdentity->height());

    // The summary line needs room for the demo's summary; the preview column gives it.
    // A framed label indents its text by half an "x".
    const QLabel* summary = w.Label2;
    const QFontMetrics metrics = summary->fontMetrics();
    const int needed = metrics.horizontalAdvance(WidestSummary) +
                       metrics.horizontalAdvance(u'x') / 2 + 2 * summary->margin();
    widenListColumn(std::max(0, needed - summary->contentsRect().width()));

    // Captions wider than the design's reach into the value boxes beside them; the boxes then
    // start a little after the widest caption and keep their right edge.
    int captionsEnd = 0;
    for (int i = 4; i < 8; ++i)
        captionsEnd = std::max(captionsEnd, w.lblMailInfo[i]->geometry().right() + 1);
    for (int i = 0; i < 4; ++i) {
        QRect box = w.lblMailInfo[i]->geometry();
        box.setLeft(std::max(box.left(), captionsEnd + gap));
        w.lblMailInfo[i]->setGeometry(box);
    }
}

void WindowLayout::widenListColumn(int by)
{
    if (by <= 0)
        return;
    frmTarvolk& w = m_window;
    for (QWidget* control : {static_cast<QWidget*>(w.Frame2), static_cast<QWidget*>(w.Label1),
                             static_cast<QWidget*>(w.Label2), static_cast<QWidget*>(w.List1)})
        control->resize(control->width() + by, control->height());
    w.Frame1->setGeometry(w.Frame1->geometry().adjusted(by, 0, 0, 0));
    for (int i = 0; i < 4; ++i)
        w.lblMailInfo[i]->resize(w.lblMailInfo[i]->width() - by, w.lblMailInfo[i]->height());
    for (QWidget* control : {static_cast<QWidget*>(w.Text1), static_cast<QWidget*>(w.tabText1)})
        control->resize(control->width() - by, control->height());
    for (QWidget* control : {w.picMailInfo, w.picVerdict})
        control->move(control->x() - by, control->y());
}

QList<WindowLayout::Follow> WindowLayout::followers() const
{
    const frmTarvolk& w = m_window;
    QList<Follow> list{{w.Frame3, Share::None, Share::All, false},
                       {w.Label3, Share::All, Share::None, false},
                       {w.Frame2, Share::None, Share::List, true},
                       {w.Label1, Share::None, Share::List, false},
                       {w.Label2, Share::None, Share::List, false},
                       {w.List1, Share::None, Share::List, true},
                       {w.Frame1, Share::List, Share::Preview, true},
                       {w.picMailInfo, Share::Preview, Share::None, false},
                       {w.picVerdict, Share::Preview, Share::None, false},
                       {w.tabText1, Share::None, Share::Preview, false},
                       {w.Text1, Share::None, Share::Preview, true}};
    for (int i = 0; i < 4; ++i)
        list.append({w.lblMailInfo[i], Share::None, Share::Preview, false});
    return list;
}

void WindowLayout::follow(const QSize& size)
{
    if (m_start.isEmpty())
        return;
    const int extraWidth = std::max(0, size.width() - m_startSize.width());
    const int extraHeight = std::max(0, size.height() - m_startSize.height());
    const auto share = [&](Share s) {
        switch (s) {
        case Share::None:
            return 0;
        case Share::List:
            return qRound(extraWidth * m_listPart);
        case Share::Preview:
            return extraWidth - qRound(extraWidth * m_listPart);
        case Share::All:
            return extraWidth;
        }
        return 0;
    };
    for (const Follow& f : followers()) {
        QRect r = m_start.value(f.control);
        r.translate(share(f.moveX), 0);
        r.setWidth(r.width() + share(f.growX));
        if (f.growY)
            r.setHeight(r.height() + extraHeight);
        f.control->setGeometry(r);
    }
    // The progress bar stays docked along the bottom edge across the full width.
    QProgressBar* bar = m_window.ProgressBar1;
    bar->setGeometry(0, size.height() - bar->height(), size.width(), bar->height());
    placeDivider();
}

void WindowLayout::placeDivider()
{
    const QRect list = m_window.Frame2->geometry();
    const int left = list.right() + 1;
    m_divider->setGeometry(left, list.top(), m_window.Frame1->x() - left, list.height());
}

void WindowLayout::setListPart(double part)
{
    m_listPart = std::clamp(part, 0.0, 1.0);
    follow(m_window.size());
}
