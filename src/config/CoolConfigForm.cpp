// The settings dialog's frame: its pages and buttons, loading and saving every page, the
// change tracking behind Apply, the OK question and help.
#include "config/CoolConfigForm.h"

#include <commctrl.h>

#include <array>

#include "config/CoolConfigFormRes.h"
#include "config/HelpTopics.h"
#include "folders/DialogParts.h"
#include "settings/SettingsStore.h"
#include "ui/HelpFile.h"
#include "ui/MessageBox.h"
#include "ui/Placement.h"
#include "util/DpiScale.h"
#include "util/FileProbe.h"

namespace {

constexpr int kClientWidth = 502;
constexpr int kClientHeight = 346;
constexpr int kPageCount = CFG_PAGE_COUNT;
constexpr const char* kPageCaptions[kPageCount] = {"全般", "圧縮(1)", "圧縮(2)", "解凍(1)",
                                                   "解凍(2)"};

// A check box that edits one Boolean.
struct CheckSetting {
    int id;
    const settings::BoolSetting& setting;
};

const CheckSetting kChecks[] = {
    {IDC_CFG_CHBPREVCONF, settings::Confirmation1},
    {IDC_CFG_CHBLASTCONF, settings::Confirmation2},
    {IDC_CFG_CHBBROKEN, settings::IgnoreBrokenHeader},
    {IDC_CFG_CHBERRMSG, settings::ErrorMessage},
    {IDC_CFG_CHBDETAILREPORT, settings::ReportType1},
    {IDC_CFG_CHBLHAREPORT, settings::ReportType2},
    {IDC_CFG_CHBSKIPFILE, settings::SkipFile},
    {IDC_CFG_CHBPACKREPORT, settings::OutReport1},
    {IDC_CFG_CHBEXTRACTREPORT, settings::OutReport2},
    {IDC_CFG_CHBQPSELECTNEWARCHIVE, settings::SelectArchiveType},
    {IDC_CFG_CHBDROPADDAUTOMATICE, settings::DropAddAutomatice},
    {IDC_CFG_CHBDROPADDUSEDIR, settings::DropAddUseDir},
    {IDC_CFG_CHBDROPADDABSOLUTEPATH, settings::DropAddAbsolutePath},
    {IDC_CFG_CHBDROPADDSUBDIR, settings::DropAddSubDir},
    {IDC_CFG_CHBDROPADDADDPATH, settings::DropAddDirectory},
    {IDC_CFG_CHBDROPADDOPEN, settings::DropAddOpen},
    {IDC_CFG_CHBRECURRENCE, settings::Recurse},
    {IDC_CFG_CHBOPENEXPLORER, settings::Explorer},
    {IDC_CFG_CHBFILECOPY, settings::FileCopy},
    {IDC_CFG_CHBFILEMOVE, settings::FileMove},
    {IDC_CFG_CHBARCHPATH2, settings::IsArchivePath2},
    {IDC_CFG_CHBDELNUMPATH, settings::DelNumDir},
    {IDC_CFG_CHBINPUTPATH, settings::InputPath},
};

// Radio buttons that choose one integer: the value of each button, the button chosen in the
// empty dialog (0 none), and what is stored when none is chosen (-1: the stored value stays).
struct RadioSetting {
    const settings::IntSetting& setting;
    std::vector<std::pair<int, int>> buttons; // id, value
    int initial;
    int otherwise;
};

const RadioSetting kRadios[] = {
    {settings::ToPath,
     {{IDC_CFG_RDBPACKPATH1, 0},
      {IDC_CFG_RDBPACKPATH2, 1},
      {IDC_CFG_RDBPACKPATH3, 2},
      {IDC_CFG_RDBPACKPATH4, 3}},
     IDC_CFG_RDBPACKPATH3,
     3},
    {settings::LhaType,
     {{IDC_CFG_RDBLHA0, 0},
      {IDC_CFG_RDBLHA1, 1},
      {IDC_CFG_RDBLHA5, 2},
      {IDC_CFG_RDBLHA6, 3},
      {IDC_CFG_RDBLHA7, 4}},
     0,
     -1},
    {settings::CabType, {{IDC_CFG_RDBMSZIP, 0}, {IDC_CFG_RDBLZX, 1}}, 0, -1},
    {settings::ExtractPath,
     {{IDC_CFG_RDBQEARCHIVEPATH, 0},
      {IDC_CFG_RDBQESELECTPATH, 1},
      {IDC_CFG_RDBQEDESKTOPPATH, 3},
      {IDC_CFG_RDBQEFIXEDPATH, 2}},
     IDC_CFG_RDBQEDESKTOPPATH,
     2},
    {settings::ArchivePath,
     {{IDC_CFG_RDBARCHPATH1, 0}, {IDC_CFG_RDBARCHPATH2, 1}, {IDC_CFG_RDBARCHPATH3, 2}},
     IDC_CFG_RDBARCHPATH1,
     2},
};

// A number box with its up-down.
struct NumberSetting {
    int updown;
    const settings::IntSetting& setting;
    int minimum, maximum, step;
};

const NumberSetting kNumbers[] = {
    {IDC_CFG_UPDLOGSIZE1, settings::LogSize, 1, 32512, 128},
    {IDC_CFG_UPDQPZIPCOMPLEVEL, settings::ZipLevel, 1, 9, 1},
    {IDC_CFG_UPDQPTARCOMPLEVEL, settings::TarLevel, 1, 9, 1},
    {IDC_CFG_UPDQPCABCOMPLEVEL, settings::CabLevel, 15, 21, 1},
};

// Every control in pixels. Drop-down lists are given the height of their open list.
const ui::ControlPlace kPlaces[] = {
    {IDC_CFG_PAGECONTROL, 4, 8, 493, 305},
    {IDOK, 123, 319, 90, 22},
    {IDCANCEL, 217, 319, 90, 22},
    {IDC_CFG_BTNUPDATE, 311, 319, 90, 22},
    {IDC_CFG_BTNHELP, 405, 319, 90, 22},
    // 全般
    {IDC_CFG_CHBPREVCONF, 20, 40, 460, 18},
    {IDC_CFG_CHBLASTCONF, 20, 60, 460, 18},
    {IDC_CFG_CHBBROKEN, 20, 80, 460, 18},
    {IDC_CFG_CHBERRMSG, 20, 100, 460, 18},
    {IDC_CFG_CHBDETAILREPORT, 20, 120, 460, 18},
    {IDC_CFG_CHBLHAREPORT, 20, 140, 460, 18},
    {IDC_CFG_CHBSKIPFILE, 20, 160, 460, 18},
    {IDC_CFG_CHBPACKREPORT, 20, 180, 460, 18},
    {IDC_CFG_CHBEXTRACTREPORT, 20, 200, 460, 18},
    {IDC_CFG_CHBSETUPTASKTRAY, 20, 228, 460, 18},
    // The labels leave room for text that grows a little more than the density.
    {IDC_CFG_LBLHOTKEYRUN, 38, 255, 150, 16},
    {IDC_CFG_HOTSETUPKEYRUN, 190, 251, 170, 22},
    {IDC_CFG_LABEL26, 20, 285, 168, 16},
    {IDC_CFG_EDTLOGSIZE1, 190, 281, 90, 22},
    {IDC_CFG_LABEL27, 288, 285, 60, 16},
    // 圧縮(1)
    {IDC_CFG_LABEL2, 20, 44, 220, 16},
    {IDC_CFG_CMBFAVARCHIVE, 240, 40, 230, 12 * 17 + 24},
    {IDC_CFG_LABEL3, 20, 74, 220, 16},
    {IDC_CFG_CMBFAVSFXARCHIVE, 240, 70, 230, 5 * 17 + 24},
    {IDC_CFG_CHBQPSELECTNEWARCHIVE, 20, 104, 270, 18},
    {IDC_CFG_LBLQPSELECTNEWARCHIVE, 292, 106, 190, 16},
    {IDC_CFG_LABEL19, 36, 126, 440, 16},
    {IDC_CFG_GRBPACKPATH, 12, 152, 474, 150},
    {IDC_CFG_RDBPACKPATH1, 26, 172, 440, 18},
    {IDC_CFG_RDBPACKPATH2, 26, 194, 440, 18},
    {IDC_CFG_RDBPACKPATH3, 26, 216, 440, 18},
    {IDC_CFG_RDBPACKPATH4, 26, 238, 440, 18},
    {IDC_CFG_LBLPACKPATH4, 44, 268, 60, 16},
    {IDC_CFG_HISPACKPATH4, 104, 264, 280, 9 * 18 + 24},
    {IDC_CFG_BTNPACKPATH4, 390, 263, 90, 22},
    // 圧縮(2)
    {IDC_CFG_LABEL1, 20, 36, 300, 16},
    {IDC_CFG_RDGQPLHACOMP, 12, 52, 474, 42},
    {IDC_CFG_RDBLHA0, 26, 70, 80, 18},
    {IDC_CFG_RDBLHA1, 116, 70, 80, 18},
    {IDC_CFG_RDBLHA5, 206, 70, 80, 18},
    {IDC_CFG_RDBLHA6, 296, 70, 80, 18},
    {IDC_CFG_RDBLHA7, 386, 70, 80, 18},
    {IDC_CFG_LABEL16, 20, 105, 130, 16},
    {IDC_CFG_EDTQPZIPCOMPLEVEL, 150, 101, 60, 22},
    {IDC_CFG_LABEL17, 256, 105, 130, 16},
    {IDC_CFG_EDTQPTARCOMPLEVEL, 386, 101, 60, 22},
    {IDC_CFG_RDGQPCABCOMP, 12, 128, 230, 42},
    {IDC_CFG_RDBMSZIP, 26, 146, 90, 18},
    {IDC_CFG_RDBLZX, 126, 146, 90, 18},
    {IDC_CFG_LBLCABCOMPLEVEL, 256, 148, 130, 16},
    {IDC_CFG_EDTQPCABCOMPLEVEL, 386, 144, 60, 22},
    {IDC_CFG_RDGDROPADDOPTIONS, 12, 176, 474, 110},
    {IDC_CFG_CHBDROPADDAUTOMATICE, 26, 192, 440, 18},
    {IDC_CFG_CHBDROPADDUSEDIR, 26, 210, 440, 18},
    {IDC_CFG_CHBDROPADDABSOLUTEPATH, 44, 228, 420, 18},
    {IDC_CFG_CHBDROPADDSUBDIR, 44, 246, 420, 18},
    {IDC_CFG_CHBDROPADDADDPATH, 26, 264, 440, 18},
    {IDC_CFG_CHBDROPADDOPEN, 20, 290, 300, 18},
    // 解凍(1)
    {IDC_CFG_RDGQEEXTRACTPATH, 12, 40, 474, 132},
    {IDC_CFG_RDBQEARCHIVEPATH, 26, 58, 440, 18},
    {IDC_CFG_RDBQESELECTPATH, 26, 80, 440, 18},
    {IDC_CFG_RDBQEDESKTOPPATH, 26, 102, 440, 18},
    {IDC_CFG_RDBQEFIXEDPATH, 26, 124, 440, 18},
    {IDC_CFG_LBLQEFIXEDPATH, 44, 148, 60, 16},
    {IDC_CFG_HISQEFIXEDPATH, 104, 144, 280, 9 * 18 + 24},
    {IDC_CFG_BTNQEFIXEDPATH, 390, 143, 90, 22},
    {IDC_CFG_LBLDUPLICATE, 20, 186, 150, 16},
    {IDC_CFG_CMBDUPLICATE, 172, 182, 240, 5 * 18 + 24},
    {IDC_CFG_CHBRECURRENCE, 20, 212, 466, 18},
    {IDC_CFG_CHBOPENEXPLORER, 20, 234, 466, 18},
    {IDC_CFG_CHBFILECOPY, 20, 256, 466, 18},
    {IDC_CFG_CHBFILEMOVE, 20, 278, 466, 18},
    // 解凍(2)
    {IDC_CFG_RDGARCHIVEPATH, 12, 40, 474, 172},
    {IDC_CFG_RDBARCHPATH1, 26, 58, 450, 18},
    {IDC_CFG_RDBARCHPATH2, 26, 80, 450, 18},
    {IDC_CFG_RDBARCHPATH3, 26, 102, 450, 18},
    {IDC_CFG_CHBARCHPATH2, 44, 130, 436, 18},
    {IDC_CFG_CHBDELNUMPATH, 44, 154, 436, 18},
    {IDC_CFG_CHBINPUTPATH, 44, 178, 436, 18},
};

} // namespace

