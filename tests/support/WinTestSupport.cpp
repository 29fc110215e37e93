// Helpers shared by the tests that run under Wine.
#include "support/WinTestSupport.h"

#include "util/CodePagePath.h"
#include "util/PathText.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace testing_support {

std::string ExeFolder() {
    char buf[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string path(buf, n);
    return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ProgramFolder() {
    std::string own = ExeFolder();
    std::string parent = own.substr(0, own.size() - 1);
    return parent.substr(0, parent.find_last_of('\\') + 1);
}

std::string ProgramUnderTestFolder() {
    char folder[MAX_PATH * 2] = "";
    DWORD length = GetEnvironmentVariableA("PAKICO_PROGRAM_FOLDER", folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return ProgramFolder();
    return AddTrailingSeparator(folder);
}

std::string AnsiText(std::wstring_view wide) {
    wide = wide.substr(0, wide.find(L'\0'));
    if (wide.empty())
        return {};
    const int units = static_cast<int>(wide.size());
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), units, text.data(), bytes, nullptr, nullptr);
    return text;
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(h);
    return out;
}

namespace {

void WriteTo(HANDLE h, const std::string& path, const std::string& bytes) {
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    if (!ok || written != bytes.size())
        throw std::runtime_error("short write " + path);
}

} // namespace

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    WriteTo(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), path,
            bytes);
}

void WriteFileBytes(const std::string& folder, const std::wstring& name, const std::string& bytes) {
    const std::wstring path = WideText(folder) + name;
    WriteTo(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
            folder + AnsiText(name), bytes);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string MakeFolder(const std::string& path) {
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
}

void DeleteTree(const std::string& path) {
    // A name may end in a double-byte character whose trail byte is '\\' (表, ソ).
    std::string dir = RemoveTrailingSeparator(path);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = dir + "\\" + name;
            // A name the code page cannot write is reached by its short form.
            if (GetFileAttributesA(child.c_str()) == INVALID_FILE_ATTRIBUTES &&
                fd.cAlternateFileName[0])
                child = dir + "\\" + fd.cAlternateFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

TempFolder::TempFolder(const std::string& hint) {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static unsigned counter = 0;
    for (;;) {
        std::string candidate = std::string(base) + hint + std::to_string(GetCurrentProcessId()) +
                                "_" + std::to_string(++counter);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate + "\\";
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + candidate);
    }
}

TempFolder::~TempFolder() {
    DeleteTree(path_);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::string ClassOf(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[2048] = "";
    // The message reaches windows of other processes too, unlike GetWindowTextA's shortcut.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

namespace {
constexpr const char* kLogPixels = "LogPixels";
} // namespace

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const char* name, const char* value)
    : ScopedEnvironmentVariable(WideText(name).c_str(), value ? WideText(value).c_str() : nullptr) {
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const wchar_t* value)
    : name_(name) {
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size > 0) {
        std::wstring old(size, L'\0');
        DWORD length = GetEnvironmentVariableW(name, old.data(), size);
        had_ = length < size;
        old_ = old.substr(0, had_ ? length : 0);
    }
    SetEnvironmentVariableW(name, value);
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable() {
    SetEnvironmentVariableW(name_.c_str(), had_ ? old_.c_str() : nullptr);
}

ScopedTempPath::ScopedTempPath(const std::string& folder) : ScopedTempPath(WideText(folder)) {}

ScopedLogPixels::ScopedLogPixels(DWORD dpi) {
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_,
                        nullptr) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    DWORD type = 0, size = sizeof old_;
    had_ = RegQueryValueExA(key_, kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&old_),
                            &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
    set_ = Write(dpi);
}

ScopedLogPixels::~ScopedLogPixels() {
    if (!key_)
        return;
    if (had_)
        Write(old_);
    else
        RegDeleteValueA(key_, kLogPixels);
    RegCloseKey(key_);
}

bool ScopedLogPixels::Write(DWORD value) {
    return RegSetValueExA(key_, kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

void SendPointer(DWORD flags, POINT at) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

} // namespace testing_support
