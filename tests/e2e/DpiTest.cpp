// The cat on screens of 96, 144 and 192 dpi (the "LogPixels" of the test prefix, read by each
// program as it starts): its size and outline, its pictures pixel for pixel, its menu, a drop,
// the placements, a move to a denser monitor, and a saved place on a monitor that has gone.
#include "e2e/E2eSupport.h"
#include "e2e/OpenDialogDriver.h"
#include "app/DropAboutFormRes.h"
#include "config/CoolConfigFormRes.h"
#include "folders/TreeFormRes.h"
#include "shell/RegionStream.h"
#include "ui/Dpi.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>

using namespace e2e;
using namespace testing_support;

namespace {

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// The window region's data as the platform gives it.
std::vector<std::uint8_t> RegionBytes(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    std::vector<std::uint8_t> bytes;
    if (GetWindowRgn(window, region) != ERROR) {
        bytes.resize(GetRegionData(region, 0, nullptr));
        GetRegionData(region, static_cast<DWORD>(bytes.size()),
                      reinterpret_cast<RGNDATA*>(bytes.data()));
    }
    DeleteObject(region);
    return bytes;
}

// The outline stored in the program (resource 120), as the region data it holds.
std::vector<std::uint8_t> StoredOutline(const std::string& program) {
    std::vector<std::uint8_t> data;
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return data;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(120), MAKEINTRESOURCEA(10))) {
        auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(module, found)));
        if (auto region = RegionDataFromStream(bytes, SizeofResource(module, found)))
            data = *region;
    }
    FreeLibrary(module);
    return data;
}

bool Inside(HWND window, int x, int y) {
    HRGN outline = CreateRectRgn(0, 0, 0, 0);
    bool inside = GetWindowRgn(window, outline) != ERROR && PtInRegion(outline, x, y);
    DeleteObject(outline);
    return inside;
}

// A message of the platform that carries a pointer, sent from another process: the rectangle
// lies at the same address in both, so it is read right whether or not the platform copies it
// across.
class SharedRect {
  public:
    SharedRect(HANDLE process, const RECT& rect) : process_(process) {
        for (std::uintptr_t at = 0x30000000; at < 0x60000000 && !address_; at += 0x01000000) {
            void* here = VirtualAlloc(reinterpret_cast<void*>(at), sizeof rect,
                                      MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
            if (!here)
                continue;
            void* there = VirtualAllocEx(process, here, sizeof rect, MEM_RESERVE | MEM_COMMIT,
                                         PAGE_READWRITE);
            if (there == here) {
                address_ = here;
                break;
            }
            if (there)
                VirtualFreeEx(process, there, 0, MEM_RELEASE);
            VirtualFree(here, 0, MEM_RELEASE);
        }
        if (!address_)
            return;
        std::memcpy(address_, &rect, sizeof rect);
        SIZE_T written = 0;
        WriteProcessMemory(process, address_, &rect, sizeof rect, &written);
    }
    ~SharedRect() {
        if (address_) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
            VirtualFree(address_, 0, MEM_RELEASE);
        }
    }
    SharedRect(const SharedRect&) = delete;
    SharedRect& operator=(const SharedRect&) = delete;
    LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
    // What the other process left there.
    RECT Read() const {
        RECT rect{};
        SIZE_T read = 0;
        ReadProcessMemory(process_, address_, &rect, sizeof rect, &read);
        return rect;
    }

  private:
    HANDLE process_;
    void* address_ = nullptr;
};

// Sends a message of the platform's that points at a rectangle (or a size) to a window of the
// program: the rectangle as the program left it, or -1s when the message was not taken.
RECT SendWithRect(HANDLE process, HWND window, UINT message, WPARAM wParam, const RECT& rect) {
    SharedRect shared(process, rect);
    DWORD_PTR result = 0;
    if (!shared.Address() || !SendMessageTimeoutA(window, message, wParam, shared.Address(),
                                                  SMTO_ABORTIFHUNG, 5000, &result))
        return {-1, -1, -1, -1};
    return shared.Read();
}

// A window's width, or its client area's.
LONG WidthOf(HWND window, bool client = false) {
    RECT r{};
    client ? GetClientRect(window, &r) : GetWindowRect(window, &r);
    return r.right - r.left;
}

