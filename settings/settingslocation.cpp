// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/settingslocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString InXdgFolder = QStringLiteral("tarvolk/TARVOLK.INI");

} // namespace

QString perUserSettingsPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(InXdgFolder);
}

IniFile findSettings(const QString& configFile, const QString& programFolder)
{
    if (!configFile.isEmpty())
        return readIniFile(configFile);
    QStringList candidates{QDir(programFolder).filePath(QStringLiteral("TARVOLK.INI"))};
    // The per-user folder comes first, then the system folders, in their given order.
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        candidates << QDir(folder).filePath(InXdgFolder);
    for (const QString& path : candidates) {
        // Exists, not isFile: a FIFO or a device in the way is reported rather than passed over.
        if (QFileInfo::exists(path))
            return readIniFile(path);
    }
    return readIniFile(perUserSettingsPath());
}
