// The folder selection dialog: TTreeForm (status bar and frame) and ShowFolderDialog, the
// program's one way of asking for an existing folder.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "folders/TreeFrame.h"
#include "ui/Dialog.h"
#include "util/ScopedWin.h"

// Shows the modal folder dialog. Returns 1 when the user confirmed a folder (`resultPath`
// holds it, no trailing separator except on a drive root) and 2 otherwise (`resultPath` empty).
// An empty caption gives "フォルダの選択". `initialFolder` is selected first when it exists.
int ShowFolderDialog(unsigned char purpose, HWND owner, const std::string& caption,
                     const std::string& subtitle1, const std::string& subtitle2,
                     const std::string& initialFolder, std::string& resultPath);

class TTreeForm : public ui::ModalDialog {
  public:
    explicit TTreeForm(HWND owner);

    TTreeFrame TreeFrame;
    std::string Caption;
    std::string Subtitle1;
    std::string Subtitle2;

    // The status panel: the drive's free space, or nothing.
    void ShowVolumeStatus(TTreeFrame& frame, const std::string& text, double total, double free);

  protected:
    bool OnInit() override;
    void OnDpiChanged() override;
    bool OnOK() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  private:
    void FormCreate();
    void FormShow();
    void FormDestroy();
    // The dialog's fonts at its density.
    void ApplyFonts();
    void LayOut();
    // The smallest size the dialog may be dragged to, for its monitor's density.
    SIZE MinimumSize() const;

    HWND owner_;
    HWND StatusBar = nullptr;
    win::ScopedGdiObject font_;
    win::ScopedGdiObject boldFont_;
};
