// Prints how long the wildcard matcher takes on ordinary names, on long lines, and on the
// many-star patterns that would take exponential time with naive backtracking.
#include "util/Match.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace {

// Runs `body` `rounds` times and prints the CPU time per round. (<chrono> does not compile
// with the Shift-JIS execution character set; clock() does.)
template <typename Body> void Measure(const char* label, long rounds, Body body) {
    long hits = 0;
    std::clock_t start = std::clock();
    for (long i = 0; i < rounds; ++i)
        hits += body();
    double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    std::printf("%-44s %10.1f us/op  (%ld ops, %ld matched)\n", label, seconds * 1e6 / rounds,
                rounds, hits);
}

} // namespace

int main() {
    const std::string name = "C:\\DOWNLOAD\\ARCHIVES\\SAMPLE-2024-06.LZH";
    Measure("name against *.LZH", 1000000, [&] { return WildcardMatch(name, "*.LZH"); });
    Measure("name against *ARC?IVES*06.L?H", 1000000,
            [&] { return WildcardMatch(name, "*ARC?IVES*06.L?H"); });

    std::string line;
    for (int i = 0; i < 25; ++i)
        line += "text \x95\x5c\x8e\xa6 line ";
    TMatch contains;
    contains.SetPattern("needle*haystack");
    contains.SetSource(line);
    Measure("255-byte line, contains needle*haystack", 100000, [&] { return contains.Matches(); });

    for (std::size_t length : {1000u, 10000u, 100000u}) {
        const std::string text(length, 'a');
        char label[64];
        std::snprintf(label, sizeof label, "*a*a*a*a*a*a*a*a*b against %zu x 'a'", length);
        Measure(label, length >= 100000 ? 10 : 100,
                [&] { return WildcardMatch(text, "*a*a*a*a*a*a*a*a*b"); });
    }
    // The slowest case of the single restart point: each restart rescans the pattern.
    const std::string text(10000, 'a');
    Measure("*aaaaaaaaaaaaaaab against 10000 x 'a'", 100,
            [&] { return WildcardMatch(text, "*aaaaaaaaaaaaaaab"); });
    return 0;
}
