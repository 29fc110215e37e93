// The words of the box that tells of a code page the program was not made for.
#include "app/CodePageNotice.h"

namespace {
// Windows' UTF-8 option gives every program this code page.
constexpr unsigned kUtf8 = 65001;
} // namespace

std::wstring CodePageNotice(unsigned codePage) {
    const std::wstring number = std::to_wstring(codePage);
    const bool utf8 = codePage == kUtf8;
    return L"Pakico は日本語のコード ページ 932 (シフト JIS) で動くプログラムですが、この "
           L"Windows のコード ページは " +
           number +
           (utf8 ? L" (UTF-8) です。[ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用] "
                   L"にチェックが付いていると、このコード ページになります。"
                 : L" です。") +
           L"メニューやメッセージが文字化けし、ドロップしたファイルの名前が正しく渡らない"
           L"ことがあります。\n"
           L"コントロール パネルの [地域] を開き、[管理] タブの [システム ロケールの変更] で、"
           L"[現在のシステム ロケール] を [日本語 (日本)] にし、[ベータ: ワールドワイド言語"
           L"サポートで Unicode UTF-8 を使用] のチェックを外して、Windows を再起動してください。"
           L"\n\n"
           L"Pakico is made for the Japanese code page 932 (Shift JIS), but this Windows uses "
           L"code page " +
           number +
           (utf8 ? L", which is UTF-8: [Beta: Use Unicode UTF-8 for worldwide language support] "
                   L"is turned on."
                 : L".") +
           L" Menus and messages may be garbled, and the names of dropped files may not be "
           L"passed on correctly.\n"
           L"Open [Region] in Control Panel, and on the [Administrative] tab click [Change "
           L"system locale]: set [Current system locale] to [Japanese (Japan)], clear [Beta: "
           L"Use Unicode UTF-8 for worldwide language support], and restart Windows.";
}
