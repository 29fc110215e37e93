// Shell folders and shortcut files for tests.
#include "support/ShellFiles.h"

#include "support/WinTestSupport.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cstring>

namespace testing_support {

namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

void SetShellFolder(const std::string& name, const std::string* path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    if (path)
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()),
                       static_cast<DWORD>(path->size() + 1));
    else
        RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

} // namespace

ShellFolderOverride::ShellFolderOverride(const std::string& name, const std::string& path)
    : name_(name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        char buffer[1024] = {};
        DWORD size = sizeof buffer - 1;
        DWORD type = 0;
        had_ = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                &size) == ERROR_SUCCESS &&
               type == REG_SZ;
        if (had_)
            previous_ = buffer;
        RegCloseKey(key);
    }
    SetShellFolder(name, path.empty() ? nullptr : &path);
}

ShellFolderOverride::~ShellFolderOverride() {
    SetShellFolder(name_, had_ ? &previous_ : nullptr);
}

ShortcutFile ReadShortcut(const std::string& path) {
    ShortcutFile file;
    const std::string bytes = ReadFileBytes(path);
    // The header's size and the shell link class, then the show command and the hot key.
    static const unsigned char kHeaderStart[] = {0x4C, 0, 0, 0, 0x01, 0x14, 0x02, 0};
    if (bytes.size() < 0x4C || std::memcmp(bytes.data(), kHeaderStart, sizeof kHeaderStart) != 0)
        return file;
    std::memcpy(&file.showCommand, bytes.data() + 0x3C, sizeof file.showCommand);
    std::memcpy(&file.hotKey, bytes.data() + 0x40, sizeof file.hotKey);

    const bool com = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            std::wstring wide(path.size() + 1, L'\0');
            wide.resize(
                static_cast<std::size_t>(MultiByteToWideChar(
                    CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()))) -
                1);
            if (SUCCEEDED(persist->Load(wide.c_str(), STGM_READ))) {
                char text[MAX_PATH * 2] = {};
                if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH)))
                    file.target = text;
                text[0] = 0;
                if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text)))
                    file.workingDir = text;
                text[0] = 0;
                if (SUCCEEDED(link->GetArguments(text, sizeof text)))
                    file.arguments = text;
                file.valid = true;
            }
            persist->Release();
        }
        link->Release();
    }
    if (com)
        CoUninitialize();
    return file;
}

} // namespace testing_support
