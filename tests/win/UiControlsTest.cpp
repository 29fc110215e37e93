// The window layer's image lists and owner-drawn combo boxes, in a window and in a dialog.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/ImageList.h"

using namespace ui_test;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

ui::ImageList RedAndBlue() {
    Canvas strip(32, 16, kMagenta);
    RECT red = {2, 2, 14, 14}, blue = {18, 2, 30, 14};
    HBRUSH r = CreateSolidBrush(kRed), b = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(strip.dc(), &red, r);
    FillRect(strip.dc(), &blue, b);
    DeleteObject(r);
    DeleteObject(b);
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(strip.bitmap(), IMAGE_BITMAP, 0, 0, 0));
    ui::ImageList list = ui::ImageList::FromBitmap(copy, 16, 16, kMagenta);
    DeleteObject(copy);
    return list;
}

// Counts what the parent hands on to it.
class CountingCombo : public ui::OwnerDrawComboBox {
  public:
    int measured = 0;
    std::vector<int> drawn;

  protected:
    void MeasureItem(MEASUREITEMSTRUCT& measure) override {
        ++measured;
        OwnerDrawComboBox::MeasureItem(measure);
        measure.itemHeight = 21;
    }
    void DrawItem(const DRAWITEMSTRUCT& draw) override {
        drawn.push_back(static_cast<int>(draw.itemID));
        OwnerDrawComboBox::DrawItem(draw);
    }
};

} // namespace

TEST(UiImageList, DrawsItsPicturesWithTransparency) {
    ui::ImageList list = RedAndBlue();
    ASSERT_TRUE(list);
    EXPECT_EQ(2, list.Count());
    EXPECT_EQ(16, list.Width());
    EXPECT_EQ(16, list.Height());
    Canvas canvas(40, 16, kWhite);
    EXPECT_TRUE(list.Draw(0, canvas.dc(), 0, 0));
    EXPECT_EQ(kRed, canvas.At(8, 8));
    EXPECT_EQ(kWhite, canvas.At(1, 1));
    EXPECT_FALSE(list.Draw(2, canvas.dc(), 0, 0));
    EXPECT_TRUE(list.DrawDisabled(0, canvas.dc(), 20, 0));
    RECT greyed = {20, 0, 36, 16};
    EXPECT_EQ(0, canvas.Count(greyed, kRed));
    EXPECT_GT(256, canvas.Count(greyed, kWhite));
    EXPECT_TRUE(list.GetIcon(1));
    EXPECT_FALSE(list.GetIcon(5));
    EXPECT_EQ(2, list.AddIcon(list.GetIcon(0).get()));
    EXPECT_EQ(3, list.Count());
}

TEST(UiImageList, SharedListIsNotDestroyed) {
    HIMAGELIST handle = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
    {
        ui::ImageList shared = ui::ImageList::Shared(handle);
        ui::ImageList moved = std::move(shared);
        EXPECT_EQ(handle, moved.Handle());
        EXPECT_FALSE(shared);
    }
    EXPECT_EQ(0, ImageList_GetImageCount(handle));
    EXPECT_TRUE(ImageList_Destroy(handle));
}

TEST(UiComboBox, ParentHandsMeasuringAndDrawingToTheBox) {
    HostWindow host;
    CountingCombo combo;
    ASSERT_TRUE(combo.Create(host.Handle(), 100, RECT{10, 10, 210, 200}));
    // Once asked by the platform while it made the box, once again with the box's font.
    EXPECT_GE(combo.measured, 2);
    EXPECT_EQ(&combo, ui::OwnerDrawComboBox::FromHandle(combo.Handle()));
    EXPECT_EQ(21, SendMessageA(combo.Handle(), CB_GETITEMHEIGHT, 0, 0));

    combo.AddItem("C:\\Windows");
    combo.InsertItem(0, "C:\\");
    combo.AddItem("D:\\表示");
    ASSERT_EQ(3, combo.Count());
    EXPECT_EQ("C:\\", combo.Item(0));
    EXPECT_EQ("D:\\表示", combo.Item(2));
    EXPECT_EQ("", combo.Item(7));
    EXPECT_EQ(-1, combo.ItemIndex());
    combo.SetItemIndex(2);
    EXPECT_EQ("D:\\表示", combo.Text());
    combo.SetText("C:\\"); // a drop-down list has no edit field: nothing changes
    EXPECT_EQ(2, combo.ItemIndex());
    combo.DeleteItem(0);
    EXPECT_EQ(2, combo.Count());

    ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    combo.drawn.clear();
    InvalidateRect(combo.Handle(), nullptr, TRUE);
    UpdateWindow(combo.Handle());
    ASSERT_FALSE(combo.drawn.empty());
    EXPECT_EQ(1, combo.drawn[0]);

    combo.ClearItems();
    EXPECT_EQ(0, combo.Count());
    EXPECT_TRUE(combo.Enabled());
}

TEST(UiComboBox, BoxDestroyedWithItsParentIsForgotten) {
    CountingCombo combo;
    {
        HostWindow host;
        ASSERT_TRUE(combo.Create(host.Handle(), 100, RECT{10, 10, 210, 200}));
    }
    EXPECT_EQ(nullptr, combo.Handle());
}

namespace {
constexpr UINT kPaintAndClose = WM_APP + 20;
constexpr int kComboId = 1001;

class ComboDialog : public ui::ModalDialog {
  public:
    explicit ComboDialog(const DLGTEMPLATE* memory)
        : ModalDialog(ui::DialogTemplate{nullptr, nullptr, memory}, "ComboDialog") {}
    CountingCombo combo;
    int heightAfterAttach = 0;

  protected:
    bool OnInit() override {
        combo.Attach(GetDlgItem(Handle(), kComboId));
        heightAfterAttach = static_cast<int>(SendMessageA(combo.Handle(), CB_GETITEMHEIGHT, 0, 0));
        combo.AddItem("C:\\");
        combo.SetItemIndex(0);
        PostMessageA(Handle(), kPaintAndClose, 0, 0);
        return true;
    }
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        if (message == kPaintAndClose) {
            InvalidateRect(combo.Handle(), nullptr, TRUE);
            UpdateWindow(combo.Handle());
            EndModal(IDCANCEL);
            handled = true;
            return TRUE;
        }
        return ModalDialog::HandleMessage(message, wParam, lParam, handled);
    }
};
} // namespace

TEST(UiComboBox, DialogHandsDrawingToAnAttachedBox) {
    TemplateBuilder builder(L"履歴", WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 80);
    builder.Add(kComboId, 0x0085,
                CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL, 10, 10, 150,
                100, L"");
    ComboDialog dialog(builder.Get());
    EXPECT_EQ(IDCANCEL, dialog.ShowModal(nullptr));
    EXPECT_EQ(21, dialog.heightAfterAttach);
    ASSERT_FALSE(dialog.combo.drawn.empty());
    EXPECT_EQ(0, dialog.combo.drawn[0]);
    // The dialog took its box with it.
    EXPECT_EQ(nullptr, dialog.combo.Handle());
}
