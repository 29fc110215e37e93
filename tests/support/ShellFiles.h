// Shell folders and shortcut files for tests: a special folder pointed at a folder of the
// test's own for a while, and what a ".lnk" file holds, read from the file itself.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// Points the value `name` of the user's "Shell Folders" key at `path` (or, with an empty path,
// removes the value) until the object goes, then puts back what was there.
class ShellFolderOverride {
  public:
    ShellFolderOverride(const std::string& name, const std::string& path);
    ~ShellFolderOverride();
    ShellFolderOverride(const ShellFolderOverride&) = delete;
    ShellFolderOverride& operator=(const ShellFolderOverride&) = delete;

  private:
    std::string name_;
    bool had_ = false;
    std::string previous_;
};

// A shortcut file as written: the show command and hot-key word from its header (offsets 0x3C
// and 0x40; the shell's own reader answers 1 for every show command here), and the target and
// working folder as the shell loads them. `valid` is false when the file is not a shortcut.
struct ShortcutFile {
    bool valid = false;
    std::uint32_t showCommand = 0;
    std::uint16_t hotKey = 0;
    std::string target;
    std::string workingDir;
    std::string arguments;
};
ShortcutFile ReadShortcut(const std::string& path);

} // namespace testing_support
