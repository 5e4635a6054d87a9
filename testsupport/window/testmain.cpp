// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main of a folder's test program with windows: the application as every window test needs
// it (what QTEST_MAIN sets up, the program's name, one style that draws the same everywhere).
#include "testsupport/testregistry.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setApplicationName(QStringLiteral("Tarvolk"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    return testregistry::run(argc, argv);
}
