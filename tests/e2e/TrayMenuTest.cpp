// The menu of the notification-area icon, chosen from with the keyboard: the About box,
// placements along the work area, hiding and showing, and the end of residence with its
// saved position and its question about the start-up shortcut.
#include "e2e/E2eSupport.h"
#include "config/CoolConfigFormRes.h"

#include <shlwapi.h>
#include <winver.h>

#include <cctype>

using namespace e2e;
using namespace testing_support;

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// Where Task Manager keeps start-up shortcuts turned off, each under its file name.
const char kStartupApproved[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

bool Click(HWND button) {
    DWORD_PTR result = 0;
    return button && SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

// What a program file carries for Explorer and the loader: its version record, read as
// Explorer reads it, and its icon and manifest.
struct ProgramFileResources {
    DWORD fileVersionMS = 0, fileVersionLS = 0, productVersionMS = 0, productVersionLS = 0;
    std::string fileVersion, productVersion;
    bool icon = false;
    std::string manifest;
};

std::string VersionText(const std::string& record, const char* name) {
    void* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\041103A4\\") + name;
    if (!VerQueryValueA(record.data(), path.c_str(), &value, &length) || length == 0)
        return "";
    return static_cast<const char*>(value);
}

ProgramFileResources ReadProgramFileResources(const std::string& path) {
    ProgramFileResources found;
    DWORD unused = 0;
    std::string record(GetFileVersionInfoSizeA(path.c_str(), &unused), '\0');
    if (!record.empty() &&
        GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(record.size()), record.data())) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        if (VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length) &&
            fixed) {
            found.fileVersionMS = fixed->dwFileVersionMS;
            found.fileVersionLS = fixed->dwFileVersionLS;
            found.productVersionMS = fixed->dwProductVersionMS;
            found.productVersionLS = fixed->dwProductVersionLS;
        }
        found.fileVersion = VersionText(record, "FileVersion");
        found.productVersion = VersionText(record, "ProductVersion");
    }
    HMODULE image = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (image) {
        found.icon = FindResourceA(image, MAKEINTRESOURCEA(1), RT_GROUP_ICON) != nullptr;
        if (HRSRC manifest = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST))
            if (HGLOBAL data = LoadResource(image, manifest))
                found.manifest.assign(static_cast<const char*>(LockResource(data)),
                                      SizeofResource(image, manifest));
        FreeLibrary(image);
    }
    return found;
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class TrayMenu : public E2eTest {
  protected:
    // Chooses from the placement submenu: "居場所(&P)" opens it on its first item.
    void Place(int downs) {
        ASSERT_NE(nullptr, pakico_.OpenTrayMenu());
        PressKey('P');
        for (int i = 0; i < downs; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        ASSERT_TRUE(pakico_.WaitForMenuClosed(kSettleMs));
    }
    bool WaitForPlace(LONG left, LONG top) {
        return WaitUntil(
            [&] {
                RECT frame = pakico_.Frame();
                return frame.left == left && frame.top == top;
            },
            kSettleMs);
    }

    PakicoRun pakico_;
};

// Points the per-user Startup folder at a folder of the test's own, and back at the end.
class StartupShortcut : public TrayMenu {
  protected:
    void SetUp() override {
        TrayMenu::SetUp();
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0,
                                                 KEY_READ | KEY_WRITE, nullptr, &key, nullptr));
        char old[MAX_PATH * 2] = "";
        DWORD size = sizeof old;
        hadStartup_ = RegQueryValueExA(key, "Startup", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
        oldStartup_ = hadStartup_ ? old : "";
        std::string folder = startup_.path().substr(0, startup_.path().size() - 1);
        RegSetValueExA(key, "Startup", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
        WriteFileBytes(Shortcut(), "shortcut");
    }
    void TearDown() override {
        HKEY key = nullptr;
        SHDeleteValueA(HKEY_CURRENT_USER, kStartupApproved, "Pakico.lnk");
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            if (hadStartup_)
                RegSetValueExA(key, "Startup", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(oldStartup_.c_str()),
                               static_cast<DWORD>(oldStartup_.size() + 1));
            else
                RegDeleteValueA(key, "Startup");
            RegCloseKey(key);
        }
        TrayMenu::TearDown();
    }
    std::string Shortcut() const { return startup_.path() + "Pakico.lnk"; }

    // Chooses "常駐の解除(&E)" and answers the question with the button of that text.
    void EndAnswering(const std::string& button) {
        ASSERT_TRUE(pakico_.ChooseEnd());
        HWND question = WaitForDialog(pakico_.ProcessId(), "確認");
        ASSERT_NE(nullptr, question) << "no question about the start-up shortcut";
        ASSERT_TRUE(Click(FindChildByText(question, button))) << "no button " << button;
    }

    // Task Manager's choice for the shortcut, kept apart from it: turned off.
    void TurnOffInTaskManager() {
        const std::string off("\x03\0\0\0\x10\x20\x30\x40\x50\x60\x70\x01", 12);
        SHSetValueA(HKEY_CURRENT_USER, kStartupApproved, "Pakico.lnk", REG_BINARY, off.data(), 12);
    }

    TempFolder startup_{"startup"};
    bool hadStartup_ = false;
    std::string oldStartup_;
};

} // namespace

