// The message rules without windows: captions, icons, buttons, answers, file lists, name and
// folder-path rules, and where boxes and dialogs go on the screen.
#include "util/MessageLayout.h"
#include "util/PathRules.h"
#include "util/WindowGeometry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Captions(unsigned buttons) {
    std::vector<std::string> out;
    for (const MessageButtonInfo& b : MessageButtonsOf(buttons))
        out.push_back(b.caption);
    return out;
}

std::vector<int> Results(unsigned buttons) {
    std::vector<int> out;
    for (const MessageButtonInfo& b : MessageButtonsOf(buttons))
        out.push_back(b.result);
    return out;
}

std::string Count(long long n) {
    return "<" + std::to_string(n) + ">";
}

} // namespace

TEST(MessageLayout, CaptionsAndIconsByKind) {
    EXPECT_EQ("警告", MessageCaption(MessageKind::Warning));
    EXPECT_EQ("エラー", MessageCaption(MessageKind::Error));
    EXPECT_EQ("情報", MessageCaption(MessageKind::Information));
    EXPECT_EQ("確認", MessageCaption(MessageKind::Confirmation));
    EXPECT_EQ("Pakico", MessageCaption(MessageKind::Custom));
    EXPECT_EQ(MessageIcon::Exclamation, MessageIconOf(MessageKind::Warning));
    EXPECT_EQ(MessageIcon::Hand, MessageIconOf(MessageKind::Error));
    EXPECT_EQ(MessageIcon::Asterisk, MessageIconOf(MessageKind::Information));
    EXPECT_EQ(MessageIcon::Question, MessageIconOf(MessageKind::Confirmation));
    EXPECT_EQ(MessageIcon::None, MessageIconOf(MessageKind::Custom));
}

TEST(MessageLayout, SetsTheProgramShows) {
    EXPECT_EQ(4u, MessageButton::OKOnly);
    EXPECT_EQ(3u, MessageButton::YesNo);
    EXPECT_EQ(11u, MessageButton::YesNoCancel);
    EXPECT_EQ(40u, MessageButton::RetryCancel);

    EXPECT_EQ(std::vector<std::string>{"OK"}, Captions(4));
    EXPECT_EQ(MessageResult::OK, DefaultMessageResult(4));
    EXPECT_EQ(MessageResult::OK, EscapeMessageResult(4));

    EXPECT_EQ((std::vector<std::string>{"はい(&Y)", "いいえ(&N)"}), Captions(3));
    EXPECT_EQ((std::vector<int>{6, 7}), Results(3));
    EXPECT_EQ(MessageResult::Yes, DefaultMessageResult(3));
    EXPECT_EQ(MessageResult::No, EscapeMessageResult(3));

    EXPECT_EQ((std::vector<std::string>{"はい(&Y)", "いいえ(&N)", "キャンセル"}), Captions(11));
    EXPECT_EQ((std::vector<int>{6, 7, 2}), Results(11));
    EXPECT_EQ(MessageResult::Yes, DefaultMessageResult(11));
    EXPECT_EQ(MessageResult::Cancel, EscapeMessageResult(11));

    // Bit order puts Cancel (bit 3) before Retry (bit 5).
    EXPECT_EQ((std::vector<std::string>{"キャンセル", "再試行(&R)"}), Captions(40));
    EXPECT_EQ((std::vector<int>{2, 4}), Results(40));
    EXPECT_EQ(MessageResult::Retry, DefaultMessageResult(40));
    EXPECT_EQ(MessageResult::Cancel, EscapeMessageResult(40));
}

TEST(MessageLayout, EveryButtonInBitOrder) {
    EXPECT_EQ((std::vector<std::string>{"はい(&Y)", "いいえ(&N)", "OK", "キャンセル", "中止(&A)",
                                        "再試行(&R)", "無視(&I)", "すべて(&A)", "すべていいえ(&O)",
                                        "すべてはい(&A)", "ヘルプ(&H)"}),
              Captions(0x7FF));
    EXPECT_EQ((std::vector<int>{6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0}), Results(0x7FF));
    // Bits above the eleven add nothing.
    EXPECT_EQ(Captions(0x7FF), Captions(0xFFFFFFFFu));
    EXPECT_TRUE(MessageButtonsOf(0).empty());
}

