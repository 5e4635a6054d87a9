// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QtGlobal>

// The program's start-up, from exec to the window on screen (offscreen is fine), beside a cache
// folder that holds previews up to the whole budget.
namespace Startup {

// Run in the child: builds and shows the window as the program does, and tells when it is
// exposed. Returns the child's exit code.
int showWindow(const QString& programFolder);

// Run in the parent: fills the cache below xdgCacheHome, then starts this program as a child
// (with childArgument) and waits for it to tell that its window is shown. The time in ns, or -1.
qint64 measure(const QString& xdgCacheHome, const QString& childArgument, qint64& cacheBytes);

} // namespace Startup
