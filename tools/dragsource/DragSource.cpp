// DragSource: a drag source for end-to-end tests of drop targets in other processes. It presses
// a mouse button over its own small window, drags file names (or text) to a screen point with
// real input, and releases the button there.
//
//   DragSource.exe [options] --to X,Y file1 file2 ... [--then fileA fileB ...]
//
//   --wide       the names as wide characters (otherwise bytes of the ANSI code page)
//   --right      drag with the right button
//   --shift      hold Shift from halfway along until the drag has ended
//   --ctrl       hold Ctrl from halfway along until the drag has ended
//   --text       offer the names as CF_TEXT only, no file names
//   --copy-only  allow the copy effect only (as from read-only media); otherwise copy, move, link
//   --no-data    offer file names but fail to hand them out
//   --virtual    offer the files as virtual files: a file group descriptor with each item's
//                contents, no file names; an argument "NAME|FILE" names the item NAME with FILE's
//                contents, "NAME/" is a folder (see VirtualFiles.h)
//   --items N    offer N more virtual items of a line of text each
//   --stream     the virtual files' contents as streams (otherwise in global memory)
//   --async      let the target read the virtual files after the drop, and wait for it to end
//   --ansi       offer only the code-page file group descriptor, not the wide one
//   --report F   append a line per drag to file F: "<drop effect or code> <last cursor effect>
//                <performance counter at the button's release> <1 when the source's own window
//                took the drop, else 0> <performance counter when the drag loop returned>
//                <reading after the drop: 2 none, 1 ended with success, 0 ended with failure, 3
//                did not end within a minute>"
//   --quick      waste no time on the way: no lingering over the target before the release
//   --hold       do not let go: linger over the target for a minute, or until the process is
//                ended (a source that crashes or is closed in the middle of a drag)
//   --settled E  set the named event E once the target has answered with a drop effect ten
//                times in a row: the drag rests over it, and it has done with entering
//   --repeat N   make the (first) drag N times, each as quickly as --then does
//   --then [--to X,Y] [--left] ...
//                as soon as the first drag has ended, drag these files the same way, quickly
//                (to the same point unless another is given; with the left button after a
//                right-button drag when --left is given)
//   --window L,T,R,B
//                drag from a borderless window over this rectangle, as a program's full-screen
//                window is, instead of the small topmost one in the top left; it takes drops
//                itself (answering copy)
//   --topmost    that window is a topmost one, as some full-screen programs make theirs
//   --zoomed     that window is shown maximised, as a program that draws its own title bar is
//   --wait-for E before the first drag, wait in front until the named event E is set; when
//                the window is closed first, end without a drag
//
// The exit code, also printed, is the drop effect the target answered (0..7) or one of the
// codes of ExitCode, of the last drag. Every wait is bounded; a drag that does not end is
// cancelled with Escape.
#include "VirtualFiles.h"

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

enum ExitCode {
    kUsage = 100,
    kOleFailed = 101,
    kWindowFailed = 102,
    kCancelled = 103, // the platform ended the drag without a drop
    kDragFailed = 104,
    kStuck = 105,      // the drag did not end after the release and was cancelled
    kNotStarted = 106, // the window was closed, or the event not set, before the first drag
};

struct Options {
    bool wide = false;
    bool right = false;
    bool shift = false;
    bool ctrl = false;
    bool text = false;
    bool copyOnly = false;
    bool noData = false;
    bool quick = false;
    bool hold = false;
    bool virtualFiles = false;
    bool stream = false;
    bool async = false;
    bool ansi = false;
    int items = 0;
    int repeat = 1;
    std::string report;
    bool haveTarget = false;
    POINT to{};
    std::vector<std::string> files;
    bool haveThenTarget = false;
    bool thenLeft = false;
    POINT thenTo{};
    std::vector<std::string> thenFiles;
    bool haveWindow = false;
    bool topmost = false;
    bool zoomed = false;
    RECT window{};
    std::string waitFor;
    std::string settled;
};

