// The OLE drop target and its window: registration and its failures, auto-scroll, the drag
// image, and file names pasted from the clipboard.
#include "shell/DropTarget.h"

#include "util/Errors.h"
#include "win/DropTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using namespace drop_test;
using dropfiles::BuildDropFiles;

TEST_F(DropTargetTest, RegistrationAndRevocation) {
    EXPECT_TRUE(target->Registered());
    EXPECT_EQ(window, target->Target());
    // OLE holds the target while it is registered and lets it go when it is revoked.
    EXPECT_GT(target->AddRef(), 1u);
    target->Release();
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(window, target.get()));
    target->Revoke();
    EXPECT_FALSE(target->Registered());
    EXPECT_EQ(nullptr, target->Target());
    EXPECT_EQ(1u, target->AddRef());
    EXPECT_EQ(0u, target->Release());
    EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, RevokeDragDrop(window));
    target->Revoke(); // nothing registered: nothing to do

    // Registering on another window first revokes the one before.
    HWND other = CreateTargetWindow(10, 10, 50, 50);
    target->Register(window, "DropTestForm");
    target->Register(other, "OtherForm");
    EXPECT_EQ(S_OK, RegisterDragDrop(window, target.get()));
    EXPECT_EQ(S_OK, RevokeDragDrop(window));
    target.reset(); // destruction revokes
    EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, RevokeDragDrop(other));
    DestroyWindow(other);
}

TEST_F(DropTargetTest, RegistrationFailures) {
    TDropFileTarget second;
    try {
        second.Register(window, "DropTestForm");
        FAIL() << "a second registration on one window succeeded";
    } catch (const EAppError& e) {
        EXPECT_STREQ("Failed to Register DropTestForm", e.what());
    }
    EXPECT_FALSE(second.Registered());
    // The failed one does not take the first one's registration away.
    second.Revoke();
    HRESULT again = RegisterDragDrop(window, &second);
    if (SUCCEEDED(again))
        RevokeDragDrop(window); // the window had lost its registration: do not leave `second` on it
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, again);

    HWND gone = CreateTargetWindow(10, 10, 50, 50);
    DestroyWindow(gone);
    EXPECT_THROW(second.Register(gone, "GoneForm"), EAppError);

    // A window of another process (the desktop's) is refused.
    DWORD desktopProcess = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktopProcess);
    ASSERT_NE(GetCurrentProcessId(), desktopProcess);
    EXPECT_THROW(second.Register(GetDesktopWindow(), "Desktop"), EAppError);

    // A thread that has not initialised OLE cannot register.
    HWND fresh = CreateTargetWindow(10, 10, 50, 50);
    std::string message;
    std::thread([&] {
        TDropFileTarget onThread;
        try {
            onThread.Register(fresh, "ThreadForm");
        } catch (const EAppError& e) {
            message = e.what();
        }
    }).join();
    EXPECT_EQ("Failed to Register ThreadForm", message);
    DestroyWindow(fresh);
}

TEST_F(DropTargetTest, RevokeFailureIsRaised) {
    ASSERT_EQ(S_OK, RevokeDragDrop(window)); // someone else took the registration away
    try {
        target->Revoke();
        FAIL() << "revoking a lost registration succeeded";
    } catch (const EAppError& e) {
        EXPECT_STREQ("Failed to Unregister DropTestForm", e.what());
    }
    EXPECT_FALSE(target->Registered());
}

