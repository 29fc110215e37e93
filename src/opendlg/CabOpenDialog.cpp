// The archive open dialog: the platform's open dialog, hooked, with the places list, the folder
// history combo box and its save button.
#include "opendlg/CabOpenDialog.h"

#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "folders/FolderItemData.h"
#include "opendlg/OpenDialogRules.h"
#include "ui/ErrorReport.h"
#include "ui/PathChecks.h"
#include "ui/Placement.h"
#include "util/FileProbe.h"
#include "util/LocaleText.h"
#include "util/PathText.h"
#include "util/ScopedWin.h"
#include "util/SystemLookups.h"

namespace {

// Posted to the child dialog: a place led to a folder that is not there. The message is shown
// once the list box's click is over, never from inside it.
constexpr UINT kShowMissingPlace = WM_APP + 40;
// Room for many chosen names to start with; a selection that needs more grows it.
constexpr std::size_t kFileBufferSize = 65536;
constexpr int kDroppedItems = 14;
constexpr int kHistoryDroppedWidth = 385;

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

// The width a label's text takes on one line in the label's own font (its "&" drawn as an
// underline, not as a character).
int TextWidth(HWND label) {
    std::string text = WindowText(label);
    HDC dc = GetDC(label);
    if (!dc)
        return 0;
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT rect{};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return rect.right - rect.left;
}

// A control's rectangle in the client coordinates of `window`.
RECT RectIn(HWND control, HWND window) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Moves a control's left edge, keeping its right edge. A combo box is sized with its list
// dropped down, or its list would shrink to nothing.
void MoveLeftEdge(HWND control, int shift) {
    RECT rect = RectIn(control, GetParent(control));
    int height = rect.bottom - rect.top;
    // Answered by combo boxes only; other controls leave the rectangle empty.
    RECT dropped{};
    SendMessageA(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    height = std::max<int>(height, dropped.bottom - dropped.top);
    SetWindowPos(control, nullptr, rect.left + shift, rect.top, rect.right - rect.left - shift,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The shell's icon of a place in the system image list.
int PlaceIconIndex(const TCabinetItem& item, const std::string& path) {
    SHFILEINFOA info{};
    int csidl = -1;
    if (item.FolderPath.empty()) {
        if (item.RootFolder == TRootFolder::rfDesktop)
            csidl = CSIDL_DESKTOP;
        else if (item.RootFolder == TRootFolder::rfMyComputer)
            csidl = CSIDL_DRIVES;
        else if (item.RootFolder == TRootFolder::rfNetwork)
            csidl = CSIDL_NETWORK;
    }
    win::ScopedErrorMode quiet;
    if (csidl >= 0) {
        folders::ScopedIdList list;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, list.out())) && list &&
            SHGetFileInfoA(reinterpret_cast<LPCSTR>(list.get()), 0, &info, sizeof info,
                           SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_OPENICON))
            return info.iIcon;
        return 0;
    }
    if (SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_OPENICON))
        return info.iIcon;
    return 0;
}

HIMAGELIST SystemImageList(UINT size) {
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | size));
}

} // namespace

TCabOpenDialog::TCabOpenDialog(HWND owner)
    : Color(GetSysColor(COLOR_APPWORKSPACE)), owner_(owner) {}

TCabOpenDialog::~TCabOpenDialog() {
    if (placesBrush_)
        DeleteObject(placesBrush_);
}

bool TCabOpenDialog::Execute() {
    Files.clear();
    std::string templateName = TemplateName;
    if (templateName.empty())
        templateName = IsIconFontUIGothic() ? "CABINET_OPEN_DIALOG" : "CABINET_OPEN_DIALOG2";
    initialDir_ = InitialDir;
    if (SetInitDirFrom1st && !Favorites.empty())
        initialDir_ = Favorites.front();
    std::string filter = FilterBuffer(Filter);
    fileBuffer_.assign(kFileBufferSize, '\0');
    FileName.copy(fileBuffer_.data(), std::min(FileName.size(), fileBuffer_.size() - 1));

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.data();
    dialog.nFilterIndex = static_cast<DWORD>(std::max(FilterIndex, 0));
    dialog.lpstrFile = fileBuffer_.data();
    dialog.nMaxFile = static_cast<DWORD>(fileBuffer_.size());
    dialog.lpstrInitialDir = initialDir_.empty() ? nullptr : initialDir_.c_str();
    dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    dialog.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    dialog.Flags = Options | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    dialog.lpfnHook = &TCabOpenDialog::HookProcedure;
    dialog.lpTemplateName = templateName.c_str();
    // The platform's own places bar would stand beside ours.
    dialog.FlagsEx = OFN_EX_NOPLACESBAR;

    request_ = &dialog;
    BOOL chosen = GetOpenFileNameA(&dialog);
    request_ = nullptr;
    child_ = parent_ = places_ = nullptr;
    std::vector<char> result = std::move(fileBuffer_);
    fileBuffer_.clear();
    // Closing: the history is saved whether or not files were chosen, and OnClose is raised
    // whatever the saving met.
    struct Closing {
        TCabOpenDialog& dialog;
        ~Closing() {
            if (dialog.OnClose)
                dialog.OnClose(dialog);
        }
    } closing{*this};
    SaveFolderHistory();
    if (!chosen)
        return false;
    if (Options & OFN_ALLOWMULTISELECT)
        Files = ChosenFiles(result.data(), result.size());
    else
        Files = {std::string(result.data(), strnlen(result.data(), result.size()))};
    FilterIndex = static_cast<int>(dialog.nFilterIndex);
    if (!Files.empty())
        FileName = Files.front();
    return !Files.empty();
}

