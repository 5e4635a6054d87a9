// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/inifile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(IniFile)
};

} // namespace

QString IniFile::problem() const
{
    switch (status) {
    case Status::NotRegular:
        return Texts::tr(
                   "Die Einstellungsdatei %1 wurde nicht gelesen: sie ist keine gewöhnliche Datei.")
            .arg(path);
    case Status::TooLarge:
        return Texts::tr("Die Einstellungsdatei %1 wurde nicht gelesen: sie ist größer als 1 MB.")
            .arg(path);
    case Status::Unreadable:
        return Texts::tr(
                   "Die Einstellungsdatei %1 kann nicht gelesen werden: keine Leseberechtigung "
                   "oder ein Lesefehler.")
            .arg(path);
    case Status::Read:
    case Status::Missing:
        break;
    }
    return QString();
}

IniFile readIniFile(const QString& path)
{
    IniFile ini;
    ini.path = path;
    const QFileInfo info(path);
    if (!info.exists()) {
        ini.status = IniFile::Status::Missing;
        return ini;
    }
    if (!info.isFile()) {
        ini.status = IniFile::Status::NotRegular;
        return ini;
    }
    if (info.size() > IniFile::MaxSize) {
        ini.status = IniFile::Status::TooLarge;
        return ini;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ini.status = IniFile::Status::Unreadable;
        return ini;
    }
    // The file may have grown since it was looked at; one byte more than allowed tells.
    const QByteArray bytes = file.read(IniFile::MaxSize + 1);
    if (file.error() != QFileDevice::NoError) {
        ini.status = IniFile::Status::Unreadable;
        return ini;
    }
    if (bytes.size() > IniFile::MaxSize) {
        ini.status = IniFile::Status::TooLarge;
        return ini;
    }
    ini.status = IniFile::Status::Read;
    ini.document = parseIni(bytes);
    return ini;
}

int lookupIniValue(const QString& section, const QString& key, const QString& defaultValue,
                   QString& buffer, int bufferSize, const IniDocument& document)
{
    buffer = document.value(section, key).value_or(defaultValue).left(qMax(0, bufferSize - 1));
    // Never hand out half of a surrogate pair.
    if (!buffer.isEmpty() && buffer.back().isHighSurrogate())
        buffer.chop(1);
    return int(buffer.size());
}