TEST_F(TrayMenu, TheAboutBoxRestsTheCatAndSilencesTheIcon) {
    ASSERT_TRUE(pakico_.Start());
    ASSERT_TRUE(pakico_.WaitForLayer("CoolForm1", kSettleMs));
    ASSERT_NE(nullptr, pakico_.OpenTrayMenu());
    PressKey('A');
    HWND about = WaitForDialog(pakico_.ProcessId(), "About Pakico");
    ASSERT_NE(nullptr, about) << "the About box did not open";
    // Decided at the click, not at the next refresh: at once the icon opens no menu over the box
    // (a second About could be chosen from it), and its double click starts nothing.
    EXPECT_EQ(nullptr, pakico_.OpenTrayMenu(1000)) << "the icon's menu opened over the About box";
    PostMessageA(pakico_.Tray(), WM_USER + 1, 0, WM_LBUTTONDBLCLK);
    // A fixed box of 378 x 131 client pixels, centred on the screen, on top of everything.
    RECT client{}, frame{};
    GetClientRect(about, &client);
    GetWindowRect(about, &frame);
    EXPECT_EQ(378, client.right);
    EXPECT_EQ(131, client.bottom);
    EXPECT_NEAR(GetSystemMetrics(SM_CXSCREEN) / 2, (frame.left + frame.right) / 2, 1);
    EXPECT_NEAR(GetSystemMetrics(SM_CYSCREEN) / 2, (frame.top + frame.bottom) / 2, 1);
    EXPECT_TRUE(GetWindowLongA(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(SaveScreenshot(frame, "about.bmp"));
    EXPECT_NE(nullptr, FindChildByText(about, "パキコ"));
    EXPECT_NE(nullptr, FindChildByText(about, "Version 1.10"));
    // The program file says the same, as do its manifest and the release zip's name; and it
    // carries its icon.
    ProgramFileResources file = ReadProgramFileResources(pakico_.Folder() + "Pakico.exe");
    const DWORD version = MAKELONG(10, 1);
    EXPECT_EQ(version, file.fileVersionMS);
    EXPECT_EQ(0u, file.fileVersionLS);
    EXPECT_EQ(version, file.productVersionMS);
    EXPECT_EQ(0u, file.productVersionLS);
    EXPECT_EQ("1.10", file.fileVersion);
    EXPECT_EQ("1.10", file.productVersion);
    EXPECT_TRUE(file.icon);
    EXPECT_NE(std::string::npos, file.manifest.find("name=\"Pakico\" version=\"1.10.0.0\""))
        << file.manifest;
    // The pointer resting on an address shows the address as a hint.
    for (const std::string address : {"pakico@example.jp", "http://www.example.jp/pakico/"}) {
        HWND field = FindChildByText(about, address);
        ASSERT_NE(nullptr, field) << address;
        EXPECT_EQ(address, HintShownOver(pakico_.ProcessId(), field));
    }
    // Drawn with the common controls of version 6 (visual styles), as the manifest asks.
    std::string controls = LoadedModulePath(pakico_.ProcessId(), "comctl32.dll");
    EXPECT_NE(std::string::npos, LowerCase(controls).find("common-controls")) << controls;
    ExpectRestingWithoutTrayMenu(pakico_);
    EXPECT_EQ(0u, pakico_.MorvaRuns()) << "the icon's double click started the companion";

    ASSERT_TRUE(Click(FindChildByText(about, "&OK")));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kSettleMs));
    // The cat is ready the moment the box has gone, not at the next tick: a right click a
    // person gives it at once opens its menu.
    Sleep(100);
    EXPECT_NE(nullptr, pakico_.OpenCatMenu()) << "no menu on the cat just after the box closed";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(pakico_.WaitForMenuClosed(kSettleMs));
    EXPECT_EQ("CoolForm1", pakico_.Layer());
    HWND menu = pakico_.OpenTrayMenu();
    EXPECT_NE(nullptr, menu) << "the icon's menu is back";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(pakico_.WaitForMenuClosed(kSettleMs));
}

