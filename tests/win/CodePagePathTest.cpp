// Wide paths in the program's code page: as they are when they fit, by their short form when
// not, and never as a best-fit look-alike that names another file.
#include "util/CodePagePath.h"

#include "support/ShortNames.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

void WriteWide(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

TEST(CodePagePath, ANameOutsideTheCodePageGoesByItsShortFormOrNotAtAll) {
    TempFolder temp("cpp");
    const std::wstring folder = Wide(temp.path());
    const std::wstring japanese = folder + L"表示 データ.zip";
    const std::wstring accented = folder + L"caf\u00e9.zip";
    const std::wstring korean = folder + L"\uD55C\uAE00.zip";
    WriteWide(japanese, "japanese");
    WriteWide(accented, "accented");
    WriteWide(korean, "korean");
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
