// Answers the program's message dialogs from inside their own modal loop: a thread timer looks
// for each new dialog on the test thread, records what it shows and answers it as planned.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/FormRegistry.h"

namespace testing_support {

// What one message dialog showed.
struct ShownMessage {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    HICON icon = nullptr;
    bool hasIconControl = false;
    std::vector<std::string> buttons; // captions from left to right
    std::vector<int> buttonIds;
    int defaultIdFromDialog = 0; // DM_GETDEFID, 0 when none
    int defaultStyledId = 0;     // the button drawn as default (BS_DEFPUSHBUTTON)
    int focusedId = 0;           // the control with the keyboard focus
    RECT rect{};                 // the dialog's rectangle on the screen
    bool topmost = false;
    HWND owner = nullptr;
    bool ownerDisabled = false;
    bool registeredAsMessageDialog = false; // the form registry knows it as "MessageDialog"
};

// How to answer a dialog.
struct Answer {
    enum Kind { Key, Click, Command } kind = Key;
    int value = VK_ESCAPE; // virtual key, or the answer (control ID) of the button to press
    static Answer Press(int vk) { return {Key, vk}; }
    static Answer ClickButton(int id) { return {Click, id}; }
};

class MessageBoxDriver {
  public:
    // Answers dialogs in order with `answers`; once they run out, with Escape.
    explicit MessageBoxDriver(std::vector<Answer> answers = {}) : answers_(std::move(answers)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 40, Tick);
    }
    ~MessageBoxDriver() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MessageBoxDriver(const MessageBoxDriver&) = delete;
    MessageBoxDriver& operator=(const MessageBoxDriver&) = delete;

    const std::vector<ShownMessage>& seen() const { return seen_; }
    // Dialogs that ignored their answer for seconds and had to be ended by force.
    int forced() const { return forced_; }

  private:
    static constexpr const char* kSeenMark = "PakicoTestAnswered";

    static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "#32770" && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static std::string TextOf(HWND window) {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    static ShownMessage Record(HWND dialog) {
        ShownMessage m;
        m.window = dialog;
        m.caption = TextOf(dialog);
        GetWindowRect(dialog, &m.rect);
        m.topmost = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        m.owner = GetWindow(dialog, GW_OWNER);
        m.ownerDisabled = m.owner && !IsWindowEnabled(m.owner);
        LRESULT def = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        m.defaultIdFromDialog = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : 0;
        HWND focus = GetFocus();
        m.focusedId = focus && GetParent(focus) == dialog ? GetDlgCtrlID(focus) : 0;
        m.registeredAsMessageDialog =
            ui::IsAnyOtherFormOpen("ArchiveCoolForm") && !ui::IsAnyOtherFormOpen("MessageDialog");
        std::vector<std::pair<int, HWND>> buttons;
        for (HWND child = GetWindow(dialog, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char name[64] = {};
            GetClassNameA(child, name, sizeof name);
            LONG style = GetWindowLongA(child, GWL_STYLE);
            if (lstrcmpiA(name, "Button") == 0) {
                RECT r{};
                GetWindowRect(child, &r);
                buttons.push_back({r.left, child});
                if ((style & 0x0F) == BS_DEFPUSHBUTTON)
                    m.defaultStyledId = GetDlgCtrlID(child);
            } else if (lstrcmpiA(name, "Static") == 0 && (style & 0x1F) == SS_ICON) {
                m.hasIconControl = true;
                m.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
            } else if (lstrcmpiA(name, "Static") == 0) {
                m.text = TextOf(child);
            }
        }
        std::sort(buttons.begin(), buttons.end());
        for (const auto& [x, button] : buttons) {
            m.buttons.push_back(TextOf(button));
            m.buttonIds.push_back(GetDlgCtrlID(button));
        }
        return m;
    }

    void Respond(HWND dialog) {
        Answer a = next_ < answers_.size() ? answers_[next_] : Answer::Press(VK_ESCAPE);
        ++next_;
        if (a.kind == Answer::Key) {
            HWND focus = GetFocus();
            HWND target = focus && IsChild(dialog, focus) ? focus : dialog;
            PostMessageA(target, WM_KEYDOWN, a.value, 1);
            PostMessageA(target, WM_KEYUP, a.value, 0xC0000001);
        } else if (a.kind == Answer::Click) {
            PostMessageA(GetDlgItem(dialog, a.value), BM_CLICK, 0, 0);
        }
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        MessageBoxDriver* self = current_;
        if (!self)
            return;
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return;
        if (!GetPropA(dialog, kSeenMark)) {
            SetPropA(dialog, kSeenMark, reinterpret_cast<HANDLE>(1));
            self->seen_.push_back(Record(dialog));
            self->answeredAt_ = GetTickCount();
            self->Respond(dialog);
        } else if (GetTickCount() - self->answeredAt_ > 10000) {
            // The answer did not close it: end it so that the test fails instead of hanging.
            ++self->forced_;
            self->answeredAt_ = GetTickCount();
            EndDialog(dialog, 0x7777);
        }
    }

    static inline MessageBoxDriver* current_ = nullptr;
    std::vector<Answer> answers_;
    std::size_t next_ = 0;
    std::vector<ShownMessage> seen_;
    UINT_PTR timer_ = 0;
    DWORD answeredAt_ = 0;
    int forced_ = 0;
};

} // namespace testing_support
