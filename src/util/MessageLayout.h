// The rules of the program's message boxes that need no window: kinds with their captions and
// icons, the button set with its order, captions, default and Escape answers, and the builder of
// messages that list some files and count the rest.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The application title, also the caption of custom messages.
inline constexpr const char* kApplicationTitle = "Pakico";

enum class MessageKind { Warning = 0, Error = 1, Information = 2, Confirmation = 3, Custom = 4 };

// The buttons of a message, as a bit set. They always appear in the order of the bits.
namespace MessageButton {
enum : unsigned {
    Yes = 1u << 0,
    No = 1u << 1,
    OK = 1u << 2,
    Cancel = 1u << 3,
    Abort = 1u << 4,
    Retry = 1u << 5,
    Ignore = 1u << 6,
    All = 1u << 7,
    NoToAll = 1u << 8,
    YesToAll = 1u << 9,
    Help = 1u << 10,
};
// The sets the program shows.
inline constexpr unsigned OKOnly = OK;                     // 4
inline constexpr unsigned YesNo = Yes | No;                // 3
inline constexpr unsigned YesNoCancel = Yes | No | Cancel; // 11
inline constexpr unsigned RetryCancel = Retry | Cancel;    // 40
} // namespace MessageButton

// The answer of a message: the code of the button pressed, equal to the platform's IDOK ...
namespace MessageResult {
enum : int {
    None = 0,
    OK = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7,
    All = 8,
    NoToAll = 9,
    YesToAll = 10,
};
} // namespace MessageResult

// The picture beside the text; the Win32 side maps it to the platform's stock icons.
enum class MessageIcon { None, Exclamation, Hand, Asterisk, Question };

// "警告", "エラー", "情報", "確認", or the application title for custom messages.
std::string MessageCaption(MessageKind kind);
MessageIcon MessageIconOf(MessageKind kind);

struct MessageButtonInfo {
    unsigned bit;
    // The answer the button gives; MessageResult::None for the help button, which answers nothing.
    int result;
    const char* caption;
};

// The buttons of the set, in their fixed order.
std::vector<MessageButtonInfo> MessageButtonsOf(unsigned buttons);

// The answer of the default button: OK if present, else Yes, else Retry; None when the set has
// none of them.
int DefaultMessageResult(unsigned buttons);

// The answer Escape gives: Cancel if present, else No, else OK.
int EscapeMessageResult(unsigned buttons);

// The text ShowNetworkError shows for a network error code; null for any other code (a cancelled
// network dialog among them), which shows nothing.
const char* NetworkErrorText(int code);

// Appends to `text` the names of the first `limit` paths, one per line after a blank, with a
// header, a count of the rest (" ... 他 n 件" on the last name's line) and optionally a rule of
// sixty '-'. `formatCount` formats the count of the rest.
void ListFilesMessage(const std::string& header, int limit, std::string& text, bool withRule,
                      const std::vector<std::string>& paths,
                      const std::function<std::string(long long)>& formatCount);
