// Driving the real Pakico.exe from outside: run folders, windows, menus, keys, drags, pictures.
#include "e2e/E2eSupport.h"

#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <stdexcept>

using namespace testing_support;

namespace e2e {

namespace {

const char kSettingsKey[] = "Software\\Tavi\\Morva";

void DeleteKeyTree(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    for (;;) {
        char child[256];
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        DWORD before = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &before, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr);
        DeleteKeyTree(key, child);
        DWORD after = 0;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &after, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
        if (after >= before)
            break; // a subkey that cannot go; do not loop on it
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name.c_str());
}

HKEY CreateSettingKey(const std::string& subkey) {
    std::string path = std::string(kSettingsKey) + (subkey.empty() ? "" : "\\" + subkey);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create HKCU\\" + path);
    return key;
}

DWORD ProcessOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

INPUT KeyInput(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, 0));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return input;
}

void SendKey(WORD key, bool down) {
    INPUT input = KeyInput(key, down);
    SendInput(1, &input, sizeof input);
    Sleep(60);
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void SnapshotKey(HKEY parent, const std::string& path, const std::string& relative,
                 SettingsSnapshot& snapshot) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    snapshot[Lower(relative) + "\\"] = "key";
    for (DWORD i = 0;; ++i) {
        char name[512];
        DWORD nameLength = sizeof name;
        BYTE data[4096];
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS)
            break;
        snapshot[Lower(relative) + "\\" + name] =
            std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataLength);
    }
    for (DWORD i = 0;; ++i) {
        char child[256];
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        SnapshotKey(key, child, relative.empty() ? child : relative + "\\" + child, snapshot);
    }
    RegCloseKey(key);
}

} // namespace

SettingsSnapshot TakeSettingsSnapshot() {
    SettingsSnapshot snapshot;
    SnapshotKey(HKEY_CURRENT_USER, kSettingsKey, "", snapshot);
    return snapshot;
}

std::string SnapshotText(const SettingsSnapshot& snapshot, const std::string& subkey,
                         const std::string& name) {
    auto found = snapshot.find(Lower(subkey) + "\\" + name);
    const std::string prefix = std::to_string(REG_SZ) + ":";
    if (found == snapshot.end() || found->second.rfind(prefix, 0) != 0)
        return "";
    std::string text = found->second.substr(prefix.size());
    return text.substr(0, text.find('\0'));
}

long long SnapshotNumber(const SettingsSnapshot& snapshot, const std::string& subkey,
                         const std::string& name, long long missing) {
    auto found = snapshot.find(Lower(subkey) + "\\" + name);
    const std::string prefix = std::to_string(REG_DWORD) + ":";
    if (found == snapshot.end() || found->second.size() != prefix.size() + 4 ||
        found->second.rfind(prefix, 0) != 0)
        return missing;
    std::int32_t value = 0;
    std::memcpy(&value, found->second.data() + prefix.size(), 4);
    return value;
}

void ClearSettings() {
    DeleteKeyTree(HKEY_CURRENT_USER, kSettingsKey);
}

