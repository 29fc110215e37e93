// The message dialog behind ShowMessageBox: built in memory for one message, laid out to fit its
// text like the platform's message box, run modally and destroyed when it closes.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/FormRegistry.h"
#include "util/MessageLayout.h"
#include "util/ScopedWin.h"

class TMessageDialog {
  public:
    // The form name the dialog registers under while it is on screen.
    static constexpr const char* kFormName = "MessageDialog";

    TMessageDialog(HWND owner, std::string text, MessageKind kind, unsigned buttons,
                   int helpContext);
    TMessageDialog(const TMessageDialog&) = delete;
    TMessageDialog& operator=(const TMessageDialog&) = delete;

    // Runs the dialog until a button (or Escape) answers; returns that MessageResult. An
    // exception of OnAnswer comes out of here once the dialog has closed.
    int ShowModal();

    // Called with the answer the moment it is given, before the dialog closes.
    std::function<void(int)> OnAnswer;

  private:
    struct Metrics;

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FormCreate();
    void FormDestroy();
    void ButtonClick(int id);
    // Ends the dialog with `result`, telling OnAnswer first.
    void Answer(int result);

    Metrics Measure(HDC dc) const;
    HWND AddControl(const char* windowClass, const std::string& text, DWORD style, int id,
                    const RECT& bounds);
    void LayOut();
    void PlaceOnScreen();
    void ShowHelp() const;

    HWND owner_;
    std::string text_;
    MessageKind kind_;
    unsigned buttons_;
    int helpContext_;
    std::vector<MessageButtonInfo> buttonList_;

    HWND window_ = nullptr;
    win::ScopedGdiObject font_;
    std::unique_ptr<ui::ScopedFormRegistration> registration_;
    std::exception_ptr answerFailed_;
};