bool ParsePoint(const char* text, POINT& point) {
    long x = 0, y = 0;
    if (std::sscanf(text, "%ld,%ld", &x, &y) != 2)
        return false;
    point = POINT{x, y};
    return true;
}

bool ParseRect(const char* text, RECT& rect) {
    long left = 0, top = 0, right = 0, bottom = 0;
    if (std::sscanf(text, "%ld,%ld,%ld,%ld", &left, &top, &right, &bottom) != 4 || left >= right ||
        top >= bottom)
        return false;
    rect = RECT{left, top, right, bottom};
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    bool then = false;
    // Flags that set a switch of their own.
    const std::pair<const char*, bool Options::*> flags[] = {
        {"--wide", &Options::wide},       {"--right", &Options::right},
        {"--shift", &Options::shift},     {"--ctrl", &Options::ctrl},
        {"--text", &Options::text},       {"--copy-only", &Options::copyOnly},
        {"--no-data", &Options::noData},  {"--quick", &Options::quick},
        {"--topmost", &Options::topmost}, {"--hold", &Options::hold},
        {"--zoomed", &Options::zoomed},   {"--virtual", &Options::virtualFiles},
        {"--stream", &Options::stream},   {"--async", &Options::async},
        {"--ansi", &Options::ansi},
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool* flag = nullptr;
        for (const auto& [name, member] : flags)
            if (!then && arg == name)
                flag = &(options.*member);
        if (flag) {
            *flag = true;
        } else if (arg == "--to" && i + 1 < argc) {
            POINT& point = then ? options.thenTo : options.to;
            if (!ParsePoint(argv[++i], point))
                return false;
            (then ? options.haveThenTarget : options.haveTarget) = true;
        } else if (!then && arg == "--items" && i + 1 < argc) {
            options.items = std::atoi(argv[++i]);
        } else if (!then && arg == "--repeat" && i + 1 < argc) {
            options.repeat = std::atoi(argv[++i]);
        } else if (!then && arg == "--report" && i + 1 < argc) {
            options.report = argv[++i];
        } else if (!then && arg == "--window" && i + 1 < argc) {
            if (!ParseRect(argv[++i], options.window))
                return false;
            options.haveWindow = true;
        } else if (!then && arg == "--wait-for" && i + 1 < argc) {
            options.waitFor = argv[++i];
        } else if (!then && arg == "--settled" && i + 1 < argc) {
            options.settled = argv[++i];
        } else if (then && arg == "--left") {
            options.thenLeft = true;
        } else if (!then && arg == "--then") {
            then = true;
        } else {
            (then ? options.thenFiles : options.files).push_back(arg);
        }
    }
    return options.haveTarget && (!options.files.empty() || options.items > 0) &&
           (!then || !options.thenFiles.empty());
}

// What the data object hands out: a file-name block (header, names, empty name) or text.
std::string BuildPayload(const Options& options, const std::vector<std::string>& files) {
    std::string out;
    if (options.text) {
        for (const std::string& name : files)
            out += name + "\r\n";
        return out + '\0';
    }
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = options.wide;
    out.assign(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::string& name : files) {
        if (!options.wide) {
            out += name;
            out += '\0';
            continue;
        }
        int units = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
        std::wstring wide(units, L'\0'); // the converted name with its terminator
        MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wide.data(), units);
        out.append(reinterpret_cast<const char*>(wide.data()), units * sizeof(wchar_t));
    }
    out.append(options.wide ? sizeof(wchar_t) : 1, '\0');
    return out;
}

// Reference counting and QueryInterface for an object of one interface; the last Release
// frees it.
template <class Interface, const IID& InterfaceId> class ComObject : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, InterfaceId)) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return left;
    }

  protected:
    virtual ~ComObject() = default;

  private:
    LONG refs_ = 1;
};

