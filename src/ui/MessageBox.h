// The one way the program shows messages and asks questions: its own modal message dialog with
// Japanese button captions, the beep rule, placement over the owner and stay-on-top.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "util/MessageLayout.h"

// While true every message box, and every dialog that asks for it, stays on top of other
// windows. The icon window turns it on at start-up. GUI thread only.
inline bool MessagesStayOnTop = false;

// Shows `text` in a modal dialog with the kind's caption and icon and the buttons of the set,
// centred over `owner` (or the screen without one), and returns the MessageResult of the button
// pressed. Errors beep first unless the setting "BeepSound" is on. `helpContext` is the topic
// the help button opens; 0 opens none.
int ShowMessageBox(HWND owner, const std::string& text, MessageKind kind, unsigned buttons,
                   int helpContext = 0);

// Asks a confirmation with Yes and No and runs `onYes` the moment Yes is pressed, while the box
// is still on screen: closing a window can take a while (the platform may wait for a window
// manager), and what the answer starts must not wait for it. An exception of `onYes` comes out
// of this call once the box has closed. Whether the answer was Yes.
bool ConfirmThen(HWND owner, const std::string& question, const std::function<void()>& onYes);

// A custom message (the application title as caption, no icon) with OK; never beeps.
void ShowPlainMessage(HWND owner, const std::string& text);

// The system's text for an error code as the system gives it (with its line break at the end);
// empty when the system has none.
std::string SystemErrorText(DWORD code);

// Beeps, then shows lead, the system's text and "エラーコード=" with the code as an error with the
// given buttons; returns the answer.
int ShowSystemError(HWND owner, DWORD code, const std::string& lead, unsigned buttons);

// Explains the network error codes the folder dialogs meet (8, 86, 1208, 1222); any other code,
// such as a cancelled network dialog, shows nothing.
void ShowNetworkError(HWND owner, DWORD code);

// ListFilesMessage with the rest counted by FormatCount.
void ListFilesMessage(const std::string& header, int limit, std::string& text, bool withRule,
                      const std::vector<std::string>& paths);

// Every beep of the message layer goes through this function (MessageBeep by default), so that
// tests can count them. Returns the previous one; null restores MessageBeep.
using MessageBeepFunction = void (*)(UINT type);
MessageBeepFunction SetMessageBeepFunction(MessageBeepFunction beep);
