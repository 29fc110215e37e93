// DragSource's data object of virtual files: a file group descriptor (wide, or code page only)
// and the contents of each item in global memory or as a stream, optionally read by the target
// after the drop.
#include "VirtualFiles.h"

#include <shlobj.h>
#include <shldisp.h>
#include <shlwapi.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

std::wstring Wide(const std::string& text) {
    int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(units > 0 ? units - 1 : 0, L'\0');
    if (units > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), units);
    return wide;
}

std::string Ansi(const std::wstring& text) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), bytes, nullptr, nullptr);
    return ansi;
}

HGLOBAL GlobalOf(const void* bytes, std::size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size ? size : 1);
    if (block && size) {
        std::memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

// The descriptor's fixed part, the same for both kinds: flags, class, size and point,
// attributes, three times and the size.
template <class Descriptor> void Describe(Descriptor& out, const VirtualItem& item) {
    out.dwFlags = FD_ATTRIBUTES | FD_WRITESTIME;
    out.dwFileAttributes = item.folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    // 2001-02-03 04:05:06 UTC, a time no file of the test has by chance.
    SYSTEMTIME time{2001, 2, 6, 3, 4, 5, 6, 0};
    SystemTimeToFileTime(&time, &out.ftLastWriteTime);
    if (!item.folder) {
        ULARGE_INTEGER size{};
        size.QuadPart = item.file.empty() ? item.bytes.size() : 0;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!item.file.empty() &&
            GetFileAttributesExW(item.file.c_str(), GetFileExInfoStandard, &data)) {
            size.LowPart = data.nFileSizeLow;
            size.HighPart = data.nFileSizeHigh;
        }
        out.dwFlags |= FD_FILESIZE;
        out.nFileSizeLow = size.LowPart;
        out.nFileSizeHigh = size.HighPart;
    }
}

