// The wildcard matcher, the contains-test built on it, and splitting and joining lists.
#include "util/BrkApart.h"
#include "util/Match.h"
#include "util/Mbcs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

namespace {

// Full backtracking, character by character: each '*' that is not last tries the rest of the
// pattern at every position from the current one to the end, the first success winning.
bool BacktrackingMatch(std::string_view text, std::size_t t, std::string_view pattern,
                       std::size_t p) {
    while (p < pattern.size()) {
        if (pattern[p] == '*') {
            if (p + 1 == pattern.size())
                return true;
            for (std::size_t i = t;; i = mbcs::NextChar(text, i)) {
                if (BacktrackingMatch(text, i, pattern, p + 1))
                    return true;
                if (i >= text.size())
                    return false;
            }
        }
        if (t >= text.size())
            return false;
        std::size_t tNext = mbcs::NextChar(text, t);
        std::size_t pNext = mbcs::NextChar(pattern, p);
        if (pattern[p] != '?' && text.substr(t, tNext - t) != pattern.substr(p, pNext - p))
            return false;
        t = tNext;
        p = pNext;
    }
    return t == text.size();
}

bool ReferenceMatch(std::string_view text, std::string_view pattern) {
    return pattern.empty() || BacktrackingMatch(text, 0, pattern, 0);
}

std::string Join(const std::vector<std::string>& pieces) {
    std::string out;
    for (const std::string& piece : pieces)
        out += piece;
    return out;
}

// A temporary file removed at the end of the test.
class TempFile {
  public:
    explicit TempFile(const std::string& bytes) {
        static int counter = 0;
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder && *folder ? folder : "/tmp") + "/pakico_match_" +
                std::to_string(std::random_device{}()) + "_" + std::to_string(++counter);
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        EXPECT_NE(nullptr, f);
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

} // namespace

TEST(Match, StarAndQuestionMark) {
    EXPECT_TRUE(WildcardMatch("AXXB", "A*B"));
    EXPECT_TRUE(WildcardMatch("AB", "A*B"));
    EXPECT_FALSE(WildcardMatch("AXXBC", "A*B"));
    EXPECT_FALSE(WildcardMatch("AC", "A?C"));
    EXPECT_TRUE(WildcardMatch("ABC", "A?C"));
    EXPECT_TRUE(WildcardMatch("anything", ""));
    EXPECT_TRUE(WildcardMatch("", ""));
    EXPECT_TRUE(WildcardMatch("", "*"));
    EXPECT_TRUE(WildcardMatch("", "**"));
    EXPECT_FALSE(WildcardMatch("", "?"));
    EXPECT_FALSE(WildcardMatch("a", "b"));
    EXPECT_TRUE(WildcardMatch("abcabd", "*abd"));
    EXPECT_FALSE(WildcardMatch("ab", "ab?"));
}

TEST(Match, DoubleByteCharactersAreOneCharacter) {
    // "ア" is 83 41; "表" is 95 5C, whose second byte equals '\\'.
    EXPECT_TRUE(WildcardMatch("A\x83\x41"
                              "C",
                              "A?C"));
    EXPECT_FALSE(WildcardMatch("A\x83\x41"
                               "C",
                               "A??C"));
    EXPECT_TRUE(WildcardMatch("\x83\x41", "\x83\x41"));
    EXPECT_FALSE(WildcardMatch("\x95\x5c", "*\\"));
    EXPECT_FALSE(WildcardMatch("\x95\x5c", "*\\*"));
    EXPECT_TRUE(WildcardMatch("\x95\x5c\\", "*\\"));
    // A star never stops between the two bytes of a character.
    EXPECT_FALSE(WildcardMatch("\x83\x41", "*A"));
}

TEST(Match, PatternMeansContains) {
    TMatch match;
    match.SetPattern("A*B");
    EXPECT_EQ("A*B", match.Pattern());
    match.SetSource("xxAyyBzz");
    EXPECT_TRUE(match.Matches());
    match.SetSource("xxByyAzz");
    EXPECT_FALSE(match.Matches());
    match.SetPattern("");
    EXPECT_EQ("", match.Pattern());
    match.SetSource("");
    EXPECT_TRUE(match.Matches());
}

TEST(Match, PatternEndingInHalfACharacterStillMeansContains) {
    // A lead byte (81) at the end of the pattern is one character, not the start of "81 2A".
    struct Case {
        const char* source;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"ab\x81", "b\x81", true},  {"ab\x81", "\x81", true},      {"a\x81*", "a\x81", false},
        {"a\x81*", "a\x81*", true}, {"a\x81\x41", "a\x81", false},
    };
    for (const Case& c : cases) {
        TMatch match;
        match.SetSource(c.source);
        match.SetPattern(c.pattern);
        EXPECT_EQ(c.matches, match.Matches()) << c.source << " / " << c.pattern;
        EXPECT_EQ(c.pattern, match.Pattern());
    }
}

