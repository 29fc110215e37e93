// The OLE drop target: registration, the four drag-and-drop calls, effects, drag image and
// auto-scroll.
#include "shell/DropTarget.h"

#include "util/Errors.h"

#include <cstdlib>
#include <stdexcept>

namespace {

TDropTarget::TErrorReporter& Reporter() {
    static TDropTarget::TErrorReporter reporter;
    return reporter;
}

void Report(const std::exception& error) {
    try {
        if (Reporter())
            Reporter()(error);
    } catch (...) {
        // A reporter that fails has nowhere left to report to.
    }
}

// Runs `body`, turning anything it raises into a report: nothing may unwind into OLE.
template <class Body> bool Guarded(Body body) {
    try {
        body();
        return true;
    } catch (const std::exception& error) {
        Report(error);
    } catch (...) {
        Report(EAppError(kUnexpectedError));
    }
    return false;
}

// The height of the target's font: the margin along its edges where a drag scrolls it.
int FontHeight(HWND window) {
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTA logFont{};
    if (GetObjectA(font, sizeof logFont, &logFont) && logFont.lfHeight != 0)
        return std::abs(logFont.lfHeight);
    TEXTMETRICA metrics{};
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight - metrics.tmInternalLeading;
}

// One 32 × 32 square of the window colour, masked by that colour: fully transparent.
HIMAGELIST CreateBlankCursorImage() {
    HIMAGELIST list = ImageList_Create(32, 32, ILC_COLORDDB | ILC_MASK, 1, 0);
    if (!list)
        return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT square{0, 0, 32, 32};
    FillRect(memory, &square, GetSysColorBrush(COLOR_WINDOW));
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    ImageList_AddMasked(list, bitmap, GetSysColor(COLOR_WINDOW));
    DeleteObject(bitmap);
    return list;
}

} // namespace

// --- TDropTarget ---------------------------------------------------------------------------

TDropTarget::TDropTarget() = default;

TDropTarget::~TDropTarget() {
    try {
        Revoke();
    } catch (const std::exception&) {
        // The window is going away with its owner; there is nobody to tell.
    }
    StopScrollTimer();
    ReleaseData();
    if (cursorImage_)
        ImageList_Destroy(cursorImage_);
}

void TDropTarget::SetErrorReporter(TErrorReporter reporter) {
    Reporter() = std::move(reporter);
}

void TDropTarget::ReportError(const std::exception& error) {
    Report(error);
}

void TDropTarget::Register(HWND window, const std::string& windowName) {
    if (registered_)
        Revoke();
    target_ = window;
    targetName_ = windowName;
    if (FAILED(RegisterDragDrop(window, this))) {
        // Forgotten at once: revoking later would take away another target's registration.
        target_ = nullptr;
        throw EAppError("Failed to Register " + windowName);
    }
    registered_ = true;
}

void TDropTarget::Revoke() {
    StopScrollTimer();
    const bool wasRegistered = registered_;
    const HWND window = target_;
    registered_ = false;
    target_ = nullptr;
    if (wasRegistered && window && IsWindow(window) && FAILED(RevokeDragDrop(window)))
        throw EAppError("Failed to Unregister " + targetName_);
}

void TDropTarget::SetShowImage(bool show) {
    showImage_ = show;
    if (imageEntered_)
        ImageList_DragShowNolock(show);
}

HRESULT STDMETHODCALLTYPE TDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TDropTarget::AddRef() {
    return InterlockedIncrement(&refCount_);
}