class DataObject final : public ComObject<DataObjectBasics, IID_IDataObject> {
  public:
    DataObject(CLIPFORMAT format, std::string bytes, bool handsOut)
        : format_(format), bytes_(std::move(bytes)), handsOut_(handsOut) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        if (!handsOut_)
            return E_UNEXPECTED;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
        if (!block)
            return E_OUTOFMEMORY;
        CopyMemory(GlobalLock(block), bytes_.data(), bytes_.size());
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) &&
                       format->dwAspect == DVASPECT_CONTENT
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC offered{format_, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &offered, out);
    }

  private:
    CLIPFORMAT format_;
    std::string bytes_;
    bool handsOut_;
};

class DropSource final : public ComObject<IDropSource, IID_IDropSource> {
  public:
    DropSource(DWORD button, const std::atomic<bool>& abort, const std::string& settled)
        : button_(button), abort_(abort) {
        if (!settled.empty())
            settled_ = OpenEventA(EVENT_MODIFY_STATE, FALSE, settled.c_str());
    }
    ~DropSource() override {
        if (settled_)
            CloseHandle(settled_);
    }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keyState) override {
        if (escape || abort_)
            return DRAGDROP_S_CANCEL;
        return (keyState & button_) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
        // The cursor the target asks for, as a person sees it; none while outside any target.
        lastCursor = effect & 7;
        answers_ = lastCursor ? answers_ + 1 : 0;
        if (settled_ && answers_ == 10)
            SetEvent(settled_);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
    DWORD lastCursor = 0;

  private:
    DWORD button_;
    const std::atomic<bool>& abort_;
    HANDLE settled_ = nullptr;
    int answers_ = 0;
};

// The drop target of the source's own window (with --window): it takes every drop as a copy and
// remembers that it did.
class OwnWindowTarget final : public ComObject<IDropTarget, IID_IDropTarget> {
  public:
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD keys, POINTL at,
                                        DWORD* effect) override {
        return DragOver(keys, at, effect);
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect &= DROPEFFECT_COPY;
        taken = true;
        return S_OK;
    }
    bool taken = false;
};

void SendMouse(DWORD flags, POINT at = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // The platform maps 0..65535 onto the screen: pixel = value * width / 65536.
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = (at.x * 65536 + width - 1) / width;
        input.mi.dy = (at.y * 65536 + height - 1) / height;
    }
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void MoveTo(POINT at) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at);
}

void SendKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

