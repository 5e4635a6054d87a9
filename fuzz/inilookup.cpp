#include "fuzz/inilookup.h"

#include "fuzz/require.h"
#include "settings/inifile.h"

#include <QDir>
#include <QTemporaryFile>

int lookUpIniValue(const QByteArray& content, const QString& section, const QString& key,
                   const QString& defaultValue, QString& buffer, int bufferSize)
{
    static const QString folder =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryFile file(folder + QStringLiteral("/tarvolk-fuzz-XXXXXX.ini"));
    static const bool opened = file.open();
    require(opened, "a file for the settings can be made");
    require(file.resize(0) && file.seek(0) && file.write(content) == content.size() && file.flush(),
            "the settings can be written");
    return lookupIniValue(section, key, defaultValue, buffer, bufferSize, file.fileName());
}
