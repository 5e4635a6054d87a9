#include "settings/settingslocation.h"

#include <QDir>

IniFile findSettings(const QString& configFile, const QString& programFolder)
{
    if (!configFile.isEmpty())
        return readIniFile(configFile);
    return readIniFile(QDir(programFolder).filePath(QStringLiteral("TARVOLK.INI")));
}