TEST(MessageLayout, DefaultAndEscapeRules) {
    using namespace MessageButton;
    // OK wins over Yes, Yes over Retry; none of the three gives no default.
    EXPECT_EQ(MessageResult::OK, DefaultMessageResult(Yes | OK | Retry));
    EXPECT_EQ(MessageResult::Yes, DefaultMessageResult(Yes | Retry));
    EXPECT_EQ(MessageResult::Retry, DefaultMessageResult(Abort | Retry | Ignore));
    EXPECT_EQ(MessageResult::None, DefaultMessageResult(No | Cancel));
    // Cancel wins over No, No over OK; without either Escape still answers OK.
    EXPECT_EQ(MessageResult::Cancel, EscapeMessageResult(No | Cancel));
    EXPECT_EQ(MessageResult::No, EscapeMessageResult(Yes | No | OK));
    EXPECT_EQ(MessageResult::OK, EscapeMessageResult(Abort | Retry | Ignore));
}

TEST(MessageLayout, NetworkErrorTexts) {
    EXPECT_STREQ("システムメモリが不足しています。", NetworkErrorText(8));
    EXPECT_STREQ("無効なパスワードです。", NetworkErrorText(86));
    EXPECT_STREQ("ネットワークエラーです。", NetworkErrorText(1208));
    EXPECT_STREQ("ネットワークは機能していません。", NetworkErrorText(1222));
    EXPECT_EQ(nullptr, NetworkErrorText(1223)); // a cancelled network dialog
    EXPECT_EQ(nullptr, NetworkErrorText(0));
}

TEST(MessageListFiles, TwelveEntriesLimitTen) {
    std::vector<std::string> paths;
    for (int i = 1; i <= 12; ++i)
        paths.push_back("C:\\表\\in\\f" + std::to_string(i) + ".lzh");
    std::string text;
    ListFilesMessage("取り込みました:", 10, text, false, paths, Count);
    std::string expected = "取り込みました:";
    for (int i = 1; i <= 10; ++i)
        expected += "\r\n f" + std::to_string(i) + ".lzh";
    expected += " ... 他 <2> 件";
    EXPECT_EQ(expected, text);
}

TEST(MessageListFiles, ExistingTextRuleAndShortLists) {
    std::string text = "前文";
    ListFilesMessage("H", 10, text, true, {"C:\\a\\x.zip", "y.zip"}, Count);
    EXPECT_EQ("前文\r\n\r\nH\r\n x.zip\r\n y.zip\r\n" + std::string(60, '-') + "\r\n", text);

    // Nothing to list: only the rule is added, and without a rule nothing at all.
    text = "前文";
    ListFilesMessage("H", 10, text, false, {}, Count);
    EXPECT_EQ("前文", text);
    ListFilesMessage("H", 10, text, true, {}, Count);
    EXPECT_EQ("前文\r\n" + std::string(60, '-') + "\r\n", text);

    // The name part follows the last real separator: "ソ" ends in the byte 0x5C.
    text.clear();
    ListFilesMessage("", 0, text, false, {"C:\\ソ\\表.lzh"}, Count);
    EXPECT_EQ(" ... 他 <1> 件", text);
    text.clear();
    ListFilesMessage("", 5, text, false, {"C:\\dir\\ソ表.lzh"}, Count);
    EXPECT_EQ("\r\n ソ表.lzh", text);
}

