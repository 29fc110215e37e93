// The program's message dialog on screen: captions, icons, buttons, default and Escape answers,
// results, beeps, stay-on-top and the form registry.
#include "ui/MessageBox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/FormRegistry.h"
#include "win/MessageTestFixture.h"

using namespace testing_support;

namespace {

using Buttons = std::vector<std::string>;

HICON Stock(LPCSTR name) {
    return LoadIconA(nullptr, name);
}

} // namespace

using MessageBoxShow = MessageTest;

TEST_F(MessageBoxShow, ConfirmationYesNoEscapeAnswersNo) {
    MessageBoxDriver driver({Answer::Press(VK_ESCAPE)});
    int result =
        ShowMessageBox(nullptr, "削除しますか？", MessageKind::Confirmation, MessageButton::YesNo);
    EXPECT_EQ(IDNO, result);
    ASSERT_EQ(1u, driver.seen().size());
    const ShownMessage& m = driver.seen()[0];
    EXPECT_EQ("確認", m.caption);
    EXPECT_EQ("削除しますか？", m.text);
    EXPECT_EQ(Stock(IDI_QUESTION), m.icon);
    EXPECT_EQ((Buttons{"はい(&Y)", "いいえ(&N)"}), m.buttons);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), m.buttonIds);
    EXPECT_EQ(IDYES, m.defaultIdFromDialog);
    EXPECT_EQ(IDYES, m.defaultStyledId);
    EXPECT_EQ(IDYES, m.focusedId);
    EXPECT_TRUE(m.registeredAsMessageDialog);
    EXPECT_FALSE(m.topmost);
    EXPECT_EQ(0, driver.forced());
    EXPECT_EQ(0, beeps()); // a confirmation never beeps
    // Closed again: no form of the program is open any more.
    EXPECT_FALSE(ui::IsAnyOtherFormOpen("ArchiveCoolForm"));
}

TEST_F(MessageBoxShow, ConfirmationEnterAnswersYes) {
    MessageBoxDriver driver({Answer::Press(VK_RETURN)});
    EXPECT_EQ(IDYES, ShowMessageBox(nullptr, "q", MessageKind::Confirmation, MessageButton::YesNo));
    EXPECT_EQ(1u, driver.seen().size());
    EXPECT_EQ(0, driver.forced());
}

TEST_F(MessageBoxShow, YesNoCancelAnswers) {
    MessageBoxDriver driver({Answer::Press(VK_ESCAPE), Answer::Press(VK_RETURN),
                             Answer::ClickButton(IDNO), Answer::ClickButton(IDCANCEL)});
    const unsigned set = MessageButton::YesNoCancel;
    EXPECT_EQ(IDCANCEL, ShowMessageBox(nullptr, "q", MessageKind::Confirmation, set));
    EXPECT_EQ(IDYES, ShowMessageBox(nullptr, "q", MessageKind::Confirmation, set));
    EXPECT_EQ(IDNO, ShowMessageBox(nullptr, "q", MessageKind::Confirmation, set));
    EXPECT_EQ(IDCANCEL, ShowMessageBox(nullptr, "q", MessageKind::Confirmation, set));
    ASSERT_EQ(4u, driver.seen().size());
    EXPECT_EQ((Buttons{"はい(&Y)", "いいえ(&N)", "キャンセル"}), driver.seen()[0].buttons);
    EXPECT_EQ(IDYES, driver.seen()[0].defaultIdFromDialog);
    EXPECT_EQ(0, driver.forced());
}

TEST_F(MessageBoxShow, RetryCancelInBitOrder) {
    MessageBoxDriver driver(
        {Answer::Press(VK_RETURN), Answer::Press(VK_ESCAPE), Answer::ClickButton(IDRETRY)});
    const unsigned set = MessageButton::RetryCancel;
    EXPECT_EQ(IDRETRY, ShowMessageBox(nullptr, "e", MessageKind::Warning, set));
    EXPECT_EQ(IDCANCEL, ShowMessageBox(nullptr, "e", MessageKind::Warning, set));
    EXPECT_EQ(IDRETRY, ShowMessageBox(nullptr, "e", MessageKind::Warning, set));
    ASSERT_EQ(3u, driver.seen().size());
    const ShownMessage& m = driver.seen()[0];
    EXPECT_EQ("警告", m.caption);
    EXPECT_EQ(Stock(IDI_EXCLAMATION), m.icon);
    EXPECT_EQ((Buttons{"キャンセル", "再試行(&R)"}), m.buttons);
    EXPECT_EQ(IDRETRY, m.defaultIdFromDialog);
    EXPECT_EQ(IDRETRY, m.focusedId);
    EXPECT_EQ(0, beeps());
}

