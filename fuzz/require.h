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
