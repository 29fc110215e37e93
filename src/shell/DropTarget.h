// OLE drop targets: TDropTarget turns the platform's drag-and-drop calls on a window into
// events in client coordinates and chooses the drop effect; TDropFileTarget reads the dropped
// file names. The form that owns one registers it on its window when the window is created.
#pragma once

#include "shell/DropFiles.h"
#include "shell/FileDescriptors.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

// The clipboard formats drags of files may carry, registered once per run.
struct DropClipboardFormats {
    UINT fileContents;           // "FileContents"
    UINT fileGroupDescriptor;    // "FileGroupDescriptor"
    UINT fileGroupDescriptorW;   // "FileGroupDescriptorW"
    UINT shellIdListArray;       // "Shell IDList Array"
    UINT preferredDropEffect;    // "Preferred DropEffect"
    UINT uniformResourceLocator; // "UniformResourceLocator"
    UINT fileNameMap;            // "FileNameMap"
    UINT fileNameMapW;           // "FileNameMapW"
};
const DropClipboardFormats& DropFormats();

// Releases a storage medium that GetData filled, also when reading it fails.
struct ScopedMedium {
    STGMEDIUM medium{};
    ScopedMedium() = default;
    ScopedMedium(const ScopedMedium&) = delete;
    ScopedMedium& operator=(const ScopedMedium&) = delete;
    ~ScopedMedium() { Release(); }
    void Release() {
        if (medium.tymed != TYMED_NULL)
            ReleaseStgMedium(&medium);
        medium = STGMEDIUM{};
    }
};

// OLE for drag and drop on the GUI thread, the formats above and the shell's allocator, for
// the whole run: the program start holds one of these until the message loop has ended.
class ScopedDropSupport {
  public:
    ScopedDropSupport();
    ~ScopedDropSupport();
    ScopedDropSupport(const ScopedDropSupport&) = delete;
    ScopedDropSupport& operator=(const ScopedDropSupport&) = delete;

    // False when OLE could not be initialised; drop targets then fail to register.
    bool Initialized() const { return initialized_; }
    IMalloc* ShellMalloc() const { return shellMalloc_; }

  private:
    bool initialized_ = false;
    IMalloc* shellMalloc_ = nullptr;
};

class TDropTarget : public IDropTarget {
  public:
    // OnEnter, OnDragOver, OnDrop, OnGetDropEffect: the point is in the target's client
    // coordinates; the handler may change the effect answered to the source.
    using TDropEvent =
        std::function<void(TDropTarget& sender, TShiftState shift, POINT point, DWORD& effect)>;
    using TNotifyEvent = std::function<void(TDropTarget& sender)>;
    // Where errors raised inside the platform's calls go, since they cannot unwind into OLE.
    using TErrorReporter = std::function<void(const std::exception&)>;

    TDropTarget();
    virtual ~TDropTarget();
    TDropTarget(const TDropTarget&) = delete;
    TDropTarget& operator=(const TDropTarget&) = delete;

    // Registers on `window` (revoking a window registered before); `windowName` is the
    // window's component name for the error "Failed to Register <name>".
    void Register(HWND window, const std::string& windowName);
    // Raises "Failed to Unregister <name>" when the platform refuses.
    void Revoke();
    HWND Target() const { return target_; }
    bool Registered() const { return registered_; }
    // True from an enter with acceptable data until the drag leaves or drops.
    bool Dragging() const { return dataObject_ != nullptr; }
    // A drag is on, but the platform has not asked about it (entering or moving) for `ms`: its
    // source may have ended without a leave or a drop. A drag being dropped is never quiet.
    bool QuietFor(DWORD ms) const;
    // The platform's drop call is under way: its source waits in its drag loop until it returns.
    bool InDrop() const { return dropData_ != nullptr; }
    // The data object of the drop under way (for OnDrop), or null.
    IDataObject* DropData() const { return dropData_; }
    // Takes the drag image away (and lets the window draw again) without ending the drag.
    void HideDragImage() { LeaveDragImage(); }

    TDragTypes Dragtypes = dtCopy;
    bool GetDataOnEnter = false;
    bool ShowImage() const { return showImage_; }
    void SetShowImage(bool show);

