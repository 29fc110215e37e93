// Files a drag offers that exist only inside its source (mail attachments, the files of a
// compressed folder), written into a folder of the drop's own so that they can be handed on
// like dropped files: read inside the drop, or after it when the source allows that.
#pragma once

#include "shell/FileDescriptors.h"
#include "util/ScopedWin.h"

#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

struct IDataObjectAsyncCapability;

struct VirtualFilesWritten {
    enum class Outcome {
        Written,
        Unreadable,  // an item's contents could not be read whole, or not as the descriptor says
        DiskFull,    // the folder's disk has no room left
        NotWritable, // an item could not be made in the folder
        Stopped,     // the program is ending
    };
    Outcome outcome = Outcome::Written;
    // The files and folders written at the top of the folder, in the order of the descriptor,
    // each as the companion can be handed it: its path in the code page, else its short form.
    std::vector<std::string> paths;
    // Those with neither, as a person can read them.
    std::vector<std::string> leftOut;
    // Every file and folder made, in the order made, relative to the folder; a folder ends in
    // a backslash.
    std::vector<std::wstring> made;
    // The item that could not be read or written, as a person can read it.
    std::string item;
};

// Writes the items into `folder` (a folder of its own, in the code page), each file created new
// (never through a file or a link already there), under the name the descriptor gives it made
// safe (an item named twice gets a second name), with its times, reading the contents of the
// n-th item from `data` as the source offers them: in global memory, as a stream (in pieces,
// never whole) or as a storage (saved as a compound file). A size the descriptor gives is
// checked against what was read. Stops at the first item that fails, leaving what was written
// for the caller to remove with the folder. `stop` ends it between pieces.
VirtualFilesWritten WriteVirtualFiles(IDataObject* data,
                                      const std::vector<vfiles::DescribedItem>& items,
                                      const std::string& folder, const std::atomic<bool>& stop);

// The platform's write call for the files. Tests put one of their own in its place to stage a
// full disk; the call in place before is returned.
using VirtualFileWriteCall = BOOL(WINAPI*)(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written,
                                           LPOVERLAPPED overlapped);
VirtualFileWriteCall ReplaceVirtualFileWriteCall(VirtualFileWriteCall call);

// One drop of virtual files into its folder. A source that supports asynchronous extraction and
// asks for it is read after the drop has returned, on a thread of its own, as the platform
// documents: the source goes on meanwhile. Any other source's data are good only inside the
// drop, and are read there.
class TVirtualFileDrop {
  public:
    TVirtualFileDrop(IDataObject* data, std::vector<vfiles::DescribedItem> items,
                     std::string folder);
    // Stops a read still under way (waiting for it a while) and tells the source it has ended.
    ~TVirtualFileDrop();
    TVirtualFileDrop(const TVirtualFileDrop&) = delete;
    TVirtualFileDrop& operator=(const TVirtualFileDrop&) = delete;

    // Inside the drop: when the source lets it be read later, starts reading after the drop and
    // posts `message` to `window` once done; false when it must be read now.
    bool ReadAfterDrop(HWND window, UINT message);
    // Reads here and now.
    VirtualFilesWritten ReadNow();
    // The read after the drop is over; Finish gives its result and tells the source.
    bool Done() const;
    VirtualFilesWritten Finish();
    const std::string& Folder() const;

  private:
    struct Read;
    static DWORD WINAPI ReadThread(void* read);
    void EndOperation(bool written);

    IDataObject* data_;
    std::shared_ptr<Read> read_;
    IDataObjectAsyncCapability* async_ = nullptr;
    win::ScopedHandle thread_;
};
