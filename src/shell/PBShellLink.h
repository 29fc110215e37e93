// TPBShellLink: writes a shell shortcut file (".lnk"), placed by name in one of the user's
// special folders. It only writes; the program never reads shortcuts back.
#pragma once

#include "shell/ShellLinkRules.h"
#include "shell/ShortCutText.h"
#include "util/Errors.h"
#include "util/SystemLookups.h"

#include <string>

// Raised by Save with "\"CoCreateInstance\" failed.", "\"PersistFile QueryInterface\" failed."
// or "ShellLink Write Error.".
class EPBShellLink : public EAppError {
  public:
    using EAppError::EAppError;
};

// Where the shortcut takes its icon from; an empty file name means the target's own icon.
struct TFileIcon {
    std::string FileName;
    int IconIndex = 0;
};

class TPBShellLink {
  public:
    std::string Arguments;
    std::string Description;
    TFileIcon FileIcon;
    std::string Target;
    std::string WorkingDir;

    shortcut::TShortCut HotKey() const { return shelllink::ShortCutOfHotKeyWord(hotKeyWord_); }
    void SetHotKey(shortcut::TShortCut value) { hotKeyWord_ = shelllink::HotKeyWord(value); }
    shelllink::TWindowState WindowState() const { return shelllink::WindowStateOf(showCommand_); }
    void SetWindowState(shelllink::TWindowState state) {
        showCommand_ = shelllink::ShowCommandOf(state);
    }

    const std::string& FileName() const { return fileName_; }
    // In a special folder the name's own folder is replaced by it; ".lnk" is added when the
    // name has another extension.
    void SetFileName(const std::string& name);
    TShellFolder ShellFolder() const { return shellFolder_; }
    // Moves the current file name into the folder (sfNone leaves it where it is).
    void SetShellFolder(TShellFolder folder);

    // Writes FileName, creating or overwriting it. A file name that is not a full path (a
    // special folder the system does not name), or a text too long for the shell, is refused
    // with "ShellLink Write Error." rather than written somewhere else or cut short.
    void Save() const;

  private:
    std::string fileName_;
    TShellFolder shellFolder_ = sfNone;
    std::uint16_t hotKeyWord_ = 0;
    int showCommand_ = 1;
};
