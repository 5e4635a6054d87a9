// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/columndivider.h"

#include <QMouseEvent>

ColumnDivider::ColumnDivider(std::function<void()> pressed, std::function<void(int)> dragged,
                             QWidget* parent)
    : QWidget(parent), m_pressed(std::move(pressed)), m_dragged(std::move(dragged))
{
    setCursor(Qt::SplitHCursor);
    setObjectName(QStringLiteral("ColumnDivider"));
}

void ColumnDivider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressX = qRound(event->globalPosition().x());
    m_pressed();
}

void ColumnDivider::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        m_dragged(qRound(event->globalPosition().x()) - m_pressX);
}
