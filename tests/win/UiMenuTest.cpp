// Menus of the window layer: the item model, actions, the real menus made from them, their
// pictures and the popup menu under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "UiTestSupport.h"
#include "support/WinTestSupport.h"
#include "ui/Action.h"
#include "ui/ImageList.h"
#include "ui/Menu.h"
#include "ui/OwnerDraw.h"
#include "ui/Timer.h"
#include "util/Errors.h"

using namespace ui_test;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kColours[3] = {RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255)};

// Three 16 x 16 pictures (red, green, blue), each with a magenta (transparent) border.
ui::ImageList ThreePictures() {
    Canvas strip(48, 16, kMagenta);
    for (int i = 0; i < 3; ++i) {
        RECT inner = {i * 16 + 2, 2, i * 16 + 14, 14};
        HBRUSH brush = CreateSolidBrush(kColours[i]);
        FillRect(strip.dc(), &inner, brush);
        DeleteObject(brush);
    }
    // The list copies the bitmap, which must not stay selected in a DC meanwhile.
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(strip.bitmap(), IMAGE_BITMAP, 0, 0, 0));
    ui::ImageList list = ui::ImageList::FromBitmap(copy, 16, 16, kMagenta);
    DeleteObject(copy);
    return list;
}

} // namespace

TEST(UiMenuItem, OwnsItsSubItemsAndTellsListenersWhenFreed) {
    ui::MenuItem root;
    ui::MenuItem& a = root.Add("a");
    ui::MenuItem& b = root.Add("b");
    ui::MenuItem& first = root.Insert(0, std::make_unique<ui::MenuItem>("first"));
    EXPECT_EQ(3, root.Count());
    EXPECT_EQ(&first, &root.Item(0));
    EXPECT_EQ(1, root.IndexOf(a));
    EXPECT_EQ(&root, b.Parent());

    int freed = 0;
    a.AddDestroyListener(&freed, [&] { ++freed; });
    std::unique_ptr<ui::MenuItem> taken = root.Remove(a);
    ASSERT_TRUE(taken);
    EXPECT_EQ(nullptr, taken->Parent());
    EXPECT_EQ(2, root.Count());
    EXPECT_EQ(0, freed);
    taken.reset();
    EXPECT_EQ(1, freed);

    b.AddDestroyListener(&freed, [&] { ++freed; });
    b.RemoveDestroyListener(&freed);
    ui::MenuItem& c = root.Add("c");
    c.AddDestroyListener(&freed, [&] { ++freed; });
    root.Clear();
    EXPECT_EQ(0, root.Count());
    EXPECT_EQ(2, freed);
}

TEST(UiMenuItem, ClickRunsItsHandlerOrElseItsAction) {
    ui::Action action;
    int executed = 0;
    action.OnExecute = [&](ui::Action&) { ++executed; };
    action.SetCaption("開き直す(&R)");
    action.SetImageIndex(6);

    ui::MenuItem item;
    item.SetAction(&action);
    EXPECT_EQ("開き直す(&R)", item.Caption);
    EXPECT_EQ(6, item.ImageIndex);
    item.Click();
    EXPECT_EQ(1, executed);

    int clicked = 0;
    item.OnClick = [&](ui::MenuItem&) { ++clicked; };
    item.Click();
    EXPECT_EQ(1, executed);
    EXPECT_EQ(1, clicked);
}

TEST(UiAction, ChangesReachEveryLinkedItemUntilTheyPart) {
    auto action = std::make_unique<ui::Action>();
    ui::MenuItem one, two;
    one.SetAction(action.get());
    {
        ui::MenuItem passing;
        passing.SetAction(action.get());
    } // an item that is freed leaves its action
    two.SetAction(action.get());
    action->SetVisible(false);
    action->SetEnabled(false);
    action->SetChecked(true);
    EXPECT_FALSE(one.Visible);
    EXPECT_FALSE(two.Enabled);
    EXPECT_TRUE(two.Checked);
    two.SetAction(nullptr);
    action->SetVisible(true);
    EXPECT_TRUE(one.Visible);
    EXPECT_FALSE(two.Visible);
    action.reset();
    EXPECT_EQ(nullptr, one.GetAction());
    EXPECT_FALSE(ui::Action().Execute());
}

