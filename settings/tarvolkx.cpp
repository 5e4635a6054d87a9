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
    QString buffer;
    const int count = lookupIniValue(section, key, QString(), buffer, 256, fileName);
    return count < 1 ? QString() : buffer.left(count);
}

} // namespace TarvolkX
