// Helpers of the drop-target tests: a data object of the test's own, a target window that
// records its scroll messages, message pumping while waiting, and the in-process fixture.
#pragma once

#include "shell/DropTarget.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <shldisp.h>
#include <shlwapi.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace drop_test {

// A data object on the test's stack offering blocks of bytes in global memory (or, when asked,
// in a stream). The count is not used to end it, so a test can see what its users still hold.
class TestDataObject final : public IDataObject, public IDataObjectAsyncCapability {
  public:
    void Offer(UINT format, std::string bytes) { formats_[format] = std::move(bytes); }
    // Hands out every format as a stream instead of global memory.
    void UseStreams() { streams_ = true; }
    // Items of a format asked for by their index (lindex), as the contents of virtual files are;
    // an item that is not there cannot be had.
    void OfferItems(UINT format, std::map<LONG, std::string> items) {
        formats_[format];
        items_[format] = std::move(items);
    }
    // An item whose contents are a file's, handed out as a stream on the file standing at its end
    // (as a data object hands out a stream): none of it is held in memory.
    void OfferItemFile(UINT format, LONG index, std::wstring file) {
        formats_[format];
        files_[{format, index}] = std::move(file);
    }
    // Hands out the items as storages, each holding its bytes in a stream "Contents".
    void UseStorages() { storages_ = true; }
    // Lets its data be read after the drop (asynchronous extraction), and records the start and
    // the end the target tells it of.
    void ReadAfterDrop() { async_ = true; }
    bool started = false, ended = false;
    HRESULT endResult = E_PENDING;
    DWORD endEffect = 0;
    // A global block of exactly these bytes, for blocks that lie about their own size.
    void OfferGlobal(UINT format, HGLOBAL block) { globals_[format] = block; }
    LONG References() const { return refs_; }
    int GetDataCalls() const { return getDataCalls_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject))
            *object = static_cast<IDataObject*>(this);
        else if (async_ && IsEqualIID(iid, IID_IDataObjectAsyncCapability))
            *object = static_cast<IDataObjectAsyncCapability*>(this);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override { return InterlockedDecrement(&refs_); }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        ++getDataCalls_;
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        *medium = STGMEDIUM{};
        if (auto file = files_.find({format->cfFormat, format->lindex}); file != files_.end()) {
            medium->tymed = TYMED_ISTREAM;
            const HRESULT opened =
                SHCreateStreamOnFileEx(file->second.c_str(), STGM_READ | STGM_SHARE_DENY_NONE, 0,
                                       FALSE, nullptr, &medium->pstm);
            LARGE_INTEGER zero{};
            if (SUCCEEDED(opened))
                medium->pstm->Seek(zero, STREAM_SEEK_END, nullptr);
            return opened;
        }
        auto global = globals_.find(format->cfFormat);
        std::string bytes = formats_[format->cfFormat];
        if (auto items = items_.find(format->cfFormat); items != items_.end()) {
            auto item = items->second.find(format->lindex);
            if (item == items->second.end())
                return DV_E_LINDEX;
            bytes = item->second;
        }
        HGLOBAL block = global != globals_.end() ? Duplicate(global->second) : MakeGlobal(bytes);
        *medium = STGMEDIUM{};
        if (storages_ && items_.count(format->cfFormat)) {
            GlobalFree(block);
            medium->tymed = TYMED_ISTORAGE;
            return MakeStorage(bytes, &medium->pstg);
        }
        if (streams_) {
            medium->tymed = TYMED_ISTREAM;
            return CreateStreamOnHGlobal(block, TRUE, &medium->pstm);
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        bool offered = formats_.count(format->cfFormat) || globals_.count(format->cfFormat);
        return offered && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

    HRESULT STDMETHODCALLTYPE SetAsyncMode(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAsyncMode(BOOL* later) override {
        *later = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE StartOperation(IBindCtx*) override {
        started = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InOperation(BOOL* inOperation) override {
        *inOperation = started && !ended;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EndOperation(HRESULT result, IBindCtx*, DWORD effect) override {
        ended = true;
        endResult = result;
        endEffect = effect;
        return S_OK;
    }

    // A storage in memory holding the bytes in a stream "Contents".
    static HRESULT MakeStorage(const std::string& bytes, IStorage** storage) {
        ILockBytes* memory = nullptr;
        HRESULT result = CreateILockBytesOnHGlobal(nullptr, TRUE, &memory);
        if (SUCCEEDED(result))
            result = StgCreateDocfileOnILockBytes(
                memory, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage);
        IStream* stream = nullptr;
        if (SUCCEEDED(result))
            result = (*storage)->CreateStream(
                L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
        if (SUCCEEDED(result)) {
            result = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
            stream->Release();
            (*storage)->Commit(STGC_DEFAULT);
        }
        if (memory)
            memory->Release();
        return result;
    }

    static HGLOBAL MakeGlobal(const std::string& bytes) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (block && !bytes.empty()) {
            CopyMemory(GlobalLock(block), bytes.data(), bytes.size());
            GlobalUnlock(block);
        }
        return block;
    }

  private:
    static HGLOBAL Duplicate(HGLOBAL block) {
        SIZE_T size = GlobalSize(block);
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        CopyMemory(GlobalLock(copy), GlobalLock(block), size);
        GlobalUnlock(block);
        GlobalUnlock(copy);
        return copy;
    }

    LONG refs_ = 1;
    bool streams_ = false;
    bool storages_ = false;
    bool async_ = false;
    int getDataCalls_ = 0;
    std::map<UINT, std::string> formats_;
    std::map<UINT, std::map<LONG, std::string>> items_;
    std::map<std::pair<UINT, LONG>, std::wstring> files_;
    std::map<UINT, HGLOBAL> globals_;
};

// Scroll messages the target windows received: WM_VSCROLL/WM_HSCROLL with their codes.
inline std::map<std::pair<UINT, WPARAM>, int>& ScrollMessages() {
    static std::map<std::pair<UINT, WPARAM>, int> received;
    return received;
}

inline int Scrolls(UINT message, WPARAM code) {
    return ScrollMessages()[{message, code}];
}

inline LRESULT CALLBACK TargetWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_VSCROLL || message == WM_HSCROLL)
        ++ScrollMessages()[{message, LOWORD(w)}];
    return DefWindowProcA(window, message, w, l);
}

// A visible, white, topmost window at a screen position, with extra styles (WS_VSCROLL...).
inline HWND CreateTargetWindow(int x, int y, int width, int height, DWORD style = 0) {
    static ATOM atom = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TargetWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "DropTestWindow";
        return RegisterClassA(&windowClass);
    }();
    (void)atom;
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "DropTestWindow", "Drop",
                                  WS_POPUP | style, x, y, width, height, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return window;
}

using testing_support::PumpFor;
using testing_support::PumpUntil;

// The target under test: a TDropFileTarget for copy and move on a window of its own, with
// every event written down, and the errors it reports.
using Names = std::vector<std::string>;
inline const DWORD kAll = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class DropTargetTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { support = new ScopedDropSupport; }
    static void TearDownTestSuite() {
        delete support;
        support = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(support->Initialized());
        window = CreateTargetWindow(300, 200, 200, 150);
        target = std::make_unique<TDropFileTarget>();
        target->Dragtypes = dtCopy | dtMove;
        target->OnEnter = Recorder("Enter");
        target->OnDragOver = Recorder("DragOver");
        target->OnDrop = Recorder("Drop");
        target->OnLeave = [this](TDropTarget&) { events.push_back("Leave"); };
        target->Register(window, "DropTestForm");
        TDropTarget::SetErrorReporter(
            [this](const std::exception& e) { errors.push_back(e.what()); });
    }
    void TearDown() override {
        TDropTarget::SetErrorReporter(nullptr);
        target.reset();
        DestroyWindow(window);
    }

    TDropTarget::TDropEvent Recorder(const std::string& name) {
        return [this, name](TDropTarget&, TShiftState s, POINT p, DWORD& effect) {
            events.push_back(name);
            shifts.push_back(s);
            points.push_back(p);
            filesSeen.push_back(target->Files());
            effectsSeen.push_back(effect);
        };
    }

    // The screen point of a client point of the window.
    POINTL At(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(window, &p);
        return POINTL{p.x, p.y};
    }
    DWORD Enter(IDataObject* data, DWORD keys, DWORD allowed = kAll, POINTL at = {}) {
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, target->DragEnter(data, keys, at.x ? at : At(10, 20), &effect));
        return effect;
    }
    DWORD Over(DWORD keys, DWORD allowed = kAll, POINTL at = {}) {
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, target->DragOver(keys, at.x ? at : At(11, 21), &effect));
        return effect;
    }
    DWORD DropOn(IDataObject* data, DWORD keys, DWORD allowed = kAll) {
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, target->Drop(data, keys, At(12, 22), &effect));
        return effect;
    }

    static inline ScopedDropSupport* support = nullptr;
    HWND window = nullptr;
    std::unique_ptr<TDropFileTarget> target;
    std::vector<std::string> events;
    std::vector<TShiftState> shifts;
    std::vector<POINT> points;
    std::vector<Names> filesSeen;
    std::vector<DWORD> effectsSeen;
    std::vector<std::string> errors;
};

inline TestDataObject* FilesObject(TestDataObject& data, const std::string& block) {
    data.Offer(CF_HDROP, block);
    return &data;
}

} // namespace drop_test