int TCoolConfigForm::PageOfControl(int id) {
    if (id < IDC_CFG_PAGE_FIRST || id >= IDC_CFG_PAGE_FIRST + kPageCount * IDC_CFG_PAGE_SPAN)
        return -1;
    return (id - IDC_CFG_PAGE_FIRST) / IDC_CFG_PAGE_SPAN;
}

void ShowSettingsDialog(HWND reference, int page) {
    TCoolConfigForm form(reference, page);
    form.ShowModal(reference);
    form.RaiseLoadFailure();
}

TCoolConfigForm::TCoolConfigForm(HWND reference, int page)
    : ui::ModalDialog({GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_COOLCONFIG), nullptr},
                      "CoolConfigForm"),
      reference_(reference), requestedPage_(page) {}

TCoolConfigForm::~TCoolConfigForm() = default;

bool TCoolConfigForm::OnInit() {
    FormCreate();
    FormShow();
    return true;
}

void TCoolConfigForm::RaiseLoadFailure() const {
    if (loadFailure_)
        std::rethrow_exception(loadFailure_);
}

void TCoolConfigForm::FormCreate() {
    HWND tabs = GetDlgItem(Handle(), IDC_CFG_PAGECONTROL);
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageCaptions[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    // The pages' controls lie over the tab control, so it paints beneath them.
    SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PageSwitching = false;
    ApplyDensity();
    for (const NumberSetting& number : kNumbers) {
        HWND updown = GetDlgItem(Handle(), number.updown);
        SendMessageA(updown, UDM_SETRANGE32, number.minimum, number.maximum);
        UDACCEL accel{0, static_cast<UINT>(number.step)};
        SendMessageA(updown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    }
    // A key alone or with Shift alone is no hot key: it gets Shift and Ctrl instead.
    SendDlgItemMessageA(Handle(), IDC_CFG_HOTSETUPKEYRUN, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                        MAKELPARAM(HOTKEYF_SHIFT | HOTKEYF_CONTROL, 0));
    for (const auto& [id, topic] : kControlHelpTopics)
        SetWindowContextHelpId(GetDlgItem(Handle(), id), topic);
    static const char* const duplicates[] = {
        "確認ダイアログを表示する", "新しい日付のみを上書きする", "常に上書きする",
        "解凍ファイルをリネームする", "同名はすべて上書きしない"};
    for (const char* text : duplicates)
        SendDlgItemMessageA(Handle(), IDC_CFG_CMBDUPLICATE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text));
    CmbFavArchive.Images = &Type_ImageList;
    CmbFavSfxArchive.Images = &Type_ImageList;
    CmbFavArchive.Attach(GetDlgItem(Handle(), IDC_CFG_CMBFAVARCHIVE));
    CmbFavSfxArchive.Attach(GetDlgItem(Handle(), IDC_CFG_CMBFAVSFXARCHIVE));
    hisPackPath4.Attach(GetDlgItem(Handle(), IDC_CFG_HISPACKPATH4));
    HisQEFixedPath.Attach(GetDlgItem(Handle(), IDC_CFG_HISQEFIXEDPATH));
    PBShellLink.SetWindowState(shelllink::TWindowState::wsNormal);
    PBShellLink.SetHotKey(0);
    PBShellLink.FileIcon.IconIndex = 0;
}

void TCoolConfigForm::OnDpiChanged() {
    ApplyDensity();
    // The pages' background is made again for their new size.
    pageBrush_.reset();
    pageBitmap_.reset();
}

void TCoolConfigForm::ApplyDensity() {
    // Text, pictures and rows grow with the density of the screen, as the layout does.
    font_ = folders::ApplyIconFaceFont(Handle(), false, Dpi());
    Type_ImageList = ui::ImageList::FromResource(GetModuleHandleA(nullptr), "ARCHIVE_ICON_IMAGES",
                                                 16, ScaleForDpi(16, Dpi()), RGB(255, 0, 255));
    CmbFavArchive.Dpi = Dpi();
    CmbFavSfxArchive.Dpi = Dpi();
    LayOut();
    // Attached again now that each number box has its place, so the arrows sit at its right.
    for (const NumberSetting& number : kNumbers)
        SendDlgItemMessageA(Handle(), number.updown, UDM_SETBUDDY,
                            reinterpret_cast<WPARAM>(GetDlgItem(Handle(), number.updown - 1)), 0);
}

void TCoolConfigForm::LayOut() {
    LayOutInPixels(kClientWidth, kClientHeight, kPlaces, std::size(kPlaces));
}

void TCoolConfigForm::FormShow() {
    StayOnTopWith(reference_);
    PlaceDialog(3, reference_, Handle());
    int page =
        requestedPage_ >= 0 && requestedPage_ < kPageCount ? requestedPage_ : LastSettingsPage;
    ActivatePage(page);
    LoadOrGiveUp();
}

// A value that cannot be read leaves the controls half loaded, and saving them would overwrite
// what was never shown: the dialog closes before it shows, and its opener reports the error.
void TCoolConfigForm::LoadOrGiveUp() {
    try {
        LoadSettings();
    } catch (...) {
        loadFailure_ = std::current_exception();
        EndModal(IDCANCEL);
    }
}

void TCoolConfigForm::LoadSettings() {
    LoadPlainControls();
    LoadCommonPage();
    LoadPackPages();
    LoadUnpackPages();
    MarkModified(false);
}

void TCoolConfigForm::SaveSettings() {
    SaveCommonPage();
    SavePlainControls();
    SavePackPages();
    SaveUnpackPages();
}

bool TCoolConfigForm::Checked(int id) const {
    return IsDlgButtonChecked(Handle(), id) == BST_CHECKED;
}

void TCoolConfigForm::SetChecked(int id, bool on) {
    CheckDlgButton(Handle(), id, on ? BST_CHECKED : BST_UNCHECKED);
}

void TCoolConfigForm::EnableControls(std::initializer_list<int> ids, bool on) {
    for (int id : ids)
        EnableWindow(GetDlgItem(Handle(), id), on);
}

void TCoolConfigForm::LoadPlainControls() {
    for (const CheckSetting& check : kChecks)
        SetChecked(check.id, ReadSetting(check.setting));
    for (const RadioSetting& radio : kRadios) {
        for (const auto& button : radio.buttons)
            SetChecked(button.first, button.first == radio.initial);
        const int value = ReadSetting(radio.setting);
        for (const auto& [id, buttonValue] : radio.buttons)
            if (buttonValue == value) {
                for (const auto& button : radio.buttons)
                    SetChecked(button.first, button.first == id);
            }
    }
    for (const NumberSetting& number : kNumbers)
        SendDlgItemMessageA(Handle(), number.updown, UDM_SETPOS32, 0, ReadSetting(number.setting));
}

void TCoolConfigForm::SavePlainControls() {
    for (const CheckSetting& check : kChecks)
        WriteSetting(check.setting, Checked(check.id));
    for (const RadioSetting& radio : kRadios) {
        int value = radio.otherwise;
        for (const auto& [id, buttonValue] : radio.buttons)
            if (Checked(id))
                value = buttonValue;
        // With no choice at all a group that has no fallback keeps what is stored.
        if (value >= 0)
            WriteSetting(radio.setting, value);
    }
    for (const NumberSetting& number : kNumbers) {
        int position =
            static_cast<int>(SendDlgItemMessageA(Handle(), number.updown, UDM_GETPOS32, 0, 0));
        WriteSetting(number.setting, position);
    }
}

void TCoolConfigForm::MarkModified(bool on) {
    if (PageSwitching)
        return;
    HWND apply = GetDlgItem(Handle(), IDC_CFG_BTNUPDATE);
    // A disabled button loses the keyboard focus to nothing: Apply hands it on first.
    if (!on && GetFocus() == apply)
        SendMessageA(Handle(), WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(apply, on);
}

bool TCoolConfigForm::Modified() const {
    return IsWindowEnabled(GetDlgItem(Handle(), IDC_CFG_BTNUPDATE)) != FALSE;
}

bool TCoolConfigForm::ValidateSettings() {
    HWND box = hisPackPath4.Handle();
    const std::string folder = hisPackPath4.Text();
    // The box's own state counts, not whether its page is on screen: OK may be pressed on
    // any page.
    if (Checked(IDC_CFG_RDBPACKPATH4) && IsWindowEnabled(box) && !FolderExists(folder)) {
        ShowMessageBox(Handle(), "フォルダ:" + folder + "\r\n" + "フォルダが存在しません",
                       MessageKind::Warning, MessageButton::OK);
        ActivatePage(1);
        SetFocus(box);
        return false;
    }
    return true;
}

// OK.
bool TCoolConfigForm::OnOK() {
    // Enter in the hot-key box comes here before the box has lost the focus.
    HotSetupKeyRunChange();
    if (!ReadSetting(settings::Confirmation1) && Modified()) {
        int answer = ShowMessageBox(Handle(), "オプション内容を更新しますか？",
                                    MessageKind::Confirmation, MessageButton::YesNoCancel);
        if (answer == MessageResult::No)
            return true;
        if (answer != MessageResult::Yes)
            return false;
    } else if (!Modified()) {
        return true;
    }
    if (!ValidateSettings())
        return false;
    SaveSettings();
    return true;
}

void TCoolConfigForm::BtnUpdateClick() {
    HotSetupKeyRunChange();
    if (!ValidateSettings())
        return;
    SaveSettings();
    LoadedHotKey = HotKeyValue();
    MarkModified(false);
}

void TCoolConfigForm::BtnHelpClick() {
    ShowHelpTopic(Handle(), kPageHelpTopics[ActivePage()]);
}

// F1 on a control with a topic of its own opens that topic as Help opens the page's.
void TCoolConfigForm::ShowHelp(const HELPINFO& info) {
    if (info.iContextType == HELPINFO_WINDOW && info.dwContextId != 0) {
        ShowHelpTopic(Handle(), info.dwContextId);
        return;
    }
    BtnHelpClick();
}

int TCoolConfigForm::ActivePage() const {
    int index =
        static_cast<int>(SendDlgItemMessageA(Handle(), IDC_CFG_PAGECONTROL, TCM_GETCURSEL, 0, 0));
    return index >= 0 && index < kPageCount ? index : 0;
}

void TCoolConfigForm::ActivatePage(int index) {
    SendDlgItemMessageA(Handle(), IDC_CFG_PAGECONTROL, TCM_SETCURSEL, index, 0);
    ShowPageControls(index);
    LastSettingsPage = index;
}

void TCoolConfigForm::ShowPageControls(int index) {
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int page = PageOfControl(GetDlgCtrlID(child));
        if (page >= 0)
            ShowWindow(child, page == index ? SW_SHOW : SW_HIDE);
    }
}

INT_PTR TCoolConfigForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDC_CFG_BTNUPDATE && HIWORD(wParam) == BN_CLICKED) {
            BtnUpdateClick();
        } else if (id == IDC_CFG_BTNHELP && HIWORD(wParam) == BN_CLICKED) {
            BtnHelpClick();
        } else if (PageOfControl(id) >= 0) {
            ControlCommand(id, HIWORD(wParam));
        } else {
            break;
        }
        handled = true;
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_CFG_PAGECONTROL) {
            if (header->code == TCN_SELCHANGING) {
                PageSwitching = true;
            } else if (header->code == TCN_SELCHANGE) {
                ShowPageControls(ActivePage());
                PageSwitching = false;
                LastSettingsPage = ActivePage();
            }
        } else if (header->code == UDN_DELTAPOS) {
            MarkModified(true);
        }
        break;
    }
    case WM_HELP:
        ShowHelp(*reinterpret_cast<const HELPINFO*>(lParam));
        handled = true;
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (HBRUSH brush =
                PageBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            handled = true;
            return reinterpret_cast<INT_PTR>(brush);
        }
        break;
    case WM_ERASEBKGND:
        if (EraseWithPageBody(reinterpret_cast<HDC>(wParam))) {
            handled = true;
            return TRUE;
        }
        break;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
        // Made again at the next use, with the new look.
        pageBrush_.reset();
        pageBitmap_.reset();
        break;
    }
    return ModalDialog::HandleMessage(message, wParam, lParam, handled);
}

