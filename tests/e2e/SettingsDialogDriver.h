// Driving the settings dialog "環境設定 - Pakico" of a running Pakico from outside: its pages,
// check boxes, lists, number boxes and hot key, read and set through messages another process
// may send.
#pragma once

#include "e2e/E2eSupport.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace e2e {

class SettingsDialog {
  public:
    explicit SettingsDialog(HWND dialog) : dialog_(dialog) {}
    HWND Handle() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    bool Open() const { return IsWindow(dialog_) && IsWindowVisible(dialog_); }
    bool WaitClosed() const;

    int Page() const;
    // As a click on the tab: the tab control tells the dialog.
    void ShowPage(int page) const;
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    bool ApplyEnabled() const;
    bool Checked(int id) const;
    // A click on a control of the page that holds it.
    void Click(int id) const;
    // Buttons that close the dialog or open a box are posted.
    void Press(int id) const { PostMessageA(Item(id), BM_CLICK, 0, 0); }
    int Selection(int id) const;
    // A list's items, read wide: the lists' text crosses the process boundary whole only so.
    std::vector<std::string> Items(int id) const;
    std::string SelectedText(int id) const;
    // A choice from the list, told to the dialog as the list tells it.
    void Select(int id, int index) const;
    int Position(int updown) const;
    // Typed into the number box beside the up-down.
    void SetNumber(int updown, int value) const;
    // The window with the keyboard focus in the dialog's thread, or null.
    HWND Focus() const;
    // The colour of the screen pixel near the right end of a control, inside it, and the colour
    // of the page at the same height near the right edge of the pages, where no control lies.
    std::pair<COLORREF, COLORREF> BackgroundBesidePage(int id) const;
    WORD HotKey() const;
    void Front() const;
    void ClickControl(int id) const;

  private:
    HWND dialog_;
};

} // namespace e2e
