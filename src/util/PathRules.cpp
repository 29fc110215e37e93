// The rules of the name and folder checks that need no Win32 call.
#include "util/PathRules.h"

#include "util/Mbcs.h"
#include "util/MessageLayout.h"
#include "util/PathText.h"

namespace {

// In the order the message lists them.
constexpr std::string_view kForbiddenInNames = "\\/:,;*?\"<>|";
// The key-press filter lets comma and semicolon through.
constexpr std::string_view kForbiddenKeys = "\\/:*?\"<>|";

} // namespace

bool HasForbiddenNameChar(std::string_view name) {
    for (char c : kForbiddenInNames)
        if (DbcsPos(std::string_view(&c, 1), name) != 0)
            return true;
    return false;
}

std::string InvalidFileNameMessage(const std::string& name) {
    std::string list;
    for (char c : kForbiddenInNames) {
        if (!list.empty())
            list += ' ';
        list += c;
    }
    return "ファイル：" + name + "\n" + "ファイル名には次の文字は使えません。" + "\n" + list;
}

wchar_t FilterNameChar(wchar_t c) {
    if (c != 0 && c < 0x80 && kForbiddenKeys.find(static_cast<char>(c)) != std::string_view::npos)
        return 0;
    return c;
}

std::string FilterNameText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t next = mbcs::NextChar(text, i);
        if (next - i == 2 || FilterNameChar(static_cast<unsigned char>(text[i])) != 0)
            out.append(text.substr(i, next - i));
        i = next;
    }
    return out;
}

std::optional<std::string>
FolderPathProblem(std::string_view path,
                  const std::function<bool(const std::string&)>& folderExists) {
    const std::string whole(path);
    if (IsUncPath(path, '\\')) {
        if (folderExists(whole))
            return std::nullopt;
        return "[" + whole + "]" + "\n" + "ネットワークフォルダが見つかりません。";
    }
    const int count = CountChar(path, '\\');
    std::string partial;
    for (int i = 1; i <= count; ++i) {
        const std::string piece = PathComponent(path, i, '\\');
        if (piece.empty())
            return "フォルダ：" + whole + "\n" + "一部のフォルダが省略されています。(例えば\\\\等)";
        partial += piece;
        if (piece.size() == 2 && piece[1] == ':') {
            partial += '\\';
            continue;
        }
        if (HasForbiddenNameChar(piece))
            return InvalidFileNameMessage(piece);
        if (!folderExists(partial))
            return "フォルダ [" + piece + "] は存在しません。";
        partial += '\\';
    }
    return std::nullopt;
}

std::string NetworkAccessDeniedMessage(const std::string& folder) {
    return "フォルダ：" + folder + "\n" + "このフォルダではネットワークアクセスは拒否されます。" +
           "\n" + "アクセス権があるかどうか確認してください。";
}

std::string TempFolderOutsideCodePageMessage(const std::string& folder) {
    return "フォルダ：" + RemoveTrailingSeparator(folder) + "\r\n" + "一時フォルダの名前に" +
           kOutsideCodePage + "が含まれているため、Morvaにファイルを渡せません。" + "\r\n" +
           "ユーザー環境変数の TEMP と TMP を、名前がシフト JIS で表せるフォルダ (例えば "
           "C:\\Temp) に変えてから、パキコを起動し直してください。";
}

void AppendNamesOutsideCodePage(std::string& text, const std::vector<std::string>& names,
                                bool dropped,
                                const std::function<std::string(long long)>& formatCount) {
    if (names.empty())
        return;
    ListFilesMessage(std::string("次のファイルは、名前に") + kOutsideCodePage +
                         "が含まれているため、" +
                         (dropped ? "Morvaに渡せません。" : "取り込めませんでした。"),
                     10, text, false, names, formatCount);
    text += std::string("\r\n") + "ファイルの名前を変えてから、" +
            (dropped ? "もう一度ドロップしてください。" : "猫にドロップしてください。");
}