TEST_F(MessageBoxShow, OkOnlyInformationAndEscape) {
    MessageBoxDriver driver({Answer::Press(VK_ESCAPE)});
    EXPECT_EQ(IDOK, ShowMessageBox(nullptr, "済", MessageKind::Information, MessageButton::OKOnly));
    ASSERT_EQ(1u, driver.seen().size());
    EXPECT_EQ("情報", driver.seen()[0].caption);
    EXPECT_EQ(Stock(IDI_ASTERISK), driver.seen()[0].icon);
    EXPECT_EQ((Buttons{"OK"}), driver.seen()[0].buttons);
    EXPECT_EQ(IDOK, driver.seen()[0].defaultIdFromDialog);
}

TEST_F(MessageBoxShow, EveryButtonAndItsAnswer) {
    MessageBoxDriver driver({Answer::ClickButton(9), Answer::ClickButton(10),
                             Answer::ClickButton(IDABORT), Answer::ClickButton(IDIGNORE),
                             Answer::ClickButton(8)});
    const unsigned all = 0x7FF;
    EXPECT_EQ(9, ShowMessageBox(nullptr, "a", MessageKind::Custom, all));
    EXPECT_EQ(10, ShowMessageBox(nullptr, "a", MessageKind::Custom, all));
    EXPECT_EQ(IDABORT, ShowMessageBox(nullptr, "a", MessageKind::Custom, all));
    EXPECT_EQ(IDIGNORE, ShowMessageBox(nullptr, "a", MessageKind::Custom, all));
    EXPECT_EQ(8, ShowMessageBox(nullptr, "a", MessageKind::Custom, all));
    ASSERT_EQ(5u, driver.seen().size());
    EXPECT_EQ(
        (Buttons{"はい(&Y)", "いいえ(&N)", "OK", "キャンセル", "中止(&A)", "再試行(&R)", "無視(&I)",
                 "すべて(&A)", "すべていいえ(&O)", "すべてはい(&A)", "ヘルプ(&H)"}),
        driver.seen()[0].buttons);
    EXPECT_EQ(IDOK, driver.seen()[0].defaultIdFromDialog);
    EXPECT_EQ(0, driver.forced());
}

TEST_F(MessageBoxShow, ErrorBeepsUnlessBeepSoundIsOn) {
    MessageBoxDriver driver;
    EXPECT_EQ(IDOK, ShowMessageBox(nullptr, "失敗", MessageKind::Error, MessageButton::OKOnly));
    EXPECT_EQ(1, beeps());
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), lastBeepType());
    ASSERT_EQ(1u, driver.seen().size());
    EXPECT_EQ("エラー", driver.seen()[0].caption);
    EXPECT_EQ(Stock(IDI_HAND), driver.seen()[0].icon);

    WriteSettingBool(settings::SectionSetting, "BeepSound", true);
    ShowMessageBox(nullptr, "失敗", MessageKind::Error, MessageButton::OKOnly);
    EXPECT_EQ(1, beeps());
    WriteSettingBool(settings::SectionSetting, "BeepSound", false);
    ShowMessageBox(nullptr, "失敗", MessageKind::Error, MessageButton::OKOnly);
    EXPECT_EQ(2, beeps());
    ShowMessageBox(nullptr, "注意", MessageKind::Warning, MessageButton::OKOnly);
    EXPECT_EQ(2, beeps());
    EXPECT_EQ(4u, driver.seen().size());
}

