// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/windowmemory.h"

#include "settings/userfolders.h"
#include "window/listcolumns.h"
#include "window/windowlayout.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

const QString SizeKey = QStringLiteral("window/size");
const QString MaximizedKey = QStringLiteral("window/maximized");
const QString ListPartKey = QStringLiteral("window/listPart");

} // namespace

QString WindowMemory::defaultPath()
{
    return UserFolders::state() + QStringLiteral("/window.ini");
}

WindowMemory::WindowMemory(QString path) : m_path(std::move(path)) {}

void WindowMemory::restore(QWidget& window, WindowLayout& layout, ListColumns& columns) const
{
    const QSettings state(m_path, QSettings::IniFormat);
    const QSize kept = state.value(SizeKey).toSize();
    // A size from a larger screen, or from a hand-edited file, still fits this one.
    const QSize screen = window.screen()->availableSize();
    if (kept.isValid())
        window.resize(kept.boundedTo(screen).expandedTo(window.minimumSize()));
    else
        layout.openRoomy(columns.fullWidth());
    if (state.value(MaximizedKey).toBool())
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    bool valid = false;
    const double listPart = state.value(ListPartKey).toDouble(&valid);
    if (valid && listPart >= 0.0 && listPart <= 1.0)
        layout.setListPart(listPart);
    columns.restore(state);
}

void WindowMemory::save(const QWidget& window, const WindowLayout& layout,
                        const ListColumns& columns) const
{
    QDir().mkpath(QFileInfo(m_path).path());
    QSettings state(m_path, QSettings::IniFormat);
    const bool maximized = window.isMaximized();
    const QSize normal = window.normalGeometry().size();
    state.setValue(SizeKey, maximized && normal.isValid() ? normal : window.size());
    state.setValue(MaximizedKey, maximized);
    state.setValue(ListPartKey, layout.listPart());
    columns.save(state);
}
