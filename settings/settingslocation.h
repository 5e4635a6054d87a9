// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/inifile.h"

#include <QString>

// Finds and reads the settings file, the first that exists of:
// the file given with --config (then no other place is looked at); TARVOLK.INI in the program
// folder, so that a portable copy keeps its settings beside it; tarvolk/TARVOLK.INI in
// $XDG_CONFIG_HOME (~/.config); tarvolk/TARVOLK.INI in each folder of $XDG_CONFIG_DIRS (/etc/xdg).
// When none exists, the result is Missing and names the per-user file, the one to create.
IniFile findSettings(const QString& configFile, const QString& programFolder);

// $XDG_CONFIG_HOME/tarvolk/TARVOLK.INI.
QString perUserSettingsPath();
