// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/tarvolkx.h"

#include "settings/inifile.h"

#include <QCoreApplication>

namespace TarvolkX {

QString AppPath;

QString ReadIniValue(QString fileName, const QString& section, const QString& key)
{
    if (!fileName.contains(u'.'))
        fileName += u".INI";
    if (!fileName.contains(u'/')) {
        QString folder = AppPath.isEmpty() ? QCoreApplication::applicationDirPath() : AppPath;
        if (!folder.endsWith(u'/'))
            folder += u'/';
        fileName = folder + fileName;
    }
    return ReadIniValue(readIniFile(fileName).document, section, key);
}

QString ReadIniValue(const IniDocument& settings, const QString& section, const QString& key,
                     const QString& fallback)
{
    QString buffer;
    const int count = lookupIniValue(section, key, fallback, buffer, MaxValueLength + 1, settings);
    return count < 1 ? QString() : buffer.left(count);
}

} // namespace TarvolkX
