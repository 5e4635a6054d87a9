// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for. Help, version and mistakes are answered on the terminal and
// need no display, so that they also work over ssh.
struct CommandLine {
    bool openWindow = false;
    int exitCode = 0;    // when the window is not opened
    QString configFile;  // absolute; empty when --config was not given
    bool hidden = false; // start in the tray, for an autostart entry
};

// Parses the arguments (the first is the program) and prints help, version or the mistake.
// A mistake gives exit code 2, as command-line programs do for wrong usage.
CommandLine readCommandLine(const QStringList& arguments);