TEST(Match, CaseFoldingLeavesTrailBytesAlone) {
    TMatch match;
    match.SetSource("Hello World");
    match.SetPattern("o w");
    EXPECT_TRUE(match.Matches());
    match.SetCaseSensitive(true);
    EXPECT_FALSE(match.Matches());
    match.SetPattern("o W");
    EXPECT_TRUE(match.Matches());

    // 83 61 ("ヂ") must not fold into 83 41 ("ア"), in the text or in the pattern.
    match.SetCaseSensitive(false);
    match.SetSource("x\x83\x61y");
    match.SetPattern("\x83\x41");
    EXPECT_FALSE(match.Matches());
    match.SetPattern("\x83\x61");
    EXPECT_TRUE(match.Matches());
    match.SetSource("x\x83\x41y");
    EXPECT_FALSE(match.Matches());
}

TEST(Match, SameAnswersAsFullBacktracking) {
    std::mt19937 random(20240611);
    const std::vector<std::string> textPieces = {"a",        "b",        "A",       "\\",
                                                 "\x83\x41", "\x95\x5c", "\x83\x61"};
    const std::vector<std::string> patternPieces = {"a", "b", "\\", "\x83\x41", "\x95\x5c",
                                                    "*", "*", "?",  "?"};
    int matched = 0;
    for (int round = 0; round < 30000; ++round) {
        std::vector<std::string> text, pattern;
        for (int n = random() % 9; n > 0; --n)
            text.push_back(textPieces[random() % textPieces.size()]);
        for (int n = random() % 7; n > 0; --n)
            pattern.push_back(patternPieces[random() % patternPieces.size()]);
        std::string t = Join(text), p = Join(pattern);
        // Now and then a lead byte with nothing after it ends the text.
        if (round % 13 == 0)
            t += '\x83';
        bool expected = ReferenceMatch(t, p);
        matched += expected;
        ASSERT_EQ(expected, WildcardMatch(t, p)) << "text '" << t << "' pattern '" << p << "'";
    }
    // Both answers occur often enough for the comparison to mean something.
    EXPECT_GT(matched, 3000);
    EXPECT_LT(matched, 27000);
}

