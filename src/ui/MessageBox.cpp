// The one way the program shows messages and asks questions.
#include "ui/MessageBox.h"

#include "settings/SettingsStore.h"
#include "ui/ErrorReport.h"
#include "ui/MessageDialog.h"
#include "util/Errors.h"
#include "util/SystemLookups.h"

namespace {

void PlatformBeep(UINT type) {
    MessageBeep(type);
}

MessageBeepFunction currentBeep = PlatformBeep;

void BeepForError() {
    currentBeep(MB_ICONEXCLAMATION);
}

// The companion writes "BeepSound"; a value of the wrong type counts as off, as if absent.
bool BeepSoundOn() {
    try {
        return ReadSetting(settings::BeepSound);
    } catch (const EAppError&) {
        return settings::BeepSound.defaultValue;
    }
}

int RunMessageDialog(HWND owner, const std::string& text, MessageKind kind, unsigned buttons,
                     int helpContext) {
    TMessageDialog dialog(owner, text, kind, buttons, helpContext);
    return dialog.ShowModal();
}

} // namespace

MessageBeepFunction SetMessageBeepFunction(MessageBeepFunction beep) {
    MessageBeepFunction previous = currentBeep;
    currentBeep = beep ? beep : PlatformBeep;
    return previous;
}

int ShowMessageBox(HWND owner, const std::string& text, MessageKind kind, unsigned buttons,
                   int helpContext) {
    // A notice nobody waits on may wait itself while the program must open no window (see
    // ui::HoldReportsWhile); its beep comes when it shows.
    if (!owner && buttons == MessageButton::OKOnly &&
        ui::HoldNotice(text, [=] { ShowMessageBox(owner, text, kind, buttons, helpContext); }))
        return MessageResult::OK;
    if (kind == MessageKind::Error && !BeepSoundOn())
        BeepForError();
    return RunMessageDialog(owner, text, kind, buttons, helpContext);
}

bool ConfirmThen(HWND owner, const std::string& question, const std::function<void()>& onYes) {
    TMessageDialog dialog(owner, question, MessageKind::Confirmation, MessageButton::YesNo, 0);
    dialog.OnAnswer = [&](int answer) {
        if (answer == MessageResult::Yes && onYes)
            onYes();
    };
    return dialog.ShowModal() == MessageResult::Yes;
}

void ShowPlainMessage(HWND owner, const std::string& text) {
    RunMessageDialog(owner, text, MessageKind::Custom, MessageButton::OK, 0);
}

std::string SystemErrorText(DWORD code) {
    // The platform caps system messages well below this size.
    char buffer[512];
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
    return std::string(buffer, length);
}

int ShowSystemError(HWND owner, DWORD code, const std::string& lead, unsigned buttons) {
    BeepForError();
    std::string text = lead.empty() ? SystemErrorText(code) : lead + "\r\n" + SystemErrorText(code);
    text += "\r\n";
    text += "エラーコード=" + std::to_string(code);
    return ShowMessageBox(owner, text, MessageKind::Error, buttons);
}

void ShowNetworkError(HWND owner, DWORD code) {
    if (const char* text = NetworkErrorText(static_cast<int>(code)))
        ShowPlainMessage(owner, text);
}

void ListFilesMessage(const std::string& header, int limit, std::string& text, bool withRule,
                      const std::vector<std::string>& paths) {
    ListFilesMessage(header, limit, text, withRule, paths, FormatCount);
}
