// Wildcard matching of text against patterns with '*' and '?', double-byte aware.
#pragma once

#include <string>
#include <string_view>

// Whether `text` matches `pattern`: '*' stands for any run of characters (none included),
// '?' for exactly one character (two bytes for a double-byte character), any other character
// for itself. An empty pattern matches everything. Bytes are compared as they are; callers
// fold case first when they want to.
bool WildcardMatch(std::string_view text, std::string_view pattern);

// Tests a text, or the lines of files, for containing a wildcard pattern.
class TMatch {
  public:
    // The text to test or, when SourceIsFile is set, a ";"-separated list of file names.
    const std::string& Source() const { return source_; }
    void SetSource(std::string_view source) { source_ = source; }

    bool SourceIsFile() const { return sourceIsFile_; }
    void SetSourceIsFile(bool isFile) { sourceIsFile_ = isFile; }

    // The pattern as given. It is kept as "*" + pattern + "*", so a match means "contains".
    std::string Pattern() const;
    void SetPattern(std::string_view pattern);

    // When false (the default) ASCII letters of both sides are upper-cased before matching;
    // bytes of double-byte characters are left alone.
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive) { caseSensitive_ = caseSensitive; }

    // Source contains the pattern; with SourceIsFile, some line of some listed file does.
    bool Matches() const;

    // Some line of the file contains the pattern. A file that cannot be read matches nothing.
    bool MatchesFile(const std::string& path) const;

  private:
    std::string Fold(std::string_view text) const;
    std::string FoldedPattern() const;
    bool MatchesText(std::string_view text, std::string_view foldedPattern) const;

    std::string source_;
    bool sourceIsFile_ = false;
    std::string pattern_ = "**";
    bool caseSensitive_ = false;
};
