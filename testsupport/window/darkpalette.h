// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPalette>

namespace windowdriver {

// A dark colour scheme as desktops offer one: light text on dark grey.
QPalette darkPalette();

} // namespace windowdriver
