// Driving the folder dialog from outside: the test-only FolderPicker.exe opens it as the
// program's callers will, and the test reads and works its controls, its shell tree and the
// message boxes over it with real input.
#pragma once

#include "e2e/E2eSupport.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

// What one message box or other dialog of the process showed.
struct SeenBox {
    HWND window = nullptr;
    std::string caption;
    std::string text; // the longest static text in it
};

// Waits for a visible dialog of the process other than those in `except` (the dialogs already
// open) and reads it.
SeenBox WaitForBox(DWORD processId, const std::vector<HWND>& except, unsigned ms = kSettleMs);
// The first button of the box with one of these captions, clicked (posted, as it may close a
// modal loop); false when there is none.
bool ClickBoxButton(HWND box, const std::vector<std::string>& captions);

// Types text as a person would with an input method: one Unicode key stroke per character.
void TypeText(const std::wstring& text);

// Real mouse clicks at a screen point.
void ClickAt(POINT screen, bool right = false);

// FolderPicker.exe with its caption, subtitles and initial folder; the process is ended when
// the object goes, if still running.
class FolderPickerRun {
  public:
    struct Outcome {
        int result = -1;
        std::string path;
        int leaks = -1;
        std::vector<std::string> errors;
    };

    FolderPickerRun(const std::string& caption, const std::string& subtitle1,
                    const std::string& subtitle2, const std::string& initialFolder);
    ~FolderPickerRun();
    FolderPickerRun(const FolderPickerRun&) = delete;
    FolderPickerRun& operator=(const FolderPickerRun&) = delete;

    // Waits for the dialog with the caption and for its tree to have a selection or a root.
    ::testing::AssertionResult Open(const std::string& caption);
    DWORD ProcessId() const;
    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    HWND Tree() const { return tree_; }
    std::string Text(int id) const;
    std::string Status() const;
    // An item of a combo box of the dialog.
    std::string ComboItem(int id, int index) const;
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // Clicks a button of the dialog (posted: the click may open a modal dialog).
    void Press(int id) const;
    // Brings the dialog to the front for keys and clicks.
    void Front() const;

    // The shell tree, read through memory in the dialog's process.
    HTREEITEM Root() const;
    HTREEITEM Selected() const;
    std::vector<HTREEITEM> Children(HTREEITEM node) const;
    HTREEITEM Child(HTREEITEM parent, const std::string& text) const;
    HTREEITEM WaitForChild(HTREEITEM parent, const std::string& text, unsigned ms) const;
    std::string ItemText(HTREEITEM node) const;
    TVITEMA ItemInfo(HTREEITEM node) const;
    HTREEITEM Find(const std::vector<std::string>& names) const;
    // A real click on the node's label.
    void ClickItem(HTREEITEM node, bool right = false) const;
    // Waits until the selected folder's path shows `path`.
    bool WaitForSelectedPath(const std::string& path, unsigned ms = kSettleMs) const;

    Outcome WaitForOutcome(unsigned ms = kSettleMs);

  private:
    testing_support::TempFolder folder_{"pick"};
    std::unique_ptr<testing_support::ProgramRun> run_;
    HWND dialog_ = nullptr;
    HWND tree_ = nullptr;
    // A page in the dialog's process that tree messages can point into.
    std::unique_ptr<RemoteMemory> remote_;
};

} // namespace e2e
