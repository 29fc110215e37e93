// The archive icon window: creation, pictures, timers, position and the orderly end.
#include "app/ArchiveCoolForm.h"

#include "app/Application.h"
#include "app/DesktopMonitors.h"
#include "app/ProcessStart.h"
#include "app/ReportedSettings.h"
#include "archive/ArchiveRecognizer.h"
#include "archive/ZCryptProbe.h"
#include "handoff/CompanionLaunch.h"
#include "handoff/DropFolders.h"
#include "handoff/WorkFolder.h"
#include "res/resource.h"
#include "settings/SettingsStore.h"
#include "shell/RegionStream.h"
#include "shell/ShortCutText.h"
#include "ui/Dpi.h"
#include "ui/ErrorReport.h"
#include "ui/FormRegistry.h"
#include "ui/MessageBox.h"
#include "ui/Placement.h"
#include "util/DpiScale.h"
#include "util/FileProbe.h"
#include "util/LocaleText.h"

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <utility>

namespace {

constexpr int kIconWidth = 58;
constexpr int kIconHeight = 59;
constexpr UINT kRefreshInterval = 1000;
// How often the refresh asks a shell that did not take the icon, before it says so; then how
// many refreshes apart it asks (about a minute).
constexpr int kTrayIconTries = 30;
constexpr int kTrayIconTriesApart = 60;

// The refresh interval: once a second. The soak test asks for a shorter one through the
// environment ("PAKICO_REFRESH_MS", 1 to 999), so that ten thousand ticks pass in minutes.
UINT RefreshInterval() {
    static const UINT interval = [] {
        char text[16] = "";
        DWORD length = GetEnvironmentVariableA("PAKICO_REFRESH_MS", text, sizeof text);
        int asked = length > 0 && length < sizeof text ? std::atoi(text) : 0;
        return asked >= 1 && asked < int(kRefreshInterval) ? UINT(asked) : kRefreshInterval;
    }();
    return interval;
}
constexpr COLORREF kImageMask = RGB(255, 0, 255);

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

// A window picture, grown pixel for pixel by a whole factor; at 1 the stored bitmap itself.
HBITMAP LoadPicture(int id, int factor) {
    auto picture = static_cast<HBITMAP>(
        LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (factor <= 1 || !picture)
        return picture;
    win::ScopedGdiObject stored(picture);
    return ui::ScaleBitmap(picture, kIconWidth * factor, kIconHeight * factor);
}

// The menu images are drawn 16 pixels square for 96 dpi.
constexpr int kMenuImageSize = 16;

// The stored outline of the cat, shared by all four pictures.
std::pair<const std::uint8_t*, std::size_t> CatOutline() {
    HRSRC found = FindResourceA(Instance(), MAKEINTRESOURCEA(IDR_CATOUTLINE), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(Instance(), found) : nullptr;
    if (!loaded)
        return {nullptr, 0};
    return {static_cast<const std::uint8_t*>(LockResource(loaded)),
            SizeofResource(Instance(), found)};
}

} // namespace

TArchiveCoolForm::TArchiveCoolForm() {
    FileMonitor.SetDirectory("c:\\temp");
}

TArchiveCoolForm::~TArchiveCoolForm() = default;

bool TArchiveCoolForm::CreateAndShow() {
    ui::WindowSpec params;
    params.className = kCatWindowClass;
    params.caption = ui::ApplicationTitle();
    params.style = WS_POPUP | WS_CLIPCHILDREN;
    // A tool window keeps the cat off the taskbar; the notification-area icon stands for it.
    params.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    params.x = 1;
    params.y = 1;
    params.width = kIconWidth;
    params.height = kIconHeight;
    params.background = nullptr;
    params.formName = FormName;
    if (!Create(params))
        return false;
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    FormShow();
    // The cat is drawn before the rest of the start: the common controls with the menus, OLE
    // with the drop target, the history menus, the hot key and a word with the taskbar take
    // longer than the whole window.
    RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    FinishStart();
    return true;
}

LRESULT TArchiveCoolForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A second start of the program looks for the cat.
    if (message == ShowCatMessage()) {
        if (Application().IsMinimized())
            ui::RunGuarded([&] { Act_ArchIconExecute(); });
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        FormCreate();
        return 0;
    case WM_CLOSE:
        FormCloseQuery();
        DestroyWindow(Handle());
        return 0;
    case WM_DESTROY: {
        // The loop ends once the clean-up is done, so that a message it shows stays until it is
        // answered; and it ends when a step fails, so no invisible copy holds the mutex.
        struct Quit {
            ~Quit() { PostQuitMessage(0); }
        } quit;
        FormDestroy();
        return 0;
    }
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // The session ends without closing the window: keep the place as an orderly end does.
        // Asked by the Restart Manager (an installer replacing a library the program holds),
        // the program itself ends too: its open windows close, then the loop ends and the
        // window goes as at every end.
        if (wParam) {
            FormEndSession();
            if (lParam & ENDSESSION_CLOSEAPP) {
                endAsked_ = true;
                PostQuitMessage(0);
            }
        }
        return 0;
    case kShowHeldReports:
        ui::ShowHeldReports();
        return 0;
    case kHandOverDrops:
        HandOverDrops();
        return 0;
    case kVirtualFilesRead:
        VirtualFilesRead();
        return 0;
    case kOtherWindowClosed:
        if (!Dragging)
            ui::RunGuarded([&] { RefreshIconState(); });
        return 0;
    case WM_POWERBROADCAST:
        // Awake again: a watch kept over the sleep may no longer report.
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND)
            ui::RunGuarded([&] { ImportWatch.Resumed(); });
        return TRUE;
    case ui::kGetDpiScaledSizeMessage:
        // Asked before a move to a monitor of another density: the cat's size there, grown by a
        // whole factor, so that the platform keeps it under the pointer where it was grabbed.
        if (lParam) {
            const int factor = WholeScale(static_cast<int>(wParam));
            *reinterpret_cast<SIZE*>(lParam) = {kIconWidth * factor, kIconHeight * factor};
            return TRUE;
        }
        break;
    case ui::kDpiChangedMessage:
        if (lParam) {
            const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
            ui::RunGuarded([&] { DpiChanged(HIWORD(wParam), suggested); });
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOVING: // the user drags the cat
        savedElsewhere_.reset();
        break;
    }
    return ui::Window::HandleMessage(message, wParam, lParam);
}

void TArchiveCoolForm::FormCreate() {
    // Each step's failure is reported and the steps after it still run: a cat without its
    // work folder or its notification-area icon must still take drops, refresh its picture,
    // answer its hot key and end.
    auto step = [](const std::function<void()>& body) { ui::RunGuarded(body); };
    // The place first: the density of its monitor decides the size of every picture.
    step([&] { PlaceAtSavedPosition(); });
    step([&] { CreateLayers(); });
    ConnectWatch();
    MessagesStayOnTop = true;
    // No box opens while a drag is over the cat (its source holds the mouse in its drag loop),
    // or may still be (it went quiet a moment ago), nor over another program's full-screen work
    // the cat stepped aside for (a new window there knocks many games out of full screen): they
    // show when the drag is over, or the cat back.
    ui::HoldReportsWhile([this] {
        return Dragging || HoldsReportsAfterQuietEnd() ||
               (FullScreenWatch && FullScreenWatch->OtherWorkInFront());
    });
    // Windows without an owner open on the cat's monitor.
    PlacementHome = Handle();
    // Run elevated, the cat still hears a second start that runs unelevated.
    ui::AllowMessageFromLowerIntegrity(Handle(), ShowCatMessage());
    ui::SetFormClosedHandler([this] { PostMessageA(Handle(), kOtherWindowClosed, 0, 0); });

    Dragging = false;
    DroppedFiles.clear();
    step([&] { RefreshIconState(); });

    Timer1.OnTimer = [this](ui::Timer&) { Timer1Timer(); };
    Timer2.OnTimer = [this](ui::Timer&) { Timer2Timer(); };
    step([&] { Timer1.SetInterval(RefreshInterval()); });
}

void TArchiveCoolForm::FinishStart() {
    // As in FormCreate, each step's failure is reported and the steps after it still run.
    auto step = [](const std::function<void()>& body) { ui::RunGuarded(body); };
    // The common controls (image lists, hints and the dialogs' controls) are loaded only now.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    step([&] { LoadMenuImages(dpi_); });
    step([&] { BuildMenus(); });
    step([&] { CoolForm1.SetHint("ここにドロップすると圧縮・解凍ができます。"); });
    step([&] {
        DropSupport.emplace();
        DropFileTarget1.Dragtypes = dtCopy | dtMove;
        DropFileTarget1.GetDataOnEnter = true;
        DropFileTarget1.SetShowImage(true);
        DropFileTarget1.OnEnter = [this](TDropTarget&, TShiftState shift, POINT, DWORD& effect) {
            DropFileTarget1Enter(shift, effect);
        };
        DropFileTarget1.OnDragOver = [this](TDropTarget&, TShiftState shift, POINT, DWORD& effect) {
            DropFileTarget1DragOver(shift, effect);
        };
        // The window answers the effects itself (the cursor during the drag, copy at the drop),
        // so the drop target's own choice stays out.
        DropFileTarget1.OnGetDropEffect = [](TDropTarget&, TShiftState, POINT, DWORD&) {};
        DropFileTarget1.OnLeave = [this](TDropTarget&) { DropFileTarget1Leave(); };
        DropFileTarget1.OnDrop = [this](TDropTarget&, TShiftState shift, POINT point,
                                        DWORD& effect) {
            DropFileTarget1Drop(shift, point, effect);
        };
        DropFileTarget1.Register(Handle(), FormName);
    });
    // The folders of drops the companion has long read.
    step([&] { RemoveOldDropFolders(); });
    step([&] { CreateHistoryMenus(); });
    step([&] { RegisterHotKey(); });
    // The Zip self-extractor's library is looked for once at start; the settings look again
    // while it has not been found.
    step([&] { IsZCryptAvailable(); });
    step([&] { CreateTrayIcon(); });
    step([&] {
        FullScreenWatch = std::make_unique<TFullScreenWatch>(Handle());
        FullScreenWatch->OnComeBack = [this] { PostMessageA(Handle(), kShowHeldReports, 0, 0); };
    });
}

win::ScopedIcon TArchiveCoolForm::TrayFace(int dpi) const {
    // The cat's face of the menu images.
    const int traySize = ScaleForDpi(kMenuImageSize, dpi);
    ui::ImageList trayImages;
    if (traySize != ImageList1.Width())
        trayImages = ui::ImageList::FromResource(Instance(), MAKEINTRESOURCEA(IDB_IMAGELIST1),
                                                 kMenuImageSize, traySize, kImageMask);
    return (trayImages ? trayImages : ImageList1).GetIcon(8);
}

void TArchiveCoolForm::FollowTaskbarDensity() {
    const int dpi = ui::TaskbarDpi();
    if (!TrayIcon || dpi == trayDpi_)
        return;
    trayDpi_ = dpi;
    if (auto face = TrayFace(dpi))
        TrayIcon->SetIcon(face.get());
}

void TArchiveCoolForm::CreateTrayIcon() {
    // The cat's face at the size of the notification area's icons, which follow the taskbar's
    // density, not the cat's monitor; the program's icon when the images are missing.
    trayDpi_ = ui::TaskbarDpi();
    auto face = TrayFace(trayDpi_);
    // An icon added during a watch (the taskbar came late) tells the watch, like the title.
    TrayIcon = std::make_unique<TTaskTrayIcon>(
        Handle(), face ? face.get() : LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_PAKICO)), Title());
    // A new taskbar that does not take the icon at once is asked as long as one at start; a
    // hidden cat comes back at once when it refuses.
    TrayIcon->OnTaskbarCreated = [this](TTaskTrayIcon&) {
        trayIconTries_ = 0;
        trayIconTold_ = false;
        KeepCatReachable();
    };
    TrayIcon->OnDblClick = [this](TTaskTrayIcon&) { RunCommand([&] { Act_ExecExecute(); }); };
    // Whether the icon has a menu is decided at the press that opens it: none while another
    // window of the program is open, even one opened a moment ago (About, from this very menu),
    // and without taking the foreground from that window.
    TrayIcon->OnMouseDown = [this](TTaskTrayIcon& icon, TMouseButton, TShiftState, int, int) {
        if (IsOtherWindowOpen())
            icon.PopupMenu = nullptr;
        else
            icon.PopupMenu = [this](POINT where) { ShowMenu(PopupMenu1, where); };
    };
}

