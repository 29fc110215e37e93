// Base of the program's modal dialogs.
#include "ui/Dialog.h"

#include <utility>

#include "ui/ErrorReport.h"
#include "ui/FormRegistry.h"
#include "ui/OwnerDraw.h"

namespace ui {

ModalDialog::ModalDialog(DialogTemplate source, std::string formName)
    : source_(source), formName_(std::move(formName)) {}

INT_PTR ModalDialog::ShowModal(HWND owner) {
    auto self = reinterpret_cast<LPARAM>(this);
    if (source_.memory)
        return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), source_.memory, owner,
                                       &ModalDialog::DialogProcedure, self);
    return DialogBoxParamA(source_.module, source_.name, owner, &ModalDialog::DialogProcedure,
                           self);
}

void ModalDialog::EndModal(INT_PTR result) {
    if (dialog_)
        EndDialog(dialog_, result);
}

void ModalDialog::LayOutInPixels(int width, int height, const ControlPlace* places,
                                 std::size_t count) {
    LayOutDialog(dialog_, width, height, places, count, WindowDpi(dialog_));
}

void ModalDialog::StayOnTopWith(HWND reference) {
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED;
    if (reference)
        SetWindowPos(reference, HWND_TOPMOST, 0, 0, 0, 0, flags | SWP_NOACTIVATE);
    SetWindowPos(dialog_, HWND_TOPMOST, 0, 0, 0, 0, flags);
}

INT_PTR ModalDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            if (OnOK())
                EndModal(IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            EndModal(IDCANCEL);
            return TRUE;
        }
        break;
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
        if (ReflectOwnerDraw(dialog_, message, lParam))
            return TRUE;
        break;
    }
    handled = false;
    return FALSE;
}

INT_PTR CALLBACK ModalDialog::DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    ModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        self->dialog_ = dialog;
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        RegisterForm(dialog, self->formName_);
    } else {
        self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    }
    if (!self)
        return FALSE;
    return self->Dispatch(message, wParam, lParam);
}

INT_PTR ModalDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // A failed handler is reported; the dialog stays as it was (an OnOK that fails keeps it
    // open, an OnInit that fails still shows it).
    INT_PTR result = message == WM_INITDIALOG ? TRUE : FALSE;
    bool handled = false;
    if (!RunGuarded([&] { result = HandleMessage(message, wParam, lParam, handled); }))
        handled = true;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(dialog_, DWLP_USER, 0);
        UnregisterForm(dialog_);
        dialog_ = nullptr;
    }
    return handled ? result : FALSE;
}

} // namespace ui
