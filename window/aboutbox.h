// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class QWidget;

// "Über Tarvolk": the version, the licence, the settings file in use and where the manual is,
// in a box through the message-box seam.
namespace AboutBox {

// settingsPath: the settings file the program read, or the one it looked for.
QString detail(const QString& settingsPath, bool read);
void show(QWidget* parent, const QString& settingsPath, bool read);

} // namespace AboutBox
