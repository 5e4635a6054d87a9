// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/aboutbox.h"

#include "window/messagebox.h"

#include <QCoreApplication>

namespace AboutBox {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(AboutBox)
};

} // namespace

QString detail(const QString& settingsPath, bool read)
{
    return Texts::tr(
               "Zeigt, was in einem POP3-Postfach liegt, ohne ganze Nachrichten zu laden.\n\n"
               "Lizenz: GNU General Public License, Version 3 oder später (GPL-3.0-or-later).\n"
               "%1\n"
               "Handbuch: man tarvolk")
        .arg(read ? Texts::tr("Einstellungen: %1").arg(settingsPath)
                  : Texts::tr("Einstellungen: keine (erwartet in %1)").arg(settingsPath));
}

void show(QWidget* parent, const QString& settingsPath, bool read)
{
    MessageBox::show(parent, Texts::tr("Über Tarvolk"),
                     QStringLiteral("Tarvolk %1").arg(QCoreApplication::applicationVersion()),
                     detail(settingsPath, read));
}

} // namespace AboutBox
