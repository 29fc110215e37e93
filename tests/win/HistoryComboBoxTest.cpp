// The history combo box against the real registry: loading, adding at the top, saving from
// scratch, and drawing with the shell's small icons without leaking GDI objects.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HistoryTestSupport.h"
#include "UiTestSupport.h"
#include "history/HistoryComboBox.h"
#include "util/Errors.h"

using namespace history_test;
using namespace ui_test;

namespace {

const std::string kKey = settings::HistoryTreeDlgKey;

class CountingHistoryCombo : public THistoryComboBox {
  public:
    int drawn = 0;

  protected:
    void DrawItem(const DRAWITEMSTRUCT& draw) override {
        ++drawn;
        THistoryComboBox::DrawItem(draw);
    }
};

class HistoryComboBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey);
        ASSERT_TRUE(combo.Create(host.Handle(), 1001, RECT{10, 10, 330, 250}));
        combo.Key = kKey;
    }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey); }

    std::vector<std::string> Items() const {
        std::vector<std::string> out;
        for (int i = 0; i < combo.Count(); ++i)
            out.push_back(combo.Item(i));
        return out;
    }
    void Fill(const std::vector<std::string>& items) {
        combo.ClearItems();
        for (const std::string& item : items)
            combo.AddItem(item);
    }

    HostWindow host;
    CountingHistoryCombo combo;
};

} // namespace

TEST_F(HistoryComboBoxTest, LoadStopsAtTheFirstEmptyValue) {
    PutList(kKey, {"C:\\0", "C:\\1", "C:\\2", "", "C:\\4"}, 5);
    combo.LoadHistory(false);
    EXPECT_EQ((std::vector<std::string>{"C:\\0", "C:\\1", "C:\\2"}), Items());
    EXPECT_EQ(-1, combo.ItemIndex());
    combo.LoadHistory(true);
    EXPECT_EQ(0, combo.ItemIndex());
}

TEST_F(HistoryComboBoxTest, LoadKeepsAtMostTheMaximumAndTheLaterSpelling) {
    PutList(kKey, Paths("C:\\d%d", 0, 11), 12);
    combo.LoadHistory(false);
    EXPECT_EQ(Paths("C:\\d%d", 0, 8), Items());

    PutList(kKey, {"C:\\Data", "C:\\x", "c:\\data"}, 3);
    combo.LoadHistory(false);
    EXPECT_EQ((std::vector<std::string>{"C:\\x", "c:\\data"}), Items());
}

TEST_F(HistoryComboBoxTest, LoadWithoutCountRaisesAndWithoutKeyLeavesItEmpty) {
    Fill({"C:\\old"});
    combo.LoadHistory(false);
    EXPECT_EQ(0, combo.Count());

    PutList(kKey, {"C:\\0"}, 1);
    HKEY h = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, kKey.c_str(), 0, KEY_ALL_ACCESS, &h);
    RegDeleteValueA(h, "Count");
    RegCloseKey(h);
    try {
        combo.LoadHistory(false);
        ADD_FAILURE() << "no ERegistryError";
    } catch (const ERegistryError& e) {
        EXPECT_STREQ("'Count' の取得に失敗しました", e.what());
    }
}

TEST_F(HistoryComboBoxTest, KeyMayStartWithASeparator) {
    PutList(kKey, {"C:\\0"}, 1);
    combo.Key = "\\" + kKey;
    combo.LoadHistory(true);
    EXPECT_EQ(std::vector<std::string>{"C:\\0"}, Items());
}

TEST_F(HistoryComboBoxTest, NewTextGoesOnTopOfNine) {
    Fill(Paths("C:\\d%d", 0, 8));
    combo.AddHistory("D:\\new");
    std::vector<std::string> expected = {"D:\\new"};
    for (const std::string& s : Paths("C:\\d%d", 0, 7))
        expected.push_back(s);
    EXPECT_EQ(expected, Items());
    EXPECT_EQ(0, combo.ItemIndex());
    combo.AddHistory("");
    EXPECT_EQ(expected, Items());
}

TEST_F(HistoryComboBoxTest, OtherSpellingOfItemFiveMovesToTopInTheNewSpelling) {
    Fill({"C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e", "C:\\Folder", "C:\\g", "C:\\h", "C:\\i"});
    combo.AddHistory("c:\\FOLDER");
    EXPECT_EQ((std::vector<std::string>{"c:\\FOLDER", "C:\\a", "C:\\b", "C:\\c", "C:\\d", "C:\\e",
                                        "C:\\g", "C:\\h", "C:\\i"}),
              Items());
    EXPECT_EQ("c:\\FOLDER", combo.Text());
}

