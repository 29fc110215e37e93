// The rules of the name and folder checks that need no Win32 call: which characters a name may
// not hold, which component of a folder path is wrong, and the texts that say so.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The file the write-access check creates and deletes at once.
inline constexpr const char* kWriteMarkerName = "MORVA)DELETEOK(.TMP";

// The name holds one of \ / : , ; * ? " < > | (as a single-byte character).
bool HasForbiddenNameChar(std::string_view name);

// The three-line error text for a name that holds a forbidden character.
std::string InvalidFileNameMessage(const std::string& name);

// Key-press filter for names, one whole typed character (a UTF-16 unit from a wide edit box):
// \ / : * ? " < > | give 0 (the key is dropped); any other character, comma and semicolon
// among them, comes back unchanged. A double-byte character is never taken apart, so the
// trail bytes 0x5C and 0x7C of characters such as 表, ソ and ポ are kept.
wchar_t FilterNameChar(wchar_t c);

// The same filter over code page 932 text (pasted or set as a whole): drops the forbidden
// single-byte characters and keeps every double-byte character whole.
std::string FilterNameText(std::string_view text);

// Checks a folder path component by component, as far as each component is followed by a
// separator (callers append one). Returns the error text to show, or nothing when every examined
// component exists. `folderExists` answers for the partial paths.
std::optional<std::string>
FolderPathProblem(std::string_view path,
                  const std::function<bool(const std::string&)>& folderExists);

// The error text of the write-access check when a network folder refuses the marker file.
std::string NetworkAccessDeniedMessage(const std::string& folder);

// The lead line of the error shown when the marker file cannot be made on a local drive.
inline constexpr const char* kWriteCheckLead = "I/Oエラーが発生しました";

// What the program's code page cannot write in a name, in the same words in every message that
// says so.
inline constexpr const char* kOutsideCodePage = "シフト JIS で表せない文字";

// The error text for a temporary folder whose name the code page cannot write (shown as the
// code page shows it): no list for the companion can be written there.
std::string TempFolderOutsideCodePageMessage(const std::string& folder);

// Appends to `text` the files whose names the code page cannot write, with no short form either,
// so that the companion cannot be given them: a header, the names as ListFilesMessage lists them
// and what to do. `dropped` tells files of a drop from files a folder watch collected. Nothing
// for no files.
void AppendNamesOutsideCodePage(std::string& text, const std::vector<std::string>& names,
                                bool dropped,
                                const std::function<std::string(long long)>& formatCount);
