// The archive icon window: the cat on the desktop that takes drops, with its menu, its
// notification-area icon, its hot key and its recent-archive histories.
#pragma once

#include "app/FullScreenWatch.h"
#include "app/IconPlacement.h"
#include "archive/DropRules.h"
#include "history/HistoryList.h"
#include "history/HistoryMenu.h"
#include "opendlg/CabOpenDialog.h"
#include "shell/CoolForm.h"
#include "shell/DropTarget.h"
#include "shell/HookHotKey.h"
#include "shell/TaskTrayIcon.h"
#include "shell/VirtualFiles.h"
#include "ui/Action.h"
#include "ui/ImageList.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/Window.h"
#include "watch/DiscMonitor.h"
#include "watch/ImportListing.h"
#include "watch/ImportWatch.h"

#include <array>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// True while the archive open dialog is on screen.
inline bool OpenDialogShowing = false;

class TArchiveCoolForm : public ui::Window {
  public:
    static constexpr const char* FormName = "ArchiveCoolForm";

    TArchiveCoolForm();
    ~TArchiveCoolForm() override;

    // Creates the window (running FormCreate) and shows it.
    bool CreateAndShow();

    // Any other window of the program is open: a dialog, a message box, the open dialog; or the
    // end of a watch is under way, whose question or report is about to open.
    bool IsOtherWindowOpen() const;
    // Ready or resting picture.
    void RefreshIconState();
    // Compress or extract picture during a drag, as the drop would do with `shift` held.
    void ShowDragPicture(TShiftState shift);

    // Paths of the last drop, in drop order.
    std::vector<std::string> DroppedFiles;
    bool Dragging = false;
    bool AllArchives = false;
    bool RightDrag = false;
    // The drag was refused as it entered (the cat rests, or a file could not be read): it
    // stays refused until it leaves.
    bool DragRefused = false;
    POINT PopupPoint{};

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // Posted to the window to show the reports held back while a drag was over the cat or the
    // cat stood aside for full-screen work, once that is over.
    static constexpr UINT kShowHeldReports = WM_APP + 1;
    // Posted when another window of the program has closed: the picture follows at once rather
    // than at the next tick, so that the cat answers the moment it is alone again.
    static constexpr UINT kOtherWindowClosed = WM_APP + 2;
    // Posted by a drop: its files go to the companion once the drop has returned to the source.
    static constexpr UINT kHandOverDrops = WM_APP + 4;
    // Posted when a drop's virtual files read after the drop have been written.
    static constexpr UINT kVirtualFilesRead = WM_APP + 8;

    // Window events.
    void FormCreate();
    void FormShow();
    // The start's steps that wait until the cat is on screen.
    void FinishStart();
    void FormCloseQuery();
    void FormDestroy();
    void FormEndSession();
    // The Restart Manager asked the program to end.
    bool endAsked_ = false;
    void Timer1Timer();
    void Timer2Timer();
    void CreateLayers();
    struct Layer {
        TCoolForm& layer;
        const char* name;
        int picture;
    };
    // The four picture layers in their order of creation (later ones lie on top).
    std::array<Layer, 4> Layers();
    // Puts the window at its saved place (or back on a monitor) and learns its density.
    void PlaceAtSavedPosition();
    // The four pictures and the outline grown by a whole factor, the window sized to them.
    void ShowPictures(int factor);
    // The menu images at the size for a density.
    void LoadMenuImages(int dpi);
    // The window moved to a monitor of another density (`suggested` is the platform's frame).
    void DpiChanged(int dpi, const RECT& suggested);
    void CreateHistoryMenus();
    void RegisterHotKey();
    void WritePosition();
    // Makes the notification-area icon. The shell may not take it yet (it is busy in the
    // first seconds after sign-in, or has just started again): the refresh asks again, quietly,
    // for about half a minute, then says so once.
    void CreateTrayIcon();
    // Asked at each refresh for about half a minute, then once a minute for as long as the
    // program runs, quietly: a shell that recovers later still gets the icon.
    void AddTrayIconAgain();
    int trayIconTries_ = 0;
    // Said once since the start or the last new taskbar: the icon cannot be shown.
    bool trayIconTold_ = false;
    void TellTrayIconNotShown();
    // The cat is hidden only while its icon is in the notification area, the one other way to
    // it: without the icon it comes back.
    void KeepCatReachable();
    // The cat's face for the notification area at the size for a density.
    win::ScopedIcon TrayFace(int dpi) const;
    // The taskbar's density changed since the icon was drawn: it is drawn again at its size.
    void FollowTaskbarDensity();

