// The new-folder dialog.
#include "folders/MKDirForm.h"

#include "folders/DialogParts.h"

#include <shellapi.h>

#include "folders/MKDirFormRes.h"
#include "ui/MessageBox.h"
#include "ui/PathChecks.h"
#include "ui/Placement.h"
#include "util/FileProbe.h"
#include "util/PathText.h"

namespace {

constexpr int kClientWidth = 414;
constexpr int kClientHeight = 115;
constexpr const wchar_t* kFormProperty = L"PakicoMKDirForm";

std::string Trimmed(const std::string& text) {
    std::size_t first = 0, last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

} // namespace

void ShowNewFolderDialog(int mode, HWND owner, bool check, std::string& name,
                         const std::string& initialName, const std::string& caption,
                         const std::string& baseFolder) {
    TMKDirForm form(owner, mode, check, baseFolder);
    form.Caption = caption.empty() ? "新しいフォルダの作成" : caption;
    form.InitialName = initialName;
    form.ShowModal(owner);
    name = form.Result;
}

TMKDirForm::TMKDirForm(HWND owner, int mode, bool check, std::string baseFolder)
    : ui::ModalDialog({GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MKDIRFORM), nullptr},
                      "MKDirForm"),
      owner_(owner), mode_(mode), check_(check), baseFolder_(std::move(baseFolder)) {}

void TMKDirForm::ApplyDensity() {
    font_ = folders::ApplyIconFaceFont(Handle(), false, Dpi());
    // Pixels of a 96-dpi screen, grown with the density of the dialog's monitor.
    LayOutInPixels(kClientWidth, kClientHeight,
                   {
                       {IDC_MKDIR_IMAGE, 12, 14, 32, 32},
                       {IDC_MKDIR_BASETITLE, 60, 10, 340, 16},
                       {IDC_MKDIR_BASEDIR, 60, 28, 340, 16},
                       {IDC_MKDIR_NAMETITLE, 60, 52, 70, 16},
                       {IDC_MKDIR_DIRNAME, 130, 49, 270, 22},
                       {IDOK, 220, 82, 86, 25},
                       {IDCANCEL, 314, 82, 86, 25},
                   });
}

void TMKDirForm::OnDpiChanged() {
    ApplyDensity();
}

bool TMKDirForm::OnInit() {
    HWND dialog = Handle();
    ApplyDensity();
    SetWindowTextA(dialog, Caption.c_str());
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(baseFolder_.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON))
        picture_.reset(info.hIcon);
    SendDlgItemMessageA(dialog, IDC_MKDIR_IMAGE, STM_SETICON,
                        reinterpret_cast<WPARAM>(picture_.get()), 0);
    SetDlgItemTextA(dialog, IDC_MKDIR_BASEDIR, baseFolder_.c_str());
    toolTip_ = folders::CreateHintWindow(dialog);
    folders::AddHint(toolTip_, GetDlgItem(dialog, IDC_MKDIR_BASEDIR), baseFolder_);

    // A wide subclass sees each typed character whole; an ANSI one would get a double-byte
    // character as two bytes, and under some message loops corrupted.
    DirName = GetDlgItem(dialog, IDC_MKDIR_DIRNAME);
    SetPropW(DirName, kFormProperty, this);
    editProcedure_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        DirName, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TMKDirForm::NameEditProcedure)));
    SetWindowTextA(DirName, InitialName.c_str());
    DirNameChange();

    if (MessagesStayOnTop && owner_)
        StayOnTopWith(owner_);
    PlaceDialog(mode_ == 1 ? 2 : 1, owner_, dialog);
    FocusName();
    return false;
}

LRESULT CALLBACK TMKDirForm::NameEditProcedure(HWND edit, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    auto* form = static_cast<TMKDirForm*>(GetPropW(edit, kFormProperty));
    if (!form)
        return DefWindowProcW(edit, message, wParam, lParam);
    WNDPROC previous = form->editProcedure_;
    if (message == WM_CHAR) {
        const auto typed = static_cast<wchar_t>(wParam);
        if (typed == L'\r') {
            PostMessageA(form->Handle(), WM_COMMAND, IDOK, 0);
            return 0;
        }
        if (FilterNameChar(typed) == 0)
            return 0;
    } else if (message == WM_NCDESTROY) {
        RemovePropW(edit, kFormProperty);
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return CallWindowProcW(previous, edit, message, wParam, lParam);
}

std::string TMKDirForm::DirNameText() const {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(DirName)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(DirName, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Pasted text is filtered as a whole, by whole characters.
void TMKDirForm::DirNameChange() {
    const std::string text = DirNameText();
    const std::string filtered = FilterNameText(text);
    if (filtered != text) {
        SetWindowTextA(DirName, filtered.c_str());
        SendMessageA(DirName, EM_SETSEL, filtered.size(), filtered.size());
        return; // the change notice of that text comes next
    }
    EnableWindow(GetDlgItem(Handle(), IDOK), !Trimmed(text).empty());
}

void TMKDirForm::FocusName() {
    SetFocus(DirName);
}

bool TMKDirForm::OnOK() {
    const std::string name = DirNameText();
    if (Trimmed(name).empty())
        return false;
    if (!IsValidFileName(Handle(), name)) {
        FocusName();
        return false;
    }
    if (!check_) {
        Result = name;
        return true;
    }
    const std::string path = AddTrailingSeparator(baseFolder_) + name;
    if (mode_ == 1 && FolderExists(path)) {
        if (ShowMessageBox(Handle(),
                           "フォルダ:" + path + "\r\n" + "すでに存在しています。続行しますか？",
                           MessageKind::Confirmation, MessageButton::YesNo) == MessageResult::No) {
            FocusName();
            return false;
        }
        Result = name;
        return true;
    }
    if (FileAttributesQuiet(path) != 0) {
        ShowMessageBox(Handle(), "フォルダ:" + path + "\r\n" + "すでに存在しています。",
                       MessageKind::Warning, MessageButton::OK);
        FocusName();
        return false;
    }
    DWORD error = 0;
    {
        win::ScopedErrorMode quiet;
        if (!CreateDirectoryA(path.c_str(), nullptr))
            error = GetLastError();
    }
    if (error == 0) {
        Result = name;
        return true;
    }
    std::string reason = SystemErrorText(error);
    ShowMessageBox(Handle(),
                   "フォルダ:" + name + "\r\n" + "指定したフォルダは作成できません。" + "\r\n" +
                       "[" + std::to_string(error) + "]：" + reason,
                   MessageKind::Error, MessageButton::OK);
    FocusName();
    return false;
}

INT_PTR TMKDirForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_MKDIR_DIRNAME &&
        HIWORD(wParam) == EN_CHANGE) {
        DirNameChange();
        handled = true;
        return TRUE;
    }
    if (message == WM_DESTROY && toolTip_) {
        DestroyWindow(toolTip_);
        toolTip_ = nullptr;
    }
    return ModalDialog::HandleMessage(message, wParam, lParam, handled);
}