void WriteSettingData(const std::string& subkey, const std::string& name, DWORD type,
                      const std::string& data) {
    HKEY key = CreateSettingKey(subkey);
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void WriteSettingNumber(const std::string& subkey, const std::string& name, DWORD value) {
    WriteSettingData(subkey, name, REG_DWORD,
                     std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

void WriteSettingText(const std::string& subkey, const std::string& name, const std::string& text) {
    WriteSettingData(subkey, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

void SaveCatPlace(DWORD left, DWORD top) {
    WriteSettingNumber("Dialog\\Pakico", "Left", left);
    WriteSettingNumber("Dialog\\Pakico", "Top", top);
}

bool ReadSettingNumber(const std::string& subkey, const std::string& name, DWORD& value) {
    std::string path = std::string(kSettingsKey) + "\\" + subkey;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = sizeof value;
    LONG result =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD;
}

bool ReadSettingText(const std::string& subkey, const std::string& name, std::string& text) {
    std::string path = std::string(kSettingsKey) + "\\" + subkey;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[4096] = "";
    DWORD type = 0, size = sizeof buffer - 1;
    LONG result =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    text = buffer;
    return true;
}

bool CopyRunning() {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Morva ArchiveIcon");
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

namespace {
struct WindowSearch {
    const char* className;
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    if ((!search.className || ClassOf(window) == search.className) &&
        (search.processId == 0 || ProcessOf(window) == search.processId))
        search.found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> TopWindows(const char* className, DWORD processId) {
    WindowSearch search{className, processId, {}};
    EnumWindows(NoteWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VisibleMenu(DWORD processId) {
    for (HWND menu : TopWindows("#32768", processId))
        if (IsWindowVisible(menu))
            return menu;
    return nullptr;
}

HWND FindDialog(DWORD processId, const std::string& caption) {
    for (HWND dialog : TopWindows("#32770", processId))
        if (IsWindowVisible(dialog) && TextOf(dialog) == caption)
            return dialog;
    return nullptr;
}

HWND WaitForDialog(DWORD processId, const std::string& caption, unsigned ms) {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(processId, caption)) != nullptr; }, ms);
    if (dialog)
        Sleep(300); // placed and laid out
    return dialog;
}

bool CloseDialog(HWND dialog, int command) {
    PostMessageA(dialog, WM_COMMAND, command, 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, kSettleMs);
}

std::string WindowTextOf(HWND window) {
    return TextOf(window);
}

HWND FindChildByText(HWND parent, const std::string& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (TextOf(child) == text)
            return child;
    return nullptr;
}

std::string HintShownOver(DWORD processId, HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    SendPointer(MOUSEEVENTF_MOVE, {middle.x - 3, middle.y});
    Sleep(100);
    SendPointer(MOUSEEVENTF_MOVE, middle);
    std::string hint;
    WaitUntil(
        [&] {
            for (HWND tip : TopWindows("tooltips_class32", processId)) {
                char text[256] = "";
                SendMessageTimeoutA(tip, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                    SMTO_ABORTIFHUNG, 2000, nullptr);
                if (IsWindowVisible(tip) && text[0]) {
                    hint = text;
                    return true;
                }
            }
            return false;
        },
        kSettleMs);
    return hint;
}

void KeyDown(WORD key) {
    SendKey(key, true);
}

void KeyUp(WORD key) {
    SendKey(key, false);
}

void PressKey(WORD key) {
    SendKey(key, true);
    SendKey(key, false);
    Sleep(120);
}

void PressKeys(const std::vector<WORD>& keys) {
    for (WORD key : keys)
        PressKey(key);
}

// One call for the whole chord: under Wine, a window of any program that takes the focus
// meanwhile (a drag source or the companion going away) resets the modifiers the system thinks
// are held to what the X server says, and a chord typed key by key could lose its Ctrl.
void PressChord(const std::vector<WORD>& modifiers, WORD key, bool extended) {
    std::vector<INPUT> chord;
    for (WORD modifier : modifiers)
        chord.push_back(KeyInput(modifier, true));
    for (bool down : {true, false}) {
        chord.push_back(KeyInput(key, down));
        if (extended)
            chord.back().ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier)
        chord.push_back(KeyInput(*modifier, false));
    SendInput(static_cast<UINT>(chord.size()), chord.data(), sizeof chord[0]);
    Sleep(120);
}

void PressCtrlAltL() {
    PressChord({VK_CONTROL, VK_MENU}, 'L');
}

namespace {

// The screen area's pixels as a DIB of `bitCount` bits, rows bottom-up as BMP files store them;
// empty when the screen cannot be read.
std::string CaptureBits(const RECT& area, WORD bitCount, BITMAPINFOHEADER& header) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return {};
    header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * bitCount / 8 + 3) & ~3u;
    header.biSizeImage = stride * height;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                       DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string bytes;
    if (picture) {
        HGDIOBJ old = SelectObject(memory, picture);
        if (BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)) {
            GdiFlush();
            bytes.assign(static_cast<const char*>(bits), header.biSizeImage);
        }
        SelectObject(memory, old);
        DeleteObject(picture);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bytes;
}

} // namespace

bool SaveScreenshot(const RECT& area, const std::string& name) {
    BITMAPINFOHEADER header{};
    std::string pixels = CaptureBits(area, 24, header);
    if (pixels.empty())
        return false;
    std::string folder = ExeFolder() + "screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += pixels;
    WriteFileBytes(folder + name, bytes);
    return true;
}

std::vector<COLORREF> ScreenPixels(const RECT& area) {
    BITMAPINFOHEADER header{};
    std::string bits = CaptureBits(area, 32, header);
    std::vector<COLORREF> pixels;
    if (bits.empty())
        return pixels;
    const int width = header.biWidth, height = header.biHeight;
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Bottom-up rows of blue, green, red and an unused byte.
            const auto* p = reinterpret_cast<const unsigned char*>(bits.data()) +
                            (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
            pixels[static_cast<std::size_t>(y) * width + x] = RGB(p[2], p[1], p[0]);
        }
    return pixels;
}

std::size_t MorvaRunCount(const std::string& folder) {
    if (!FileExists(folder + "Morva.log"))
        return 0;
    return ReadMorvaLog(folder).size();
}

namespace {
// Starts the program through Wine's own loader under a Unix locale. Wine hands back no handle of
// a Unix program: the process is taken from the program's window.
std::unique_ptr<ProgramRun> StartInUnixLocale(const std::string& exe, const std::string& locale) {
    std::string commandLine =
        "/usr/bin/env LANG=" + locale + " LC_ALL=" + locale + " wine " + Quoted(exe);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD id = 0;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi) ||
        !WaitUntil(
            [&] {
                auto mains = TopWindows("TArchiveCoolForm");
                return !mains.empty() && GetWindowThreadProcessId(mains.front(), &id);
            },
            kStartMs))
        return nullptr;
    const DWORD access = SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION;
    return std::make_unique<ProgramRun>(win::ScopedHandle(OpenProcess(access, FALSE, id)), id);
}
} // namespace

PakicoRun::PakicoRun() : PakicoRun(Layout{}) {}

PakicoRun::PakicoRun(const Layout& layout) {
    folder_ = temp_.path();
    if (!layout.subfolder.empty()) {
        folder_ += layout.subfolder + "\\";
        if (!CreateDirectoryA(folder_.c_str(), nullptr))
            throw std::runtime_error("cannot create " + folder_);
    }
    std::string program = ProgramUnderTestFolder() + "Pakico.exe";
    if (!CopyFileA(program.c_str(), (folder_ + "Pakico.exe").c_str(), FALSE))
        throw std::runtime_error("cannot copy " + program);
    if (layout.companion)
        CopyStandin(folder_, "Morva.exe");
    // The stand-in companion records quietly: no box of its own takes the foreground.
    SetMorvaControl(folder_, "");
    for (const std::string& library : layout.libraries)
        CopyStandin(folder_, library);
}

void PakicoRun::PutHelpFile(const std::string& name) {
    const std::string built = ProgramUnderTestFolder() + name;
    if (name != "PAKICO.CHM")
        WriteFileBytes(folder_ + name, "help");
    else if (!CopyFileA(built.c_str(), (folder_ + name).c_str(), FALSE))
        throw std::runtime_error("cannot copy " + built);
}

PakicoRun::~PakicoRun() {
    if (run_ && run_->Running()) {
        // A menu or dialog left open by a failed case goes with the process.
        run_.reset();
        WaitUntil([] { return !CopyRunning(); }, 10000);
    }
    run_.reset();
}

::testing::AssertionResult PakicoRun::Start(bool withTrayIcon) {
    const std::string exe = folder_ + "Pakico.exe";
    run_ = unixLocale_.empty() ? std::make_unique<ProgramRun>(exe)
                               : StartInUnixLocale(exe, unixLocale_);
    if (!run_)
        return ::testing::AssertionFailure() << "not started under the locale " << unixLocale_;
    DWORD id = run_->ProcessId();
    bool found = WaitUntil(
        [&] {
            auto mains = TopWindows("TArchiveCoolForm", id);
            if (mains.empty() || !IsWindowVisible(mains.front()))
                return false;
            main_ = mains.front();
            return !withTrayIcon || WaitForTray(0);
        },
        kStartMs);
    if (!found)
        return ::testing::AssertionFailure()
               << "no visible window with its notification-area icon after " << kStartMs << " ms";
    // The first refresh has chosen a picture by now; give the window a moment to settle.
    WaitUntil([&] { return !Layer().empty(); }, kSettleMs);
    Sleep(300);
    return ::testing::AssertionSuccess();
}

bool PakicoRun::WaitForTray(unsigned ms) {
    return WaitUntil(
        [&] {
            auto trays = TopWindows("PakicoTaskTrayIcon", ProcessId());
            tray_ = trays.empty() ? nullptr : trays.front();
            return tray_ != nullptr;
        },
        ms);
}

RECT PakicoRun::Frame() const {
    RECT frame{};
    GetWindowRect(main_, &frame);
    return frame;
}

POINT PakicoRun::Centre() const {
    RECT frame = Frame();
    return {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
}

// Reads each picture's style in turn, so a change of picture made between two reads can
// look like two pictures at once; Layer() takes only a reading that repeats.
std::string PakicoRun::LayerOnce() const {
    std::string shown;
    for (HWND child = GetWindow(main_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != "TCoolForm" || !(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        if (!shown.empty())
            return "several";
        shown = TextOf(child);
    }
    return shown;
}

std::string PakicoRun::Layer() const {
    std::string reading = LayerOnce();
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string again = LayerOnce();
        if (again == reading)
            break;
        reading = again;
    }
    return reading;
}

bool PakicoRun::WaitForLayer(const std::string& layer, unsigned ms) const {
    return WaitUntil([&] { return Layer() == layer; }, ms);
}

HWND PakicoRun::WaitForMenu(unsigned ms) const {
    HWND menu = nullptr;
    WaitUntil([&] { return (menu = VisibleMenu(ProcessId())) != nullptr; }, ms);
    if (menu)
        Sleep(300); // the menu's owner takes the foreground a moment after it opens
    return menu;
}

bool PakicoRun::WaitForMenuClosed(unsigned ms) const {
    // Gone, not only hidden: a menu opened while the last one's window still exists would draw
    // beside it, and the platform would keep one more window DC for good.
    return WaitUntil([&] { return TopWindows("#32768", ProcessId()).empty(); }, ms);
}

void RightClickAt(POINT at) {
    for (DWORD flags : {MOUSEEVENTF_MOVE, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}) {
        SendPointer(flags, at);
        Sleep(60);
    }
}

HWND PakicoRun::OpenCatMenu(unsigned ms) {
    RightClickAt(Centre());
    return WaitForMenu(ms);
}

namespace {
const char kWineAppX11Key[] = "Software\\Wine\\AppDefaults\\Pakico.exe\\X11 Driver";
} // namespace

WindowsClosingSlowly::WindowsClosingSlowly() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kWineAppX11Key, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create HKCU\\" + std::string(kWineAppX11Key));
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("Y"), 2);
    RegCloseKey(key);
}

WindowsClosingSlowly::~WindowsClosingSlowly() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kWineAppX11Key);
}

HWND PakicoRun::OpenTrayMenu(unsigned ms) {
    PostMessageA(tray_, WM_USER + 1, 0, WM_RBUTTONDOWN);
    PostMessageA(tray_, WM_USER + 1, 0, WM_RBUTTONUP);
    return WaitForMenu(ms);
}

bool PakicoRun::ChooseEnd() {
    if (!OpenTrayMenu())
        return false;
    PressKey('E');
    return WaitForMenuClosed(kSettleMs);
}

std::vector<MorvaRun> PakicoRun::WaitForMorva(std::size_t count, unsigned ms) const {
    if (!WaitUntil([&] { return FileExists(folder_ + "Morva.log"); }, ms))
        return {};
    return WaitForMorvaRuns(folder_, count, ms);
}

std::string LzhBytes() {
    // A level-0 header: size, checksum, then the method id the libraries look for.
    return std::string("\x22\x00-lh5-", 7) + std::string(40, '\0');
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH * 2] = "";
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}
} // namespace

