// The box about another code page names UTF-8 and its cause when the code page is 65001.
#include "app/CodePageNotice.h"

#include <gtest/gtest.h>

TEST(CodePageNotice, NamesUtf8AndTheBoxThatGivesIt) {
    const std::wstring utf8 = CodePageNotice(65001);
    EXPECT_NE(std::wstring::npos, utf8.find(L"のコード ページは 65001 (UTF-8) です。[ベータ: "));
    EXPECT_NE(std::wstring::npos, utf8.find(L"code page 65001, which is UTF-8: [Beta: "));
}