TEST(UiBuiltMenu, RealMenuMirrorsTheModel) {
    ui::ImageList images = ThreePictures();
    ui::MenuItem root;
    root.Add("Morvaを起動(&L)").ImageIndex = 1;
    root.Add("-");
    ui::MenuItem& hidden = root.Add("非表示(&H)");
    hidden.Visible = false;
    ui::MenuItem& off = root.Add("フォルダ監視の終了(&Z)");
    off.Enabled = false;
    off.Checked = true;
    ui::MenuItem& parent = root.Add("居場所(&P)");
    parent.Add("上の左寄せ").Tag = 7;
    root.Add("out of range").ImageIndex = 3;

    ui::BuiltMenu built(root, &images);
    HMENU menu = built.Handle();
    ASSERT_EQ(5, GetMenuItemCount(menu));
    EXPECT_EQ("Morvaを起動(&L)", MenuText(menu, 0));
    EXPECT_TRUE(IsSeparatorAt(menu, 1));
    EXPECT_EQ("フォルダ監視の終了(&Z)", MenuText(menu, 2));
    EXPECT_TRUE(IsDisabledAt(menu, 2));
    EXPECT_TRUE(MenuInfo(menu, 2).fState & MFS_CHECKED);
    EXPECT_FALSE(IsDisabledAt(menu, 0));
    EXPECT_EQ(HBMMENU_CALLBACK, MenuInfo(menu, 0).hbmpItem);
    EXPECT_EQ(nullptr, MenuInfo(menu, 2).hbmpItem);
    EXPECT_EQ(nullptr, MenuInfo(menu, 4).hbmpItem);

    HMENU sub = GetSubMenu(menu, 3);
    ASSERT_NE(nullptr, sub);
    ASSERT_EQ(1, GetMenuItemCount(sub));
    EXPECT_EQ("上の左寄せ", MenuText(sub, 0));
    ui::MenuItem* chosen = built.ItemFromCommand(GetMenuItemID(sub, 0));
    ASSERT_NE(nullptr, chosen);
    EXPECT_EQ(7, chosen->Tag);
    EXPECT_EQ(nullptr, built.ItemFromCommand(0));
    EXPECT_EQ(nullptr, built.ItemFromCommand(999));
}

TEST(UiBuiltMenu, EveryMenuMadeIsDestroyedWithIt) {
    ui::MenuItem root;
    root.Add("a").Add("b").Add("c");
    root.Add("d").Add("e");
    std::vector<HMENU> menus;
    {
        ui::BuiltMenu built(root, nullptr);
        CollectMenus(built.Handle(), menus);
    }
    ASSERT_EQ(4u, menus.size());
    for (HMENU menu : menus)
        EXPECT_FALSE(IsMenu(menu));
}