// Runs the messages that are waiting.
void Drain() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Lets the window's messages run for `ms`, so the platform sees the input sent so far.
void Pump(DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms;) {
        Drain();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool WaitFor(const std::atomic<bool>& flag, DWORD ms) {
    for (DWORD start = GetTickCount(); !flag; Sleep(20)) {
        if (GetTickCount() - start > ms)
            return false;
    }
    return true;
}

// The other half of the drag, on its own thread while DoDragDrop runs: the pointer travels to
// the target, Shift goes down when asked, the source comes back in front and the button is
// released. When the drag does not end, Escape cancels it.
void DriveDrag(const Options& options, bool quick, POINT from, HWND window,
               const std::atomic<bool>& done, std::atomic<bool>& abort,
               std::atomic<long long>& released) {
    Sleep(quick ? 50 : 200);
    const int steps = quick ? 5 : 20;
    for (int i = 1; i <= steps && !done; ++i) {
        MoveTo(POINT{from.x + (options.to.x - from.x) * i / steps,
                     from.y + (options.to.y - from.y) * i / steps});
        if (i == steps / 2) {
            if (options.shift)
                SendKey(VK_SHIFT, true);
            if (options.ctrl)
                SendKey(VK_CONTROL, true);
        }
        Sleep(quick ? 20 : 40);
    }
    // A few small moves over the target, so it is asked again with the final keys (or, held,
    // for as long as the process lives).
    const int lingering = options.hold ? 1000 : quick ? 2 : 6; // held: a minute at the most
    for (int i = 0; i < lingering && !done; ++i) {
        MoveTo(POINT{options.to.x + (i % 2), options.to.y});
        Sleep(quick ? 30 : 60);
    }
    MoveTo(options.to);
    Sleep(quick ? 30 : 200);
    if (GetForegroundWindow() != window) {
        SetForegroundWindow(window);
        Sleep(150);
    } else if (!quick) {
        Sleep(150);
    }
    // Under Wine an injected key does not always survive the pointer's trip into another
    // window (the key state is taken again from the display's own keyboard); pressing it again
    // just before the release makes sure the drop sees it.
    if (options.shift)
        SendKey(VK_SHIFT, true);
    if (options.ctrl)
        SendKey(VK_CONTROL, true);
    if (options.shift || options.ctrl)
        Sleep(50);
    SendMouse(options.right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    released = now.QuadPart;
    if (!WaitFor(done, 8000)) {
        abort = true;
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        SendKey(VK_ESCAPE, true);
        SendKey(VK_ESCAPE, false);
        WaitFor(done, 5000);
    }
    if (options.shift)
        SendKey(VK_SHIFT, false);
    if (options.ctrl)
        SendKey(VK_CONTROL, false);
}

HWND CreateSourceWindow(const Options& options) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_HIGHLIGHT);
    windowClass.lpszClassName = "DragSourceWindow";
    RegisterClassA(&windowClass);
    const RECT& r = options.window;
    HWND window =
        options.haveWindow
            ? CreateWindowExA(options.topmost ? WS_EX_TOPMOST : 0, "DragSourceWindow", "DragSource",
                              WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                              nullptr, windowClass.hInstance, nullptr)
            : CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "DragSourceWindow", "DragSource",
                              WS_POPUP | WS_BORDER, 16, 16, 120, 80, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    if (window) {
        ShowWindow(window, options.zoomed ? SW_SHOWMAXIMIZED : SW_SHOW);
        UpdateWindow(window);
        SetForegroundWindow(window);
    }
    return window;
}

// Waits until the platform sees the button down, so the drag loop does not end at once.
void WaitForButton(bool right) {
    const int key = right ? VK_RBUTTON : VK_LBUTTON;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 300;) {
        Pump(10);
        if (GetAsyncKeyState(key) & 0x8000)
            break;
    }
    Pump(30);
}

struct DragResult {
    int code;
    DWORD cursor;
    long long released;
    long long returned = 0;
    bool ownWindow = false;
    int asyncEnd = 2;
};

// Waits in front, with the window's messages running, until the named event is set. False when
// the window is closed first or the event is not set within a minute.
bool WaitForEvent(const std::string& name, HWND window) {
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name.c_str());
    if (!event)
        return false;
    bool set = false;
    for (DWORD start = GetTickCount(); !set && IsWindow(window);) {
        if (GetTickCount() - start > 60000)
            break;
        set = MsgWaitForMultipleObjects(1, &event, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0;
        Drain();
    }
    CloseHandle(event);
    return set && IsWindow(window);
}

