// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/trayicon.h"

#include "text/boundedtext.h"

#include <QPainter>

namespace {

constexpr int IconSize = 64;
constexpr qsizetype TitleLimit = 60;
constexpr qsizetype ProblemLimit = 120;

} // namespace

TrayIcon::TrayIcon(const QIcon& icon, QObject* parent) : QObject(parent), m_icon(icon), m_tray(icon)
{
    m_tray.setContextMenu(&m_menu);
    connect(&m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    emit toggleRequested();
            });
}

QIcon TrayIcon::withCount(const QIcon& icon, int count)
{
    if (count <= 0)
        return icon;
    QPixmap picture = icon.pixmap(IconSize, IconSize);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect badge(IconSize / 3, IconSize / 3, IconSize * 2 / 3, IconSize * 2 / 3);
    painter.setBrush(QColor(200, 30, 30));
    painter.setPen(Qt::white);
    painter.drawEllipse(badge);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(count > 99 ? IconSize / 4 : IconSize / 3);
    painter.setFont(font);
    painter.drawText(badge, Qt::AlignCenter,
                     count > 999 ? QStringLiteral("999+") : QString::number(count));
    painter.end();
    return QIcon(picture);
}

QString TrayIcon::toolTipOf(const QList<CheckScheduler::Status>& statuses)
{
    QStringList lines;
    for (const CheckScheduler::Status& status : statuses) {
        if (!status.watched && !status.checked)
            continue;
        const QString title = plaintext::line(status.title, TitleLimit);
        if (!status.problem.isEmpty())
            lines.append(title + QStringLiteral(": ") +
                         plaintext::line(status.problem, ProblemLimit));
        else if (status.checked)
            lines.append(
                tr("%1: %2 neu, %3 im Postfach").arg(title).arg(status.newCount).arg(status.total));
        else
            lines.append(tr("%1: noch nicht geprüft").arg(title));
    }
    return lines.isEmpty() ? QStringLiteral("Tarvolk") : lines.join(u'\n');
}

void TrayIcon::update(const QList<CheckScheduler::Status>& statuses, int newTotal)
{
    m_tray.setIcon(withCount(m_icon, newTotal));
    m_tray.setToolTip(toolTipOf(statuses));
    m_menu.clear();
    connect(m_menu.addAction(tr("Alle Konten prüfen")), &QAction::triggered, this,
            &TrayIcon::checkAllRequested);
    m_menu.addSeparator();
    for (const CheckScheduler::Status& status : statuses) {
        // A "&" in a title is a letter, not a mnemonic.
        QAction* account = m_menu.addAction(
            plaintext::line(status.title, TitleLimit).replace(u'&', QStringLiteral("&&")));
        connect(account, &QAction::triggered, this,
                [this, slot = status.slot] { emit accountRequested(slot); });
    }
    m_menu.addSeparator();
    connect(m_menu.addAction(tr("Über Tarvolk")), &QAction::triggered, this,
            &TrayIcon::aboutRequested);
    connect(m_menu.addAction(tr("Beenden")), &QAction::triggered, this, &TrayIcon::quitRequested);
}
