// The shortcut writer on the shell's link object.
#include "shell/PBShellLink.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include "util/CodePagePath.h"

namespace {

const char* const kWriteError = "ShellLink Write Error.";

// Balances the COM start of one save.
class ComScope {
  public:
    ComScope() : started_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope() {
        if (started_)
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool started_;
};

template <typename T> struct Released {
    T* pointer = nullptr;
    ~Released() {
        if (pointer)
            pointer->Release();
    }
};

} // namespace

void TPBShellLink::SetFileName(const std::string& name) {
    if (name == fileName_)
        return;
    fileName_ =
        shelllink::LinkFileName(name, shellFolder_ != sfNone, GetSpecialFolder(shellFolder_));
}

void TPBShellLink::SetShellFolder(TShellFolder folder) {
    if (folder == shellFolder_)
        return;
    shellFolder_ = folder;
    if (folder != sfNone)
        fileName_ = shelllink::MovedLinkFileName(fileName_, GetSpecialFolder(folder));
}

void TPBShellLink::Save() const {
    for (const std::string* text :
         {&Description, &Target, &WorkingDir, &Arguments, &FileIcon.FileName})
        if (text->size() > shelllink::kMaxLinkText)
            throw EPBShellLink(kWriteError);
    const std::wstring wideName = WideText(fileName_);
    if (!shelllink::IsFullFilePath(fileName_) || wideName.size() > shelllink::kMaxLinkFileName)
        throw EPBShellLink(kWriteError);

    ComScope com;
    Released<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.pointer))))
        throw EPBShellLink("\"CoCreateInstance\" failed.");
    Released<IPersistFile> file;
    if (FAILED(link.pointer->QueryInterface(IID_IPersistFile,
                                            reinterpret_cast<void**>(&file.pointer))))
        throw EPBShellLink("\"PersistFile QueryInterface\" failed.");
    link.pointer->SetDescription(Description.c_str());
    link.pointer->SetPath(Target.c_str());
    link.pointer->SetWorkingDirectory(WorkingDir.c_str());
    link.pointer->SetArguments(Arguments.c_str());
    link.pointer->SetShowCmd(showCommand_);
    link.pointer->SetHotkey(hotKeyWord_);
    link.pointer->SetIconLocation(FileIcon.FileName.c_str(), FileIcon.IconIndex);
    if (FAILED(file.pointer->Save(wideName.c_str(), TRUE)))
        throw EPBShellLink(kWriteError);
}
