// TMKDirForm: asks for the name of a new folder inside a base folder, checks it, creates the
// folder and gives the name back.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Dialog.h"
#include "util/ScopedWin.h"

// Shows the modal new-folder dialog over `owner`. `name` receives the accepted name (not the
// path), empty when the user cancelled. Mode 1 accepts an existing folder after a question;
// without `check` the name is returned without any check or creation. An empty caption gives
// "新しいフォルダの作成".
void ShowNewFolderDialog(int mode, HWND owner, bool check, std::string& name,
                         const std::string& initialName, const std::string& caption,
                         const std::string& baseFolder);

class TMKDirForm : public ui::ModalDialog {
  public:
    TMKDirForm(HWND owner, int mode, bool check, std::string baseFolder);

    std::string Caption;
    std::string InitialName;
    std::string Result;

  protected:
    bool OnInit() override;
    void OnDpiChanged() override;
    bool OnOK() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  private:
    static LRESULT CALLBACK NameEditProcedure(HWND edit, UINT message, WPARAM wParam,
                                              LPARAM lParam);
    std::string DirNameText() const;
    void DirNameChange();
    void FocusName();
    // The font and the places of the controls at the dialog's density.
    void ApplyDensity();

    HWND owner_;
    int mode_;
    bool check_;
    std::string baseFolder_;
    HWND DirName = nullptr;
    WNDPROC editProcedure_ = nullptr;
    win::ScopedIcon picture_;
    win::ScopedGdiObject font_;
    HWND toolTip_ = nullptr;
};