MorvaRun DropAndWait(PakicoRun& pakico, const std::vector<std::string>& options,
                     const std::vector<std::string>& files) {
    std::size_t before = pakico.MorvaRuns();
    for (int attempt = 0; attempt < 3; ++attempt) {
        int effect = DragFiles(options, pakico.Centre(), files);
        auto runs = pakico.WaitForMorva(before + 1, effect < 100 ? 10000 : 2000);
        if (runs.size() > before) {
            EXPECT_EQ(before + 1, runs.size()) << "one drop starts the companion once";
            // Whatever the keys, the drop tells the source the files were copied: nothing
            // may delete them before the companion has read them.
            EXPECT_EQ(kEffectCopy, effect);
            return runs.back();
        }
        ADD_FAILURE() << "drag " << attempt << " ended with " << effect << " and started nothing";
        pakico.WaitForLayer("CoolForm1", kSettleMs);
    }
    return {};
}

std::string ListPathOf(const MorvaRun& run) {
    std::size_t at = run.commandLine.find(" @");
    if (at == std::string::npos)
        return {};
    std::string list = run.commandLine.substr(at + 2);
    return list.substr(0, list.find(' '));
}

std::vector<std::string> ListedPaths(const MorvaRun& run) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = run.listBytes.find("\r\n", at)) != std::string::npos;
         at = end + 2)
        lines.push_back(run.listBytes.substr(at, end - at));
    return lines;
}

