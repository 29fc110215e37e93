// Driving the archive open dialog of a running Pakico from outside.
#include "e2e/OpenDialogDriver.h"

#include "e2e/FolderDialogDriver.h"

namespace e2e {

using testing_support::WaitUntil;

namespace {
constexpr const char* kTitle = "書庫を開く (複数選択可)";
constexpr int kPlaces = 1003;
constexpr int kHistory = 1001;
constexpr int kSave = 1002;
} // namespace

void WriteHistoryList(const std::string& subkey, const std::vector<std::string>& entries) {
    WriteSettingNumber(subkey, "Count", static_cast<DWORD>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i)
        WriteSettingText(subkey, std::to_string(i), entries[i]);
}

std::vector<std::string> ReadHistoryList(const std::string& subkey) {
    DWORD count = 0;
    std::vector<std::string> entries;
    if (!ReadSettingNumber(subkey, "Count", count))
        return entries;
    for (DWORD i = 0; i < count && i < 100; ++i) {
        std::string text;
        ReadSettingText(subkey, std::to_string(i), text);
        entries.push_back(text);
    }
    return entries;
}

void ChooseFromMenu(PakicoRun& pakico, const std::vector<WORD>& keys) {
    ASSERT_NE(nullptr, pakico.OpenTrayMenu());
    PressKeys(keys);
}

::testing::AssertionResult OpenDialog::WaitOpen(unsigned ms) {
    WaitUntil([&] { return (dialog_ = FindDialog(pakico_.ProcessId(), kTitle)) != nullptr; }, ms);
    if (!dialog_)
        return ::testing::AssertionFailure() << "the open dialog did not show";
    // The child dialog with the program's own controls, once the places are there.
    WaitUntil(
        [&] {
            for (HWND child = FindWindowExA(dialog_, nullptr, "#32770", nullptr); child;
                 child = FindWindowExA(dialog_, child, "#32770", nullptr))
                if (GetDlgItem(child, kPlaces)) {
                    child_ = child;
                    return true;
                }
            return false;
        },
        ms);
    if (!child_)
        return ::testing::AssertionFailure() << "the dialog has no places list";
    // Away from the cat, which the tests keep in the lower right corner.
    SetWindowPos(dialog_, nullptr, 0, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    return ::testing::AssertionSuccess();
}

bool OpenDialog::WaitClosed(unsigned ms) const {
    return WaitUntil([&] { return !IsWindow(dialog_); }, ms);
}

HWND OpenDialog::Child(int id) const {
    return GetDlgItem(child_, id);
}

void OpenDialog::Front() const {
    SetForegroundWindow(dialog_);
    Sleep(200);
}

HWND OpenDialog::NameBox() const {
    HWND box = GetDlgItem(dialog_, 1152);
    return box ? box : GetDlgItem(dialog_, 1148);
}

void OpenDialog::Choose(const std::string& names) const {
    SendMessageA(NameBox(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(names.c_str()));
    PostMessageA(GetDlgItem(dialog_, IDOK), BM_CLICK, 0, 0);
}

bool OpenDialog::ChooseAllListed(unsigned ms) const {
    HWND list = FindWindowExA(FindWindowExA(dialog_, nullptr, "SHELLDLL_DefView", nullptr), nullptr,
                              "SysListView32", nullptr);
    if (!list)
        return false;
    Front();
    RECT box{};
    GetWindowRect(list, &box);
    ClickAt({box.right - 30, box.bottom - 30});
    // The keys go where the focus is: into the list, once the click has put it there.
    DWORD thread = GetWindowThreadProcessId(dialog_, nullptr);
    if (!WaitUntil(
            [&] {
                GUITHREADINFO info{};
                info.cbSize = sizeof info;
                return GetGUIThreadInfo(thread, &info) && info.hwndFocus == list;
            },
            ms))
        return false;
    PressKey(VK_HOME);
    PressChord({VK_SHIFT}, VK_END);
    // The dialog answers once it has taken the keys; the name box then holds every chosen
    // name and keeps its length.
    LRESULT length = 0;
    bool settled = WaitUntil(
        [&] {
            LRESULT now = SendMessageA(NameBox(), WM_GETTEXTLENGTH, 0, 0);
            bool same = now > 0 && now == length;
            length = now;
            return same;
        },
        ms);
    if (settled)
        PostMessageA(GetDlgItem(dialog_, IDOK), BM_CLICK, 0, 0);
    return settled;
}

void OpenDialog::Cancel() const {
    PostMessageA(GetDlgItem(dialog_, IDCANCEL), BM_CLICK, 0, 0);
}

int OpenDialog::PlaceCount() const {
    return static_cast<int>(SendMessageA(Child(kPlaces), LB_GETCOUNT, 0, 0));
}

LRESULT OpenDialog::PlaceIcon(int index) const {
    return SendMessageA(Child(kPlaces), LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

void OpenDialog::ClickPlace(int index) const {
    Front();
    HWND places = Child(kPlaces);
    int height = static_cast<int>(SendMessageA(places, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(places, &client);
    POINT at{client.right / 2, index * height + height / 2};
    ClientToScreen(places, &at);
    ClickAt(at);
}

int OpenDialog::HistoryCount() const {
    return static_cast<int>(SendMessageA(Child(kHistory), CB_GETCOUNT, 0, 0));
}

void OpenDialog::StepHistory(int steps) const {
    Front();
    RECT box{};
    GetWindowRect(Child(kHistory), &box);
    // A click focuses the box and opens its list, Escape closes the list again; each arrow key
    // then takes the next entry, as a closed list does.
    ClickAt({(box.left + box.right) / 2, (box.top + box.bottom) / 2});
    PressKey(VK_ESCAPE);
    for (int i = 0; i < steps; ++i)
        PressKey(VK_DOWN);
    Sleep(300);
}

bool OpenDialog::SaveEnabled() const {
    return IsWindowEnabled(Child(kSave)) != FALSE;
}

void OpenDialog::PressSave() const {
    PostMessageA(Child(kSave), BM_CLICK, 0, 0);
    Sleep(300);
}

} // namespace e2e
