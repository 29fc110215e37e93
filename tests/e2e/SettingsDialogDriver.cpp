// Driving the settings dialog of a running Pakico from outside.
#include "e2e/SettingsDialogDriver.h"

#include "config/CoolConfigFormRes.h"
#include "e2e/FolderDialogDriver.h"
#include "support/ProgramRun.h"
#include "support/WinTestSupport.h"

#include <commctrl.h>

namespace e2e {

bool SettingsDialog::WaitClosed() const {
    return testing_support::WaitUntil([&] { return !IsWindow(dialog_); }, kSettleMs);
}

int SettingsDialog::Page() const {
    return static_cast<int>(SendMessageA(Item(IDC_CFG_PAGECONTROL), TCM_GETCURSEL, 0, 0));
}

void SettingsDialog::ShowPage(int page) const {
    SendMessageA(Item(IDC_CFG_PAGECONTROL), TCM_SETCURFOCUS, page, 0);
}

bool SettingsDialog::ApplyEnabled() const {
    return Enabled(IDC_CFG_BTNUPDATE);
}

bool SettingsDialog::Checked(int id) const {
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SettingsDialog::Click(int id) const {
    ShowPage((id - IDC_CFG_PAGE_FIRST) / IDC_CFG_PAGE_SPAN);
    SendMessageA(Item(id), BM_CLICK, 0, 0);
}

int SettingsDialog::Selection(int id) const {
    return static_cast<int>(SendMessageA(Item(id), CB_GETCURSEL, 0, 0));
}

std::vector<std::string> SettingsDialog::Items(int id) const {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(Item(id), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t wide[512] = L"";
        SendMessageW(Item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
        items.push_back(testing_support::AnsiText(wide));
    }
    return items;
}

std::string SettingsDialog::SelectedText(int id) const {
    const int index = Selection(id);
    return index < 0 ? std::string() : Items(id)[static_cast<std::size_t>(index)];
}

void SettingsDialog::Select(int id, int index) const {
    SendMessageA(Item(id), CB_SETCURSEL, index, 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Item(id)));
}

int SettingsDialog::Position(int updown) const {
    return static_cast<int>(SendMessageA(Item(updown), UDM_GETPOS32, 0, 0));
}

void SettingsDialog::SetNumber(int updown, int value) const {
    SetWindowTextA(Item(updown - 1), std::to_string(value).c_str());
    SendMessageA(Item(updown - 1), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(std::to_string(value).c_str()));
}

HWND SettingsDialog::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info) ? info.hwndFocus
                                                                               : nullptr;
}

std::pair<COLORREF, COLORREF> SettingsDialog::BackgroundBesidePage(int id) const {
    RECT control{}, pages{};
    GetWindowRect(Item(id), &control);
    GetWindowRect(Item(IDC_CFG_PAGECONTROL), &pages);
    const LONG y = (control.top + control.bottom) / 2;
    const auto inside = ScreenPixels({control.right - 6, y, control.right - 5, y + 1});
    const auto page = ScreenPixels({pages.right - 6, y, pages.right - 5, y + 1});
    return {inside.empty() ? CLR_INVALID : inside[0], page.empty() ? CLR_INVALID : page[0]};
}

WORD SettingsDialog::HotKey() const {
    return static_cast<WORD>(SendMessageA(Item(IDC_CFG_HOTSETUPKEYRUN), HKM_GETHOTKEY, 0, 0));
}

void SettingsDialog::Front() const {
    SetForegroundWindow(dialog_);
    Sleep(300);
}

void SettingsDialog::ClickControl(int id) const {
    RECT r{};
    GetWindowRect(Item(id), &r);
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    Sleep(300);
}

} // namespace e2e