void ExpectHandOff(const PakicoRun& pakico, const MorvaRun& run, const std::string& switches,
                   const std::vector<std::string>& files, const std::string& tail) {
    std::string prefix = Quoted(pakico.Folder() + "Morva.exe") + " " + switches + " @";
    std::string list = ListPathOf(run);
    EXPECT_EQ(prefix + list + tail, run.commandLine);
    EXPECT_FALSE(list.empty());
    EXPECT_EQ(ShortPath(list), list) << "the list is named by its short path";
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    std::string tempFolder = LowerAscii(ShortPath(temp));
    EXPECT_EQ(tempFolder, LowerAscii(list.substr(0, tempFolder.size())));
    EXPECT_EQ("mrv", LowerAscii(list.substr(list.find_last_of('\\') + 1, 3)));
    std::string expected;
    for (const std::string& file : files)
        expected += file + "\r\n";
    EXPECT_TRUE(run.listFound);
    EXPECT_EQ(expected, run.listBytes);
    EXPECT_TRUE(run.finished);
    if (!list.empty())
        DeleteFileA(list.c_str());
}

std::string Quoted(const std::string& argument) {
    return argument.find(' ') == std::string::npos ? argument : "\"" + argument + "\"";
}

namespace {
std::string DragArguments(const std::vector<std::string>& options, POINT to,
                          const std::vector<std::string>& files) {
    std::string arguments;
    for (const std::string& option : options)
        arguments += option + " ";
    arguments += "--to " + std::to_string(to.x) + "," + std::to_string(to.y);
    for (const std::string& file : files)
        arguments += " " + Quoted(file);
    return arguments;
}

// The lines of DragSource's report, one for each drag.
std::vector<DragOutcome> ReadDragReport(const std::string& path) {
    std::vector<DragOutcome> outcomes;
    std::istringstream lines(ReadFileBytes(path));
    DragOutcome outcome{};
    for (int own = 0; lines >> outcome.effect >> outcome.cursor >> outcome.released >> own >>
                      outcome.returned >> outcome.asyncEnd;) {
        outcome.ownWindow = own != 0;
        outcomes.push_back(outcome);
    }
    return outcomes;
}
} // namespace

