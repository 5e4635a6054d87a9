// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/commandline.h"
#include "app/translations.h"
#include "window/frmtarvolk.h"

#include <QApplication>

namespace {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarvolk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVOLK_VERSION));
}

} // namespace

int main(int argc, char* argv[])
{
    CommandLine command;
    {
        // Help, version and mistakes must not need a display: nothing graphical exists yet.
        QCoreApplication core(argc, argv);
        nameApplication();
        installTranslations(core);
        command = readCommandLine(QCoreApplication::arguments());
    }
    if (!command.openWindow)
        return command.exitCode;

    QApplication app(argc, argv);
    nameApplication();
    installTranslations(app);
    // The app id: Wayland's window class, and the name of the menu entry and icon that docks
    // and task bars tie the window to.
    QGuiApplication::setDesktopFileName(QStringLiteral("de.tarvolk.tarvolk"));

    frmTarvolk form(QCoreApplication::applicationDirPath(), command.configFile);
    QApplication::setWindowIcon(form.windowIcon());
    // Watching from the tray, Tarvolk runs on with its window closed, until it is told to quit.
    QApplication::setQuitOnLastWindowClosed(!form.watchesFromTray());
    if (!command.hidden || !form.watchesFromTray())
        form.show();
    return app.exec();
}