class VirtualDataObject final : public DataObjectBasics, public IDataObjectAsyncCapability {
  public:
    VirtualDataObject(std::vector<VirtualItem> items, const VirtualOffer& offer)
        : items_(std::move(items)), offer_(offer),
          descriptorFormat_(static_cast<CLIPFORMAT>(RegisterClipboardFormatA(
              offer.ansi ? CFSTR_FILEDESCRIPTORA : CFSTR_FILEDESCRIPTORW))),
          contentsFormat_(static_cast<CLIPFORMAT>(RegisterClipboardFormatA(CFSTR_FILECONTENTS))) {
        asyncMode_ = offer.async;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject))
            *object = static_cast<IDataObject*>(this);
        else if (offer_.async && IsEqualIID(iid, IID_IDataObjectAsyncCapability))
            *object = static_cast<IDataObjectAsyncCapability*>(this);
        else
            *object = nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return left;
    }

    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        HRESULT offered = QueryGetData(format);
        if (offered != S_OK)
            return offered;
        *medium = STGMEDIUM{};
        if (format->cfFormat == descriptorFormat_) {
            std::string block = Descriptor();
            medium->tymed = TYMED_HGLOBAL;
            medium->hGlobal = GlobalOf(block.data(), block.size());
            return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
        }
        return Contents(items_[format->lindex], *medium);
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (!format || format->dwAspect != DVASPECT_CONTENT)
            return DV_E_FORMATETC;
        if (format->cfFormat == descriptorFormat_)
            return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
        if (format->cfFormat != contentsFormat_)
            return DV_E_FORMATETC;
        // Asked without an item (lindex -1), as a target asks whether contents are offered.
        if (format->lindex == -1)
            return (format->tymed & Medium()) ? S_OK : DV_E_TYMED;
        if (format->lindex < 0 || static_cast<std::size_t>(format->lindex) >= items_.size() ||
            items_[format->lindex].folder)
            return DV_E_LINDEX;
        return (format->tymed & Medium()) ? S_OK : DV_E_TYMED;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC offered[] = {
            {descriptorFormat_, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
            {contentsFormat_, nullptr, DVASPECT_CONTENT, -1, Medium()},
        };
        return SHCreateStdEnumFmtEtc(2, offered, out);
    }

    // IDataObjectAsyncCapability
    HRESULT STDMETHODCALLTYPE SetAsyncMode(BOOL async) override {
        asyncMode_ = async;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAsyncMode(BOOL* async) override {
        if (!async)
            return E_POINTER;
        *async = asyncMode_ ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE StartOperation(IBindCtx*) override {
        inOperation_ = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InOperation(BOOL* inOperation) override {
        if (!inOperation)
            return E_POINTER;
        *inOperation = inOperation_ ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EndOperation(HRESULT result, IBindCtx*, DWORD) override {
        endResult_ = result;
        ended_ = true;
        return S_OK;
    }

    bool InOperationNow() const { return inOperation_; }
    bool Ended() const { return ended_; }
    HRESULT EndResult() const { return endResult_; }

  private:
    ~VirtualDataObject() = default;

    DWORD Medium() const { return offer_.stream ? TYMED_ISTREAM : TYMED_HGLOBAL; }

    std::string Descriptor() const {
        const UINT count = static_cast<UINT>(items_.size());
        std::string block(reinterpret_cast<const char*>(&count), sizeof count);
        for (const VirtualItem& item : items_) {
            if (offer_.ansi) {
                FILEDESCRIPTORA d{};
                Describe(d, item);
                lstrcpynA(d.cFileName, Ansi(item.name).c_str(), MAX_PATH);
                block.append(reinterpret_cast<const char*>(&d), sizeof d);
            } else {
                FILEDESCRIPTORW d{};
                Describe(d, item);
                lstrcpynW(d.cFileName, item.name.c_str(), MAX_PATH);
                block.append(reinterpret_cast<const char*>(&d), sizeof d);
            }
        }
        return block;
    }

    // A stream is handed out at its end, as the platform's rule for streams of data objects
    // has it: the contents run from its start to where it stands.
    HRESULT Contents(const VirtualItem& item, STGMEDIUM& medium) const {
        IStream* stream = nullptr;
        HRESULT result =
            item.file.empty()
                ? CreateStreamOnHGlobal(nullptr, TRUE, &stream)
                : SHCreateStreamOnFileEx(item.file.c_str(), STGM_READ | STGM_SHARE_DENY_NONE,
                                         FILE_ATTRIBUTE_NORMAL, FALSE, nullptr, &stream);
        if (SUCCEEDED(result) && item.file.empty())
            result =
                stream->Write(item.bytes.data(), static_cast<ULONG>(item.bytes.size()), nullptr);
        LARGE_INTEGER zero{};
        ULARGE_INTEGER end{};
        if (SUCCEEDED(result))
            result = stream->Seek(zero, STREAM_SEEK_END, &end);
        if (SUCCEEDED(result) && offer_.stream) {
            medium.tymed = TYMED_ISTREAM;
            medium.pstm = stream;
            return S_OK;
        }
        // In global memory: the whole contents, read from the start.
        std::string bytes(end.LowPart, '\0');
        ULONG read = 0;
        if (SUCCEEDED(result) && SUCCEEDED(stream->Seek(zero, STREAM_SEEK_SET, nullptr)))
            result = stream->Read(bytes.data(), end.LowPart, &read);
        if (stream)
            stream->Release();
        if (FAILED(result))
            return result;
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = GlobalOf(bytes.data(), read);
        return medium.hGlobal ? S_OK : E_OUTOFMEMORY;
    }

    LONG refs_ = 1;
    std::vector<VirtualItem> items_;
    VirtualOffer offer_;
    CLIPFORMAT descriptorFormat_;
    CLIPFORMAT contentsFormat_;
    bool asyncMode_ = false;
    std::atomic<bool> inOperation_{false};
    std::atomic<bool> ended_{false};
    HRESULT endResult_ = S_OK;
};

} // namespace

std::vector<VirtualItem> VirtualItemsFrom(const std::vector<std::string>& arguments) {
    std::vector<VirtualItem> items;
    for (const std::string& argument : arguments) {
        VirtualItem item;
        const std::size_t bar = argument.find('|');
        if (bar != std::string::npos) {
            item.name = Wide(argument.substr(0, bar));
            item.file = Wide(argument.substr(bar + 1));
        } else if (!argument.empty() && argument.back() == '/') {
            item.name = Wide(argument.substr(0, argument.size() - 1));
            item.folder = true;
        } else {
            item.file = Wide(argument);
            item.name = item.file.substr(item.file.find_last_of(L"\\/") + 1);
        }
        items.push_back(std::move(item));
    }
    return items;
}

void AddGeneratedItems(std::vector<VirtualItem>& items, int count) {
    for (int i = 1; i <= count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"item%05d.txt", i);
        VirtualItem item;
        item.name = name;
        item.bytes = "item " + std::to_string(i) + "\r\n";
        items.push_back(std::move(item));
    }
}

IDataObject* CreateVirtualDataObject(std::vector<VirtualItem> items, const VirtualOffer& offer) {
    return static_cast<IDataObject*>(new VirtualDataObject(std::move(items), offer));
}

int WaitForAsyncEnd(IDataObject* data, DWORD ms) {
    auto* object = static_cast<VirtualDataObject*>(data);
    if (!object->InOperationNow())
        return 2;
    for (DWORD start = GetTickCount(); !object->Ended();) {
        if (GetTickCount() - start > ms)
            return 3;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return SUCCEEDED(object->EndResult()) ? 1 : 0;
}
