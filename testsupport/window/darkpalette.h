#pragma once

#include <QPalette>

namespace windowdriver {

// A dark colour scheme as desktops offer one: light text on dark grey.
QPalette darkPalette();

} // namespace windowdriver