UINT_PTR CALLBACK TCabOpenDialog::HookProcedure(HWND child, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    TCabOpenDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<TCabOpenDialog*>(
            reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
        SetWindowLongPtrA(child, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->child_ = child;
        self->parent_ = GetParent(child);
    } else {
        self = reinterpret_cast<TCabOpenDialog*>(GetWindowLongPtrA(child, DWLP_USER));
    }
    if (message == WM_MEASUREITEM) {
        // The history combo is measured while the template is made, before the object is known.
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType == ODT_COMBOBOX && measure->CtlID == IDC_CAB_HISTORY) {
            measure->itemHeight =
                std::max<UINT>(measure->itemHeight, UINT(GetSystemMetrics(SM_CYSMICON) + 2));
            return TRUE;
        }
    }
    if (!self)
        return 0;
    UINT_PTR result = 0;
    ui::RunGuarded([&] { result = self->Hook(message, wParam, lParam); });
    return result;
}

UINT_PTR TCabOpenDialog::Hook(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY:
        switch (reinterpret_cast<const OFNOTIFYA*>(lParam)->hdr.code) {
        case CDN_INITDONE:
            DoShow();
            break;
        case CDN_FOLDERCHANGE:
            DoFolderChange();
            break;
        case CDN_SELCHANGE:
            FitResultBuffer();
            break;
        case CDN_FILEOK:
            // Some platforms (Wine) fill the buffer before they ask, cutting what does not fit:
            // this OK is refused and pressed again once the buffer holds the whole selection.
            if (FitResultBuffer()) {
                SetWindowLongPtrA(child_, DWLP_MSGRESULT, 1);
                PostMessageA(GetDlgItem(parent_, IDOK), BM_CLICK, 0, 0);
                return TRUE;
            }
            break;
        }
        return 0;
    case WM_COMMAND:
        DoCommand(LOWORD(wParam), HIWORD(wParam));
        if (OnCommandEx)
            OnCommandEx(*this, child_, parent_, LOWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        return DoDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lParam) == places_ && placesBrush_)
            return reinterpret_cast<UINT_PTR>(placesBrush_);
        return 0;
    case WM_SIZE:
        DoSize();
        return 0;
    case kShowMissingPlace: {
        std::string path = std::move(pendingMissingPlace_);
        pendingMissingPlace_.clear();
        if (!path.empty())
            ValidateFolderPath(parent_, AddTrailingSeparator(path));
        return 0;
    }
    }
    return 0;
}

RECT TCabOpenDialog::ChildRect(HWND control) const {
    return RectIn(control, child_);
}