TEST_F(MessageBoxShow, SystemErrorBeepsTwiceOrOnce) {
    MessageBoxDriver driver({Answer::Press(VK_ESCAPE), Answer::Press(VK_RETURN)});
    EXPECT_EQ(IDCANCEL, ShowSystemError(nullptr, ERROR_ACCESS_DENIED, "I/Oエラーが発生しました",
                                        MessageButton::RetryCancel));
    EXPECT_EQ(2, beeps());
    WriteSettingInteger(settings::SectionSetting, "BeepSound", 1);
    EXPECT_EQ(IDOK, ShowSystemError(nullptr, ERROR_FILE_NOT_FOUND, "", MessageButton::OKOnly));
    EXPECT_EQ(3, beeps());
    ASSERT_EQ(2u, driver.seen().size());
    const std::string denied = SystemErrorText(ERROR_ACCESS_DENIED);
    ASSERT_FALSE(denied.empty());
    EXPECT_EQ("I/Oエラーが発生しました\r\n" + denied + "\r\nエラーコード=5", driver.seen()[0].text);
    EXPECT_EQ((Buttons{"キャンセル", "再試行(&R)"}), driver.seen()[0].buttons);
    EXPECT_EQ("エラー", driver.seen()[0].caption);
    EXPECT_EQ(SystemErrorText(ERROR_FILE_NOT_FOUND) + "\r\nエラーコード=2", driver.seen()[1].text);
}

TEST_F(MessageBoxShow, SystemErrorTextAsTheSystemGivesIt) {
    std::string text = SystemErrorText(ERROR_FILE_NOT_FOUND);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ("\r\n", text.substr(text.size() - 2));
    EXPECT_NE(text, SystemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_EQ("", SystemErrorText(0x2FFFFFFF));
}

TEST_F(MessageBoxShow, PlainAndNetworkMessages) {
    MessageBoxDriver driver;
    ShowPlainMessage(nullptr, "a&b");
    ShowNetworkError(nullptr, 1222);
    ShowNetworkError(nullptr, ERROR_CANCELLED); // shows nothing
    ShowNetworkError(nullptr, 86);
    ASSERT_EQ(3u, driver.seen().size());
    EXPECT_EQ("Pakico", driver.seen()[0].caption);
    EXPECT_EQ("a&b", driver.seen()[0].text);
    EXPECT_FALSE(driver.seen()[0].hasIconControl);
    EXPECT_EQ((Buttons{"OK"}), driver.seen()[0].buttons);
    EXPECT_EQ("ネットワークは機能していません。", driver.seen()[1].text);
    EXPECT_EQ("無効なパスワードです。", driver.seen()[2].text);
    EXPECT_EQ(0, beeps());
}

TEST_F(MessageBoxShow, StaysOnTopWhileSwitchedOn) {
    MessageBoxDriver driver;
    MessagesStayOnTop = true;
    ShowMessageBox(nullptr, "top", MessageKind::Information, MessageButton::OKOnly);
    MessagesStayOnTop = false;
    ShowMessageBox(nullptr, "not top", MessageKind::Information, MessageButton::OKOnly);
    ASSERT_EQ(2u, driver.seen().size());
    EXPECT_TRUE(driver.seen()[0].topmost);
    EXPECT_FALSE(driver.seen()[1].topmost);
}

TEST_F(MessageBoxShow, SizedToItsText) {
    MessageBoxDriver driver;
    std::string lines;
    for (int i = 0; i < 20; ++i)
        lines += "行 " + std::to_string(i) + "\r\n";
    const std::string wide(120, 'W');
    ShowMessageBox(nullptr, "短い", MessageKind::Information, MessageButton::OKOnly);
    ShowMessageBox(nullptr, lines, MessageKind::Information, MessageButton::OKOnly);
    ShowMessageBox(nullptr, wide, MessageKind::Information, MessageButton::OKOnly);
    ASSERT_EQ(3u, driver.seen().size());
    auto height = [](const RECT& r) { return r.bottom - r.top; };
    auto width = [](const RECT& r) { return r.right - r.left; };
    EXPECT_GE(height(driver.seen()[1].rect), height(driver.seen()[0].rect) + 19 * 10);
    EXPECT_GT(width(driver.seen()[2].rect), width(driver.seen()[0].rect) + 300);
    // Never wider than the screen.
    EXPECT_LE(width(driver.seen()[2].rect), GetSystemMetrics(SM_CXSCREEN));
}
