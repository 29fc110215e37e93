// The listings of an automatic import: which files count as new, in which order, that the
// hashed comparison finds what comparing every pair of names finds, and what ending a watch
// reports.
#include "util/Mbcs.h"
#include "watch/ImportListing.h"
#include "watch/ImportReport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using watch::TImportListing;
using watch::TListedFile;
using Paths = std::vector<std::string>;

namespace {

std::vector<TListedFile> Listed(const Paths& paths) {
    return {paths.begin(), paths.end()};
}

Paths PathsOf(const std::vector<TListedFile>& files) {
    Paths paths;
    for (const TListedFile& file : files)
        paths.push_back(file.path);
    return paths;
}

} // namespace

TEST(ImportListing, CollectsNewFilesOnceInTheOrderSeen) {
    TImportListing listing(Listed({"C:\\w\\old.txt", "C:\\w\\keep.lzh"}));
    EXPECT_EQ(2u, listing.InitialCount());
    listing.Update(Listed({"C:\\w\\old.txt", "C:\\w\\keep.lzh", "C:\\w\\b.zip", "C:\\w\\a.lzh"}));
    EXPECT_EQ((Paths{"C:\\w\\b.zip", "C:\\w\\a.lzh"}), PathsOf(listing.Collected()));
    // Deleted and copied in again: still collected once, where it was first seen.
    listing.Update(Listed({"C:\\w\\old.txt", "C:\\w\\keep.lzh", "C:\\w\\a.lzh"}));
    listing.Update(Listed({"C:\\w\\c.cab", "C:\\w\\old.txt", "C:\\w\\b.zip", "C:\\w\\a.lzh"}));
    EXPECT_EQ((Paths{"C:\\w\\b.zip", "C:\\w\\a.lzh", "C:\\w\\c.cab"}),
              PathsOf(listing.Collected()));
    EXPECT_EQ(4u, listing.Current().size());
}

TEST(ImportListing, NamesDifferingOnlyInCaseAreTheSameFile) {
    TImportListing listing(Listed({"C:\\w\\Old.TXT", "C:\\w\\\x82\x81.lzh"}));
    // The same files with other case, and a new name whose trail byte only differs in case.
    listing.Update(Listed({"c:\\W\\old.txt", "C:\\w\\\x82\x60.LZH", "C:\\w\\\x83\x61.lzh"}));
    EXPECT_EQ((Paths{"C:\\w\\\x83\x61.lzh"}), PathsOf(listing.Collected()));
    listing.Update(Listed({"C:\\w\\\x83\x41.lzh", "C:\\w\\\x83\x61.LZH"}));
    EXPECT_EQ((Paths{"C:\\w\\\x83\x61.lzh", "C:\\w\\\x83\x41.lzh"}), PathsOf(listing.Collected()));
}

// Names the code page cannot write: two that it shows alike ("a?.lzh") are two files, case is
// folded in every alphabet the file system folds, and no such name equals a written one.
TEST(ImportListing, NamesTheCodePageCannotWriteGoByTheirOwnCharacters) {
    auto own = [](const char* path, std::u16string name) {
        return TListedFile(path, std::move(name), true);
    };
    struct Row {
        TListedFile a, b;
        bool same;
    } rows[] = {
        {own("C:\\w\\A_~1.LZH", u"a\u2603.lzh"), own("C:\\w\\A_~2.LZH", u"a\u2605.lzh"), false},
        {own("C:\\w\\x", u"\u00c9t\u00e9.LZH"), own("C:\\w\\y", u"\u00e9T\u00c9.lzh"), true},
        {own("C:\\w\\x", u"\u0141\u0106\u0178\u040e\u03a3\uff21"),
         own("C:\\w\\y", u"\u0142\u0107\u00ff\u045e\u03c3\uff41"), true},
        {own("C:\\w\\x", u"\u00e4.lzh"), own("C:\\w\\y", u"a.lzh"), false},
        // A name with its own characters against a name written in the code page.
        {own("C:\\w\\AB", u"ab"), TListedFile("C:\\w\\ab"), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.a.path + " / " + row.b.path);
        EXPECT_EQ(row.same, watch::ListingKey(row.a) == watch::ListingKey(row.b));
    }
}