int DragFiles(const std::vector<std::string>& options, POINT to,
              const std::vector<std::string>& files, unsigned ms) {
    ProgramRun source(ProgramFolder() + "DragSource.exe", DragArguments(options, to, files));
    return static_cast<int>(source.WaitForExit(ms));
}

namespace {
// Stops every thread of a process where it stands.
void SuspendProcess(DWORD processId) {
    win::ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = snapshot && Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != processId)
            continue;
        win::ScopedHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (thread)
            SuspendThread(thread.get());
    }
}
} // namespace

bool DragAndStopSourceMidway(POINT to, const std::vector<std::string>& files,
                             const std::function<void()>& meanwhile) {
    // Stopped while the target asks it for the dragged data (as a drag enters, or crosses the
    // cat's pictures), the source would leave the target waiting on it for good: it is stopped
    // once the drag rests over the target.
    static int made = 0;
    const std::string name =
        "PakicoTestSettled" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made);
    win::ScopedHandle settled(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
    bool reached = false;
    {
        ProgramRun source(ProgramFolder() + "DragSource.exe",
                          DragArguments({"--hold", "--settled", name}, to, files));
        reached = WaitForSingleObject(settled.get(), 20000) == WAIT_OBJECT_0;
        if (reached) {
            SuspendProcess(source.ProcessId());
            // The person lets go, and the stopped source never learns of it.
            SendPointer(MOUSEEVENTF_LEFTUP, to);
            meanwhile();
        }
    } // ended here
    if (!reached)
        SendPointer(MOUSEEVENTF_LEFTUP, to);
    return reached;
}

