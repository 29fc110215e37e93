// The listings an automatic import compares: the folder's files at the last look and at this
// one, and the files that appeared in between, in the order seen. Names are told apart as the
// file system tells them (case folded, double-byte aware), through hashed keys, so that a
// step costs time in proportion to the folder's size. All listings are of one folder.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

namespace watch {

// A file of the watched folder as a listing holds it.
struct TListedFile {
    TListedFile(std::string path) : path(std::move(path)) {}
    TListedFile(std::string path, std::u16string ownName, bool opens)
        : path(std::move(path)), ownName(std::move(ownName)), opens(opens) {}

    // The path the companion is given: the folder and the file's name, or the name's short
    // form when the code page cannot write the name. A file with neither is shown by its name
    // as the code page writes it ('?' for what it cannot), which opens nothing.
    std::string path;
    // The file's own name when the code page cannot write it; empty otherwise.
    std::u16string ownName;
    // `path` opens the file.
    bool opens = true;

    bool operator==(const TListedFile&) const = default;
};

// What a listed file is told apart by: its name as the file system folds case. A name the code
// page cannot write goes by its own characters, never by the '?' or short form the code page
// gives it, and never equals the key of a name the code page writes.
std::string ListingKey(const TListedFile& file);

class TImportListing {
  public:
    // Watching starts: the folder's files now are the last look.
    explicit TImportListing(std::vector<TListedFile> listing);

    // The number of files when watching started.
    std::size_t InitialCount() const { return initialCount_; }

    // A change was seen and the folder listed again: each file of `listing`, in order, that
    // was neither in the last look nor collected yet is collected. `listing` is the last look
    // from now on.
    void Update(std::vector<TListedFile> listing);

    // Watching ends: when fewer files were collected than the folder gained, every file of
    // the last look not yet collected is collected as well.
    void Finish();

    const std::vector<TListedFile>& Collected() const { return collected_; }
    const std::vector<TListedFile>& Current() const { return current_; }

  private:
    std::size_t initialCount_ = 0;
    std::vector<TListedFile> current_;
    std::unordered_set<std::string> currentKeys_;
    std::vector<TListedFile> collected_;
    std::unordered_set<std::string> collectedKeys_;
};

} // namespace watch
