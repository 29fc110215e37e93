// The listings of an automatic import: which files count as new, in which order, and that
// the hashed comparison finds what comparing every pair of names finds.
#include "util/Mbcs.h"
#include "watch/ImportListing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using watch::TImportListing;
using Paths = std::vector<std::string>;

TEST(ImportListing, CollectsNewFilesOnceInTheOrderSeen) {
    TImportListing listing({"C:\\w\\old.txt", "C:\\w\\keep.lzh"});
    EXPECT_EQ(2u, listing.InitialCount());
    listing.Update({"C:\\w\\old.txt", "C:\\w\\keep.lzh", "C:\\w\\b.zip", "C:\\w\\a.lzh"});
    EXPECT_EQ((Paths{"C:\\w\\b.zip", "C:\\w\\a.lzh"}), listing.Collected());
    // Deleted and copied in again: still collected once, where it was first seen.
    listing.Update({"C:\\w\\old.txt", "C:\\w\\keep.lzh", "C:\\w\\a.lzh"});
    listing.Update({"C:\\w\\c.cab", "C:\\w\\old.txt", "C:\\w\\b.zip", "C:\\w\\a.lzh"});
    EXPECT_EQ((Paths{"C:\\w\\b.zip", "C:\\w\\a.lzh", "C:\\w\\c.cab"}), listing.Collected());
    EXPECT_EQ(4u, listing.Current().size());
}

TEST(ImportListing, NamesDifferingOnlyInCaseAreTheSameFile) {
    TImportListing listing({"C:\\w\\Old.TXT", "C:\\w\\\x82\x81.lzh"});
    // The same files with other case, and a new name whose trail byte only differs in case.
    listing.Update({"c:\\W\\old.txt", "C:\\w\\\x82\x60.LZH", "C:\\w\\\x83\x61.lzh"});
    EXPECT_EQ((Paths{"C:\\w\\\x83\x61.lzh"}), listing.Collected());
    listing.Update({"C:\\w\\\x83\x41.lzh", "C:\\w\\\x83\x61.LZH"});
    EXPECT_EQ((Paths{"C:\\w\\\x83\x61.lzh", "C:\\w\\\x83\x41.lzh"}), listing.Collected());
}

TEST(ImportListing, ARenamedFileCountsUnderItsNewName) {
    TImportListing listing({"C:\\w\\a.lzh"});
    listing.Update({"C:\\w\\renamed.lzh"});
    EXPECT_EQ((Paths{"C:\\w\\renamed.lzh"}), listing.Collected());
}

TEST(ImportListing, FinishTakesTheRestOnlyWhenFilesWentUncounted) {
    struct Case {
        Paths initial;
        std::vector<Paths> updates;
        Paths collected;
    } cases[] = {
        // Every new file was seen: nothing more.
        {{"C:\\w\\1"}, {{"C:\\w\\1", "C:\\w\\2"}}, {"C:\\w\\2"}},
        // Nothing changed.
        {{"C:\\w\\1"}, {}, {}},
        // Files went away: the folder did not gain.
        {{"C:\\w\\1", "C:\\w\\2"}, {{"C:\\w\\3"}}, {"C:\\w\\3"}},
    };
    for (const Case& c : cases) {
        TImportListing listing(c.initial);
        for (const Paths& update : c.updates)
            listing.Update(update);
        listing.Finish();
        EXPECT_EQ(c.collected, listing.Collected());
    }
}

namespace {

// Case-insensitive equality name by name, as a look-up in a plain list does it.
bool SameName(const std::string& a, const std::string& b) {
    return mbcs::FileNameUpper(a) == mbcs::FileNameUpper(b);
}

bool Contains(const Paths& list, const std::string& path) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& other) { return SameName(other, path); });
}

} // namespace

TEST(ImportListing, AgreesWithComparingEveryPair) {
    std::mt19937 random(42);
    const char* letters[] = {"a", "A", "\x82\x81", "\x82\x60", "\x83\x61", "\x83\x41", "b"};
    auto name = [&] {
        std::string path = "C:\\w\\";
        for (int i = 0; i < 3; ++i)
            path += letters[random() % 7];
        return path;
    };
    for (int round = 0; round < 50; ++round) {
        auto list = [&] {
            Paths paths;
            for (int i = 0, n = int(random() % 12); i < n; ++i) {
                std::string path = name();
                if (!Contains(paths, path))
                    paths.push_back(path);
            }
            return paths;
        };
        Paths previous = list();
        TImportListing listing(previous);
        Paths expected;
        for (int step = 0; step < 4; ++step) {
            Paths current = list();
            for (const std::string& path : current)
                if (!Contains(previous, path) && !Contains(expected, path))
                    expected.push_back(path);
            listing.Update(current);
            previous = current;
        }
        EXPECT_EQ(expected, listing.Collected());
    }
}
