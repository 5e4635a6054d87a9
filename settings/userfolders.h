// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QSaveFile;

// Tarvolk's folders below the XDG base directories: an unset or relative variable stands for its
// default below the home folder, as the XDG Base Directory rules say.
namespace UserFolders {

// $XDG_CACHE_HOME/tarvolk: what may be deleted at any time.
QString cache();
// $XDG_STATE_HOME/tarvolk: what should outlive a restart but is no setting.
QString state();

// Opens the file for writing, its folder made when missing; folder and file are the user's alone
// (0700, 0600), as they hold what the user's mail says. False when either fails.
bool openPrivately(QSaveFile& file);

} // namespace UserFolders
