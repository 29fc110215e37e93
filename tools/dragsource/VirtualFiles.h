// DragSource's virtual files: a data object that offers files that exist only inside it, as a
// file group descriptor with the contents of each item, the way mail programs and compressed
// folders offer theirs.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

// What DragSource's data objects answer alike: they render only into media of their own, have
// no canonical formats, take no data and give no advice.
class DataObjectBasics : public IDataObject {
  public:
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out)
            out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
};

struct VirtualItem {
    std::wstring name; // as the descriptor gives it, folders and all
    std::wstring file; // the contents are this file's; empty: the bytes below
    std::string bytes;
    bool folder = false;
};

struct VirtualOffer {
    bool stream = false; // contents as streams, else as global memory
    bool async = false;  // the data object lets the target read it after the drop
    bool ansi = false;   // only the code-page descriptor, not the wide one
};

// The items of the command line: "NAME|FILE" gives the item NAME the contents of FILE, a bare
// FILE its own name; "NAME/" is a folder. The names are in the code page.
std::vector<VirtualItem> VirtualItemsFrom(const std::vector<std::string>& arguments);
// `count` items "item00001.txt" ... of a line of text each.
void AddGeneratedItems(std::vector<VirtualItem>& items, int count);

// A new data object (one reference) offering the items.
IDataObject* CreateVirtualDataObject(std::vector<VirtualItem> items, const VirtualOffer& offer);

// After the drag loop has returned: when the target started reading the data object after the
// drop, runs the window's messages (the target's calls arrive through them) until it says it
// has ended, for `ms` at most. 2 when the target read nothing after the drop, 1 when it ended
// reporting success, 0 when it ended reporting failure, 3 when it did not end in time.
int WaitForAsyncEnd(IDataObject* data, DWORD ms);