void TArchiveCoolForm::AddTrayIconAgain() {
    // Once told, the refresh asks only once a minute: a shell that hangs could hold each tick
    // for seconds. A new taskbar's announcement starts it over.
    if (!TrayIcon || TrayIcon->Added())
        return;
    ++trayIconTries_;
    if (trayIconTries_ > kTrayIconTries &&
        (trayIconTries_ - kTrayIconTries) % kTrayIconTriesApart != 0)
        return;
    if (TrayIcon->Add())
        trayIconTries_ = 0;
    else if (trayIconTries_ == kTrayIconTries)
        TellTrayIconNotShown();
}

void TArchiveCoolForm::TellTrayIconNotShown() {
    if (trayIconTold_)
        return;
    trayIconTold_ = true;
    ui::ReportException(EAppError(TTaskTrayIcon::NotShownMessage));
}

void TArchiveCoolForm::KeepCatReachable() {
    if (!Application().IsMinimized() || (TrayIcon && TrayIcon->Added()))
        return;
    Act_ArchIconExecute();
    TellTrayIconNotShown();
}

void TArchiveCoolForm::CreateLayers() {
    // Later layers lie on top; exactly one is visible at a time.
    for (auto& l : Layers())
        l.layer.CreateOn(Handle(), l.name);
    ShowPictures(WholeScale(dpi_));
    CoolForm1.OnContextPopup = [this](POINT point, bool& handled) {
        handled = true;
        CoolForm1ContextPopup(point);
    };
    CoolForm1.OnDblClick = [this] { RunCommand([&] { Act_ConfigExecute(); }); };
}

