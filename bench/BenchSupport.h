// What the benchmark programs share: the spread of repeated timings and the one line each
// measure prints, a ratio against the bare work on the same machine in the same run.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

struct Spread {
    double median = 0, min = 0, max = 0;
    std::size_t runs = 0;
};

inline Spread SpreadOf(std::vector<double> values) {
    Spread spread;
    if (values.empty())
        return spread;
    std::sort(values.begin(), values.end());
    spread.runs = values.size();
    spread.min = values.front();
    spread.max = values.back();
    const std::size_t mid = values.size() / 2;
    spread.median = values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
    return spread;
}

// "12.3 ms (11.9-14.0)": the median with the smallest and largest run.
inline std::string Describe(const Spread& spread, const char* unit) {
    char text[96];
    std::snprintf(text, sizeof text, "%.4g %s (%.4g-%.4g)", spread.median, unit, spread.min,
                  spread.max);
    return text;
}

// One measure's line:
//   P1 drop-to-start: 1.07x (goal <= 1.2x; drop 41.2 ms (..), bare WinExec 38.5 ms (..); median of
//   15)
// The script that runs the benchmarks counts the lines and those over their goal.
inline void Report(const char* id, const char* name, const Spread& measured, const Spread& bare,
                   double goal, const std::string& measuredLabel, const std::string& bareLabel,
                   const char* unit) {
    const double ratio = bare.median > 0 ? measured.median / bare.median : 0;
    // Two decimals, or two digits for a ratio too small for them (against a goal as small).
    char ratioText[32];
    std::snprintf(ratioText, sizeof ratioText, ratio >= 0.01 ? "%.2f" : "%.2g", ratio);
    std::printf("%s %s: %sx (goal <= %.3gx; %s %s, %s %s; median of %zu)\n", id, name, ratioText,
                goal, measuredLabel.c_str(), Describe(measured, unit).c_str(), bareLabel.c_str(),
                Describe(bare, unit).c_str(), std::min(measured.runs, bare.runs));
    std::fflush(stdout);
}

} // namespace bench
