// Base of the program's modal dialogs, made from a dialog template. The dialog procedure
// finds its object (captured at WM_INITDIALOG), which binds its controls in OnInit and reads
// them back in OnOK. While it is on screen the dialog counts as an open form. Moved to a monitor
// of another density, or when its monitor changes density, the dialog lays itself out again
// (OnDpiChanged) instead of letting the platform stretch it with the template's font.
#pragma once

#include "ui/Dpi.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace ui {

// Where the template comes from: a resource of a module, or a template in memory.
struct DialogTemplate {
    HINSTANCE module = nullptr;
    const char* name = nullptr;
    const DLGTEMPLATE* memory = nullptr;
};

class ModalDialog {
  public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;
    virtual ~ModalDialog() = default;

    // Shows the dialog and returns when it closes: the value given to EndModal (IDOK after a
    // confirmed OnOK, IDCANCEL), or -1 when the platform could not show it.
    INT_PTR ShowModal(HWND owner);
    // Closes the dialog with `result`.
    void EndModal(INT_PTR result);

    HWND Handle() const { return dialog_; }
    const std::string& FormName() const { return formName_; }

  protected:
    ModalDialog(DialogTemplate source, std::string formName);

    // Binds the controls. True leaves the focus to the platform (the first tab stop).
    virtual bool OnInit() { return true; }
    // The pixel density the dialog is laid out for: its monitor's when it opens, then the one
    // the platform names when the dialog moves to a monitor of another density.
    int Dpi() const { return dpi_; }
    // The density has changed to Dpi(): the dialog makes its fonts and pictures again and lays
    // its controls out at the new density. The base has moved it to the place the platform
    // suggests; afterwards it measures its owner-drawn rows again and keeps it inside the work
    // area of its monitor.
    virtual void OnDpiChanged() {}
    // Reads the controls back; false keeps the dialog open.
    virtual bool OnOK() { return true; }
    virtual void OnCancel() {}
    // Gives the dialog a client area of `width` × `height` pixels and moves its controls to
    // their places, whatever the dialog units of its font come to: pixels of a 96-dpi screen,
    // grown with the density of the dialog's monitor.
    void LayOutInPixels(int width, int height, const ControlPlace* places, std::size_t count);
    void LayOutInPixels(int width, int height, std::initializer_list<ControlPlace> places) {
        LayOutInPixels(width, height, places.begin(), places.size());
    }
    // Makes the reference window (when there is one), then the dialog, stay-on-top windows.
    void StayOnTopWith(HWND reference);

    // Every message first comes here; the default answers OK, Cancel, owner drawing and the
    // changes of density.
    // `handled` false lets the platform's dialog manager go on with the message.
    virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  private:
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void DpiChanged(int dpi, const RECT& suggested);
    // The size of the dialog's window at another density.
    SIZE SizeAtDpi(int dpi) const;

    DialogTemplate source_;
    std::string formName_;
    HWND dialog_ = nullptr;
    int dpi_ = 96;
    // The client area LayOutInPixels was last given, in pixels at 96 dpi; 0 while none was.
    SIZE layoutSize_{0, 0};
    // The user is moving or sizing the dialog; a change of density meanwhile keeps the dialog
    // inside the work area only once the user lets go.
    bool movingOrSizing_ = false;
    bool keepInsideAfterMove_ = false;
};

} // namespace ui
