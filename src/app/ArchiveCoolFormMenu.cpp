// The icon window's menu: the companion, histories, help and About, placement, hiding and
// the end of residence.
#include "app/Application.h"
#include "app/ArchiveCoolForm.h"
#include "app/DesktopMonitors.h"
#include "app/DropAboutForm.h"
#include "app/ReportedSettings.h"
#include "config/CoolConfigForm.h"
#include "handoff/CompanionLaunch.h"
#include "settings/SettingsStore.h"
#include "shell/StartupShortcut.h"
#include "ui/MessageBox.h"

namespace {

ui::MenuItem& AddAction(ui::MenuItem& parent, ui::Action& action, const char* caption, int image,
                        std::function<void()> execute = {}) {
    action.SetCaption(caption);
    action.SetImageIndex(image);
    if (execute)
        action.OnExecute = [execute](ui::Action&) { execute(); };
    auto& item = parent.Add(caption);
    item.SetAction(&action);
    return item;
}

void AddSeparator(ui::MenuItem& parent) {
    parent.Add("-");
}

} // namespace

void TArchiveCoolForm::RunCommand(const std::function<void()>& command) {
    if (!IsOtherWindowOpen())
        command();
}

void TArchiveCoolForm::BuildMenus() {
    PopupMenu1.Images = &ImageList1;
    PopupMenu1.OnPopup = [this](ui::PopupMenu&) { PopupMenu1Popup(); };
    auto& m1 = PopupMenu1.Items;
    // Every command of this menu is decided at its click (see RunCommand).
    auto command = [this](void (TArchiveCoolForm::*handler)()) {
        return [this, handler] { RunCommand([&] { (this->*handler)(); }); };
    };
    auto move = [this](IconPlacement placement) {
        return [this, placement] { MoveTo(placement); };
    };
    AddAction(m1, Act_Exec, "Morvaを起動(&L)", 1, command(&TArchiveCoolForm::Act_ExecExecute));
    Menu_ROpen = &AddAction(m1, Act_ReOpen, "開き直す(&R)", 6);
    AddSeparator(m1);
    AddAction(m1, Act_Config, "環境設定(&G)", 4, command(&TArchiveCoolForm::Act_ConfigExecute));
    AddSeparator(m1);
    AddAction(m1, Act_About, "バージョン情報(&A)...", -1,
              command(&TArchiveCoolForm::Act_AboutExecute));
    AddAction(m1, Act_Help, "ヘルプ(&H)", 9, command(&TArchiveCoolForm::Act_HelpExecute));
    AddSeparator(m1);
    auto& places = AddAction(m1, Act_Move, "居場所(&P)", -1);
    AddAction(places, Act_Move_TopLeft, "上の左寄せ", -1, move(IconPlacement::TopLeft));
    AddAction(places, Act_Move_TopCenter, "上の中央寄せ", -1, move(IconPlacement::TopCenter));
    AddAction(places, Act_Move_TopRight, "上の右寄せ", -1, move(IconPlacement::TopRight));
    AddAction(places, Act_Move_TopRight2, "上の右端付近", -1, move(IconPlacement::TopRight2));
    AddSeparator(places);
    AddAction(places, Act_Move_BottomLeft, "下の左寄せ", -1, move(IconPlacement::BottomLeft));
    AddAction(places, Act_Move_BottomCenter, "下の中央寄せ", -1, move(IconPlacement::BottomCenter));
    AddAction(places, Act_Move_BottomRight, "下の右寄せ", -1, move(IconPlacement::BottomRight));
    AddSeparator(m1);
    AddAction(m1, Act_ArchIcon, "表示(&I)", 8, command(&TArchiveCoolForm::Act_ArchIconExecute));
    AddAction(m1, Act_Hide, "非表示(&H)", -1, command(&TArchiveCoolForm::Act_HideExecute));
    AddSeparator(m1);
    AddAction(m1, Act_NewWatch, "新たな監視フォルダで実行(&N)", 7,
              command(&TArchiveCoolForm::Act_NewWatchExecute));
    Menu_ReWatchPath = &AddAction(m1, Act_ReWatch, "過去の監視フォルダで実行(&B)", -1);
    AddAction(m1, Act_WatchEnd, "フォルダ監視の終了(&Z)", 5,
              command(&TArchiveCoolForm::Act_WatchEndExecute));
    AddSeparator(m1);
    AddAction(m1, Act_FIN, "常駐の解除(&E)", 0, command(&TArchiveCoolForm::Act_FINExecute));

    // The right drop's menu acts on the files of its own drop, whatever came since.
    PopupMenu2.Images = &ImageList1;
    PopupMenu2.OnPopup = [this](ui::PopupMenu&) { PopupMenu2Popup(); };
    auto& m2 = PopupMenu2.Items;
    AddAction(m2, Act_PopCancel, "操作のキャンセル(&C)", 5, [] {});
    AddSeparator(m2);
    AddAction(m2, Act_View, "書庫内を確認する(&C)", 10, [this] { ViewArchives(menuFiles_); });
    AddSeparator(m2);
    AddAction(m2, Act_Compress1, "圧縮する(&P)", 2, [this] { QuickCompress(menuFiles_); });
    AddAction(m2, Act_Extract, "解凍する(&E)", 3, [this] { QuickExtract(menuFiles_); });
}

