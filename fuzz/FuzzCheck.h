// The fuzz targets' check of a property: a failed one ends the run like a crash, so that
// libFuzzer keeps the input.
#pragma once

#include <cstdlib>

inline void Check(bool condition) {
    if (!condition)
        std::abort();
}
