// The message dialog behind ShowMessageBox: built in memory for one message, laid out to fit its
// text like the platform's message box, run modally and destroyed when it closes.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "ui/Dialog.h"
#include "util/MessageLayout.h"
#include "util/ScopedWin.h"
#include "util/WindowGeometry.h"

class TMessageDialog : public ui::ModalDialog {
  public:
    // The form name the dialog registers under while it is on screen.
    static constexpr const char* kFormName = "MessageDialog";

    TMessageDialog(HWND owner, std::string text, MessageKind kind, unsigned buttons,
                   int helpContext);

    // Runs the dialog until a button (or Escape) answers; returns that MessageResult. An
    // exception of OnAnswer comes out of here once the dialog has closed.
    int ShowModal();

    // Called with the answer the moment it is given, before the dialog closes.
    std::function<void(int)> OnAnswer;

  protected:
    bool OnInit() override;
    void OnDpiChanged() override;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

  private:
    struct Metrics;

    void ButtonClick(int id);
    // Ends the dialog with `result`, telling OnAnswer first.
    void Answer(int result);

    // The dialog's font at its density.
    void ApplyFont();
    void AddControls();
    HWND AddControl(const char* windowClass, const std::string& text, DWORD style, int id);
    Metrics Measure(HDC dc, const ScreenRect& workArea) const;
    // Sizes the dialog and places its controls for its text and font, no larger than the work
    // area allows.
    void LayOut(const ScreenRect& workArea);
    void ShowHelp() const;

    HWND owner_;
    std::string text_;
    MessageKind kind_;
    unsigned buttons_;
    int helpContext_;
    std::vector<MessageButtonInfo> buttonList_;

    win::ScopedGdiObject font_;
    std::exception_ptr answerFailed_;
};