TEST(MessageNameRules, CommaAndSemicolonRejectedWithThreeLines) {
    EXPECT_TRUE(HasForbiddenNameChar("a,b"));
    EXPECT_TRUE(HasForbiddenNameChar("a;b"));
    EXPECT_EQ("ファイル：a,b\nファイル名には次の文字は使えません。\n\\ / : , ; * ? \" < > |",
              InvalidFileNameMessage("a,b"));
    EXPECT_EQ("ファイル：a;b\nファイル名には次の文字は使えません。\n\\ / : , ; * ? \" < > |",
              InvalidFileNameMessage("a;b"));
    for (char c : std::string("\\/:,;*?\"<>|"))
        EXPECT_TRUE(HasForbiddenNameChar(std::string("x") + c + "y")) << c;
    EXPECT_FALSE(HasForbiddenNameChar("readme.txt"));
    // Trail bytes 0x5C ("表", "ソ") and 0x7C ("ー" is 81 5B, "｜"-like bytes) are no separators.
    EXPECT_FALSE(HasForbiddenNameChar("表示ソフト"));
    EXPECT_FALSE(HasForbiddenNameChar("\x83\x7C"));
}

// Dropped names the code page cannot write: the cause in the import's words, then what to do.
TEST(MessageNameRules, NamesOutsideTheCodePageAreToldWithWhatToDo) {
    std::string text;
    AppendNamesOutsideCodePage(text, {"C:\\d\\a?.txt", "b?.txt"}, true, Count);
    EXPECT_EQ("次のファイルは、名前にシフト JIS で表せない文字が含まれているため、Morvaに渡せ"
              "ません。\r\n a?.txt\r\n b?.txt\r\nファイルの名前を変えてから、もう一度ドロップ"
              "してください。",
              text);
}

TEST(MessageNameRules, KeyFilterLetsCommaAndSemicolonThrough) {
    std::set<char> dropped;
    for (wchar_t c = 1; c < 128; ++c) {
        wchar_t result = FilterNameChar(c);
        if (result == 0)
            dropped.insert(static_cast<char>(c));
        else
            EXPECT_EQ(c, result);
    }
    EXPECT_EQ((std::set<char>{'\\', '/', ':', '*', '?', '"', '<', '>', '|'}), dropped);
    // Whole characters: 表 (U+8868), ソ and ポ pass, also as halfwidth forms.
    for (wchar_t c : {L'表', L'ソ', L'ポ', L'ｿ', L'＼'})
        EXPECT_EQ(c, FilterNameChar(c));
}

TEST(MessageFolderPath, ComponentsChecked) {
    std::set<std::string> folders = {"C:\\Temp", "C:\\Temp\\表", "\\\\srv\\share\\"};
    auto exists = [&](const std::string& p) { return folders.count(p) > 0; };
    EXPECT_FALSE(FolderPathProblem("C:\\Temp\\", exists));
    EXPECT_FALSE(FolderPathProblem("C:\\", exists));
    EXPECT_EQ("フォルダ [New] は存在しません。", FolderPathProblem("C:\\Temp\\New\\", exists));
    EXPECT_EQ("フォルダ：C:\\\\Temp\\\n一部のフォルダが省略されています。(例えば\\\\等)",
              FolderPathProblem("C:\\\\Temp\\", exists));
    EXPECT_EQ("フォルダ：\\Temp\\\n一部のフォルダが省略されています。(例えば\\\\等)",
              FolderPathProblem("\\Temp\\", exists));
    // The last piece is only examined when a separator follows it.
    EXPECT_FALSE(FolderPathProblem("C:\\Temp\\New", exists));
    // "表" (95 5C) is one component.
    EXPECT_FALSE(FolderPathProblem("C:\\Temp\\表\\", exists));
    EXPECT_EQ("フォルダ [表示] は存在しません。", FolderPathProblem("C:\\Temp\\表示\\", exists));
    EXPECT_EQ(InvalidFileNameMessage("a;b"), FolderPathProblem("C:\\Temp\\a;b\\", exists));
    EXPECT_FALSE(FolderPathProblem("\\\\srv\\share\\", exists));
    EXPECT_EQ("[\\\\srv\\none\\]\nネットワークフォルダが見つかりません。",
              FolderPathProblem("\\\\srv\\none\\", exists));
    EXPECT_EQ("フォルダ：a\nこのフォルダではネットワークアクセスは拒否されます。\n"
              "アクセス権があるかどうか確認してください。",
              NetworkAccessDeniedMessage("a"));
}

