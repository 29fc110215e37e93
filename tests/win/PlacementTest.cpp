// Where dialogs and message boxes appear: next to the owner, inside its monitor. (The rule with
// taskbars and monitors left of or above the primary one is a native test.)
#include "ui/Placement.h"

#include <gtest/gtest.h>

#include "ui/MessageBox.h"
#include "win/MessageTestFixture.h"

using namespace testing_support;

namespace {

// A plain top-level window at a known place, destroyed at the end.
class TestWindow {
  public:
    TestWindow(const char* windowClass, int x, int y, int width, int height, DWORD style,
               DWORD exStyle = 0) {
        window_ = CreateWindowExA(exStyle, windowClass, "", style, x, y, width, height, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(window_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND get() const { return window_; }
    RECT rect() const {
        RECT r{};
        GetWindowRect(window_, &r);
        return r;
    }

  private:
    HWND window_ = nullptr;
};

// A dialog-like window to place: hidden until placed.
TestWindow MakeDialog(int width, int height) {
    return TestWindow("STATIC", 0, 0, width, height, WS_POPUP | WS_CAPTION);
}

int ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}
int ScreenHeight() {
    return GetSystemMetrics(SM_CYSCREEN);
}

} // namespace

TEST(Placement, ModesRelativeToTheOwner) {
    TestWindow owner("STATIC", 200, 150, 400, 300, WS_POPUP | WS_VISIBLE);
    TestWindow dialog = MakeDialog(101, 51);
    PlaceDialog(1, owner.get(), dialog.get());
    EXPECT_EQ(220, dialog.rect().left);
    EXPECT_EQ(170, dialog.rect().top);
    PlaceDialog(2, owner.get(), dialog.get());
    EXPECT_EQ(200 + 200 - 50, dialog.rect().left);
    EXPECT_EQ(150 + 150 - 25, dialog.rect().top);
    PlaceDialog(3, owner.get(), dialog.get());
    EXPECT_EQ(180, dialog.rect().left);
    EXPECT_EQ(130, dialog.rect().top);
}

TEST(Placement, KeptTwoPixelsInsideTheScreen) {
    TestWindow nearCorner("STATIC", ScreenWidth() - 50, ScreenHeight() - 50, 40, 40,
                          WS_POPUP | WS_VISIBLE);
    TestWindow offCorner("STATIC", -100, -100, 90, 90, WS_POPUP | WS_VISIBLE);
    TestWindow dialog = MakeDialog(300, 200);
    PlaceDialog(1, nearCorner.get(), dialog.get());
    EXPECT_EQ(ScreenWidth() - 302, dialog.rect().left);
    EXPECT_EQ(ScreenHeight() - 202, dialog.rect().top);
    PlaceDialog(3, offCorner.get(), dialog.get());
    EXPECT_EQ(2, dialog.rect().left);
    EXPECT_EQ(2, dialog.rect().top);
}

TEST(Placement, WithoutOwnerCentredOnTheScreen) {
    TestWindow dialog = MakeDialog(300, 200);
    PlaceDialog(1, nullptr, dialog.get());
    EXPECT_EQ((ScreenWidth() - 300) / 2, dialog.rect().left);
    EXPECT_EQ((ScreenHeight() - 200) / 2, dialog.rect().top);
    EXPECT_TRUE(IsWindowVisible(dialog.get()));
}

using MessageBoxPosition = MessageTest;

TEST_F(MessageBoxPosition, CentredOverTheOwnerWhichIsDisabledMeanwhile) {
    TestWindow owner("STATIC", 200, 150, 501, 401, WS_POPUP | WS_VISIBLE);
    MessageBoxDriver driver;
    ShowMessageBox(owner.get(), "位置", MessageKind::Information, MessageButton::OKOnly);
    ASSERT_EQ(1u, driver.seen().size());
    const ShownMessage& m = driver.seen()[0];
    const int width = m.rect.right - m.rect.left;
    const int height = m.rect.bottom - m.rect.top;
    EXPECT_EQ(200 + 250 - width / 2, m.rect.left);
    EXPECT_EQ(150 + 200 - height / 2, m.rect.top);
    EXPECT_EQ(owner.get(), m.owner);
    EXPECT_TRUE(m.ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.get()));
}

TEST_F(MessageBoxPosition, ClampedNearTheScreenEdges) {
    TestWindow nearCorner("STATIC", ScreenWidth() - 60, ScreenHeight() - 60, 100, 100,
                          WS_POPUP | WS_VISIBLE);
    TestWindow offCorner("STATIC", -300, -300, 200, 200, WS_POPUP | WS_VISIBLE);
    MessageBoxDriver driver;
    ShowMessageBox(nearCorner.get(), "端", MessageKind::Information, MessageButton::OKOnly);
    ShowMessageBox(offCorner.get(), "端", MessageKind::Information, MessageButton::OKOnly);
    ASSERT_EQ(2u, driver.seen().size());
    EXPECT_EQ(ScreenWidth() - 2, driver.seen()[0].rect.right);
    EXPECT_EQ(ScreenHeight() - 2, driver.seen()[0].rect.bottom);
    EXPECT_EQ(2, driver.seen()[1].rect.left);
    EXPECT_EQ(2, driver.seen()[1].rect.top);
}

TEST_F(MessageBoxPosition, CentredOnTheScreenWithoutOwner) {
    MessageBoxDriver driver;
    ShowMessageBox(nullptr, "中央", MessageKind::Information, MessageButton::OKOnly);
    ASSERT_EQ(1u, driver.seen().size());
    const RECT& r = driver.seen()[0].rect;
    EXPECT_EQ(ScreenWidth() / 2 - (r.right - r.left) / 2, r.left);
    EXPECT_EQ(ScreenHeight() / 2 - (r.bottom - r.top) / 2, r.top);
}
