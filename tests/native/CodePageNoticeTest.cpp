// The box about another code page: the code page by its number, UTF-8 by its name too, and in
// both halves where Windows sets it and that Windows must then restart.
#include "app/CodePageNotice.h"

#include <gtest/gtest.h>

#include <string>

TEST(CodePageNotice, NamesTheCodePageTheSystemLocaleAndTheRestart) {
    const struct {
        unsigned codePage;
        const wchar_t* japanese;
        const wchar_t* english;
        bool utf8Explained;
    } rows[] = {
        {1252, L"この Windows のコード ページは 1252 です。", L"uses code page 1252.", false},
        {65001, L"この Windows のコード ページは 65001 (UTF-8) です。",
         L"uses code page 65001, which is UTF-8", true},
    };
    for (const auto& row : rows) {
        const std::wstring text = CodePageNotice(row.codePage);
        SCOPED_TRACE(row.codePage);
        EXPECT_NE(std::wstring::npos, text.find(row.japanese));
        EXPECT_NE(std::wstring::npos, text.find(row.english));
        EXPECT_EQ(row.utf8Explained,
                  text.find(L"にチェックが付いていると、このコード ページ") != std::wstring::npos);
        for (const wchar_t* part :
             {L"コントロール パネルの [地域] を開き、[管理] タブの [システム ロケールの変更] で",
              L"[現在のシステム ロケール] を [日本語 (日本)] にし",
              L"[ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用] のチェックを外して",
              L"Windows を再起動してください。", L"[Change system locale]",
              L"[Current system locale] to [Japanese (Japan)]",
              L"clear [Beta: Use Unicode UTF-8 for worldwide language support]",
              L"restart Windows."})
            EXPECT_NE(std::wstring::npos, text.find(part));
    }
}
