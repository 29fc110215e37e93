// The readme as it is handed out beside the program (Pakico.txt): Shift_JIS, as plain as any
// reader of it knows, with CR LF line ends, the title with the program's version, the usual
// sections and the help file's name. What it says is checked against the program's texts by the
// native ReadmeNames test.
#include "support/WinTestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr UINT kShiftJis = 932;

bool IsShiftJisText(const std::string& text) {
    return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(),
                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

} // namespace

TEST(Readme, IsShiftJisWithCrLfLinesTheVersionAndTheUsualSections) {
    const std::string readme = ReadFileBytes(ProgramUnderTestFolder() + "Pakico.txt");
    ASSERT_FALSE(readme.empty()) << ProgramUnderTestFolder() << "Pakico.txt";
    EXPECT_TRUE(IsShiftJisText(readme)) << "a byte sequence that is no Shift_JIS character";
    // None of the code page's own additions (the NEC and IBM rows), which other readers of
    // Shift_JIS do not know; every line ended by CR LF.
    std::size_t ownRows = 0, loneEnds = 0;
    for (std::size_t i = 0; i < readme.size(); ++i) {
        const auto byte = static_cast<unsigned char>(readme[i]);
        if (IsDBCSLeadByteEx(kShiftJis, byte)) {
            ownRows += byte == 0x87 || byte == 0xED || byte == 0xEE || byte >= 0xFA;
            ++i;
        } else if (byte == '\n' || byte == '\r') {
            loneEnds += readme.compare(byte == '\n' && i > 0 ? i - 1 : i, 2, "\r\n") != 0;
        }
    }
    EXPECT_EQ(0u, ownRows);
    EXPECT_EQ(0u, loneEnds) << "line ends other than CR LF";
    EXPECT_EQ("\r\n", readme.substr(readme.size() - 2));

    const std::vector<std::string> lines = SplitLines(readme);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_NE(std::string::npos, lines[1].find("Version 1.10")) << lines[1];
    std::vector<std::string> sections;
    for (const std::string& line : lines)
        if (line.rfind("■", 0) == 0)
            sections.push_back(line);
    const std::vector<std::string> expected = {
        "■ 概要", "■ 動作環境", "■ インストールとアンインストール", "■ 使い方", "■ 設定",
        "■ 注意", "■ 履歴"};
    EXPECT_EQ(expected, sections);
    // It names the help file that lies beside the program, as the release zip carries it.
    EXPECT_FALSE(ReadFileBytes(ProgramUnderTestFolder() + "PAKICO.CHM").empty());
    EXPECT_NE(std::string::npos, readme.find("PAKICO.CHM"));
}