// How many rows of a control's text hold ink: its height as drawn.
int InkRows(HWND control) {
    RECT area{};
    GetWindowRect(control, &area);
    const auto pixels = ScreenPixels(area);
    const size_t width = static_cast<size_t>(area.right - area.left);
    int rows = 0;
    for (size_t row = 0; width > 0 && row < pixels.size(); row += width)
        rows += std::any_of(pixels.begin() + row, pixels.begin() + row + width, [](COLORREF c) {
            return GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
        });
    return rows;
}

class Dpi : public E2eTest {};

} // namespace

// At each density: the size, the outline and the pictures of the cat grown by the whole factor
// (byte for byte the stored outline at 96 dpi), its menu grown with the font, and a drop still
// handed over.
TEST_F(Dpi, TheCatIsCrispAndWorksAtEveryDensity) {
    struct {
        DWORD dpi;
        int factor;
        LONG settingsWidth, settingsHeight, archiveRow; // the settings dialog, grown in proportion
    } densities[] = {{96, 1, 502, 346, 17}, {144, 2, 753, 519, 26}, {192, 2, 1004, 692, 34}};
    std::vector<COLORREF> base;
    std::map<DWORD, LONG> menuHeights, textRows;
    for (const auto& d : densities) {
        SCOPED_TRACE(std::to_string(d.dpi) + " dpi");
        ScopedLogPixels density(d.dpi);
        ASSERT_TRUE(density.Set());
        SaveCatPlace(300, 200);
        PakicoRun pakico;
        ASSERT_TRUE(pakico.Start());
        HWND cat = pakico.Main();
        const int width = kCatWidth * d.factor, height = kCatHeight * d.factor;

        RECT frame = pakico.Frame();
        EXPECT_EQ(300, frame.left);
        EXPECT_EQ(200, frame.top);
        EXPECT_EQ(width, frame.right - frame.left);
        EXPECT_EQ(height, frame.bottom - frame.top);
        const auto stored = StoredOutline(pakico.Folder() + "Pakico.exe");
        ASSERT_FALSE(stored.empty());
        EXPECT_EQ(ScaleRegionData(stored, d.factor), RegionBytes(cat));
        if (d.factor == 1) {
            EXPECT_EQ(stored, RegionBytes(cat)) << "the stored outline itself";
        }
        RECT box{};
        HRGN outline = CreateRectRgn(0, 0, 0, 0);
        GetWindowRgn(cat, outline);
        GetRgnBox(outline, &box);
        DeleteObject(outline);
        EXPECT_EQ(3 * d.factor, box.left);
        EXPECT_EQ(1 * d.factor, box.top);
        EXPECT_EQ(57 * d.factor, box.right);
        EXPECT_EQ(58 * d.factor, box.bottom);
        EXPECT_TRUE(Inside(cat, width / 2, height / 2));
        EXPECT_FALSE(Inside(cat, 0, 0));

        ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
        // The pointer away from the cat, so that no hint covers it.
        SendPointer(MOUSEEVENTF_MOVE, {frame.right + 200, frame.bottom + 200});
        Sleep(500);
        EXPECT_TRUE(pakico.Screenshot("cat_" + std::to_string(d.dpi) + ".bmp"));
        // Every pixel of the grown cat is the pixel of the 96-dpi cat it grew from.
        const auto pixels = ScreenPixels(pakico.Frame());
        ASSERT_EQ(static_cast<size_t>(width * height), pixels.size());
        if (d.factor == 1)
            base = pixels;
        int mismatches = 0, compared = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (!Inside(cat, x, y))
                    continue;
                ++compared;
                const COLORREF want =
                    base[static_cast<size_t>(y / d.factor * kCatWidth + x / d.factor)];
                if (pixels[static_cast<size_t>(y * width + x)] != want && ++mismatches <= 5)
                    ADD_FAILURE() << "pixel " << x << "," << y;
            }
        EXPECT_EQ(0, mismatches);
        EXPECT_GT(compared, width * height / 2);

        RightClickAt(pakico.Centre());
        HWND menu = pakico.WaitForMenu(kSettleMs);
        ASSERT_NE(nullptr, menu);
        Sleep(300);
        RECT menuFrame{};
        GetWindowRect(menu, &menuFrame);
        menuHeights[d.dpi] = menuFrame.bottom - menuFrame.top;
        EXPECT_TRUE(SaveScreenshot(menuFrame, "menu_" + std::to_string(d.dpi) + ".bmp"));
        PressKey(VK_ESCAPE);
        ASSERT_TRUE(pakico.WaitForMenuClosed(kSettleMs));

        // The settings dialog grows with its text and its archive lists' rows.
        ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
        ASSERT_NE(nullptr, pakico.OpenTrayMenu());
        PressKey('G');
        HWND settings = nullptr;
        WaitUntil(
            [&] {
                settings = FindDialog(pakico.ProcessId(), "環境設定 - Pakico");
                return settings && IsWindowVisible(settings);
            },
            kSettleMs);
        ASSERT_NE(nullptr, settings) << "the settings dialog did not open";
        RECT client{};
        GetClientRect(settings, &client);
        EXPECT_EQ(d.settingsWidth, client.right);
        EXPECT_EQ(d.settingsHeight, client.bottom);
        for (int list : {IDC_CFG_CMBFAVARCHIVE, IDC_CFG_CMBFAVSFXARCHIVE})
            EXPECT_EQ(d.archiveRow, SendDlgItemMessageA(settings, list, CB_GETITEMHEIGHT, 0, 0));
        // A plain list's rows are as tall as its font.
        textRows[d.dpi] = static_cast<LONG>(
            SendDlgItemMessageA(settings, IDC_CFG_CMBDUPLICATE, CB_GETITEMHEIGHT, 0, 0));
        RECT settingsFrame{};
        GetWindowRect(settings, &settingsFrame);
        for (int page = 0; page < 5; ++page) {
            SendDlgItemMessageA(settings, IDC_CFG_PAGECONTROL, TCM_SETCURFOCUS, page, 0);
            Sleep(300); // painted, for the picture
            EXPECT_TRUE(SaveScreenshot(settingsFrame, "settings_" + std::to_string(d.dpi) +
                                                          "_page" + std::to_string(page) + ".bmp"));
        }
        PostMessageA(settings, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(settings); }, kSettleMs));
        ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();

        std::string text = pakico.Scratch() + "memo.txt";
        WriteFileBytes(text, "memo");
        MorvaRun run = DropAndWait(pakico, {}, {text});
        ExpectHandOff(pakico, run, "/QA \\", {text});

        ASSERT_TRUE(pakico.ChooseEnd());
        EXPECT_EQ(0, pakico.WaitForExit(10000));
        ASSERT_TRUE(WaitUntil([] { return !CopyRunning(); }, 10000));
    }
    // The menu's rows follow the font and the images: half as tall again at 144 dpi, twice at
    // 192 (less a few pixels of fixed frame).
    EXPECT_GE(menuHeights[144] * 10, menuHeights[96] * 14)
        << menuHeights[96] << " " << menuHeights[144];
    EXPECT_GE(menuHeights[192] * 10, menuHeights[96] * 18)
        << menuHeights[96] << " " << menuHeights[192];
    // So does the settings dialog's text.
    EXPECT_GE(textRows[144] * 10, textRows[96] * 14) << textRows[96] << " " << textRows[144];
    EXPECT_GE(textRows[192] * 10, textRows[96] * 18) << textRows[96] << " " << textRows[192];
}

