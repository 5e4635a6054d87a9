// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/inidocument.h"

#include <QString>

// The settings file reader: where the program looks for its settings and how it reads a value.
namespace TarvolkX {

// The program folder, set at start-up; a settings file named without a folder is looked for here.
extern QString AppPath;

// A value read is cut to this many characters.
constexpr int MaxValueLength = 255;

// The value stored under key in section of the settings file, or the empty string.
// A name without "." gets ".INI"; a name without "/" is looked for in AppPath (or, while that is
// still empty, in the program folder). At most MaxValueLength characters of a value are returned.
QString ReadIniValue(QString fileName, const QString& section, const QString& key);

// The same rules for a settings file read once, so that many values cost one reading.
// A missing key reads as fallback.
QString ReadIniValue(const IniDocument& settings, const QString& section, const QString& key,
                     const QString& fallback = QString());

} // namespace TarvolkX
