// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/verdicticons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace {

// A white check mark on a green disc, for desktops whose theme has no security-high.
QIcon drawnCheckMark()
{
    QIcon icon;
    for (const int size : {16, 22, 32}) {
        QPixmap picture(size, size);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x2e, 0x8b, 0x3a));
        painter.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        QPainterPath check;
        check.moveTo(size * 0.27, size * 0.52);
        check.lineTo(size * 0.44, size * 0.69);
        check.lineTo(size * 0.74, size * 0.33);
        painter.setPen(QPen(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(check);
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace

QIcon severityIcon(Severity severity)
{
    QStyle* style = QApplication::style();
    switch (severity) {
    case Severity::Danger:
        return QIcon::fromTheme(QStringLiteral("dialog-error"),
                                style->standardIcon(QStyle::SP_MessageBoxCritical));
    case Severity::Warning:
        return QIcon::fromTheme(QStringLiteral("dialog-warning"),
                                style->standardIcon(QStyle::SP_MessageBoxWarning));
    case Severity::Notice:
        return QIcon::fromTheme(QStringLiteral("dialog-information"),
                                style->standardIcon(QStyle::SP_MessageBoxInformation));
    case Severity::Confirmed:
        break;
    }
    static const QIcon checkMark = drawnCheckMark();
    return QIcon::fromTheme(QStringLiteral("security-high"), checkMark);
}