// The placements at 192 dpi keep the twice-as-large cat to the edges of the work area, the
// About box is twice as large, and the place is kept for the next start.
TEST_F(Dpi, PlacementsAndTheAboutBoxAtTwiceTheDensity) {
    ScopedLogPixels density(192);
    ASSERT_TRUE(density.Set());
    SaveCatPlace(300, 200);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    ASSERT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs));
    const RECT a = WorkArea();
    struct {
        int downs;
        LONG left, top;
    } places[] = {{6, a.right - 2 * kCatWidth, a.bottom - 2 * kCatHeight},
                  {3, a.right - 4 * kCatWidth, a.top}};
    for (const auto& p : places) {
        ASSERT_NE(nullptr, pakico.OpenTrayMenu());
        PressKey('P');
        for (int i = 0; i < p.downs; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        ASSERT_TRUE(pakico.WaitForMenuClosed(kSettleMs));
        EXPECT_TRUE(
            WaitUntil([&] { return pakico.Frame().left == p.left && pakico.Frame().top == p.top; },
                      kSettleMs))
            << p.downs << ": at " << pakico.Frame().left << "," << pakico.Frame().top;
        EXPECT_EQ(2 * kCatWidth, pakico.Frame().right - pakico.Frame().left);
    }
    // The About box and its face grow alike.
    ASSERT_NE(nullptr, pakico.OpenTrayMenu());
    PressKey('A');
    HWND about = nullptr;
    WaitUntil([&] { return (about = FindDialog(pakico.ProcessId(), "About Pakico")) != nullptr; },
              kSettleMs);
    ASSERT_NE(nullptr, about) << "the About box did not open";
    RECT client{}, frame{}, face{};
    GetClientRect(about, &client);
    GetWindowRect(about, &frame);
    EXPECT_EQ(2 * 378, client.right);
    EXPECT_EQ(2 * 131, client.bottom);
    GetWindowRect(GetDlgItem(about, 201), &face);
    EXPECT_EQ(64, face.right - face.left);
    EXPECT_EQ(64, face.bottom - face.top);
    EXPECT_TRUE(SaveScreenshot(frame, "about_192.bmp"));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kSettleMs));

    // So does the folder selection dialog, frame and buttons. Its size is kept in pixels of a
    // 96-dpi screen, as the companion keeps it.
    WriteSettingNumber("Dialog", "TreeDlg_Width", 400);
    WriteSettingNumber("Dialog", "TreeDlg_Height", 370);
    ASSERT_NE(nullptr, pakico.OpenTrayMenu());
    PressKey('N');
    HWND folders = nullptr;
    WaitUntil(
        [&] { return (folders = FindDialog(pakico.ProcessId(), "監視フォルダの選択")) != nullptr; },
        kSettleMs);
    ASSERT_NE(nullptr, folders) << "the folder dialog did not open";
    RECT button{};
    GetWindowRect(folders, &frame);
    GetWindowRect(GetDlgItem(folders, IDOK), &button);
    EXPECT_EQ(2 * 400, frame.right - frame.left);
    EXPECT_EQ(2 * 370, frame.bottom - frame.top);
    EXPECT_EQ(2 * 100, button.right - button.left);
    EXPECT_EQ(2 * 23, button.bottom - button.top);
    Sleep(700); // the tree fills and the buttons are drawn
    EXPECT_TRUE(SaveScreenshot(frame, "folders_192.bmp"));
    PostMessageA(folders, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(folders); }, kSettleMs));
    DWORD width = 0, height = 0;
    EXPECT_TRUE(ReadSettingNumber("Dialog", "TreeDlg_Width", width));
    EXPECT_TRUE(ReadSettingNumber("Dialog", "TreeDlg_Height", height));
    EXPECT_EQ(400u, width);
    EXPECT_EQ(370u, height);
    EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << "the cat is ready again";

    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(10000));
    DWORD left = 0;
    EXPECT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Left", left));
    EXPECT_EQ(a.right - 4 * kCatWidth, static_cast<LONG>(left));
}