    TDropEvent OnEnter;
    TDropEvent OnDragOver;
    TDropEvent OnDrop;
    TDropEvent OnGetDropEffect;
    TNotifyEvent OnLeave;

    static void SetErrorReporter(TErrorReporter reporter);

    // IUnknown: the count is kept for OLE's sake; the owner, not the count, ends the object.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                   DWORD* effect) override;

  protected:
    // Whether the data object offers what this target takes.
    virtual bool AcceptsData(IDataObject* data) = 0;
    // Reads the data; true when something was read.
    virtual bool ExtractData(IDataObject* data) = 0;
    // The data read is of a kind no drop may bring: the drag is refused as a whole, as if it
    // offered nothing this target takes.
    virtual bool RefusesData() const { return false; }
    virtual void ClearData() = 0;

    static void ReportError(const std::exception& error);

  private:
    DWORD ComputeEffect(DWORD keyState, DWORD allowed);
    void FireDrop(const TDropEvent& event, DWORD keyState, DWORD& effect);
    POINT ToClient(POINTL screen) const;
    void HoldData(IDataObject* data);
    void ReleaseData();
    void ReadScrollInfo();
    dropfiles::ScrollSteps ScrollStepsAt(POINT client) const;
    void StartScrollTimer();
    void StopScrollTimer();
    void OnScrollTimer();
    static void CALLBACK ScrollTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);
    void EnterDragImage(POINTL screen);
    void MoveDragImage(POINTL screen);
    void LeaveDragImage();
    POINT WindowRelative(POINTL screen) const;

    LONG refCount_ = 0;
    HWND target_ = nullptr;
    std::string targetName_;
    bool registered_ = false;
    IDataObject* dataObject_ = nullptr;
    IDataObject* dropData_ = nullptr;
    bool dataExtracted_ = false;
    POINT lastPoint_{};
    POINTL lastScreen_{};
    DWORD lastAsked_ = 0;
    bool showImage_ = true;
    HIMAGELIST dragImage_ = nullptr;
    POINT hotSpot_{};
    bool imageEntered_ = false;
    bool scrollHorizontal_ = false;
    bool scrollVertical_ = false;
    int scrollMargin_ = 0;
    bool scrollTimerOn_ = false;
    HIMAGELIST cursorImage_ = nullptr;
};

class TDropFileTarget : public TDropTarget {
  public:
    // The dropped names in the order of the data object, in the program's code page. A wide
    // name with characters the code page lacks comes in its short form; one without such a form
    // is left out, never given as a look-alike. A drag with a control character in a name is
    // refused.
    const std::vector<std::string>& Files() const { return files_; }
    // The names left out of Files(), as a person can read them ('?' for what the code page
    // lacks), to be told why.
    const std::vector<std::string>& LeftOutNames() const { return leftOut_; }
    // The names a virtual source wants the files to receive: empty or one for each file.
    const std::vector<std::string>& MappedNames() const { return mappedNames_; }

    // The drag offers no file names but files that exist only inside its source (mail
    // attachments, the files of a compressed folder): a file group descriptor, wide or in the
    // code page, with the contents of each item. A drag offering both is a drag of files.
    bool OffersVirtualFiles() const { return virtualFiles_; }
    const vfiles::FileGroup& VirtualFiles() const { return group_; }
    // The names of its items at the top of their folder (each once, in order) as they will be
    // written, as a person can read them: what the drag shows and decides by until they are.
    const std::vector<std::string>& VirtualNames() const { return virtualNames_; }

    // Reads file names from the clipboard instead of a drag. The answer is the clipboard's
    // "Preferred DropEffect" when it has one, else copy; none when it holds no file names.
    DWORD PasteFromClipboard();

  protected:
    bool AcceptsData(IDataObject* data) override;
    bool ExtractData(IDataObject* data) override;
    bool RefusesData() const override { return refused_; }
    void ClearData() override;

  private:
    bool ReadFileBlock(HGLOBAL block);
    bool ReadFileGroup(IDataObject* data);
    std::vector<std::string> files_;
    std::vector<std::string> leftOut_;
    std::vector<std::string> mappedNames_;
    bool virtualFiles_ = false;
    vfiles::FileGroup group_;
    std::vector<std::string> virtualNames_;
    bool refused_ = false;
};
