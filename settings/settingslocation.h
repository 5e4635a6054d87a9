#pragma once

#include "settings/inifile.h"

#include <QString>

// Finds and reads the settings file: the file given with --config, else TARVOLK.INI in the
// program folder.
IniFile findSettings(const QString& configFile, const QString& programFolder);