// Dragged to a monitor of twice the density, the platform tells the cat so: it grows to twice
// its size at the place the platform suggests, outline and all, and shrinks back on the way
// home; asked first for its size there, it answers that size (so that the platform keeps it
// under the pointer). (Wine shows one monitor here: the test sends the platform's messages.)
TEST_F(Dpi, ADenserMonitorGrowsTheCatAndALessDenseOneShrinksIt) {
    SaveCatPlace(300, 200);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    HWND cat = pakico.Main();
    const auto stored = RegionBytes(cat);
    ASSERT_FALSE(stored.empty());
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ, FALSE,
                                 pakico.ProcessId());
    ASSERT_NE(nullptr, process);
    struct {
        WORD dpi;
        RECT suggested;
        int factor;
    } moves[] = {{192, {400, 250, 516, 368}, 2}, {96, {350, 220, 408, 279}, 1}};
    for (const auto& m : moves) {
        SharedRect size(process, {kCatWidth * 3 / 2, kCatHeight * 3 / 2, 0, 0}); // the proposal
        ASSERT_NE(0, size.Address());
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(cat, 0x02E4 /* WM_GETDPISCALEDSIZE */, m.dpi,
                                        size.Address(), SMTO_ABORTIFHUNG, 5000, &result));
        EXPECT_EQ(TRUE, result) << m.dpi;
        EXPECT_EQ(kCatWidth * m.factor, size.Read().left) << m.dpi;
        EXPECT_EQ(kCatHeight * m.factor, size.Read().top) << m.dpi;
        SharedRect suggested(process, m.suggested);
        ASSERT_NE(0, suggested.Address());
        ASSERT_TRUE(SendMessageTimeoutA(cat, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(m.dpi, m.dpi),
                                        suggested.Address(), SMTO_ABORTIFHUNG, 5000, &result));
        RECT frame = pakico.Frame();
        EXPECT_EQ(m.suggested.left, frame.left) << m.dpi;
        EXPECT_EQ(m.suggested.top, frame.top) << m.dpi;
        EXPECT_EQ(kCatWidth * m.factor, frame.right - frame.left) << m.dpi;
        EXPECT_EQ(kCatHeight * m.factor, frame.bottom - frame.top) << m.dpi;
        EXPECT_EQ(ScaleRegionData(stored, m.factor), RegionBytes(cat)) << m.dpi;
        EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs)) << pakico.Layer();
        EXPECT_TRUE(pakico.Screenshot("cat_moved_" + std::to_string(m.dpi) + ".bmp"));
    }
    CloseHandle(process);
    EXPECT_TRUE(pakico.Running());
    ASSERT_TRUE(pakico.ChooseEnd());
    EXPECT_EQ(0, pakico.WaitForExit(10000));
}

