// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringView>
#include <cmath>
#include <limits>

// The number at the start of a text, read the way the old settings files and servers expect:
// blanks, tabs and line feeds are skipped anywhere (also between digits), an optional sign,
// digits with at most one decimal point and an optional exponent, or &H / &O for hex and octal.
// Reading stops at the first character that cannot continue the number; no number gives 0.
double numberValue(QStringView text);

// Nearest whole number, an exact half going to the even neighbour (2.5 -> 2, 3.5 -> 4),
// clamped to the range of Int so that out-of-range values never overflow.
template <typename Int> Int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded <= static_cast<double>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (rounded >= static_cast<double>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(rounded);
}