std::array<TArchiveCoolForm::Layer, 4> TArchiveCoolForm::Layers() {
    return {{{CoolForm3, "CoolForm3", IDB_COOLFORM3},
             {CoolForm2, "CoolForm2", IDB_COOLFORM2},
             {CoolForm4, "CoolForm4", IDB_COOLFORM4},
             {CoolForm1, "CoolForm1", IDB_COOLFORM1}}};
}

void TArchiveCoolForm::ShowPictures(int factor) {
    // The stored outline as it is at 1; grown with the pictures otherwise.
    auto [outline, outlineSize] = CatOutline();
    std::vector<std::uint8_t> grown;
    if (factor > 1)
        if (auto data = RegionDataFromStream(outline, outlineSize)) {
            grown = RegionStreamFromData(ScaleRegionData(*data, factor));
            outline = grown.data();
            outlineSize = grown.size();
        }
    scale_ = factor;
    SetWindowPos(Handle(), nullptr, 0, 0, kIconWidth * factor, kIconHeight * factor,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (auto& l : Layers()) {
        l.layer.FillParent();
        l.layer.SetPicture(LoadPicture(l.picture, factor));
        l.layer.LoadMask2(outline, outlineSize);
    }
}

void TArchiveCoolForm::LoadMenuImages(int dpi) {
    ImageList1 =
        ui::ImageList::FromResource(Instance(), MAKEINTRESOURCEA(IDB_IMAGELIST1), kMenuImageSize,
                                    ScaleForDpi(kMenuImageSize, dpi), kImageMask);
}

void TArchiveCoolForm::PlaceAtSavedPosition() {
    const WindowOrigin saved{ReadSettingReported(settings::PakicoLeft),
                             ReadSettingReported(settings::PakicoTop)};
    // A place that no monitor shows any more (one was unplugged) brings the cat back.
    const auto place = RecoverPlace(saved, kIconWidth, kIconHeight, DesktopMonitors());
    MoveWindow(Handle(), place.left, place.top, kIconWidth, kIconHeight, TRUE);
    if (place.left != saved.left || place.top != saved.top)
        savedElsewhere_ = saved;
    dpi_ = ui::WindowDpi(Handle());
}

void TArchiveCoolForm::DpiChanged(int dpi, const RECT& suggested) {
    const int oldDpi = dpi_;
    dpi_ = dpi;
    // Before the pictures exist (the window is still being made) the creation uses the new
    // density itself.
    if (!CoolForm1.Handle())
        return;
    if (ScaleForDpi(kMenuImageSize, dpi) != ScaleForDpi(kMenuImageSize, oldDpi))
        LoadMenuImages(dpi);
    if (WholeScale(dpi) != scale_)
        ShowPictures(WholeScale(dpi));
    // Where the platform puts the window on its new monitor, at the cat's own size.
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TArchiveCoolForm::CreateHistoryMenus() {
    listA_ = std::make_unique<THistoryList>(CompareTextIgnoreCase);
    listB_ = std::make_unique<THistoryList>(CompareTextIgnoreCase);
    listC_ = std::make_unique<THistoryList>(CompareTextIgnoreCase);
    // The companion's work folder never shows in the histories. Making it may fail (read-only
    // media): the error is reported and the menus are made all the same.
    std::string workFolder;
    ui::RunGuarded([&] { workFolder = GetWorkFolder(); });
    const int openCount = ReadSettingReported(settings::OpenCount);
    struct {
        std::unique_ptr<THistoryMenu>& menu;
        const char* name;
        TPathItem pathItem;
        THistoryList* items;
        THistoryList* folders;
        const char* key;
        ui::MenuItem* target;
    } menus[] = {
        {HisArchReOpen1, "HisArchReOpen1", TPathItem::paBothItem, listA_.get(), listB_.get(),
         settings::HistoryArchiveFileKey, Menu_ROpen},
        {HisWatchRePath1, "HisWatchRePath1", TPathItem::paPathOnly, listC_.get(), nullptr,
         settings::HistoryWatchPathKey, Menu_ReWatchPath},
    };
    for (auto& m : menus) {
        m.menu = std::make_unique<THistoryMenu>();
        m.menu->Name = m.name;
        m.menu->PathItem = m.pathItem;
        m.menu->AttachLists(m.items, m.folders);
        m.menu->KeyName = m.key;
        m.menu->SetTargetMenuItem(m.target);
        m.menu->OpenPathImageIndex = 11;
        m.menu->DeleteHistoryImageIndex = 5;
        m.menu->BasePath.clear();
        m.menu->ExcludePath = workFolder;
        m.menu->SetHistoryNum(openCount);
        // The companion and the open dialog write these lists too: each menu reads them before
        // it is built and writes its own changes at once, never stale lists at the end.
        m.menu->WriteThrough = true;
        m.menu->OnHistorySelected = [this](THistoryMenu& sender, bool isPath,
                                           const std::string& fileName, bool& holdAuto) {
            RunCommand([&] { HistoryMenuHistorySelected(sender, isPath, fileName, holdAuto); });
        };
        m.menu->OnCanDeleted = [this](THistoryMenu& sender, bool& canDelete) {
            HistoryMenuCanDeleted(sender, canDelete);
        };
        ReportingRegistryErrors([&] { m.menu->SetActive(true); });
    }
    HisWatchRePath1->OnHistorySelected = [this](THistoryMenu&, bool, const std::string& folder,
                                                bool&) { RunCommand([&] { StartWatch(folder); }); };
}

void TArchiveCoolForm::RegisterHotKey() {
    HookHotKey1 = std::make_unique<THookHotKey>(Handle());
    HookHotKey1->Activate = false;
    HookHotKey1->OnHotKey = [this](THookHotKey&, int) { Act_ExecExecute(); };
    // Text that names no key, such as the default "なし", registers nothing.
    auto shortcut =
        shortcut::TextToShortCut(ReadSettingReported(settings::HotKey), KeyboardLayoutKeyName);
    HookHotKey1->Register(1, shortcut);
}

void TArchiveCoolForm::FormShow() {
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

bool TArchiveCoolForm::IsOtherWindowOpen() const {
    return OpenDialogShowing || watchEnding_ || ui::IsAnyOtherFormOpen(FormName);
}

void TArchiveCoolForm::RefreshIconState() {
    CoolForm3.SetVisible(false);
    CoolForm4.SetVisible(false);
    // Tested in this order, each only when the one before passed.
    bool ready = FileExistsQuiet(CompanionPath()) && !IsArchiverBusy() && !IsOtherWindowOpen();
    CoolForm1.SetVisible(ready);
    CoolForm2.SetVisible(!ready);
}

void TArchiveCoolForm::ShowDragPicture(TShiftState shift) {
    const droprules::DropAction action = DragAction(shift);
    // The right button's menu decides after the drop: the picture stays as it was.
    if (action != droprules::DropAction::Compress && action != droprules::DropAction::Extract)
        return;
    CoolForm1.SetVisible(false);
    CoolForm2.SetVisible(false);
    CoolForm3.SetVisible(action == droprules::DropAction::Compress);
    CoolForm4.SetVisible(action == droprules::DropAction::Extract);
}

void TArchiveCoolForm::Timer1Timer() {
    Timer1.SetInterval(0);
    struct Restart {
        ui::Timer& timer;
        ~Restart() { timer.SetInterval(RefreshInterval()); }
    } restart{Timer1};
    // Some of the platform's own loops (moving the cat) take the end of the loop for themselves.
    if (endAsked_)
        PostQuitMessage(0);
    AddTrayIconAgain();
    KeepCatReachable();
    FollowTaskbarDensity();
    EndQuietDrag();
    if (!Dragging)
        RefreshIconState();
    // The platform tells of full-screen windows as they come and go; the tick confirms.
    if (FullScreenWatch)
        FullScreenWatch->Check();
    // A watched folder that went away may give no change report at all.
    ImportWatch.Look();
}

void TArchiveCoolForm::FormCloseQuery() {
    Timer1.SetInterval(0);
    Timer2.SetInterval(0);
}

void TArchiveCoolForm::WritePosition() {
    RECT frame;
    GetWindowRect(Handle(), &frame);
    const WindowOrigin place = savedElsewhere_.value_or(WindowOrigin{frame.left, frame.top});
    WriteSetting(settings::PakicoLeft, place.left);
    WriteSetting(settings::PakicoTop, place.top);
}

void TArchiveCoolForm::FormEndSession() {
    ui::RunGuarded([&] { WritePosition(); });
}

void TArchiveCoolForm::FormDestroy() {
    // A failing step is shown, and the rest of the clean-up still runs.
    auto step = [](const std::function<void()>& body) { ui::RunGuarded(body); };
    endAsked_ = false;
    ui::SetFormClosedHandler(nullptr);
    ui::HoldReportsWhile(nullptr);
    FullScreenWatch.reset();
    step([&] { TApplication::QuitHelp(); });
    step([&] { TrayIcon.reset(); });
    DroppedFiles.clear();
    step([&] {
        if (DropFileTarget1.Registered())
            DropFileTarget1.Revoke();
    });
    // Drops still being read are handed over no more, and their folders go now (while OLE is
    // still there for their sources). Waiting for their threads lets messages in: the window
    // knows of them no more by then.
    step([&] {
        for (auto pending = std::exchange(virtualDrops_, {}); !pending.empty();
             pending.pop_front()) {
            const std::string folder = pending.front().read->Folder();
            pending.front().read.reset();
            RemoveDropFolder(folder);
        }
    });
    step([&] { RemoveOldDropFolders(); });
    step([&] { WritePosition(); });
    step([&] {
        if (HookHotKey1)
            HookHotKey1->Unregister(1);
    });
    HisArchReOpen1.reset();
    listA_.reset();
    listB_.reset();
    HisWatchRePath1.reset();
    listC_.reset();
}