std::vector<DragOutcome> DragFilesReported(const std::vector<std::string>& options, POINT to,
                                           const std::vector<std::string>& files,
                                           const std::vector<std::string>& thenFiles, POINT thenTo,
                                           const std::vector<std::string>& thenOptions) {
    TempFolder folder("drag");
    std::string report = folder.path() + "report.txt";
    std::vector<std::string> withReport = options;
    withReport.insert(withReport.end(), {"--report", Quoted(report)});
    std::string arguments = DragArguments(withReport, to, files);
    if (!thenFiles.empty()) {
        arguments += " --then --to " + std::to_string(thenTo.x) + "," + std::to_string(thenTo.y);
        for (const std::string& option : thenOptions)
            arguments += " " + option;
        for (const std::string& file : thenFiles)
            arguments += " " + Quoted(file);
    }
    ProgramRun source(ProgramFolder() + "DragSource.exe", arguments);
    source.WaitForExit(40000);
    return ReadDragReport(report);
}

WindowInFront::WindowInFront(const RECT& area, POINT to, const std::vector<std::string>& files,
                             const std::vector<std::string>& options) {
    static int made = 0;
    const std::string event =
        "PakicoTestDrag" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++made);
    go_.reset(CreateEventA(nullptr, TRUE, FALSE, event.c_str()));
    const std::string window = std::to_string(area.left) + "," + std::to_string(area.top) + "," +
                               std::to_string(area.right) + "," + std::to_string(area.bottom);
    std::vector<std::string> arguments = options;
    arguments.insert(arguments.end(), {"--window", window, "--wait-for", event, "--report",
                                       Quoted(folder_.path() + "report.txt")});
    source_ = std::make_unique<ProgramRun>(ProgramFolder() + "DragSource.exe",
                                           DragArguments(arguments, to, files));
}

WindowInFront::~WindowInFront() {
    // Never sent on its drag: closed, as a person closes a program.
    for (HWND window : TopWindows("DragSourceWindow", source_->ProcessId()))
        PostMessageA(window, WM_CLOSE, 0, 0);
    source_->WaitForExit(kSettleMs);
}

HWND WindowInFront::WaitInFront(unsigned ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            HWND front = GetForegroundWindow();
            auto mine = TopWindows("DragSourceWindow", source_->ProcessId());
            if (std::find(mine.begin(), mine.end(), front) != mine.end())
                found = front;
            return found != nullptr;
        },
        ms);
    return found;
}

DragOutcome WindowInFront::DragAndClose() {
    SetEvent(go_.get());
    long code = source_->WaitForExit(40000);
    auto outcomes = ReadDragReport(folder_.path() + "report.txt");
    if (outcomes.size() != 1)
        return {static_cast<int>(code), 0, 0, 0, false, 2};
    return outcomes.front();
}

HWND WaitForErrorBox(unsigned ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND box : TopWindows("#32770")) {
                if (IsWindowVisible(box) && TextOf(box) == "Pakico" && FindChildByText(box, "OK")) {
                    found = box;
                    return true;
                }
            }
            return false;
        },
        ms);
    return found;
}

std::string AnswerErrorBox(HWND box) {
    std::string message;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        // Read as wide text: a program under another code page would hand its own bytes.
        wchar_t wide[2048] = L"";
        SendMessageTimeoutW(child, WM_GETTEXT, std::size(wide), reinterpret_cast<LPARAM>(wide),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        std::string text = AnsiText(wide);
        if (text.size() > message.size() && text != "OK")
            message = text;
    }
    if (HWND ok = FindChildByText(box, "OK"))
        PostMessageA(ok, BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, kSettleMs);
    return message;
}

std::string AnswerErrorBox(unsigned ms) {
    HWND box = WaitForErrorBox(ms);
    return box ? AnswerErrorBox(box) : std::string();
}

