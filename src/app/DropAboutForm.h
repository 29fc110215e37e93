// The About box: the cat's face, the program's name and version, and where to reach its maker.
#pragma once

#include "ui/Dialog.h"
#include "util/ScopedWin.h"

class TDropAboutForm : public ui::ModalDialog {
  public:
    // `reference` is the icon window, made topmost again when the box shows.
    explicit TDropAboutForm(HWND reference);

  protected:
    bool OnInit() override;
    void OnDpiChanged() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  private:
    void FormCreate();
    void FormShow();
    // The fonts, the face and the places of the controls at the box's density.
    void ApplyDensity();
    void LayOut();
    // A length of the 96-dpi layout at the box's density.
    int Scaled(int length) const;
    void AddAddressHints();
    void EdtMailClick();
    void EdtWebPageClick();
    static void OpenWithShell(const std::string& target);

    HWND reference_;
    win::ScopedGdiObject labelFont_;
    win::ScopedGdiObject titleFont_;
    win::ScopedGdiObject noticeFont_;
    win::ScopedGdiObject linkFont_;
    win::ScopedGdiObject picture_;
};
