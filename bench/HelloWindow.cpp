// The smallest resident window to compare Pakico with: a 58 x 59 topmost tool window of the
// same build, shown at once, with a message loop and nothing else. With "--drop-target" it
// also registers as an OLE drop target that takes a copy of whatever is dropped and does
// nothing with it: the share of a drop's cost that is the platform's own.
#include <ole2.h>
#include <windows.h>

#include <cstring>

namespace {
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

class AcceptingDropTarget final : public IDropTarget {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDropTarget) {
            *object = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as the program: no counting.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
};
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const bool dropTarget = std::strstr(commandLine, "--drop-target") != nullptr;
    if (dropTarget)
        OleInitialize(nullptr);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = "PakicoBenchHello";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "PakicoBenchHello", "Hello",
                                  WS_POPUP, 400, 300, 58, 59, nullptr, nullptr, instance, nullptr);
    static AcceptingDropTarget target;
    if (dropTarget)
        RegisterDragDrop(window, &target);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (dropTarget) {
        RevokeDragDrop(window);
        OleUninitialize();
    }
    return 0;
}