TEST(Match, ManyStarsAnswerAtOnce) {
    const std::string text(20000, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*b";
    // (<chrono> cannot be compiled for the Shift-JIS execution character set; clock() can.)
    std::clock_t start = std::clock();
    EXPECT_FALSE(WildcardMatch(text, pattern));
    EXPECT_TRUE(WildcardMatch(text + "b", pattern));
    TMatch match;
    match.SetSource(text);
    match.SetPattern("a*a*a*a*a*a*a*a*b");
    EXPECT_FALSE(match.Matches());
    // Backtracking would need about 20000^8 steps; the bound is only against that.
    EXPECT_LT(double(std::clock() - start) / CLOCKS_PER_SEC, 10.0);
}

TEST(Match, LinesOfListedFiles) {
    TempFile first("nothing here\r\nor here\n");
    TempFile second("line one\r\nthe Needle is\r\nlast line without end");
    TempFile third("ends in a lone cr\rneedle after it");
    TMatch match;
    match.SetSourceIsFile(true);
    match.SetPattern("needle");
    match.SetSource(first.path());
    EXPECT_FALSE(match.Matches());
    match.SetSource(first.path() + ";" + second.path());
    EXPECT_TRUE(match.Matches());
    match.SetSource(third.path());
    EXPECT_TRUE(match.Matches());
    // A pattern never spans a line end.
    match.SetPattern("here*or");
    match.SetSource(first.path());
    EXPECT_FALSE(match.Matches());
    match.SetPattern("without end");
    match.SetSource(second.path());
    EXPECT_TRUE(match.Matches());
    // A missing file matches nothing; the other files are still read.
    match.SetPattern("needle");
    match.SetSource(first.path() + ".missing;" + third.path());
    EXPECT_TRUE(match.Matches());
    EXPECT_FALSE(match.MatchesFile(first.path() + ".missing"));
}

TEST(Match, EmptyFileHasNoLines) {
    TempFile empty("");
    TMatch match;
    match.SetPattern("");
    EXPECT_FALSE(match.MatchesFile(empty.path()));
    TempFile oneEmptyLine("\r\n");
    EXPECT_TRUE(match.MatchesFile(oneEmptyLine.path()));
}

TEST(BrkApart, SplitSkipsEmptyPartsUnlessAllowed) {
    TBrkApart parts;
    parts.SetBreakString(";");
    parts.SetBaseString("a;;b");
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), parts.StringList());
    parts.SetAllowEmptyString(true);
    parts.SetBaseString("a;;b");
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), parts.StringList());
    parts.SetBaseString("a;");
    EXPECT_EQ((std::vector<std::string>{"a", ""}), parts.StringList());
    parts.SetBaseString("");
    EXPECT_EQ((std::vector<std::string>{""}), parts.StringList());
    parts.SetAllowEmptyString(false);
    parts.SetBaseString("");
    EXPECT_TRUE(parts.StringList().empty());
    parts.SetBaseString(";x;");
    EXPECT_EQ((std::vector<std::string>{"x"}), parts.StringList());
}

TEST(BrkApart, LongerSeparatorsAndTrailBytes) {
    TBrkApart parts;
    parts.SetBreakString("<>");
    parts.SetBaseString("one<>two<three<>");
    EXPECT_EQ((std::vector<std::string>{"one", "two<three"}), parts.StringList());
    // The 5C trail byte of "表" is no separator; the '\\' after it is.
    parts.SetBreakString("\\");
    parts.SetBaseString("\x95\x5c"
                        "a\\b");
    EXPECT_EQ((std::vector<std::string>{"\x95\x5c"
                                        "a",
                                        "b"}),
              parts.StringList());
}

TEST(BrkApart, JoinRules) {
    TBrkApart parts;
    EXPECT_EQ("", parts.BaseString());
    parts.StringList() = {"a", "", "b"};
    EXPECT_EQ("a;b", parts.BaseString());
    parts.SetAllowEmptyString(true);
    EXPECT_EQ("a;;b", parts.BaseString());
    // The first part is always written, even when empty.
    parts.SetAllowEmptyString(false);
    parts.StringList() = {"", "x"};
    EXPECT_EQ(";x", parts.BaseString());
    parts.StringList() = {""};
    EXPECT_EQ("", parts.BaseString());
    parts.SetBreakString(", ");
    parts.StringList() = {"x", "y", "z"};
    EXPECT_EQ("x, y, z", parts.BaseString());
    // Splitting the joined form gives the parts back.
    parts.SetBaseString(parts.BaseString());
    EXPECT_EQ((std::vector<std::string>{"x", "y", "z"}), parts.StringList());
}