TEST(UiBuiltMenu, OwnerDrawsThePicturesOfLiveMenusOnly) {
    ui::ImageList images = ThreePictures();
    ui::MenuItem root;
    root.Add("red").ImageIndex = 0;
    ui::MenuItem& greyed = root.Add("greyed");
    greyed.ImageIndex = 0;
    greyed.Enabled = false;
    HostWindow host;

    ULONG_PTR redData = 0;
    ULONG_PTR greyedData = 0;
    {
        ui::BuiltMenu built(root, &images);
        redData = MenuInfo(built.Handle(), 0).dwItemData;
        greyedData = MenuInfo(built.Handle(), 1).dwItemData;

        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemData = redData;
        EXPECT_EQ(TRUE, SendMessageA(host.Handle(), WM_MEASUREITEM, 0,
                                     reinterpret_cast<LPARAM>(&measure)));
        EXPECT_EQ(16u, measure.itemWidth);
        EXPECT_EQ(16u, measure.itemHeight);

        Canvas canvas(40, 20, RGB(255, 255, 255));
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.hDC = canvas.dc();
        draw.rcItem = {0, 0, 20, 20};
        draw.itemData = redData;
        EXPECT_EQ(TRUE,
                  SendMessageA(host.Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
        EXPECT_EQ(kColours[0], canvas.At(10, 10));
        EXPECT_EQ(RGB(255, 255, 255), canvas.At(3, 3)); // the transparent border
        draw.rcItem = {20, 0, 40, 20};
        draw.itemData = greyedData;
        EXPECT_TRUE(
            ui::ReflectOwnerDraw(host.Handle(), WM_DRAWITEM, reinterpret_cast<LPARAM>(&draw)));
        RECT second = {20, 0, 40, 20};
        EXPECT_EQ(0, canvas.Count(second, kColours[0]));
        EXPECT_LT(canvas.Count(second, RGB(255, 255, 255)), 400);
    }
    // The menu is gone: its data no longer counts as one of ours.
    MEASUREITEMSTRUCT stale = {};
    stale.CtlType = ODT_MENU;
    stale.itemData = redData;
    EXPECT_FALSE(
        ui::ReflectOwnerDraw(host.Handle(), WM_MEASUREITEM, reinterpret_cast<LPARAM>(&stale)));
}

namespace {
// Chooses the first item of the menu about to open with the keyboard, and ends any menu
// still open after ten seconds so that a broken case fails instead of hanging.
void ChooseFirstItemOf(HWND owner, ui::Timer& guard) {
    PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(owner, WM_KEYDOWN, VK_RETURN, 0);
    guard.OnTimer = [](ui::Timer& t) {
        t.SetInterval(0);
        EndMenu();
    };
    guard.SetInterval(10000);
}
} // namespace

TEST(UiPopupMenu, OnPopupRunsFirstAndTheChosenItemIsClicked) {
    HostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    SetForegroundWindow(host.Handle());
    PumpMessages();
    ui::ImageList images = ThreePictures();
    ui::PopupMenu popup;
    popup.Images = &images;
    std::vector<std::string> events;
    popup.OnPopup = [&](ui::PopupMenu& p) {
        events.push_back("popup");
        p.Items.Clear();
        p.Items.Add("環境設定(&G)", [&](ui::MenuItem& item) { events.push_back(item.Caption); })
            .ImageIndex = 2;
        p.Items.Add("ヘルプ(&H)", [&](ui::MenuItem&) { events.push_back("help"); });
    };
    ui::Timer guard;
    ChooseFirstItemOf(host.Handle(), guard);
    EXPECT_TRUE(popup.Popup(100, 100, host.Handle()));
    EXPECT_EQ((std::vector<std::string>{"popup", "環境設定(&G)"}), events);
}

TEST(UiPopupMenu, ExceptionInAClickHandlerIsReported) {
    CapturedErrors errors;
    HostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    SetForegroundWindow(host.Handle());
    PumpMessages();
    ui::PopupMenu popup;
    popup.Items.Add("常駐の解除(&E)", [](ui::MenuItem&) { throw EAppError("終了できません"); });
    ui::Timer guard;
    ChooseFirstItemOf(host.Handle(), guard);
    EXPECT_TRUE(popup.Popup(100, 100, host.Handle()));
    EXPECT_EQ(std::vector<std::string>{"終了できません"}, errors.messages);
}

namespace {
// A person at the menu, from another thread: once it is open, the real pointer goes onto each
// item in turn and sends its buttons there (flags of one input, taken in their order).
void WorkMenu(const std::vector<std::pair<UINT, DWORD>>& steps) {
    HWND window = nullptr;
    PumpUntil([&] { return (window = FindWindowA("#32768", nullptr)) && IsWindowVisible(window); },
              5000);
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    for (const auto& [position, buttons] : steps) {
        RECT r{};
        GetMenuItemRect(nullptr, menu, position, &r);
        testing_support::SendPointer(MOUSEEVENTF_MOVE | buttons,
                                     {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
}
} // namespace

// A menu opened on a press of the right button (as the notification-area icon's is): the
// release of that press chooses nothing, even on an item the pointer slipped to; a click does,
// and so does a right click made in the open menu.
TEST(UiPopupMenu, OnlyAClickChoosesNotTheReleaseOfThePressThatOpenedIt) {
    HostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    ui::PopupMenu popup;
    std::vector<std::string> chosen;
    for (const char* caption : {"a", "b", "c"})
        popup.Items.Add(caption, [&](ui::MenuItem& item) { chosen.push_back(item.Caption); });
    ui::Timer guard; // a menu left open fails the case instead of hanging it
    guard.OnTimer = [](ui::Timer&) { EndMenu(); };
    guard.SetInterval(15000);
    // The press, away from the menu and from this program's windows.
    testing_support::SendPointer(MOUSEEVENTF_MOVE | MOUSEEVENTF_RIGHTDOWN, {300, 500});
    PumpUntil([] { return GetAsyncKeyState(VK_RBUTTON) < 0; }, 2000);
    SetForegroundWindow(host.Handle());
    PumpMessages();
    std::thread person(
        WorkMenu, std::vector<std::pair<UINT, DWORD>>{
                      {0, MOUSEEVENTF_RIGHTUP}, {1, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP}});
    EXPECT_TRUE(popup.Popup(100, 100, host.Handle()));
    person.join();
    person = std::thread(WorkMenu, std::vector<std::pair<UINT, DWORD>>{
                                       {2, MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP}});
    EXPECT_TRUE(popup.Popup(100, 100, host.Handle()));
    person.join();
    EXPECT_EQ((std::vector<std::string>{"b", "c"}), chosen);
}