    // Drops.
    void DropFileTarget1Enter(TShiftState shift, DWORD& effect);
    void DropFileTarget1DragOver(TShiftState shift, DWORD& effect);
    void DropFileTarget1Leave();
    void DropFileTarget1Drop(TShiftState shift, POINT point, DWORD& effect);
    bool ShowsDragPicture() const;
    // The names the drag over the cat brings: its files, or the names its virtual files will have.
    const std::vector<std::string>& DragNames() const;
    // What the drag over the cat would do if dropped with `shift` held.
    droprules::DropAction DragAction(TShiftState shift) const;
    // The cursor and the picture of a drag over the cat, at its entering and each move.
    void AnswerDrag(TShiftState shift, DWORD& effect);
    // The drag is over (left, dropped, or its source gone quiet): reports held back during the
    // drag are shown once the window is back in its own loop.
    void DragEnded();
    // A drag source that ended without a leave or a drop (it was closed, or crashed) leaves the
    // drag picture; after a few quiet seconds with no mouse button down the drag counts as over.
    void EndQuietDrag();
    // When the last drag ended so, if no real leave or drop has come since: reports stay held
    // for half a minute after it.
    std::optional<DWORD> quietEndAt_;
    static constexpr DWORD kReportsHeldAfterQuietEndMs = 30000;
    bool HoldsReportsAfterQuietEnd() const;
    // What a left drop hands over, kept with its own files until the drop has returned.
    struct DropHandOff {
        bool extract;
        std::vector<std::string> files;
    };
    std::deque<DropHandOff> dropHandOffs_;
    void HandOverDrops();
    // A drop of files that exist only inside their source: written into a folder of the drop's
    // own, then handed on as a drop of those files with the keys of the drop.
    struct VirtualDrop {
        std::unique_ptr<TVirtualFileDrop> read;
        bool shift;
        bool right;
        POINT at;
    };
    // Those read after their drop, until they are written.
    std::deque<VirtualDrop> virtualDrops_;
    void DropVirtualFiles(TShiftState shift, POINT point);
    void VirtualFilesRead();
    void HandOverVirtualFiles(const VirtualDrop& drop, const VirtualFilesWritten& written);
    // A right drop's menu, opened half a second after the drop, for that drop's files.
    struct DropMenu {
        POINT at;
        std::vector<std::string> files;
    };
    std::deque<DropMenu> dropMenus_;
    bool dropMenuOpen_ = false;
    // The files of the right drop whose menu is open.
    std::vector<std::string> menuFiles_;

    // Menus and commands.
    // Runs a command of the menu, or of a click on the cat or its icon, only while no other
    // window of the program is open at that moment: the pictures and the icon follow the last
    // refresh, and a window opened a moment before (About, chosen from this very menu) would
    // otherwise get a second About, or the settings, over it.
    void RunCommand(const std::function<void()>& command);
    void BuildMenus();
    void PopupMenu1Popup();
    void PopupMenu2Popup();
    void ShowMenu(ui::PopupMenu& menu, POINT screen);
    void CoolForm1ContextPopup(POINT point);
    void Act_ExecExecute();
    void Act_ConfigExecute();
    void Act_AboutExecute();
    void Act_HelpExecute();
    void Act_HideExecute();
    void Act_ArchIconExecute();
    void Act_FINExecute();
    void MoveTo(IconPlacement placement);