// Moved to a monitor of twice the density, or when its monitor changes density, each dialog
// says beforehand what size it will take and then lays itself out again with its own fonts,
// pictures and rows. (Wine sends no such message: the test sends the platform's itself.)
TEST_F(Dpi, DialogsLayThemselvesOutAgainAtANewDensity) {
    TempFolder folder("dpi");
    WriteHistoryList("History\\TreeDlg", {folder.path().substr(0, folder.path().size() - 1)});
    SaveCatPlace(300, 200);
    PakicoRun pakico;
    ASSERT_TRUE(pakico.Start());
    win::ScopedHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
                                          FALSE, pakico.ProcessId()));
    ASSERT_TRUE(process);
    auto open = [&](WORD key, const std::string& caption) {
        EXPECT_TRUE(pakico.WaitForLayer("CoolForm1", kSettleMs) && pakico.OpenTrayMenu());
        PressKey(key);
        SendPointer(MOUSEEVENTF_MOVE, {1000, 5}); // no hint over the dialog
        return WaitForDialog(pakico.ProcessId(), caption);
    };
    // The platform's suggestion: the frame grown in proportion, at the same corner.
    auto moveTo = [&](HWND dialog, WORD dpi, int from) {
        RECT r{};
        GetWindowRect(dialog, &r);
        r.right = r.left + MulDiv(r.right - r.left, dpi, from);
        r.bottom = r.top + MulDiv(r.bottom - r.top, dpi, from);
        EXPECT_NE(
            -1, SendWithRect(process.get(), dialog, ui::kDpiChangedMessage, MAKEWPARAM(dpi, dpi), r)
                    .left);
        Sleep(500); // painted
    };
    auto rowOf = [](HWND dialog, int list) {
        return static_cast<LONG>(SendDlgItemMessageA(dialog, list, CB_GETITEMHEIGHT, 0, 0));
    };

    // The About box: twice the size and its face too, its bold title still larger than the rest.
    HWND about = open('A', "About Pakico");
    ASSERT_NE(nullptr, about);
    HWND title = GetDlgItem(about, IDC_ABOUT_LABEL2), label = GetDlgItem(about, IDC_ABOUT_LABEL1);
    const int title96 = InkRows(title);
    const RECT said = SendWithRect(process.get(), about, ui::kGetDpiScaledSizeMessage, 192, {});
    moveTo(about, 192, 96);
    EXPECT_EQ(2 * 378, WidthOf(about, true));
    RECT frame{}, face{};
    GetWindowRect(about, &frame);
    EXPECT_EQ(said.left, frame.right - frame.left) << "the size it said it would take";
    EXPECT_EQ(said.top, frame.bottom - frame.top);
    GetWindowRect(GetDlgItem(about, IDC_ABOUT_IMAGE), &face);
    EXPECT_EQ(64, face.right - face.left);
    const int title192 = InkRows(title), label192 = InkRows(label);
    EXPECT_GE(title192 * 10, title96 * 17) << title96 << " " << title192;
    EXPECT_GT(title192 * 10, label192 * 12) << title192 << " " << label192;
    ASSERT_TRUE(CloseDialog(about, IDOK));

    // The settings: twice the size, with the archive lists' rows and the text of a plain list.
    HWND settings = open('G', "環境設定 - Pakico");
    ASSERT_NE(nullptr, settings);
    const LONG text96 = rowOf(settings, IDC_CFG_CMBDUPLICATE);
    moveTo(settings, 192, 96);
    EXPECT_EQ(1004, WidthOf(settings, true));
    EXPECT_EQ(34, rowOf(settings, IDC_CFG_CMBFAVARCHIVE));
    EXPECT_GE(rowOf(settings, IDC_CFG_CMBDUPLICATE) * 10, text96 * 18) << text96;
    ASSERT_TRUE(CloseDialog(settings, IDCANCEL));

    // The folder dialog: the size the platform suggests, its buttons and its history's rows grown;
    // its size is kept for a 96-dpi screen all the same.
    HWND folders = open('N', "監視フォルダの選択");
    ASSERT_NE(nullptr, folders);
    const LONG width96 = WidthOf(folders), history96 = rowOf(folders, IDC_TREE_HISCMBPATH);
    moveTo(folders, 192, 96);
    EXPECT_EQ(2 * width96, WidthOf(folders));
    EXPECT_EQ(200, WidthOf(GetDlgItem(folders, IDOK)));
    EXPECT_GE(rowOf(folders, IDC_TREE_HISCMBPATH) * 10, history96 * 14) << history96;
    // Its answer, the question whether to watch, grows as well.
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(folders, IDOK)); }, kSettleMs));
    PostMessageA(folders, WM_COMMAND, IDOK, 0);
    HWND question = WaitForDialog(pakico.ProcessId(), "確認");
    ASSERT_NE(nullptr, question);
    const LONG question96 = WidthOf(question, true);
    moveTo(question, 192, 96);
    EXPECT_GE(WidthOf(question, true) * 10, question96 * 18) << question96;
    ASSERT_TRUE(CloseDialog(question, IDNO));
    DWORD savedWidth = 0;
    EXPECT_TRUE(ReadSettingNumber("Dialog", "TreeDlg_Width", savedWidth));
    EXPECT_EQ(388u, savedWidth) << "its width at 96 dpi";
}

// The cat was saved on a monitor that is no longer there: it comes back to the top left of the
// primary monitor's work area, and the saved place is kept for the monitor's return.
TEST_F(Dpi, ACatSavedOnAnUnpluggedMonitorComesBackToTheTopLeft) {
    const RECT a = WorkArea();
    for (LONG left : {5000L, -3000L}) {
        SaveCatPlace(static_cast<DWORD>(left), 200);
        PakicoRun pakico;
        ASSERT_TRUE(pakico.Start());
        RECT frame = pakico.Frame();
        EXPECT_EQ(a.left, frame.left) << left;
        EXPECT_EQ(a.top, frame.top) << left;
        EXPECT_TRUE(IsWindowVisible(pakico.Main()));
        ASSERT_TRUE(pakico.ChooseEnd());
        EXPECT_EQ(0, pakico.WaitForExit(10000));
        DWORD saved = 1234;
        EXPECT_TRUE(ReadSettingNumber("Dialog\\Pakico", "Left", saved));
        EXPECT_EQ(static_cast<DWORD>(left), saved);
        ASSERT_TRUE(WaitUntil([] { return !CopyRunning(); }, 10000));
    }
}
