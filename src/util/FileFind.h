// Lists the files matching name patterns in start folders, optionally in subfolders too and
// optionally only files whose text contains a wildcard pattern.
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
    // entries and then those of its subfolders, depth first.
    const std::vector<std::string>& FilesFound() const { return filesFound_; }
    // The same, handed over without a copy; FilesFound is empty afterwards.
    std::vector<std::string> TakeFilesFound() { return std::move(filesFound_); }
    // The last Execute was stopped by OnFileFound.
    bool Aborted() const { return aborted_; }

    TFileFoundEvent OnFileFound;

    // Runs the search. Raises ESearchError; what was found before the error stays in
    // FilesFound. The process's current folder is never changed.
    void Execute();

  private:
    void SearchFolder(const std::string& folder, const std::string& pattern);
    void Consider(const std::string& path, const WIN32_FIND_DATAA& entry);

    std::vector<std::string> startDirs_;
    std::vector<std::string> patterns_;
    bool recursive_ = true;
    bool addDir_ = false;
    bool matchEnabled_ = false;
    std::string matchString_;
    bool matchCaseSensitive_ = false;
    TMatch match_;
    std::vector<std::string> filesFound_;
    bool aborted_ = false;
};
