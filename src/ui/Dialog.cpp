// Base of the program's modal dialogs.
#include "ui/Dialog.h"

#include <utility>

#include "ui/ComboBox.h"
#include "ui/ErrorReport.h"
#include "ui/FormRegistry.h"
#include "ui/OwnerDraw.h"
#include "ui/Placement.h"
#include "util/DpiScale.h"

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
    layoutSize_ = {width, height};
    LayOutDialog(dialog_, width, height, places, count, dpi_);
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
    case kDpiChangedMessage:
        if (lParam)
            DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
    case kGetDpiScaledSizeMessage:
        // The size the dialog will take, so that the platform's suggestion is where it ends.
        if (!lParam || static_cast<int>(wParam) <= 0)
            break;
        *reinterpret_cast<SIZE*>(lParam) = SizeAtDpi(static_cast<int>(wParam));
        SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENTERSIZEMOVE:
        movingOrSizing_ = true;
        break;
    case WM_EXITSIZEMOVE:
        movingOrSizing_ = false;
        if (keepInsideAfterMove_) {
            keepInsideAfterMove_ = false;
            KeepClearOfTaskbar(dialog_);
        }
        break;
    }
    handled = false;
    return FALSE;
}

void ModalDialog::DpiChanged(int dpi, const RECT& suggested) {
    const bool changed = dpi > 0 && dpi != dpi_;
    if (changed)
        dpi_ = dpi;
    // Where the platform suggests; a dialog of fixed size takes its own size as it lays out.
    SetWindowPos(dialog_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (changed) {
        OnDpiChanged();
        // The rows of owner-drawn lists, for the fonts they have now.
        for (HWND child = GetWindow(dialog_, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            if (OwnerDrawComboBox* box = OwnerDrawComboBox::FromHandle(child))
                box->Remeasure();
        InvalidateRect(dialog_, nullptr, TRUE);
    }
    // Not while the user drags it across: the dialog would jump away from the pointer.
    if (movingOrSizing_)
        keepInsideAfterMove_ = true;
    else
        KeepClearOfTaskbar(dialog_);
}

SIZE ModalDialog::SizeAtDpi(int dpi) const {
    RECT frame{};
    if (layoutSize_.cx > 0) {
        frame.right = ScaleForDpi(layoutSize_.cx, dpi);
        frame.bottom = ScaleForDpi(layoutSize_.cy, dpi);
    } else {
        GetClientRect(dialog_, &frame);
        frame.right = MulDiv(frame.right, dpi, dpi_);
        frame.bottom = MulDiv(frame.bottom, dpi, dpi_);
    }
    AdjustFrameForDpi(frame, static_cast<DWORD>(GetWindowLongA(dialog_, GWL_STYLE)),
                      static_cast<DWORD>(GetWindowLongA(dialog_, GWL_EXSTYLE)), dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

INT_PTR CALLBACK ModalDialog::DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    ModalDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModalDialog*>(lParam);
        self->dialog_ = dialog;
        self->dpi_ = WindowDpi(dialog);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        RegisterForm(dialog, self->formName_);
        LeaveDpiChangesToDialog(dialog);
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
