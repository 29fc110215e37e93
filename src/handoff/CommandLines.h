// The companion's command lines, the text of a hand-off list file and the work folder's name
// (no Win32 calls). The companion reads these byte for byte, so nothing here is ever escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The companion lies beside the program under this name.
inline constexpr const char* CompanionFileName = "Morva.exe";

// The companion's work folder, made inside the "WorkPath" setting or the temporary folder.
inline constexpr const char* WorkFolderName = "~MORVA(";

// The companion's full path for a program kept in programFolder (with or without its final
// separator).
std::string CompanionPathIn(std::string_view programFolder);

// The companion path as the first token of a command line: wrapped in double quotes when it
// holds a space, unchanged otherwise.
std::string ExecutableToken(std::string_view companionPath);

// Full command lines. The list path follows the "@" directly.
std::string QuickCompressCommand(std::string_view token, std::string_view listPath);
std::string QuickExtractCommand(std::string_view token, std::string_view listPath);
std::string ViewArchivesCommand(std::string_view token, std::string_view listPath);
// Archives chosen in the open dialog or collected by the folder watch.
std::string SendArchivesCommand(std::string_view token, std::string_view listPath);
// One archive chosen from the recent-archive menu. The companion has always been sent
// "Tasktray" with a small "t" here, unlike the other two.
std::string SendRecentArchiveCommand(std::string_view token, std::string_view listPath);

// The bytes of a list file: every path as it is held, each followed by CR LF, in list order.
// An empty list gives no bytes.
std::string HandOffListText(const std::vector<std::string>& paths);

// The work folder inside base: a separator is added unless base already ends in one.
std::string WorkFolderIn(std::string_view base);

// The folder inside the work folder that one drop of files a program offers only from inside
// itself (mail attachments, the files of a compressed folder) is written into: "DROP" and eight
// hexadecimal digits.
std::string DropFolderName(std::uint32_t number);
bool IsDropFolderName(std::string_view name);

// A drop's folder is the companion's to read for a day after its drop: only then may it go.
// Times are the platform's, in 100-nanosecond steps; a folder made in the future (the clock was
// put back) is kept.
inline constexpr std::uint64_t kDropFolderLifetime = 24ull * 60 * 60 * 10'000'000;
bool IsDropFolderExpired(std::uint64_t created, std::uint64_t now);

// What the "OpenType" setting of a section names as the open dialog's start folder.
enum class OpenFolderSource { None, RecentPath, FixedPath };
OpenFolderSource OpenFolderSourceOf(int openType);