    // The automatic import.
    void ConnectWatch();
    void Act_NewWatchExecute();
    void Act_WatchEndExecute();
    void StartWatch(const std::string& folder);
    void FileMonitorChange();
    // A look at the watched folder changed the count or found it away or back.
    void WatchStateChanged();
    // The end's question, once the last look has counted the collected files still there.
    void AskWatchEnd(std::size_t stillThere);
    // Tells what the import handed over, or why nothing.
    void ReportImport(const watch::TImportOutcome& outcome, watch::TImportHandOver handOver,
                      std::exception_ptr error);
    // The end of a watch is under way, from its last look to its report: it counts as another
    // window of the program.
    bool watchEnding_ = false;
    void SetWatchEnding(bool ending);
    // The window's title and the notification-area tip: the program's name, or while watching
    // how far the import is.
    std::string Title() const;
    void ShowTitle();

    // Recent archives and the open dialog.
    void HistoryMenuHistorySelected(THistoryMenu& sender, bool isPath, const std::string& fileName,
                                    bool& holdAuto);
    void HistoryMenuCanDeleted(THistoryMenu& sender, bool& canDelete);
    // Lets the user choose archives, starting in `startFolder` when it is there, and hands the
    // chosen archives to the companion.
    void OpenArchives(const std::string& startFolder);
    // The open dialog while it exists.
    TCabOpenDialog* OpenDialog = nullptr;

    TCoolForm CoolForm1, CoolForm2, CoolForm3, CoolForm4;
    // OLE for the drop target, from the end of the start; outlives the drop target.
    std::optional<ScopedDropSupport> DropSupport;
    TDropFileTarget DropFileTarget1;
    ui::ImageList ImageList1;
    ui::PopupMenu PopupMenu1, PopupMenu2;
    ui::Timer Timer1, Timer2;
    std::unique_ptr<TTaskTrayIcon> TrayIcon;
    std::unique_ptr<THookHotKey> HookHotKey1;
    // Takes the cat out of the way of full-screen work on its monitor.
    std::unique_ptr<TFullScreenWatch> FullScreenWatch;
    // The saved place while no monitor shows it (one is unplugged for a while): the cat shows
    // on the primary monitor, and the place is kept for the end unless the user moves the cat.
    std::optional<WindowOrigin> savedElsewhere_;
    // The density of the monitor the cat is on, and the whole factor its pictures have.
    int dpi_ = 96;
    int scale_ = 1;
    // The taskbar's density the notification-area icon was drawn for.
    int trayDpi_ = 96;
    // The folder watch; its tag is 1 while an automatic import runs.
    TDiscMonitor FileMonitor;
    // The folder last watched, and the listings while an import runs.
    std::string WatchedFolder;
    watch::TImportWatch ImportWatch{FileMonitor};
    std::size_t lastReportedCount_ = 0;

    ui::Action Act_Exec, Act_ReOpen, Act_Config, Act_About, Act_Help, Act_Move, Act_ArchIcon,
        Act_Hide, Act_NewWatch, Act_ReWatch, Act_WatchEnd, Act_FIN;
    ui::Action Act_Move_TopLeft, Act_Move_TopCenter, Act_Move_TopRight, Act_Move_TopRight2,
        Act_Move_BottomLeft, Act_Move_BottomCenter, Act_Move_BottomRight;
    ui::Action Act_PopCancel, Act_View, Act_Compress1, Act_Extract;
    ui::MenuItem* Menu_ROpen = nullptr;
    ui::MenuItem* Menu_ReWatchPath = nullptr;

    // Recent archives (A) with their folders (B), and watched folders (C).
    std::unique_ptr<THistoryList> listA_, listB_, listC_;
    std::unique_ptr<THistoryMenu> HisArchReOpen1, HisWatchRePath1;
};