ULONG STDMETHODCALLTYPE TDropTarget::Release() {
    return InterlockedDecrement(&refCount_);
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                                 DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    lastAsked_ = GetTickCount();
    const bool handled = Guarded([&] {
        ClearData();
        dataExtracted_ = false;
        ReleaseData();
        lastPoint_ = ToClient(point);
        lastScreen_ = point;
        if (showImage_)
            EnterDragImage(point);
        if (!data || !AcceptsData(data))
            return;
        HoldData(data);
        ReadScrollInfo();
        if (GetDataOnEnter)
            dataExtracted_ = ExtractData(data);
        if (RefusesData()) {
            ClearData();
            ReleaseData();
            dataExtracted_ = false;
            return;
        }
        DWORD answer = ComputeEffect(keyState, allowed);
        FireDrop(OnEnter, keyState, answer);
        *effect = answer;
    });
    if (!handled) {
        // A drag whose enter failed is refused as a whole.
        ClearData();
        ReleaseData();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    lastAsked_ = GetTickCount();
    Guarded([&] {
        POINT client = ToClient(point);
        const bool moved = client.x != lastPoint_.x || client.y != lastPoint_.y;
        lastPoint_ = client;
        lastScreen_ = point;
        if (dataObject_) {
            DWORD answer = ComputeEffect(keyState, allowed);
            FireDrop(OnDragOver, keyState, answer);
            if ((scrollHorizontal_ || scrollVertical_) && (answer & DROPEFFECT_SCROLL))
                StartScrollTimer();
            else
                StopScrollTimer();
            *effect = answer;
        }
        if (moved && imageEntered_ && !scrollTimerOn_)
            MoveDragImage(point);
    });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::DragLeave() {
    Guarded([&] {
        // A drag that was refused on entering fires no events, leaving included.
        const bool wasDragging = Dragging();
        ClearData();
        dataExtracted_ = false;
        StopScrollTimer();
        ReleaseData();
        LeaveDragImage();
        if (wasDragging && OnLeave)
            OnLeave(*this);
    });
    return S_OK;
}

HRESULT STDMETHODCALLTYPE TDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point,
                                            DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    const DWORD allowed = *effect;
    *effect = DROPEFFECT_NONE;
    const bool wasDragging = Dragging();
    bool dropped = false;
    dropData_ = data ? data : dataObject_;
    Guarded([&] {
        StopScrollTimer();
        LeaveDragImage();
        if (!dataObject_)
            return;
        lastPoint_ = ToClient(point);
        lastScreen_ = point;
        // The scroll bit means nothing once the drag is over.
        DWORD answer = ComputeEffect(keyState, allowed) & ~DROPEFFECT_SCROLL;
        if (dataExtracted_ || (ExtractData(dropData_) && !RefusesData())) {
            dropped = true;
            FireDrop(OnDrop, keyState, answer);
        } else {
            ClearData();
            answer = DROPEFFECT_NONE;
        }
        *effect = answer;
    });
    dataExtracted_ = false;
    ReleaseData();
    // A drag that entered but whose drop yields no names (the source's data failed) ends as a
    // leave, so the owner never waits for an end that does not come.
    if (wasDragging && !dropped && OnLeave)
        Guarded([&] { OnLeave(*this); });
    dropData_ = nullptr;
    return S_OK;
}

bool TDropTarget::QuietFor(DWORD ms) const {
    return Dragging() && !InDrop() && GetTickCount() - lastAsked_ >= ms;
}

DWORD TDropTarget::ComputeEffect(DWORD keyState, DWORD allowed) {
    DWORD effect = dropfiles::MaskDropEffects(allowed, Dragtypes);
    if (OnGetDropEffect) {
        OnGetDropEffect(*this, dropfiles::ShiftStateFromKeyState(keyState), lastPoint_, effect);
        return effect;
    }
    effect = dropfiles::ChooseDropEffect(dropfiles::ShiftStateFromKeyState(keyState), effect);
    if (ScrollStepsAt(lastPoint_).Any())
        effect |= DROPEFFECT_SCROLL;
    return effect;
}

void TDropTarget::FireDrop(const TDropEvent& event, DWORD keyState, DWORD& effect) {
    if (event)
        event(*this, dropfiles::ShiftStateFromKeyState(keyState), lastPoint_, effect);
}

POINT TDropTarget::ToClient(POINTL screen) const {
    POINT point{screen.x, screen.y};
    if (target_)
        ScreenToClient(target_, &point);
    return point;
}

void TDropTarget::HoldData(IDataObject* data) {
    data->AddRef();
    dataObject_ = data;
}

void TDropTarget::ReleaseData() {
    if (dataObject_)
        dataObject_->Release();
    dataObject_ = nullptr;
}

// --- Auto-scroll --------------------------------------------------------------------------

void TDropTarget::ReadScrollInfo() {
    LONG style = target_ ? GetWindowLongA(target_, GWL_STYLE) : 0;
    scrollHorizontal_ = (style & WS_HSCROLL) != 0;
    scrollVertical_ = (style & WS_VSCROLL) != 0;
    scrollMargin_ = (scrollHorizontal_ || scrollVertical_) ? FontHeight(target_) : 0;
}

dropfiles::ScrollSteps TDropTarget::ScrollStepsAt(POINT client) const {
    RECT area{};
    if (!target_ || !(scrollHorizontal_ || scrollVertical_) || !GetClientRect(target_, &area))
        return {};
    return dropfiles::AutoScrollSteps(client.x, client.y, area.right, area.bottom, scrollMargin_,
                                      scrollHorizontal_, scrollVertical_);
}

void TDropTarget::StartScrollTimer() {
    if (scrollTimerOn_ || !target_)
        return;
    // The timer's id is the target itself, so the timer procedure finds its way back.
    scrollTimerOn_ = SetTimer(target_, reinterpret_cast<UINT_PTR>(this), 100, ScrollTimerProc);
}

void TDropTarget::StopScrollTimer() {
    if (!scrollTimerOn_)
        return;
    scrollTimerOn_ = false;
    if (target_ && IsWindow(target_))
        KillTimer(target_, reinterpret_cast<UINT_PTR>(this));
}

void CALLBACK TDropTarget::ScrollTimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    auto* self = reinterpret_cast<TDropTarget*>(id);
    Guarded([self] { self->OnScrollTimer(); });
}

