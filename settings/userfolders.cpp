// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/userfolders.h"

#include <QDir>

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

} // namespace UserFolders
