// Driving the folder dialog of FolderPicker.exe from outside.
#include "e2e/FolderDialogDriver.h"

#include <algorithm>
#include <stdexcept>

#include "folders/TreeFormRes.h"

using namespace testing_support;

namespace e2e {

namespace {

// Where a tree item's text goes in the page in the dialog's process, after the item itself.
constexpr SIZE_T kTextAt = 1024;

std::string AlwaysQuoted(const std::string& text) {
    return "\"" + text + "\"";
}

void SendInputs(std::vector<INPUT>& inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(80);
}

} // namespace

SeenBox WaitForBox(DWORD processId, const std::vector<HWND>& except, unsigned ms) {
    SeenBox seen;
    WaitUntil(
        [&] {
            for (HWND box : TopWindows("#32770", processId))
                if (std::find(except.begin(), except.end(), box) == except.end() &&
                    IsWindowVisible(box)) {
                    seen.window = box;
                    return true;
                }
            return false;
        },
        ms);
    if (!seen.window)
        return seen;
    Sleep(200); // let it finish laying out
    seen.caption = WindowTextOf(seen.window);
    for (HWND child = GetWindow(seen.window, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char kind[32] = "";
        GetClassNameA(child, kind, sizeof kind);
        std::string text = WindowTextOf(child);
        if (std::string(kind) != "Button" && text.size() > seen.text.size())
            seen.text = text;
    }
    return seen;
}

bool ClickBoxButton(HWND box, const std::vector<std::string>& captions) {
    for (const std::string& caption : captions)
        if (HWND button = FindChildByText(box, caption)) {
            PostMessageA(button, BM_CLICK, 0, 0);
            return true;
        }
    return false;
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        std::vector<INPUT> inputs(2);
        for (INPUT& input : inputs) {
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = c;
            input.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        inputs[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInputs(inputs);
    }
    Sleep(200);
}

void ClickAt(POINT screen, bool right) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(3);
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = screen.x * 65535 / (width - 1);
        input.mi.dy = screen.y * 65535 / (height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags =
        MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    inputs[2].mi.dwFlags =
        MOUSEEVENTF_ABSOLUTE | (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    SendInputs(inputs);
    Sleep(250);
}

FolderPickerRun::FolderPickerRun(const std::string& caption, const std::string& subtitle1,
                                 const std::string& subtitle2, const std::string& initialFolder) {
    run_ = std::make_unique<ProgramRun>(ProgramFolder() + "FolderPicker.exe",
                                        AlwaysQuoted(folder_.path() + "outcome.txt") + " " +
                                            AlwaysQuoted(caption) + " " + AlwaysQuoted(subtitle1) +
                                            " " + AlwaysQuoted(subtitle2) + " " +
                                            AlwaysQuoted(initialFolder));
}

FolderPickerRun::~FolderPickerRun() {
    remote_.reset();
    run_.reset();
}

DWORD FolderPickerRun::ProcessId() const {
    return run_->ProcessId();
}

::testing::AssertionResult FolderPickerRun::Open(const std::string& caption) {
    WaitUntil([&] { return (dialog_ = FindDialog(ProcessId(), caption)) != nullptr; }, kStartMs);
    if (!dialog_)
        return ::testing::AssertionFailure() << "no dialog \"" << caption << "\"";
    tree_ = Item(IDC_TREE_SYSTEMTREEVIEW);
    remote_ = std::make_unique<RemoteMemory>(ProcessId());
    if (!WaitUntil([&] { return Root() != nullptr; }, kSettleMs))
        return ::testing::AssertionFailure() << "the tree stayed empty";
    Sleep(300);
    return ::testing::AssertionSuccess();
}

std::string FolderPickerRun::Text(int id) const {
    return WindowTextOf(Item(id));
}

std::string FolderPickerRun::Status() const {
    return WindowTextOf(Item(IDC_TREE_STATUSBAR));
}

// Asked in UTF-16: across processes the ANSI form comes back converted twice.
std::string FolderPickerRun::ComboItem(int id, int index) const {
    wchar_t wide[MAX_PATH] = L"";
    SendMessageW(Item(id), CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(wide));
    return AnsiText(wide);
}

void FolderPickerRun::Press(int id) const {
    PostMessageA(Item(id), BM_CLICK, 0, 0);
    Sleep(300);
}

void FolderPickerRun::Front() const {
    SetForegroundWindow(dialog_);
    Sleep(150);
}

HTREEITEM FolderPickerRun::Root() const {
    return TreeView_GetRoot(tree_);
}

HTREEITEM FolderPickerRun::Selected() const {
    return TreeView_GetSelection(tree_);
}

std::vector<HTREEITEM> FolderPickerRun::Children(HTREEITEM node) const {
    std::vector<HTREEITEM> out;
    for (HTREEITEM child = TreeView_GetChild(tree_, node); child;
         child = TreeView_GetNextSibling(tree_, child))
        out.push_back(child);
    return out;
}

TVITEMA FolderPickerRun::ItemInfo(HTREEITEM node) const {
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_STATE;
    item.hItem = node;
    item.stateMask = 0xFFFF;
    item.pszText = reinterpret_cast<char*>(remote_->Base() + kTextAt);
    item.cchTextMax = 512;
    remote_->Write(&item, sizeof item);
    SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote_->Base()));
    remote_->Read(&item, sizeof item);
    return item;
}

std::string FolderPickerRun::ItemText(HTREEITEM node) const {
    ItemInfo(node);
    char text[513] = "";
    remote_->Read(text, 512, kTextAt);
    return text;
}

HTREEITEM FolderPickerRun::Child(HTREEITEM parent, const std::string& text) const {
    for (HTREEITEM child : Children(parent))
        if (ItemText(child) == text)
            return child;
    return nullptr;
}

HTREEITEM FolderPickerRun::WaitForChild(HTREEITEM parent, const std::string& text,
                                        unsigned ms) const {
    HTREEITEM found = nullptr;
    WaitUntil([&] { return (found = Child(parent, text)) != nullptr; }, ms);
    return found;
}

HTREEITEM FolderPickerRun::Find(const std::vector<std::string>& names) const {
    HTREEITEM node = Root();
    for (const std::string& name : names)
        if (!node || !(node = Child(node, name)))
            return nullptr;
    return node;
}

void FolderPickerRun::ClickItem(HTREEITEM node, bool right) const {
    // The message takes the item in the first bytes of the rectangle it fills.
    RECT box = {};
    remote_->Write(&box, sizeof box);
    remote_->Write(&node, sizeof node);
    SendMessageA(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));
    SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote_->Base()));
    remote_->Read(&box, sizeof box);
    POINT at = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    ClientToScreen(tree_, &at);
    Front();
    ClickAt(at, right);
}

bool FolderPickerRun::WaitForSelectedPath(const std::string& path, unsigned ms) const {
    return WaitUntil([&] { return Text(IDC_TREE_SELECTEDPATH) == path; }, ms);
}

FolderPickerRun::Outcome FolderPickerRun::WaitForOutcome(unsigned ms) {
    Outcome outcome;
    if (run_->WaitForExit(ms) < 0)
        return outcome;
    for (const std::string& line : SplitLines(ReadFileBytes(folder_.path() + "outcome.txt"))) {
        const std::size_t equals = line.find('=');
        const std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "result")
            outcome.result = std::stoi(value);
        else if (key == "path")
            outcome.path = value;
        else if (key == "leaks")
            outcome.leaks = std::stoi(value);
        else if (key == "error")
            outcome.errors.push_back(value);
    }
    return outcome;
}

} // namespace e2e
