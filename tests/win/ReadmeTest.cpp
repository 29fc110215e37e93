// The readme as it is handed out beside the program (Pakico.txt): Shift_JIS, as plain as any
// reader of it knows, with CR LF line ends, the title with the program's version, the usual
// sections, the help file's name and, in the install steps, every file of the zip. What it says
// is checked against the program's texts by the native ReadmeNames test.
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

// The names of the files in a zip, as its central directory lists them.
std::vector<std::string> ZipEntryNames(const std::string& zip) {
    auto number = [&](std::size_t at, std::size_t bytes) { // little-endian, as is the platform
        unsigned n = 0;
        zip.copy(reinterpret_cast<char*>(&n), bytes, at);
        return std::size_t{n};
    };
    std::vector<std::string> names;
    const std::size_t end = zip.rfind("PK\x05\x06");
    for (std::size_t at = number(end + 16, 4), left = number(end + 10, 2);
         left > 0 && zip.compare(at, 4, "PK\x01\x02") == 0; --left) {
        names.push_back(zip.substr(at + 46, number(at + 28, 2)));
        at += 46 + number(at + 28, 2) + number(at + 30, 2) + number(at + 32, 2);
    }
    return names;
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
    // Installing copies every file of the release zip, which the build leaves in dist beside the
    // program's folder (and beside the folder the test command unpacks it to).
    const std::vector<std::string> entries =
        ZipEntryNames(ReadFileBytes(ProgramUnderTestFolder() + "..\\dist\\Pakico-1.10.zip"));
    EXPECT_EQ(4u, entries.size());
    const std::size_t install = readme.find("【インストール】");
    const std::string steps = readme.substr(install, readme.find("【", install + 2) - install);
    for (const std::string& entry : entries)
        EXPECT_NE(std::string::npos, steps.find(entry)) << entry << " is not installed";
}