TEST_F(DropTargetTest, ScrollBitAndAutoScroll) {
    HWND scrolling = CreateTargetWindow(300, 200, 200, 150, WS_VSCROLL);
    target->Register(scrolling, "ScrollForm");
    TestDataObject data;
    FilesObject(data, BuildDropFiles({"C:\\a"}));
    auto at = [&](int x, int y) {
        POINT p{x, y};
        ClientToScreen(scrolling, &p);
        return POINTL{p.x, p.y};
    };
    EXPECT_EQ(DROPEFFECT_COPY, Enter(&data, MK_LBUTTON, kAll, at(20, 70)));
    EXPECT_EQ(DROPEFFECT_COPY | DROPEFFECT_SCROLL, Over(MK_LBUTTON, kAll, at(20, 2)));
    ScrollMessages().clear();
    EXPECT_TRUE(PumpUntil([] { return Scrolls(WM_VSCROLL, SB_LINEUP) >= 2; }, 5000));
    EXPECT_EQ(0, Scrolls(WM_VSCROLL, SB_LINEDOWN));
    EXPECT_EQ(0, Scrolls(WM_HSCROLL, SB_LINELEFT));
    // Back in the middle the timer stops.
    EXPECT_EQ(DROPEFFECT_COPY, Over(MK_LBUTTON, kAll, at(20, 70)));
    int seen = Scrolls(WM_VSCROLL, SB_LINEUP);
    PumpFor(400);
    EXPECT_EQ(seen, Scrolls(WM_VSCROLL, SB_LINEUP));
    // A handler's answer carries no scroll bit of the target's own.
    target->OnGetDropEffect = [](TDropTarget&, TShiftState, POINT, DWORD&) {};
    EXPECT_EQ(DROPEFFECT_COPY | DROPEFFECT_MOVE, Over(MK_LBUTTON, kAll, at(20, 2)));
    EXPECT_EQ(DROPEFFECT_COPY | DROPEFFECT_MOVE, DropOn(&data, 0));
    target->Revoke();
    DestroyWindow(scrolling);
    // A window without scroll bars never gets the bit.
    target->OnGetDropEffect = nullptr;
    target->Register(window, "DropTestForm");
    Enter(&data, MK_LBUTTON, kAll, At(1, 1));
    EXPECT_EQ(DROPEFFECT_COPY, Over(MK_LBUTTON, kAll, At(1, 1)));
    target->DragLeave();
}

TEST_F(DropTargetTest, DragImageFollowsShowImage) {
    HIMAGELIST red = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 0);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT square{0, 0, 32, 32};
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(memory, &square, brush);
    SelectObject(memory, old);
    ImageList_AddMasked(red, bitmap, RGB(0, 0, 255)); // opaque all over
    ASSERT_TRUE(ImageList_BeginDrag(red, 0, 0, 0));
    auto pixel = [&] {
        HDC dc = GetWindowDC(window);
        COLORREF colour = GetPixel(dc, 60, 60);
        ReleaseDC(window, dc);
        return colour;
    };
    // The platform draws the image blended, so red shows as a strong red, not pure red.
    auto reddish = [](COLORREF c) {
        return GetRValue(c) > 0xC0 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80;
    };
    PumpFor(100);
    EXPECT_EQ(RGB(255, 255, 255), pixel());
    TestDataObject data;
    Enter(FilesObject(data, BuildDropFiles({"C:\\a"})), MK_LBUTTON, kAll, At(50, 50));
    EXPECT_PRED1(reddish, pixel());
    target->SetShowImage(false);
    EXPECT_EQ(RGB(255, 255, 255), pixel());
    target->SetShowImage(true);
    EXPECT_PRED1(reddish, pixel());
    Over(MK_LBUTTON, kAll, At(100, 100)); // the image moves with the pointer
    EXPECT_EQ(RGB(255, 255, 255), pixel());
    target->DragLeave();
    ImageList_EndDrag();
    EXPECT_EQ(RGB(255, 255, 255), pixel());
    // Without ShowImage nothing is drawn at all.
    ASSERT_TRUE(ImageList_BeginDrag(red, 0, 0, 0));
    target->SetShowImage(false);
    Enter(&data, MK_LBUTTON, kAll, At(50, 50));
    EXPECT_EQ(RGB(255, 255, 255), pixel());
    target->DragLeave();
    ImageList_EndDrag();
    ImageList_Destroy(red);
    DeleteObject(brush);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
}

TEST_F(DropTargetTest, PasteFromTheClipboard) {
    const DropClipboardFormats& f = DropFormats();
    auto put = [&](bool withEffect) {
        ASSERT_TRUE(OpenClipboard(window));
        EmptyClipboard();
        SetClipboardData(CF_HDROP, TestDataObject::MakeGlobal(BuildDropFiles({"C:\\表.txt"})));
        if (withEffect)
            SetClipboardData(f.preferredDropEffect,
                             TestDataObject::MakeGlobal(std::string("\x02\0\0\0", 4)));
        CloseClipboard();
    };
    put(true);
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), target->PasteFromClipboard());
    EXPECT_EQ(Names{"C:\\表.txt"}, target->Files());
    put(false);
    EXPECT_EQ(DWORD(DROPEFFECT_COPY), target->PasteFromClipboard());
    ASSERT_TRUE(OpenClipboard(window));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), target->PasteFromClipboard());
    EXPECT_EQ(Names{}, target->Files());
}