// One drag of `files` from the source window; a quick one waits only as long as it must.
DragResult RunDrag(const Options& options, const std::vector<std::string>& files, HWND window,
                   bool quick) {
    SetForegroundWindow(window);
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT from{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
    MoveTo(from);
    Pump(quick ? 30 : 100);
    SendMouse(options.right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    if (quick)
        WaitForButton(options.right);
    else
        Pump(300); // until the button state is seen

    IDataObject* data = nullptr;
    if (options.virtualFiles) {
        std::vector<VirtualItem> items = VirtualItemsFrom(files);
        AddGeneratedItems(items, options.items);
        data = CreateVirtualDataObject(std::move(items),
                                       {options.stream, options.async, options.ansi});
    } else {
        CLIPFORMAT format = options.text ? CF_TEXT : CF_HDROP;
        data = new DataObject(format, BuildPayload(options, files), !options.noData);
    }
    std::atomic<bool> done{false};
    std::atomic<bool> abort{false};
    auto* source = new DropSource(options.right ? MK_RBUTTON : MK_LBUTTON, abort, options.settled);
    std::atomic<long long> released{0};
    std::thread driver(DriveDrag, std::cref(options), quick, from, window, std::cref(done),
                       std::ref(abort), std::ref(released));
    DWORD allowed =
        options.copyOnly ? DROPEFFECT_COPY : DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD effect = DROPEFFECT_NONE;
    HRESULT result = DoDragDrop(data, source, allowed, &effect);
    LARGE_INTEGER returned;
    QueryPerformanceCounter(&returned);
    done = true;
    driver.join();
    DWORD cursor = source->lastCursor;
    // A target that reads the virtual files after the drop does so while this one waits.
    const int asyncEnd = options.virtualFiles ? WaitForAsyncEnd(data, 60000) : 2;
    data->Release();
    source->Release();

    if (abort)
        return {kStuck, cursor, released, returned.QuadPart, false, asyncEnd};
    if (result == DRAGDROP_S_DROP)
        return {static_cast<int>(effect & 7), cursor, released, returned.QuadPart, false, asyncEnd};
    return {result == DRAGDROP_S_CANCEL ? kCancelled : kDragFailed,
            cursor,
            released,
            returned.QuadPart,
            false,
            asyncEnd};
}

int RunDrags(const Options& options) {
    HWND window = CreateSourceWindow(options);
    if (!window)
        return kWindowFailed;
    OwnWindowTarget* target = nullptr;
    if (options.haveWindow) {
        target = new OwnWindowTarget;
        RegisterDragDrop(window, target);
    }
    auto close = [&] {
        if (target) {
            RevokeDragDrop(window);
            target->Release();
        }
        DestroyWindow(window);
    };
    Pump(300); // a new window takes the foreground a moment after it appears
    if (!options.waitFor.empty() && !WaitForEvent(options.waitFor, window)) {
        close();
        return kNotStarted;
    }
    // Each drag's result tells whether the window took its drop.
    auto run = [&](const Options& drag, const std::vector<std::string>& files, bool quick) {
        if (target)
            target->taken = false;
        DragResult result = RunDrag(drag, files, window, quick);
        result.ownWindow = target && target->taken;
        return result;
    };
    std::vector<DragResult> results{run(options, options.files, options.quick)};
    for (int again = 1; again < options.repeat && results.back().code != kStuck; ++again)
        results.push_back(run(options, options.files, true));
    if (!options.thenFiles.empty()) {
        Options then = options;
        if (options.haveThenTarget)
            then.to = options.thenTo;
        if (options.thenLeft)
            then.right = false;
        results.push_back(run(then, options.thenFiles, true));
    }
    close();
    if (!options.report.empty()) {
        if (FILE* report = std::fopen(options.report.c_str(), "a")) {
            for (const DragResult& r : results)
                std::fprintf(report, "%d %lu %lld %d %lld %d\n", r.code,
                             static_cast<unsigned long>(r.cursor), r.released, r.ownWindow ? 1 : 0,
                             r.returned, r.asyncEnd);
            std::fclose(report);
        }
    }
    return results.back().code;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: DragSource [--wide] [--right] [--shift] [--ctrl] [--text] "
                     "[--copy-only] [--no-data] [--virtual [--items N] [--stream] [--async] "
                     "[--ansi]] [--report FILE] [--window L,T,R,B] "
                     "[--topmost] [--zoomed] [--wait-for EVENT] --to X,Y file1 file2 "
                     "... [--then file ...]\n");
        return kUsage;
    }
    int code = kOleFailed;
    if (SUCCEEDED(OleInitialize(nullptr))) {
        code = RunDrags(options);
        OleUninitialize();
    }
    std::printf("%d\n", code);
    std::fflush(stdout);
    return code;
}
