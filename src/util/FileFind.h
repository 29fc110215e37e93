// Lists the files matching name patterns in start folders, optionally in subfolders too and
// optionally only files whose text contains a wildcard pattern. Names the code page cannot
// write are found as well, by their short forms.
#pragma once

#include "util/Errors.h"
#include "util/Match.h"

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The search could not go on: a start folder cannot be entered (the platform's message), or
// there are too many files to keep ("Trop de fichiers.").
class ESearchError : public EAppError {
  public:
    using EAppError::EAppError;
};

class TFileFind {
  public:
    // Called for each entry about to be added, with its full path; setting `abort` stops the
    // whole search and leaves that entry out.
    using TFileFoundEvent = std::function<void(TFileFind& sender, const std::string& path,
                                               const WIN32_FIND_DATAA& entry, bool& abort)>;

    // Start folders separated by ";". Each is kept without a trailing separator, except a
    // drive root ("C:\") and the root of the current drive ("\").
    std::string StartDir() const;
    void SetStartDir(std::string_view folders);
    // One start folder, taken whole: a ';' in its name does not split it.
    void SetSingleStartDir(std::string_view folder);

    // Name patterns separated by ";", with the platform's wildcards.
    std::string FilePattern() const;
    void SetFilePattern(std::string_view patterns);

    bool Recursive() const { return recursive_; }
    void SetRecursive(bool recursive) { recursive_ = recursive; }
    bool AddDir() const { return addDir_; }
    void SetAddDir(bool addDir) { addDir_ = addDir; }

    // Content filter: with MatchEnabled and a non-empty MatchString only files having a line
    // that contains MatchString (wildcards allowed) are listed.
    bool MatchEnabled() const { return matchEnabled_; }
    void SetMatchEnabled(bool enabled) { matchEnabled_ = enabled; }
    const std::string& MatchString() const { return matchString_; }
    void SetMatchString(std::string_view text) { matchString_ = text; }
    bool MatchCaseSensitive() const { return matchCaseSensitive_; }
    void SetMatchCaseSensitive(bool caseSensitive) { matchCaseSensitive_ = caseSensitive; }

    // Full paths in the order found: for each start folder, for each pattern, the folder's
    // entries and then those of its subfolders, depth first. A name the code page cannot write
    // exactly is given by its short form; one without a short form that the code page writes
    // is shown with the code page's '?' and opens nothing (see OtherNames).
    const std::vector<std::string>& FilesFound() const { return filesFound_; }
    // The same, handed over without a copy; FilesFound is empty afterwards.
    std::vector<std::string> TakeFilesFound() { return std::move(filesFound_); }

    // An entry of FilesFound that is not its long name in the code page: its own name when the
    // code page cannot write it (empty when only a folder above it is unwritten), and whether
    // the path opens it (a short form does, a name shown with '?' does not).
    struct TOtherName {
        std::size_t index;
        std::wstring ownName;
        bool opens;
    };
    // In the order of FilesFound; handed over with TakeOtherNames.
    const std::vector<TOtherName>& OtherNames() const { return otherNames_; }
    std::vector<TOtherName> TakeOtherNames() { return std::move(otherNames_); }
    // The last Execute was stopped by OnFileFound.
    bool Aborted() const { return aborted_; }

    TFileFoundEvent OnFileFound;

    // Runs the search. Raises ESearchError; what was found before the error stays in
    // FilesFound. The process's current folder is never changed.
    void Execute();

  private:
    // A folder being searched: its path as the code page writes it (see FilesFound) and in
    // full, each with a trailing separator, and whether the former opens it.
    struct TSearched {
        std::string path;
        std::wstring widePath;
        bool opens;
    };
    void SearchFolder(const TSearched& folder, const std::wstring& pattern);
    void Consider(const TSearched& folder, const WIN32_FIND_DATAW& entry);

    std::vector<std::string> startDirs_;
    std::vector<std::string> patterns_;
    bool recursive_ = true;
    bool addDir_ = false;
    bool matchEnabled_ = false;
    std::string matchString_;
    bool matchCaseSensitive_ = false;
    TMatch match_;
    std::vector<std::string> filesFound_;
    std::vector<TOtherName> otherNames_;
    bool aborted_ = false;
};