void TArchiveCoolForm::ShowMenu(ui::PopupMenu& menu, POINT screen) {
    // Without the foreground the menu gets no keys and does not close when clicked away from.
    SetForegroundWindow(Handle());
    menu.Popup(screen.x, screen.y, Handle());
}

void TArchiveCoolForm::CoolForm1ContextPopup(POINT point) {
    ClientToScreen(Handle(), &point);
    RunCommand([&] { ShowMenu(PopupMenu1, point); });
}

void TArchiveCoolForm::PopupMenu1Popup() {
    int openCount = ReadSettingReported(settings::OpenCount);
    for (THistoryMenu* menu : {HisArchReOpen1.get(), HisWatchRePath1.get()}) {
        if (!menu)
            continue;
        menu->SetHistoryNum(openCount);
        // The lists are read afresh; a broken stored value is shown, the rest still listed.
        ReportingRegistryErrors([&] { menu->BuildMenu(); });
    }
    bool watching = FileMonitor.Active();
    Act_WatchEnd.SetVisible(watching);
    Act_NewWatch.SetVisible(!watching);
    Act_ReWatch.SetVisible(!watching);
    Act_ArchIcon.SetVisible(Application().IsMinimized());
    Act_Hide.SetVisible(!Application().IsMinimized());
    // Hidden, the cat is reached through its icon alone: not without one.
    Act_Hide.SetEnabled(TrayIcon && TrayIcon->Added());
}

void TArchiveCoolForm::Act_ExecExecute() {
    LaunchCompanion();
}

void TArchiveCoolForm::Act_ConfigExecute() {
    ShowSettingsDialog(Handle(), -1);
}

void TArchiveCoolForm::Act_AboutExecute() {
    TDropAboutForm about(Handle());
    about.ShowModal(Handle());
}

void TArchiveCoolForm::Act_HelpExecute() {
    TApplication::ShowHelpContents();
}

void TArchiveCoolForm::Act_HideExecute() {
    if (!TrayIcon || !TrayIcon->Added())
        return;
    Application().SetMinimized(true);
    TrayIcon->ApplicationMinimized(Handle());
}

void TArchiveCoolForm::Act_ArchIconExecute() {
    Application().SetMinimized(false);
    if (TrayIcon)
        TrayIcon->ApplicationRestored(Handle());
    FormShow();
}

void TArchiveCoolForm::MoveTo(IconPlacement placement) {
    savedElsewhere_.reset();
    // The work area of the monitor the cat is on.
    RECT window;
    GetWindowRect(Handle(), &window);
    auto origin = PlaceIconOn(placement, {window.left, window.top, window.right, window.bottom},
                              DesktopMonitors());
    SetWindowPos(Handle(), nullptr, origin.left, origin.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TArchiveCoolForm::Act_FINExecute() {
    if (FileMonitor.Tag() == 1 &&
        ShowMessageBox(nullptr, "書庫の取込中ですが終了しますか？", MessageKind::Confirmation,
                       MessageButton::YesNo) == MessageResult::No)
        return;
    // Asked only while Windows will start the program: not for a shortcut turned off in Task
    // Manager.
    if (StartupShortcutRuns()) {
        int answer = ShowMessageBox(
            nullptr,
            "パキコの常駐を解除します。\r\n現在、Windowsを起動するたびにパキコを自動的に表示する"
            "ようになっております。\r\nこのままの設定でよろしいですか？",
            MessageKind::Confirmation, MessageButton::YesNoCancel);
        if (answer == MessageResult::Cancel)
            return;
        if (answer == MessageResult::No)
            DeleteFileA(StartupShortcutPath().c_str());
    }
    Timer1.SetInterval(0);
    PostMessageA(Handle(), WM_CLOSE, 0, 0);
}