// Every change of a page's control marks the dialog changed, then runs its own rule.
void TCoolConfigForm::ControlCommand(int id, int code) {
    switch (id) {
    case IDC_CFG_BTNPACKPATH4:
        if (code == BN_CLICKED)
            btnPackPath4Click();
        return;
    case IDC_CFG_BTNQEFIXEDPATH:
        if (code == BN_CLICKED)
            BtnQEFixedPathClick();
        return;
    case IDC_CFG_HOTSETUPKEYRUN:
        if (code == EN_CHANGE || code == EN_KILLFOCUS)
            HotSetupKeyRunChange();
        return;
    }
    const bool change = code == BN_CLICKED || code == CBN_SELCHANGE || code == EN_CHANGE;
    if (!change)
        return;
    MarkModified(true);
    switch (id) {
    case IDC_CFG_CHBSETUPTASKTRAY:
        ChbSetupTaskTrayClick();
        break;
    case IDC_CFG_CHBQPSELECTNEWARCHIVE:
    case IDC_CFG_CMBFAVARCHIVE:
        ChbQPSelectNewArchiveClick();
        break;
    case IDC_CFG_RDBPACKPATH1:
    case IDC_CFG_RDBPACKPATH2:
    case IDC_CFG_RDBPACKPATH3:
    case IDC_CFG_RDBPACKPATH4:
        rdbPackPath1Click();
        break;
    case IDC_CFG_RDBMSZIP:
    case IDC_CFG_RDBLZX:
        RdgQPCABCompClick();
        break;
    case IDC_CFG_CHBDROPADDAUTOMATICE:
    case IDC_CFG_CHBDROPADDUSEDIR:
        ChbDropAddAutomaticeClick();
        break;
    case IDC_CFG_RDBQEARCHIVEPATH:
    case IDC_CFG_RDBQESELECTPATH:
    case IDC_CFG_RDBQEDESKTOPPATH:
    case IDC_CFG_RDBQEFIXEDPATH:
        RdbQEArchivePathClick();
        break;
    case IDC_CFG_CHBFILECOPY:
    case IDC_CFG_CHBFILEMOVE:
        ChbFileCopyClick(id);
        break;
    }
}