TEST(ImportListing, ARenamedFileCountsUnderItsNewName) {
    TImportListing listing(Listed({"C:\\w\\a.lzh"}));
    listing.Update(Listed({"C:\\w\\renamed.lzh"}));
    EXPECT_EQ((Paths{"C:\\w\\renamed.lzh"}), PathsOf(listing.Collected()));
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
        TImportListing listing(Listed(c.initial));
        for (const Paths& update : c.updates)
            listing.Update(Listed(update));
        listing.Finish();
        EXPECT_EQ(c.collected, PathsOf(listing.Collected()));
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
        TImportListing listing(Listed(previous));
        Paths expected;
        for (int step = 0; step < 4; ++step) {
            Paths current = list();
            for (const std::string& path : current)
                if (!Contains(previous, path) && !Contains(expected, path))
                    expected.push_back(path);
            listing.Update(Listed(current));
            previous = current;
        }
        EXPECT_EQ(expected, PathsOf(listing.Collected()));
    }
}

// The end of a watch: what is still there is counted, archives are handed over, archives that
// are gone and files that cannot be named are named in the report.
TEST(ImportReport, CountsWhatIsThereAndNamesWhatCannotBeImported) {
    const std::string handedOverOne =
        "取込数 : 1件\r\n\r\n there.lzh\r\n" + std::string(60, '-') + "\r\n\r\n";
    struct Row {
        const char* name;
        std::vector<TListedFile> collected;
        watch::TImportHandOver handOver;
        std::string text;
    } rows[] = {
        {"all gone",
         {TListedFile("C:\\w\\a.lzh"), TListedFile("C:\\w\\gone.tmp")},
         watch::TImportHandOver::Done,
         "取り込んだファイルはありません\r\n\r\n"
         "次の書庫は見つからないため取り込めませんでした。\r\n a.lzh"},
        {"no archive",
         {TListedFile("C:\\w\\there.txt"), TListedFile("C:\\w\\x?.zip", u"x\u2603.zip", false)},
         watch::TImportHandOver::Done,
         "取込数 : 2件\r\n取り込んだファイルに書庫と認識できるファイルはありません\r\n\r\n"
         "次のファイルは、名前にシフト JIS で表せない文字が含まれているため、取り込めません"
         "でした。\r\n x?.zip\r\nファイルの名前を変えてから、猫にドロップしてください。"},
        {"not started",
         {TListedFile("C:\\w\\there.lzh"), TListedFile("C:\\w\\b.lzh")},
         watch::TImportHandOver::CompanionNotStarted,
         handedOverOne +
             "書庫をMorvaに渡せませんでした。Morvaを起動できません。\r\n"
             "Pakico.exe と同じフォルダに Morva.exe があるかを確かめてください。\r\n\r\n"
             "次の書庫は見つからないため取り込めませんでした。\r\n b.lzh"},
        {"no list",
         {TListedFile("C:\\w\\there.lzh")},
         watch::TImportHandOver::ListNotWritten,
         handedOverOne +
             "書庫をMorvaに渡せませんでした。一時フォルダに書庫の一覧を書き込めません。\r\n"
             "一時フォルダ (環境変数 TEMP のフォルダ) に書き込めるか、そのドライブに空きが"
             "あるかを確かめてください。"},
    };
    watch::TImportChecks checks;
    checks.exists = [](const TListedFile& file) {
        return file.path.find("there") != std::string::npos || !file.opens;
    };
    checks.isArchive = [](const std::string& path) { return path.ends_with(".lzh"); };
    checks.namedAsArchive = [](const std::string& path) { return !path.ends_with(".tmp"); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const watch::TImportOutcome outcome = watch::SortCollected(row.collected, checks);
        EXPECT_EQ(row.text, watch::ImportReportText(outcome, row.handOver,
                                                    [](long long n) { return std::to_string(n); }));
    }
}