TEST_F(TrayMenu, PlacementsTouchTheEdgesOfTheWorkArea) {
    ASSERT_TRUE(pakico_.Start());
    const RECT a = WorkArea();
    const LONG centre = a.left + (a.right - a.left) / 2 - kCatWidth / 2;
    struct {
        int downs;
        LONG left, top;
        const char* name;
    } places[] = {
        {6, a.right - kCatWidth, a.bottom - kCatHeight, "下の右寄せ"},
        {1, centre, a.top, "上の中央寄せ"},
        {4, a.left, a.bottom - kCatHeight, "下の左寄せ"},
        {3, a.right - 2 * kCatWidth, a.top, "上の右端付近"},
        {5, centre, a.bottom - kCatHeight, "下の中央寄せ"},
        {2, a.right - kCatWidth, a.top, "上の右寄せ"},
        {0, a.left, a.top, "上の左寄せ"},
    };
    for (const auto& place : places) {
        Place(place.downs);
        EXPECT_TRUE(WaitForPlace(place.left, place.top))
            << place.name << ": at " << pakico_.Frame().left << "," << pakico_.Frame().top;
        RECT frame = pakico_.Frame();
        EXPECT_EQ(kCatWidth, frame.right - frame.left);
        EXPECT_EQ(kCatHeight, frame.bottom - frame.top);
    }
}

TEST_F(TrayMenu, HiddenCatComesBackAtTheSamePlace) {
    SaveCatPlace(250, 150);
    ASSERT_TRUE(pakico_.Start());
    ASSERT_NE(nullptr, pakico_.OpenTrayMenu());
    // "非表示(&H)" shares its letter with "ヘルプ(&H)": reach it from "居場所(&P)" above it.
    PressKeys({'P', VK_ESCAPE, VK_DOWN, VK_RETURN});
    ASSERT_TRUE(pakico_.WaitForMenuClosed(kSettleMs));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(pakico_.Main()); }, kSettleMs));
    EXPECT_TRUE(pakico_.Running());

    ASSERT_NE(nullptr, pakico_.OpenTrayMenu());
    PressKey('I'); // "表示(&I)" is offered now
    ASSERT_TRUE(pakico_.WaitForMenuClosed(kSettleMs));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(pakico_.Main()) != FALSE; }, kSettleMs));
    RECT frame = pakico_.Frame();
    EXPECT_EQ(250, frame.left);
    EXPECT_EQ(150, frame.top);
    EXPECT_TRUE(GetWindowLongA(pakico_.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(TrayMenu, TheEndSavesThePositionForTheNextStart) {
    ASSERT_TRUE(pakico_.Start());
    const RECT a = WorkArea();
    Place(6); // "下の右寄せ"
    ASSERT_TRUE(WaitForPlace(a.right - kCatWidth, a.bottom - kCatHeight));
    ASSERT_TRUE(pakico_.ChooseEnd());
    EXPECT_EQ(0, pakico_.WaitForExit(10000));
    EXPECT_TRUE(TopWindows("PakicoTaskTrayIcon", pakico_.ProcessId()).empty());
    DWORD left = 0, top = 0;
    ASSERT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Left", left));
    ASSERT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Top", top));
    EXPECT_EQ(a.right - kCatWidth, static_cast<LONG>(left));
    EXPECT_EQ(a.bottom - kCatHeight, static_cast<LONG>(top));

    ASSERT_TRUE(WaitUntil([] { return !CopyRunning(); }, 10000));
    PakicoRun again;
    ASSERT_TRUE(again.Start());
    RECT frame = again.Frame();
    EXPECT_EQ(a.right - kCatWidth, frame.left);
    EXPECT_EQ(a.bottom - kCatHeight, frame.top);
}

TEST_F(StartupShortcut, CancelKeepsTheProgramRunning) {
    ASSERT_TRUE(pakico_.Start());
    ASSERT_TRUE(pakico_.ChooseEnd());
    HWND question = WaitForDialog(pakico_.ProcessId(), "確認");
    ASSERT_NE(nullptr, question);
    ExpectRestingWithoutTrayMenu(pakico_);
    ASSERT_TRUE(Click(FindChildByText(question, "キャンセル")));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(question); }, kSettleMs));
    EXPECT_TRUE(pakico_.WaitForLayer("CoolForm1", 2500));
    Sleep(1000);
    EXPECT_TRUE(pakico_.Running());
    EXPECT_TRUE(FileExists(Shortcut()));
}

