#pragma once

#include <QByteArray>
#include <QString>

// One lookup of the settings reader in the given file content. The reader takes a path, so the
// content goes through a file in memory (/dev/shm where there is one).
int lookUpIniValue(const QByteArray& content, const QString& section, const QString& key,
                   const QString& defaultValue, QString& buffer, int bufferSize);