void TDropTarget::OnScrollTimer() {
    if (imageEntered_)
        ImageList_DragShowNolock(FALSE);
    dropfiles::ScrollSteps steps = ScrollStepsAt(lastPoint_);
    if (steps.up)
        SendMessageA(target_, WM_VSCROLL, SB_LINEUP, 0);
    if (steps.down)
        SendMessageA(target_, WM_VSCROLL, SB_LINEDOWN, 0);
    if (steps.left)
        SendMessageA(target_, WM_HSCROLL, SB_LINELEFT, 0);
    if (steps.right)
        SendMessageA(target_, WM_HSCROLL, SB_LINERIGHT, 0);
    if (imageEntered_) {
        // The image stood still while scrolling; bring it to the pointer again.
        MoveDragImage(lastScreen_);
        ImageList_DragShowNolock(showImage_);
    }
}

// --- Drag image ---------------------------------------------------------------------------

void TDropTarget::EnterDragImage(POINTL screen) {
    POINT dragPoint{};
    POINT hotSpot{};
    dragImage_ = ImageList_GetDragImage(&dragPoint, &hotSpot);
    if (!dragImage_ || !target_)
        return;
    hotSpot_ = hotSpot;
    if (!cursorImage_)
        cursorImage_ = CreateBlankCursorImage();
    if (cursorImage_)
        ImageList_SetDragCursorImage(cursorImage_, 0, hotSpot_.x, hotSpot_.y);
    POINT at = WindowRelative(screen);
    imageEntered_ = ImageList_DragEnter(target_, at.x, at.y);
}

void TDropTarget::MoveDragImage(POINTL screen) {
    POINT at = WindowRelative(screen);
    ImageList_DragMove(at.x, at.y);
}

void TDropTarget::LeaveDragImage() {
    if (imageEntered_)
        ImageList_DragLeave(target_);
    imageEntered_ = false;
    dragImage_ = nullptr;
}

POINT TDropTarget::WindowRelative(POINTL screen) const {
    RECT frame{};
    GetWindowRect(target_, &frame);
    return POINT{screen.x - frame.left, screen.y - frame.top};
}
