// Size and count text without the locale look-ups.
#include "util/Formatting.h"

#include <gtest/gtest.h>

TEST(Formatting, ByteSizeUnitsSwitchAt1025) {
    EXPECT_EQ("0.00 KB", FormatByteSizeWith(0, "."));
    EXPECT_EQ("1.00 KB", FormatByteSizeWith(1024, "."));
    EXPECT_EQ("1024.00 KB", FormatByteSizeWith(1048576, "."));
    // Two decimals round: just below the switch shows as 1025.00 KB.
    EXPECT_EQ("1025.00 KB", FormatByteSizeWith(1049599, "."));
    EXPECT_EQ("1024.50 KB", FormatByteSizeWith(1049088, "."));
    EXPECT_EQ("1.00 MB", FormatByteSizeWith(1049600, "."));
    EXPECT_EQ("1024.00 MB", FormatByteSizeWith(1073741824.0, "."));
    EXPECT_EQ("1.00 GB", FormatByteSizeWith(1024.0 * 1025 * 1024, "."));
    EXPECT_EQ("1.50 GB", FormatByteSizeWith(1610612736.0, "."));
    EXPECT_EQ("3072.00 GB", FormatByteSizeWith(3.0 * 1024 * 1024 * 1024 * 1024, "."));
}

TEST(Formatting, ByteSizeTakesTheLocaleSeparator) {
    EXPECT_EQ("1,50 GB", FormatByteSizeWith(1610612736.0, ","));
    EXPECT_EQ("2<>00 KB", FormatByteSizeWith(2048, "<>"));
    // Huge values do not overflow anything.
    EXPECT_NE(std::string::npos, FormatByteSizeWith(1e300, ".").find(" GB"));
}

TEST(Formatting, FirstCharacterDropped) {
    EXPECT_EQ("1,234", WithoutFirstChar("\\1,234"));
    // A double-byte currency sign ("￥" 81 8F) goes as a whole.
    EXPECT_EQ("1,234", WithoutFirstChar("￥1,234"));
    EXPECT_EQ("", WithoutFirstChar(""));
    EXPECT_EQ("", WithoutFirstChar("\x81"));
}

TEST(Formatting, GroupingOfTheLocale) {
    EXPECT_EQ(3u, GroupingFromLocaleText("3;0"));
    EXPECT_EQ(32u, GroupingFromLocaleText("3;2;0"));
    EXPECT_EQ(30u, GroupingFromLocaleText("3"));
    EXPECT_EQ(0u, GroupingFromLocaleText("0"));
    EXPECT_EQ(0u, GroupingFromLocaleText(""));
}
