// The folder selection dialog and ShowFolderDialog.
#include "folders/TreeForm.h"

#include <commctrl.h>

#include "folders/DialogParts.h"
#include "folders/FolderRules.h"
#include "folders/TreeFormRes.h"
#include "settings/SettingsStore.h"
#include "ui/MessageBox.h"
#include "ui/Placement.h"
#include "util/DpiScale.h"

namespace {

constexpr int kDefaultWidth = 388;
constexpr int kDefaultHeight = 362;
constexpr int kMinimumWidth = 388;
constexpr int kMinimumHeight = 362;

std::string DecimalSeparator() {
    char text[8] = "";
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, sizeof text);
    return text[0] ? text : ".";
}

} // namespace

int ShowFolderDialog(unsigned char purpose, HWND owner, const std::string& caption,
                     const std::string& subtitle1, const std::string& subtitle2,
                     const std::string& initialFolder, std::string& resultPath) {
    TTreeForm form(owner);
    form.Caption = caption.empty() ? "フォルダの選択" : caption;
    form.TreeFrame.Purpose = purpose;
    form.TreeFrame.OnVolumeStatus = [&form](TTreeFrame& frame, const std::string& text,
                                            double total, double free) {
        form.ShowVolumeStatus(frame, text, total, free);
    };
    form.TreeFrame.InitialFolder = initialFolder;
    form.Subtitle1 = subtitle1;
    form.Subtitle2 = subtitle2;
    form.ShowModal(owner);
    const bool confirmed = !form.TreeFrame.Cancelled;
    resultPath = confirmed ? form.TreeFrame.ResultPath : std::string();
    return confirmed ? 1 : 2;
}

TTreeForm::TTreeForm(HWND owner)
    : ui::ModalDialog({GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TREEFORM), nullptr},
                      "TreeForm"),
      owner_(owner) {}

bool TTreeForm::OnInit() {
    FormCreate();
    TreeFrame.SetupPurpose(Handle(), TreeFrame.Purpose);
    TreeFrame.SetSubtitles(Subtitle1, Subtitle2);
    FormShow();
    return false;
}

void TTreeForm::FormCreate() {
    HWND dialog = Handle();
    SetWindowTextA(dialog, Caption.c_str());
    StatusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                                0, 0, 0, dialog, reinterpret_cast<HMENU>(IDC_TREE_STATUSBAR),
                                GetModuleHandleA(nullptr), nullptr);
    int parts[] = {-1}; // one panel, spanning the bar
    SendMessageA(StatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
    ApplyFonts();

    // The size is kept in pixels of a 96-dpi screen, as the companion keeps it too.
    const SIZE minimum = MinimumSize();
    const int width =
        ScaleForDpi(ReadSettingInteger("Dialog", "TreeDlg_Width", kDefaultWidth), Dpi());
    const int height =
        ScaleForDpi(ReadSettingInteger("Dialog", "TreeDlg_Height", kDefaultHeight), Dpi());
    SetWindowPos(dialog, nullptr, 0, 0, std::max<int>(width, minimum.cx),
                 std::max<int>(height, minimum.cy), SWP_NOMOVE | SWP_NOZORDER);
    LayOut();
}

void TTreeForm::ApplyFonts() {
    // Sizes are pixels of a 96-dpi screen, grown with the density of the dialog's monitor.
    font_ = folders::ApplyIconFaceFont(Handle(), false, Dpi());
    win::ScopedGdiObject bold = folders::ApplyIconFaceFont(nullptr, true, Dpi());
    SendDlgItemMessageA(Handle(), IDC_TREE_SELECTEDPATH, WM_SETFONT,
                        reinterpret_cast<WPARAM>(bold.get()), FALSE);
    boldFont_ = std::move(bold);
}

void TTreeForm::OnDpiChanged() {
    ApplyFonts();
    // The size the platform suggested, but never below the smallest one at the new density.
    RECT box = {};
    GetWindowRect(Handle(), &box);
    const SIZE minimum = MinimumSize();
    if (box.right - box.left < minimum.cx || box.bottom - box.top < minimum.cy)
        SetWindowPos(Handle(), nullptr, 0, 0, std::max<int>(box.right - box.left, minimum.cx),
                     std::max<int>(box.bottom - box.top, minimum.cy),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
}

void TTreeForm::FormShow() {
    if (MessagesStayOnTop) {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED;
        if (owner_)
            SetWindowPos(owner_, HWND_TOPMOST, 0, 0, 0, 0, flags | SWP_NOACTIVATE);
        SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, flags);
    }
    PlaceDialog(1, owner_, Handle());
    TreeFrame.SelectInitialFolder();
    LayOut();
}

void TTreeForm::FormDestroy() {
    RECT box = {};
    if (GetWindowRect(Handle(), &box)) {
        WriteSettingInteger("Dialog", "TreeDlg_Width", UnscaleForDpi(box.right - box.left, Dpi()));
        WriteSettingInteger("Dialog", "TreeDlg_Height", UnscaleForDpi(box.bottom - box.top, Dpi()));
    }
    TreeFrame.Release();
}

SIZE TTreeForm::MinimumSize() const {
    return {ScaleForDpi(kMinimumWidth, Dpi()), ScaleForDpi(kMinimumHeight, Dpi())};
}

void TTreeForm::LayOut() {
    RECT client = {};
    GetClientRect(Handle(), &client);
    SendMessageA(StatusBar, WM_SIZE, 0, 0);
    RECT bar = {};
    GetWindowRect(StatusBar, &bar);
    TreeFrame.FrameResize(client.right, client.bottom - (bar.bottom - bar.top), Dpi());
}

void TTreeForm::ShowVolumeStatus(TTreeFrame&, const std::string& text, double, double free) {
    const std::string status = folders::FormatFreeSpace(text, free, DecimalSeparator());
    SendMessageA(StatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
}

bool TTreeForm::OnOK() {
    // Enter while a tree label is edited ends the editing, not the dialog.
    if (TreeFrame.SystemTreeView.Editing()) {
        TreeFrame.SystemTreeView.EndEditing(true);
        return false;
    }
    return TreeFrame.btnOKClick();
}

INT_PTR TTreeForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL && TreeFrame.SystemTreeView.Editing()) {
            TreeFrame.SystemTreeView.EndEditing(false);
            return TRUE;
        }
        if (TreeFrame.HandleCommand(LOWORD(wParam), HIWORD(wParam)))
            return TRUE;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (TreeFrame.HandleNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) {
            SetWindowLongPtrA(Handle(), DWLP_MSGRESULT, result);
            return TRUE;
        }
        break;
    }
    case WM_CONTEXTMENU:
        if (TreeFrame.HandleContextMenu(
                reinterpret_cast<HWND>(wParam),
                {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}))
            return TRUE;
        break;
    case WM_SIZE:
        LayOut();
        return TRUE;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE minimum = MinimumSize();
        info->ptMinTrackSize = {minimum.cx, minimum.cy};
        return TRUE;
    }
    case WM_DESTROY:
        FormDestroy();
        break;
    }
    handled = false;
    return ModalDialog::HandleMessage(message, wParam, lParam, handled);
}