TEST_F(HistoryComboBoxTest, SaveRewritesTheKeyWithTheSelectionOnTop) {
    PutList(kKey, Paths("C:\\old%d", 0, 15), 16);
    HKEY h = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, (kKey + "\\Sub").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &h, nullptr);
    RegCloseKey(h);
    Fill({"C:\\a", "C:\\b", "C:\\c"});
    combo.SetItemIndex(2);
    combo.SaveHistory(false);
    EXPECT_EQ((std::vector<std::string>{"C:\\c", "C:\\a", "C:\\b"}), GetList(kKey));
    EXPECT_FALSE(HasValue(kKey, "3"));
    EXPECT_FALSE(HasValue(kKey, "15"));
    EXPECT_NE(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, (kKey + "\\Sub").c_str(), 0, KEY_READ, &h));

    CountingHistoryCombo again;
    ASSERT_TRUE(again.Create(host.Handle(), 1002, RECT{10, 40, 330, 250}));
    again.Key = kKey;
    again.LoadHistory(true);
    EXPECT_EQ("C:\\c", again.Text());
    EXPECT_EQ(3, again.Count());
}

TEST_F(HistoryComboBoxTest, EmptyBoxSavesAnEmptyList) {
    PutList(kKey, {"C:\\a"}, 1);
    combo.SaveHistory(true);
    EXPECT_EQ(std::vector<std::string>{}, GetList(kKey));
    EXPECT_FALSE(HasValue(kKey, "0"));
}

namespace {
// The darkest channel sum of the pixels in a rectangle.
int Darkest(const Canvas& canvas, const RECT& r) {
    int darkest = 255 * 3;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            COLORREF c = canvas.At(x, y);
            darkest = std::min(darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
        }
    return darkest;
}

int Sum(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c);
}
} // namespace

TEST_F(HistoryComboBoxTest, ItemsAreDrawnWithIconAndTextAndGreyedWhenDisabled) {
    Fill({"C:\\windows", "Q:\\gone\\folder"});
    Canvas canvas(300, 40, RGB(1, 2, 3));
    auto draw = [&](int id, int top) {
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_COMBOBOX;
        d.CtlID = 1001;
        d.itemID = static_cast<UINT>(id);
        d.hwndItem = combo.Handle();
        d.hDC = canvas.dc();
        d.rcItem = {0, top, 300, top + 20};
        return SendMessageA(host.Handle(), WM_DRAWITEM, 1001, reinterpret_cast<LPARAM>(&d));
    };
    EXPECT_EQ(TRUE, draw(0, 0));
    EXPECT_EQ(TRUE, draw(1, 20));
    EXPECT_EQ(2, combo.drawn);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    RECT icon = {3, 1, 19, 17};
    RECT text = {27, 0, 300, 20};
    EXPECT_EQ(window, canvas.At(1, 10));        // filled with the item's background
    EXPECT_LT(canvas.Count(icon, window), 256); // an icon was drawn
    EXPECT_LT(Darkest(canvas, text), Sum(GetSysColor(COLOR_GRAYTEXT)));
    RECT missingIcon = {3, 21, 19, 37};
    EXPECT_LT(canvas.Count(missingIcon, window), 256); // the program's folder stands in

    EnableWindow(combo.Handle(), FALSE);
    draw(0, 0);
    EXPECT_GE(Darkest(canvas, text), Sum(GetSysColor(COLOR_GRAYTEXT)));
}

TEST_F(HistoryComboBoxTest, RedrawingLeaksNoGdiObjects) {
    Fill({"C:\\", "C:\\windows", "C:\\windows\\system32", "Q:\\gone"});
    combo.SetItemIndex(1);
    ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    SendMessageA(combo.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo.Handle(), &info);
    auto repaint = [&] {
        InvalidateRect(info.hwndList, nullptr, TRUE);
        UpdateWindow(info.hwndList);
        InvalidateRect(combo.Handle(), nullptr, TRUE);
        UpdateWindow(combo.Handle());
    };
    // One round enabled and one disabled first: the platform makes some objects of its own the
    // first time (cached for good), which must not be counted.
    for (BOOL enabled : {FALSE, TRUE}) {
        EnableWindow(combo.Handle(), enabled);
        repaint();
    }
    combo.drawn = 0;
    DWORD before = GdiCensus::Take();
    for (int i = 0; i < 100; ++i) {
        EnableWindow(combo.Handle(), i % 2 == 0 ? FALSE : TRUE);
        repaint();
    }
    DWORD after = GdiCensus::Take();
    SendMessageA(combo.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_GE(combo.drawn, 100 * 4);
    EXPECT_EQ(before, after);
}

TEST_F(HistoryComboBoxTest, SystemImageListIsSharedAndOutlivesTheBox) {
    SHFILEINFOA info = {};
    auto system = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    ASSERT_NE(nullptr, system);
    int count = ImageList_GetImageCount(system);
    {
        THistoryComboBox passing;
        EXPECT_EQ(system, passing.Images().Handle());
    }
    EXPECT_EQ(count, ImageList_GetImageCount(system));
    EXPECT_GT(count, 0);
}