void TCabOpenDialog::DoShow() {
    Favorites.clear();
    if (Associated && Associated != this)
        Favorites = Associated->Favorites;
    LoadFolderHistory();
    FillHistoryCombo();

    HWND lookIn = GetDlgItem(parent_, IDC_CAB_LOOK_IN);
    HWND history = GetDlgItem(child_, IDC_CAB_HISTORY);
    RECT lookInRect = ChildRect(lookIn);
    if (lookIn) {
        RECT own{};
        GetWindowRect(lookIn, &own);
        int item = static_cast<int>(SendMessageA(lookIn, CB_GETITEMHEIGHT, 0, 0));
        SetWindowPos(lookIn, nullptr, 0, 0, own.right - own.left,
                     own.bottom - own.top + kDroppedItems * item + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (history) {
        RECT own = ChildRect(history);
        int item = static_cast<int>(SendMessageA(history, CB_GETITEMHEIGHT, 0, 0));
        int left = lookIn ? lookInRect.left : own.left;
        int width = lookIn ? lookInRect.right - lookInRect.left : own.right - own.left;
        SetWindowPos(history, nullptr, left, own.top, width,
                     own.bottom - own.top + kDroppedItems * item + 2,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(history, CB_SETDROPPEDWIDTH, kHistoryDroppedWidth, 0);
    }
    FitLabels();
    CreatePlacesList();
    // Where the platform put it, as long as that is on the owner's monitor: the cat's.
    KeepOnMonitorOf(owner_, parent_);
    DoFolderChange();
    if (OnShow)
        OnShow(*this);
}

bool TCabOpenDialog::FitResultBuffer() {
    // The platform writes the chosen names into the buffer it was given and cuts (or refuses)
    // a selection that outgrows it; the buffer grows ahead of the name box instead.
    if (!request_)
        return false;
    LRESULT names = SendMessageA(parent_, CDM_GETSPEC, 0, 0);
    LRESULT folder = SendMessageA(parent_, CDM_GETFOLDERPATH, 0, 0);
    if (names <= 0)
        return false;
    std::size_t need = ResultBufferSize(static_cast<std::size_t>(std::max<LRESULT>(folder, 0)),
                                        static_cast<std::size_t>(names));
    if (need <= request_->nMaxFile)
        return false;
    fileBuffer_.resize(need, '\0');
    request_->lpstrFile = fileBuffer_.data();
    request_->nMaxFile = static_cast<DWORD>(fileBuffer_.size());
    return true;
}

void TCabOpenDialog::FitLabels() {
    // The labels of the platform's controls and of the history, each beside its field. Their
    // widths are fixed in dialog units, and a font wider than the one they were made for would
    // cut or wrap their texts: the fields make room instead.
    HWND historyLabel = nullptr;
    for (HWND control = GetWindow(child_, GW_CHILD); control;
         control = GetWindow(control, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(control, name, sizeof name);
        if (lstrcmpiA(name, "Static") == 0 && GetDlgCtrlID(control) != IDC_CAB_STANDARD_AREA &&
            GetWindowTextLengthA(control) > 0)
            historyLabel = control;
    }
    struct Pair {
        HWND label, field;
    };
    const Pair pairs[] = {
        {GetDlgItem(parent_, stc4), GetDlgItem(parent_, cmb2)},
        {GetDlgItem(parent_, stc3), FileNameBox()},
        {GetDlgItem(parent_, stc2), GetDlgItem(parent_, cmb1)},
        {historyLabel, GetDlgItem(child_, IDC_CAB_HISTORY)},
    };
    std::vector<LabelRow> rows;
    std::vector<Pair> shown;
    for (const Pair& pair : pairs) {
        // The dialog itself is not shown yet: the labels' own style tells which ones will be.
        if (!pair.label || !pair.field || !(GetWindowLongA(pair.label, GWL_STYLE) & WS_VISIBLE))
            continue;
        RECT label = ChildRect(pair.label), field = ChildRect(pair.field);
        rows.push_back(
            {label.left, label.right - label.left, TextWidth(pair.label), field.left, field.right});
        shown.push_back(pair);
    }
    RECT gap{0, 0, 2, 0};
    MapDialogRect(child_, &gap);
    std::vector<LabelFit> fits = FitLabelRows(rows, gap.right);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (fits[i].labelWidth != rows[i].labelWidth) {
            RECT label = ChildRect(shown[i].label);
            SetWindowPos(shown[i].label, nullptr, 0, 0, fits[i].labelWidth,
                         label.bottom - label.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (fits[i].fieldLeft != rows[i].fieldLeft)
            MoveLeftEdge(shown[i].field, fits[i].fieldLeft - rows[i].fieldLeft);
    }
}

void TCabOpenDialog::CreatePlacesList() {
    RECT area = ChildRect(GetDlgItem(child_, IDC_CAB_STANDARD_AREA));
    RECT client{};
    GetClientRect(child_, &client);
    placesBrush_ = CreateSolidBrush(Color);
    places_ = CreateWindowExA(0, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                  LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                              0, 0, std::max<LONG>(area.left, 0), client.bottom, child_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CAB_PLACES)),
                              GetModuleHandleA(nullptr), nullptr);
    if (!places_)
        return;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(child_, WM_GETFONT, 0, 0));
    SendMessageA(places_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    LOGFONTA face{};
    if (font)
        GetObjectA(font, sizeof face, &face);
    int imageWidth = GetSystemMetrics(SM_CXICON), imageHeight = GetSystemMetrics(SM_CYICON);
    if (ImageList)
        ImageList_GetIconSize(ImageList, &imageWidth, &imageHeight);
    SendMessageA(places_, LB_SETITEMHEIGHT, 0, std::abs(face.lfHeight) + imageHeight + 18);
    for (const TCabinetItem& item : Items) {
        int index = static_cast<int>(
            SendMessageA(places_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.Caption.c_str())));
        int icon = ImageList || item.ImageIndex != 0
                       ? item.ImageIndex
                       : PlaceIconIndex(item, PlacePath(item, initialDir_));
        SendMessageA(places_, LB_SETITEMDATA, index, icon);
    }
}

void TCabOpenDialog::DoFolderChange() {
    std::string folder = CurrentFolder();
    EnableWindow(GetDlgItem(child_, IDC_CAB_SAVE_HISTORY),
                 !folder.empty() && !IsInFolderHistory(Favorites, folder, CompareTextIgnoreCase));
    if (OnFolderChange)
        OnFolderChange(*this);
}

void TCabOpenDialog::DoCommand(int id, int code) {
    if (id == IDC_CAB_PLACES && code == LBN_SELCHANGE)
        PlaceChosen();
    else if (id == IDC_CAB_HISTORY && code == CBN_SELCHANGE)
        HistoryChosen();
    else if (id == IDC_CAB_SAVE_HISTORY && code == BN_CLICKED)
        SaveCurrentFolder();
}

void TCabOpenDialog::PlaceChosen() {
    int index = static_cast<int>(SendMessageA(places_, LB_GETCURSEL, 0, 0));
    if (index < 0 || index >= static_cast<int>(Items.size()))
        return;
    GoToDialogFolder(PlacePath(Items[static_cast<std::size_t>(index)], initialDir_));
}

HWND TCabOpenDialog::FileNameBox() const {
    if (HWND edit = GetDlgItem(parent_, IDC_CAB_FILE_NAME_EDIT))
        return edit;
    return GetDlgItem(parent_, IDC_CAB_FILE_NAME_COMBO);
}

void TCabOpenDialog::GoToDialogFolder(const std::string& path) {
    if (path.empty())
        return;
    // Typed into the name box, a path that is no folder would be taken as the chosen file and
    // close the dialog: only folders that are there, and the shell's own places, are visited.
    if (!IsShellPath(path) && !FolderExists(path)) {
        pendingMissingPlace_ = path;
        PostMessageA(child_, kShowMissingPlace, 0, 0);
        return;
    }
    HWND box = FileNameBox();
    std::string typed = WindowText(box);
    SetWindowTextA(box, path.c_str());
    SendMessageA(parent_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(parent_, IDOK)));
    SetWindowTextA(box, typed.c_str());
    if (AutoFocusChange)
        SetFocus(box);
}

void TCabOpenDialog::HistoryChosen() {
    HWND history = GetDlgItem(child_, IDC_CAB_HISTORY);
    int index = static_cast<int>(SendMessageA(history, CB_GETCURSEL, 0, 0));
    if (index < 0 || index >= static_cast<int>(Favorites.size()))
        return;
    std::string folder = Favorites[static_cast<std::size_t>(index)];
    if (!FolderExists(ShownFolderText(folder)))
        return;
    HWND box = FileNameBox();
    SetFocus(box);
    std::string typed = WindowText(box);
    SetWindowTextA(box, AddTrailingSeparator(folder).c_str());
    SendMessageA(GetDlgItem(parent_, IDOK), BM_CLICK, 0, 0);
    SetWindowTextA(box, typed.c_str());
    AddToFolderHistory(Favorites, folder, true, MaxCount, CompareTextIgnoreCase);
    FillHistoryCombo();
    DoFolderChange();
}

std::string TCabOpenDialog::CurrentFolder() const {
    std::vector<char> path(32768, '\0');
    LRESULT length = SendMessageA(parent_, CDM_GETFOLDERPATH, path.size(),
                                  reinterpret_cast<LPARAM>(path.data()));
    if (length <= 0 || static_cast<std::size_t>(length) > path.size())
        return {};
    return ShownFolderText(path.data());
}

void TCabOpenDialog::SaveCurrentFolder() {
    std::string folder = CurrentFolder();
    if (folder.empty())
        return;
    if (FileAttributesQuiet(folder) == 0 && !FolderExists(AddTrailingSeparator(folder)))
        return;
    AddToFolderHistory(Favorites, folder, true, MaxCount, CompareTextIgnoreCase);
    FillHistoryCombo();
    EnableWindow(GetDlgItem(child_, IDC_CAB_SAVE_HISTORY), FALSE);
}

void TCabOpenDialog::FillHistoryCombo() {
    HWND history = GetDlgItem(child_, IDC_CAB_HISTORY);
    SendMessageA(history, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : Favorites)
        SendMessageA(history, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (!Favorites.empty())
        SendMessageA(history, CB_SETCURSEL, 0, 0);
}

void TCabOpenDialog::DoSize() {
    if (!child_)
        return;
    RECT area = ChildRect(GetDlgItem(child_, IDC_CAB_STANDARD_AREA));
    RECT client{};
    GetClientRect(child_, &client);
    if (places_) {
        MoveWindow(places_, 0, 0, std::max<LONG>(area.left, 0), client.bottom, TRUE);
        InvalidateRect(places_, nullptr, TRUE);
        UpdateWindow(places_);
    }
    HWND lookIn = GetDlgItem(parent_, IDC_CAB_LOOK_IN);
    HWND history = GetDlgItem(child_, IDC_CAB_HISTORY);
    if (lookIn && history) {
        RECT from = ChildRect(lookIn), own = ChildRect(history);
        SetWindowPos(history, nullptr, 0, 0, from.right - from.left, own.bottom - own.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND ok = GetDlgItem(parent_, IDOK);
    HWND save = GetDlgItem(child_, IDC_CAB_SAVE_HISTORY);
    if (ok && save) {
        RECT from = ChildRect(ok), own = ChildRect(save);
        SetWindowPos(save, nullptr, from.left, own.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

bool TCabOpenDialog::DoDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem == places_ && places_) {
        DrawPlace(item);
        return true;
    }
    if (item.CtlType == ODT_COMBOBOX && item.CtlID == IDC_CAB_HISTORY) {
        DrawHistoryItem(item);
        return true;
    }
    return false;
}

void TCabOpenDialog::DrawPlace(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    FillRect(dc, &rect, placesBrush_);
    if (item.itemID == static_cast<UINT>(-1))
        return;
    HIMAGELIST images = ImageList ? ImageList : SystemImageList(SHGFI_LARGEICON);
    int imageWidth = 0, imageHeight = 0;
    if (images)
        ImageList_GetIconSize(images, &imageWidth, &imageHeight);
    int icon = static_cast<int>(item.itemData);
    UINT style = ILD_TRANSPARENT;
    if (item.itemState & (ODS_FOCUS | ODS_SELECTED))
        style |= ILD_BLEND50;
    if (images)
        ImageList_DrawEx(images, icon, dc, rect.left + (rect.right - rect.left - imageWidth) / 2,
                         rect.top + 6, 0, 0, CLR_NONE, GetSysColor(COLOR_HIGHLIGHT), style);
    int length = static_cast<int>(SendMessageA(places_, LB_GETTEXTLEN, item.itemID, 0));
    std::string caption(static_cast<std::size_t>(std::max(length, 0)) + 1, '\0');
    SendMessageA(places_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(caption.data()));
    caption.resize(static_cast<std::size_t>(std::max(length, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    TextOutA(dc, rect.left + (rect.right - rect.left - extent.cx) / 2, rect.top + imageHeight + 12,
             caption.c_str(), static_cast<int>(caption.size()));
}

void TCabOpenDialog::DrawHistoryItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    bool selected = (item.itemState & ODS_SELECTED) != 0;
    SetBkColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= Favorites.size())
        return;
    std::string text = ShownFolderText(Favorites[item.itemID]);
    SHFILEINFOA info{};
    HIMAGELIST images = nullptr;
    {
        win::ScopedErrorMode quiet;
        images = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoA(text.c_str(), 0, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON));
    }
    std::string shown = text;
    if ((!ShowFullPath || text.size() < 4) && info.szDisplayName[0])
        shown = info.szDisplayName;
    if (images)
        ImageList_Draw(images, info.iIcon, dc, rect.left + 3,
                       rect.top + (rect.bottom - rect.top - GetSystemMetrics(SM_CYSMICON)) / 2,
                       ILD_TRANSPARENT);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    TextOutA(dc, rect.left + GetSystemMetrics(SM_CXSMICON) + 8,
             (rect.top + rect.bottom - metrics.tmHeight) / 2, shown.c_str(),
             static_cast<int>(shown.size()));
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &rect);
}