void ExpectRestingWithoutTrayMenu(PakicoRun& pakico) {
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm2", 2500)) << pakico.Layer();
    EXPECT_EQ(nullptr, pakico.OpenTrayMenu(1500)) << "the icon opened its menu";
}

std::string LoadedModulePath(DWORD processId, const std::string& fileName) {
    win::ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot)
        return {};
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot.get(), &module); more;
         more = Module32Next(snapshot.get(), &module)) {
        if (lstrcmpiA(module.szModule, fileName.c_str()) == 0)
            return module.szExePath;
    }
    return {};
}

StandinWindow::StandinWindow(const std::string& className, DWORD exStyle, Answer answer,
                             bool onlyOne)
    : className_(className), answer_(std::move(answer)) {
    if (onlyOne)
        for (HWND other : TopWindows(className_.c_str()))
            SendMessageTimeoutA(other, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    thread_ = std::thread([this, exStyle] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className_.c_str();
        RegisterClassA(&windowClass);
        HWND window = CreateWindowExA(exStyle, className_.c_str(), "", WS_POPUP, 0, 0, 1, 1,
                                      nullptr, nullptr, windowClass.hInstance, this);
        window_ = window;
        MSG msg;
        while (window && GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        UnregisterClassA(className_.c_str(), windowClass.hInstance);
    });
    WaitUntil([&] { return window_.load() != nullptr; }, kSettleMs);
}

StandinWindow::~StandinWindow() {
    if (HWND window = window_)
        PostMessageA(window, WM_CLOSE, 0, 0);
    thread_.join();
}

LRESULT CALLBACK StandinWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<StandinWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (self && self->answer_ && self->answer_(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Topmost and newest, it is the first taskbar a program looks up.
StandinTaskbar::StandinTaskbar()
    : window_("Shell_TrayWnd", WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
              [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
                  return Answer(message, lParam, result);
              }) {}

std::string StandinTaskbar::Tip() const {
    std::lock_guard<std::mutex> lock(lock_);
    return tip_;
}

std::vector<HWND> StandinTaskbar::Icons() const {
    std::lock_guard<std::mutex> lock(lock_);
    return icons_;
}

void StandinTaskbar::Restart(Mode mode) {
    std::lock_guard<std::mutex> lock(lock_);
    icons_.clear();
    mode_ = mode;
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

bool StandinTaskbar::Answer(UINT message, LPARAM lParam, LRESULT& result) {
    if (message != WM_COPYDATA)
        return false;
    // The shell's request: the notification-area message in dwData.
    const auto* request = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    result = FALSE;
    asked_ += request->dwData == NIM_ADD;
    // The shell's own copy of the icon's record: the window, the id, the flags and the
    // callback message, four 32-bit fields, then the tip in 128 UTF-16 units.
    constexpr std::size_t kTipOffset = 16, kTipUnits = 128;
    if (mode_ == Mode::Refusing || request->cbData < kTipOffset + kTipUnits * sizeof(WCHAR))
        return true;
    const auto* bytes = static_cast<const BYTE*>(request->lpData);
    std::uint32_t window;
    std::memcpy(&window, bytes, sizeof window);
    const HWND icon = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
    std::lock_guard<std::mutex> lock(lock_);
    // As the shell does: an icon is added once, and only one it holds is changed or removed.
    const auto held = std::find(icons_.begin(), icons_.end(), icon);
    if ((request->dwData == NIM_ADD) == (held != icons_.end()))
        return true;
    if (request->dwData == NIM_ADD) {
        icons_.push_back(icon);
        ++adds_;
    } else if (request->dwData == NIM_DELETE) {
        icons_.erase(held);
    }
    if (request->dwData == NIM_ADD || request->dwData == NIM_MODIFY) {
        UINT flags;
        std::memcpy(&flags, bytes + 8, sizeof flags);
        if (flags & NIF_TIP) {
            WCHAR tip[kTipUnits] = {};
            std::memcpy(tip, bytes + kTipOffset, sizeof tip);
            tip_ = AnsiText(std::wstring_view(tip, kTipUnits));
        }
    }
    result = mode_ == Mode::Accepting;
    return true;
}

StandinHelpEngine::StandinHelpEngine()
    : window_(
          "MS_WINHELP", WS_EX_TOOLWINDOW,
          [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
              return Answer(message, lParam, result);
          },
          true) {}

std::vector<StandinHelpEngine::Request> StandinHelpEngine::Requests() const {
    std::lock_guard<std::mutex> lock(lock_);
    return requests_;
}

StandinHelpEngine::Request StandinHelpEngine::WaitForRequest(std::size_t seen, unsigned ms) const {
    std::vector<Request> requests;
    WaitUntil([&] { return (requests = Requests()).size() > seen; }, ms);
    return requests.size() > seen ? requests.back() : Request{0, 0, ""};
}

bool StandinHelpEngine::Answer(UINT message, LPARAM lParam, LRESULT& result) {
    if (message != WM_COPYDATA)
        return false;
    // The platform's request: its magic number, then the record of the Windows 95 help engine
    // (size, command, data, reserved, offsets of the file name and of more data).
    constexpr ULONG_PTR kMagic = 0xA1DE505;
    constexpr std::size_t kRecord = 16;
    const auto* request = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    result = FALSE;
    if (request->dwData != kMagic || request->cbData < kRecord)
        return true;
    const auto* bytes = static_cast<const BYTE*>(request->lpData);
    WORD command = 0, fileOffset = 0;
    LONG data = 0;
    std::memcpy(&command, bytes + 2, sizeof command);
    std::memcpy(&data, bytes + 4, sizeof data);
    std::memcpy(&fileOffset, bytes + 12, sizeof fileOffset);
    std::string file;
    if (fileOffset >= kRecord && fileOffset < request->cbData)
        file.assign(reinterpret_cast<const char*>(bytes + fileOffset),
                    strnlen(reinterpret_cast<const char*>(bytes + fileOffset),
                            request->cbData - fileOffset));
    std::lock_guard<std::mutex> lock(lock_);
    requests_.push_back({command, data, file});
    result = TRUE;
    return true;
}

HWND WaitForHtmlHelp(DWORD processId, unsigned ms) {
    HWND help = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopWindows("HH Parent", processId))
                if (IsWindowVisible(window))
                    help = window;
            return help != nullptr;
        },
        ms);
    return help;
}

std::string HtmlHelpPageShown(HWND help) {
    // The contents are the one tree in the window.
    WindowSearch search{WC_TREEVIEWA, 0, {}};
    EnumChildWindows(help, NoteWindow, reinterpret_cast<LPARAM>(&search));
    HWND tree = search.found.empty() ? nullptr : search.found.front();
    if (!tree)
        return {};
    constexpr WPARAM kSync = 206;
    SendMessageA(help, WM_COMMAND, MAKEWPARAM(kSync, BN_CLICKED), 0);
    const auto shown =
        reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!shown)
        return {};
    RemoteMemory remote(ProcessOf(help));
    constexpr SIZE_T kTextAt = 256;
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = shown;
    item.pszText = reinterpret_cast<char*>(remote.Base() + kTextAt);
    item.cchTextMax = 256;
    remote.Write(&item, sizeof item);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.Base()));
    char text[257] = "";
    remote.Read(text, 256, kTextAt);
    return text;
}

RemoteMemory::RemoteMemory(DWORD processId)
    : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                           processId)) {
    if (process_)
        base_ = static_cast<BYTE*>(
            VirtualAllocEx(process_.get(), nullptr, kSize, MEM_COMMIT, PAGE_READWRITE));
    if (!base_)
        throw std::runtime_error("no memory in the other process");
}

RemoteMemory::~RemoteMemory() {
    VirtualFreeEx(process_.get(), base_, 0, MEM_RELEASE);
}

void RemoteMemory::Write(const void* data, SIZE_T size, SIZE_T at) {
    WriteProcessMemory(process_.get(), base_ + at, data, size, nullptr);
}

void RemoteMemory::Read(void* data, SIZE_T size, SIZE_T at) const {
    ReadProcessMemory(process_.get(), base_ + at, data, size, nullptr);
}

void E2eTest::SetUp() {
    ASSERT_TRUE(WaitUntil([] { return !CopyRunning(); }, 10000))
        << "a copy of Pakico is still running";
    ClearSettings();
}

void E2eTest::TearDown() {
    ClearSettings();
}

} // namespace e2e
