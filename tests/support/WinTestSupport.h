// Helpers shared by the tests that run under Wine: folders, files and the stand-ins' files.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// Folder of the running test program, ending in '\\'.
std::string ExeFolder();

// The build's program folder (one above the test's own): Pakico.exe and every stand-in.
std::string ProgramFolder();

// The folder of the Pakico.exe (and its readme) under test, ending in '\\': the folder that
// PAKICO_PROGRAM_FOLDER names, where the test command unpacks the release zip, otherwise the
// build's program folder. The stand-ins always come from the build's.
std::string ProgramUnderTestFolder();

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The file `name` in `folder` (which ends in '\\'), by its own name, which the code page may
// not write.
void WriteFileBytes(const std::string& folder, const std::wstring& name, const std::string& bytes);
bool FileExists(const std::string& path);
void DeleteTree(const std::string& path);
// Makes the folder `path` (a failed check when it cannot) and gives its path back.
std::string MakeFolder(const std::string& path);

// A new empty folder under the temporary folder, deleted with everything in it at the end.
class TempFolder {
  public:
    explicit TempFolder(const std::string& hint = "pkt");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // The folder, ending in '\\'.
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// A window's class name, and its text (of a window of any process).
std::string ClassOf(HWND window);
std::string TextOf(HWND window);

// UTF-16 text (up to its first NUL, if any) in the ANSI code page.
std::string AnsiText(std::wstring_view wide);

// Splits text into its lines (CR LF or LF), without the line ends.
std::vector<std::string> SplitLines(const std::string& text);

// The real pointer: a move, a button pressed or released (MOUSEEVENTF_...) at a screen point.
void SendPointer(DWORD flags, POINT at);

// Sets an environment variable (or removes it, for null) for the programs this process starts
// while the object lives; the old value, or its absence, comes back at the end.
// A value of characters the code page lacks is given wide.
class ScopedEnvironmentVariable {
  public:
    ScopedEnvironmentVariable(const char* name, const char* value);
    ScopedEnvironmentVariable(const wchar_t* name, const wchar_t* value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

  private:
    std::wstring name_;
    bool had_ = false;
    std::wstring old_;
};

// Runs the messages waiting for this thread (OLE's calls from other processes and the
// hand-offs of worker threads arrive as messages).
inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Runs this thread's messages for `ms`.
inline void PumpFor(DWORD ms) {
    for (const DWORD start = GetTickCount();;) {
        PumpMessages();
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(ms - elapsed, 20),
                                  QS_ALLINPUT);
    }
}

// Runs this thread's messages until `done` holds; false after `limitMs`, so that a broken case
// fails instead of hanging.
template <typename Done> bool PumpUntil(Done done, DWORD limitMs = 10000) {
    for (const DWORD start = GetTickCount(); !done();) {
        if (GetTickCount() - start > limitMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

// Points TMP and TEMP, which GetTempPath reads, at a folder (named in the code page, or with any
// characters) while it lives, also for the programs this process starts.
class ScopedTempPath {
  public:
    explicit ScopedTempPath(const std::string& folder);
    explicit ScopedTempPath(const std::wstring& folder)
        : tmp_(L"TMP", folder.c_str()), temp_(L"TEMP", folder.c_str()) {}

  private:
    ScopedEnvironmentVariable tmp_, temp_;
};

// The desktop's density for the programs started while the object lives (each reads it once,
// as it starts); the old value, or its absence, comes back at the end, also when a check fails.
class ScopedLogPixels {
  public:
    explicit ScopedLogPixels(DWORD dpi);
    ~ScopedLogPixels();
    ScopedLogPixels(const ScopedLogPixels&) = delete;
    ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;
    bool Set() const { return set_; }

  private:
    bool Write(DWORD value);
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
    bool set_ = false;
};

} // namespace testing_support
