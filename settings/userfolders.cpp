// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/userfolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString below(const char* variable, const QString& fallback)
{
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + fallback;
    return base + QStringLiteral("/tarvolk");
}

} // namespace

namespace UserFolders {

QString cache()
{
    return below("XDG_CACHE_HOME", QStringLiteral("/.cache"));
}

QString state()
{
    return below("XDG_STATE_HOME", QStringLiteral("/.local/state"));
}

bool openPrivately(QSaveFile& file)
{
    const QString folder = QFileInfo(file.fileName()).path();
    if (!QDir().mkpath(folder))
        return false;
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

} // namespace UserFolders
