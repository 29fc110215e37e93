// Wide paths in the program's code page: as they are when they fit, by their short form when
// not, and never as a best-fit look-alike that names another file.
#include "util/CodePagePath.h"

#include "support/ShortNames.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

TEST(CodePagePath, ANameOutsideTheCodePageGoesByItsShortFormOrNotAtAll) {
    TempFolder temp("cpp");
    const std::wstring folder = WideText(temp.path());
    const std::wstring japanese = folder + L"表示 データ.zip";
    const std::wstring accented = folder + L"caf\u00e9.zip";
    const std::wstring korean = folder + L"\uD55C\uAE00.zip";
    WriteFileBytes(temp.path(), L"表示 データ.zip", "japanese");
    WriteFileBytes(temp.path(), L"caf\u00e9.zip", "accented");
    WriteFileBytes(temp.path(), L"\uD55C\uAE00.zip", "korean");
    // The best-fit look-alike of "café.zip" is another file.
    WriteFileBytes(temp.path() + "cafe.zip", "look-alike");

    EXPECT_EQ(temp.path() + "表示 データ.zip", CodePagePath(japanese).value_or("none"));
    for (const auto& [path, bytes] : {std::pair{accented, "accented"}, {korean, "korean"}}) {
        std::optional<std::string> shortPath = CodePagePath(path);
        ASSERT_TRUE(shortPath.has_value());
        EXPECT_EQ(bytes, ReadFileBytes(*shortPath)) << *shortPath;
    }
    EXPECT_EQ(temp.path() + "caf?.zip", CodePageTextForDisplay(accented));

    VolumeWithoutShortNames exFat;
    EXPECT_EQ(temp.path() + "表示 データ.zip", CodePagePath(japanese).value_or("none"));
    EXPECT_FALSE(CodePagePath(accented).has_value());
    EXPECT_FALSE(CodePagePath(korean).has_value());
    EXPECT_FALSE(CodePagePath(folder + L"\u00e9t\u00e9 missing.zip").has_value());
}