TEST(MessageFolderPath, LongPathsWork) {
    std::string path = "C:";
    std::set<std::string> folders;
    for (int i = 0; i < 80; ++i) {
        path += "\\folder" + std::to_string(i);
        folders.insert(path);
    }
    auto exists = [&](const std::string& p) { return folders.count(p) > 0; };
    ASSERT_GT(path.size(), 600u);
    EXPECT_FALSE(FolderPathProblem(path + "\\", exists));
    EXPECT_EQ("フォルダ [missing] は存在しません。",
              FolderPathProblem(path + "\\missing\\", exists));
}

TEST(MessagePosition, CentredOverOwnerOrMonitor) {
    // Halves truncated separately: 100 + 301/2 - 101/2 = 200.
    EXPECT_EQ((ScreenPoint{200, 200}), CentredOver({100, 100, 401, 401}, 101, 101));
    // The middle of a monitor left of the primary one.
    EXPECT_EQ((ScreenPoint{-790, 412}), CentredOver({-1280, 0, 0, 1024}, 300, 200));
}

TEST(MessagePosition, DialogModes) {
    ScreenRect owner{100, 200, 500, 500};
    EXPECT_EQ((ScreenPoint{120, 220}), ProposedDialogPosition(1, owner, 50, 50));
    EXPECT_EQ((ScreenPoint{275, 325}), ProposedDialogPosition(2, owner, 50, 50));
    EXPECT_EQ((ScreenPoint{80, 180}), ProposedDialogPosition(3, owner, 50, 50));
}

// A 300 x 200 window proposed at a corner, kept on its monitor: 2 pixels inside the monitor's
// edges, then inside the work area, next to the taskbar.
TEST(MessagePosition, KeptOnTheMonitorAndOffItsTaskbar) {
    const ScreenRect primary{0, 0, 1024, 768};
    const ScreenRect left{-1280, 0, 0, 1024};  // a monitor left of the primary one
    const ScreenRect above{0, -1080, 1920, 0}; // and one above it
    const ScreenRect right{1024, -100, 2304, 924};
    struct {
        ScreenPoint corner;
        ScreenRect monitor, work;
        ScreenPoint placed;
        const char* why;
    } cases[] = {
        {{-50, -1}, primary, primary, {2, 2}, "left of and above the screen"},
        {{900, 700}, primary, primary, {722, 566}, "past the right and bottom"},
        {{725, 568}, primary, primary, {722, 568}, "one pixel past the right"},
        {{100, 560}, primary, {0, 0, 1024, 738}, {100, 538}, "onto a bottom taskbar's top"},
        {{700, 100}, primary, {0, 0, 964, 768}, {664, 100}, "left of a right taskbar"},
        {{10, 100}, primary, {60, 0, 1024, 768}, {60, 100}, "right of a left taskbar"},
        {{-1300, 500}, left, left, {-1278, 500}, "past the left monitor's left edge"},
        {{-100, 900}, left, {-1280, 0, 0, 984}, {-302, 784}, "past its right edge and taskbar"},
        {{100, -1100}, above, above, {100, -1078}, "past the upper monitor's top"},
        {{100, -50}, above, above, {100, -202}, "past its bottom, onto the primary"},
        {{2250, -150}, right, {1084, -100, 2304, 924}, {2002, -98}, "a monitor right and higher"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.placed, KeepOnMonitor(c.corner, 300, 200, c.monitor, c.work)) << c.why;
    // Larger than the work area: its top left corner shows, for the caption.
    EXPECT_EQ((ScreenPoint{-1280, 0}), KeepOnMonitor({-1500, -50}, 1400, 1200, left, left));
    EXPECT_EQ((ScreenPoint{0, 30}), KeepInside({-20, 10}, 1100, 900, {0, 30, 1024, 768}));
    EXPECT_EQ((ScreenPoint{724, 538}), KeepInside({900, 600}, 300, 200, {0, 0, 1024, 738}));
}
