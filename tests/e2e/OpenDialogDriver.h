// Driving the archive open dialog of a running Pakico from outside: its stored history lists,
// the dialog's own controls (places, folder history, save button) and the platform's name box.
#pragma once

#include "e2e/E2eSupport.h"

#include <string>
#include <vector>

namespace e2e {

// A history list below the settings key ("history\ArchiveFile", ...): "Count" and "0", "1", ...
void WriteHistoryList(const std::string& subkey, const std::vector<std::string>& entries);
// The entries "0" to Count - 1 as stored; empty when "Count" is missing.
std::vector<std::string> ReadHistoryList(const std::string& subkey);

// Opens the icon's menu from the notification area and types the keys (mnemonics) in it.
void ChooseFromMenu(PakicoRun& pakico, const std::vector<WORD>& keys);

// The open dialog "書庫を開く (複数選択可)" of the program, once it shows.
class OpenDialog {
  public:
    explicit OpenDialog(const PakicoRun& pakico) : pakico_(pakico) {}
    ::testing::AssertionResult WaitOpen(unsigned ms = kSettleMs);
    bool WaitClosed(unsigned ms = kSettleMs) const;
    HWND Window() const { return dialog_; }
    HWND Child(int id) const;

    // Puts the text into the name box and presses the dialog's OK button.
    void Choose(const std::string& names) const;
    // Chooses every file of the list as a person does with the keyboard (a click into the
    // list, Home, Shift+End) and presses OK; false when the name box never took the selection.
    bool ChooseAllListed(unsigned ms = kSettleMs) const;
    void Cancel() const;

    int PlaceCount() const;
    // The icon the place shows (its index in the shell's image list).
    LRESULT PlaceIcon(int index) const;
    // A real click on the place's icon.
    void ClickPlace(int index) const;
    // The folder history: the number of entries, and a choice with the keyboard, `steps` down.
    int HistoryCount() const;
    void StepHistory(int steps) const;
    bool SaveEnabled() const;
    void PressSave() const;
    void Front() const;

  private:
    HWND NameBox() const;
    const PakicoRun& pakico_;
    HWND dialog_ = nullptr;
    HWND child_ = nullptr;
};

} // namespace e2e
