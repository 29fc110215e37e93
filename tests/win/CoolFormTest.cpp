// The shaped picture layer on a real top-level window: outline, hit-testing and dragging.
#include "shell/CoolForm.h"
#include "shell/RegionStream.h"
#include "support/ProgramRun.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A cat-like outline: two ears over a body, inside a 58 x 59 window.
std::vector<std::uint8_t> Outline() {
    std::vector<std::uint8_t> data;
    auto put = [&](std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    };
    const RegionRect rects[] = {{5, 1, 15, 10}, {40, 1, 50, 10}, {3, 10, 55, 58}};
    put(32);
    put(1);
    put(3);
    put(3 * 16);
    for (std::int32_t v : {3, 1, 55, 58})
        put(v);
    for (const auto& r : rects)
        for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
            put(v);
    return RegionStreamFromData(data);
}

using testing_support::PumpMessages;

// Moves the pointer right in ten steps, then releases the button.
int dragStep = 0;
void CALLBACK DragStep(HWND, UINT, UINT_PTR, DWORD) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    int x = 150 + 10 * ++dragStep;
    in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = 150 * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | (dragStep <= 10 ? MOUSEEVENTF_MOVE : MOUSEEVENTF_LEFTUP);
    SendInput(1, &in, sizeof in);
}

class Host : public ui::Window {
  public:
    Host(int x, int y) {
        ui::WindowSpec params;
        params.className = "CoolFormTestHost";
        params.style = WS_OVERLAPPEDWINDOW;
        params.exStyle = WS_EX_TOPMOST;
        params.x = x;
        params.y = y;
        params.width = 184;
        params.height = 158;
        Create(params);
    }
};

} // namespace

TEST(CoolForm, TakesTheOutlineAndDropsTheFrame) {
    Host host(200, 200);
    TCoolForm layer;
    layer.CreateOn(host.Handle());
    EXPECT_FALSE(GetWindowLongA(host.Handle(), GWL_STYLE) & WS_CAPTION);
    SetWindowPos(host.Handle(), nullptr, 200, 200, 58, 59, SWP_NOZORDER | SWP_FRAMECHANGED);
    auto stream = Outline();
    layer.LoadMask2(stream.data(), stream.size());
    ASSERT_TRUE(layer.HasRegion());
    EXPECT_EQ(stream, layer.SaveMask2());

    HRGN applied = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(COMPLEXREGION, GetWindowRgn(host.Handle(), applied));
    EXPECT_TRUE(PtInRegion(applied, 30, 30));
    EXPECT_FALSE(PtInRegion(applied, 25, 5)); // between the ears
    EXPECT_FALSE(PtInRegion(applied, 0, 0));
    DeleteObject(applied);

    // The layer keeps its own region: the window's copy belongs to the platform.
    layer.SetPicture(CreateBitmap(58, 59, 1, 1, nullptr));
    EXPECT_FALSE(layer.HasRegion());
    HRGN still = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(host.Handle(), still));
    DeleteObject(still);
}

TEST(CoolForm, NoOrBrokenOutlineLeavesTheWindowRectangular) {
    Host host(300, 300);
    TCoolForm layer;
    layer.CreateOn(host.Handle());
    std::vector<std::uint8_t> none = {0, 0, 0, 0};
    layer.LoadMask2(none.data(), none.size());
    EXPECT_FALSE(layer.HasRegion());
    auto broken = Outline();
    broken[4 + 8] = 0xFF; // more rectangles than stored
    layer.LoadMask2(broken.data(), broken.size());
    EXPECT_FALSE(layer.HasRegion());
    HRGN applied = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ERROR, GetWindowRgn(host.Handle(), applied));
    DeleteObject(applied);
    EXPECT_EQ(std::vector<std::uint8_t>({0, 0, 0, 0}), layer.SaveMask2());
}

TEST(CoolForm, ClicksOutsideTheOutlineFallThroughAndTheCatIsDragged) {
    Host below(100, 100); // a plain window under the cat
    SetWindowPos(below.Handle(), nullptr, 100, 100, 200, 200, SWP_NOZORDER);
    ShowWindow(below.Handle(), SW_SHOWNA);
    Host host(120, 120);
    TCoolForm layer;
    layer.CreateOn(host.Handle());
    SetWindowPos(host.Handle(), HWND_TOPMOST, 120, 120, 58, 59, SWP_FRAMECHANGED);
    auto stream = Outline();
    layer.LoadMask2(stream.data(), stream.size());
    layer.SetPicture(CreateBitmap(58, 59, 1, 1, nullptr));
    layer.SetVisible(true);
    ShowWindow(host.Handle(), SW_SHOW);
    PumpMessages();

    EXPECT_EQ(layer.Handle(), WindowFromPoint({120 + 30, 120 + 30}));
    EXPECT_EQ(below.Handle(), WindowFromPoint({120 + 25, 120 + 5})); // between the ears

    // Press on the body, move, release: the window follows the pointer.
    SetForegroundWindow(host.Handle());
    SetCursorPos(150, 150);
    PumpMessages();
    auto input = [](DWORD flags, int x, int y) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        in.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        SendInput(1, &in, sizeof in);
    };
    input(MOUSEEVENTF_MOVE, 150, 150);
    input(MOUSEEVENTF_LEFTDOWN, 150, 150);
    // The move loop runs inside the press; feed it from a timer of this thread.
    dragStep = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, DragStep);
    WaitUntil(
        [&] {
            PumpMessages();
            return dragStep > 12;
        },
        10000);
    KillTimer(nullptr, timer);
    PumpMessages();
    RECT moved;
    GetWindowRect(host.Handle(), &moved);
    EXPECT_GT(moved.left, 120 + 50) << "the window did not follow the drag";
    EXPECT_EQ(120, moved.top);
}