TEST_F(StartupShortcut, NoRemovesTheShortcutAndQuits) {
    ASSERT_TRUE(pakico_.Start());
    EndAnswering("いいえ(&N)");
    EXPECT_EQ(0, pakico_.WaitForExit(10000));
    EXPECT_FALSE(FileExists(Shortcut()));
}

TEST_F(StartupShortcut, YesKeepsTheShortcutAndQuits) {
    ASSERT_TRUE(pakico_.Start());
    EndAnswering("はい(&Y)");
    EXPECT_EQ(0, pakico_.WaitForExit(10000));
    EXPECT_TRUE(FileExists(Shortcut()));
}

// Start-up turned off in Task Manager (the shortcut stays, the choice is kept apart): the
// settings show it off, and saving them leaves it so; ticking the box turns it on again. Turned
// off, the end asks nothing and leaves the shortcut.
TEST_F(StartupShortcut, TurnedOffInTaskManagerItIsShownAsWindowsWillDoIt) {
    TurnOffInTaskManager();
    WriteSettingNumber("Setting", "Confirmation1", 1);
    ASSERT_TRUE(pakico_.Start());
    for (int box : {IDC_CFG_CHBLASTCONF, IDC_CFG_CHBSETUPTASKTRAY}) {
        ASSERT_TRUE(pakico_.WaitForLayer("CoolForm1", kSettleMs));
        ASSERT_NE(nullptr, pakico_.OpenTrayMenu());
        PressKey('G');
        HWND settings = WaitForDialog(pakico_.ProcessId(), "環境設定 - Pakico");
        ASSERT_NE(nullptr, settings);
        EXPECT_EQ(BST_UNCHECKED,
                  SendDlgItemMessageA(settings, IDC_CFG_CHBSETUPTASKTRAY, BM_GETCHECK, 0, 0));
        SendDlgItemMessageA(settings, box, BM_CLICK, 0, 0);
        PostMessageA(GetDlgItem(settings, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }, kSettleMs));
        const bool turnedOn = box == IDC_CFG_CHBSETUPTASKTRAY;
        EXPECT_EQ(turnedOn, ReadFileBytes(Shortcut()) != "shortcut") << "written again";
        EXPECT_EQ(turnedOn, RegGetValueA(HKEY_CURRENT_USER, kStartupApproved, "Pakico.lnk",
                                         RRF_RT_ANY, nullptr, nullptr, nullptr) != ERROR_SUCCESS);
    }
    TurnOffInTaskManager();
    ASSERT_TRUE(pakico_.WaitForLayer("CoolForm1", kSettleMs));
    ASSERT_TRUE(pakico_.ChooseEnd());
    EXPECT_EQ(0, pakico_.WaitForExit(10000)) << "the end asked about the shortcut";
    EXPECT_TRUE(FileExists(Shortcut()));
}
