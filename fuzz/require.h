// SPDX-FileCopyrightText: 2026 The Tarvolk developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: libFuzzer keeps the input that led here.
inline void require(bool condition, const char* promise)
{
    if (!condition) {
        std::fprintf(stderr, "Broken: %s\n", promise);
        std::abort();
    }
}
