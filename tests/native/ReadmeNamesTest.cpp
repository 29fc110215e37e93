// The readme handed out with the program (release/Pakico.txt) against the program's own texts:
// every menu item, button, caption and message it quotes in 「」 is spelled as the program
// shows it, and it explains every item of the program's two menus. The program's texts are the
// literals of its code and of its resource script; most of the code's are built into the
// instructions rather than kept as data, so they are read where they are written. Texts that are
// no words of the program (the cat's signs, file names) are written otherwise in the readme.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace fs = std::filesystem;

#ifdef PAKICO_SOURCE_DIR
const fs::path kSourceDir = PAKICO_SOURCE_DIR;
#else
const fs::path kSourceDir = fs::path(__FILE__).parent_path().parent_path().parent_path();
#endif

// The tests' literals are compiled to the program's code page; the files here are UTF-8.
std::string Utf8(std::u8string_view text) {
    return std::string(text.begin(), text.end());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The string literals of a C++ source or a resource script, those written next to each other
// joined into one, with their escapes read. Comments and character literals are passed over.
std::vector<std::string> Literals(const std::string& code) {
    std::vector<std::string> literals;
    bool joining = false;
    std::size_t i = 0;
    while (i < code.size()) {
        if (code.compare(i, 2, "//") == 0) {
            i = std::min(code.find('\n', i), code.size());
            continue;
        }
        if (code.compare(i, 2, "/*") == 0) {
            i = std::min(code.find("*/", i + 2), code.size() - 2) + 2;
            continue;
        }
        const char quote = code[i++];
        if (quote != '"' && quote != '\'') {
            joining = joining && std::isspace(static_cast<unsigned char>(quote));
            continue;
        }
        std::string text;
        for (; i < code.size() && code[i] != quote; ++i) {
            char c = code[i];
            if (c == '\\' && i + 1 < code.size()) {
                c = code[++i];
                c = c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
            text += c;
        }
        ++i;
        if (quote == '\'')
            joining = false;
        else if (joining)
            literals.back() += text;
        else
            literals.push_back(text);
        joining = joining || quote == '"';
    }
    return literals;
}

// A text as a menu, button or label shows it: "(&L)" as "(L)", "&&" as "&"; the spaces around it
// cannot be seen. No byte of a UTF-8 character is an '&'.
std::string AsShown(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    const std::size_t first = shown.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return shown.substr(first, shown.find_last_not_of(' ') - first + 1);
}

// The program's code and its resource scripts.
std::vector<fs::path> ProgramSources() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(kSourceDir / "src"))
        if (entry.path().extension() == ".cpp" || entry.path().extension() == ".h" ||
            entry.path().extension() == ".rc")
            files.push_back(entry.path());
    return files;
}

// Every text of the program (its code and its resource scripts), whole and line by line, as
// shown.
std::set<std::string> ProgramTexts() {
    std::vector<fs::path> files = ProgramSources();
    files.push_back(kSourceDir / "res" / "Pakico.rc");
    std::set<std::string> texts;
    for (const fs::path& file : files) {
        for (const std::string& literal : Literals(ReadFile(file))) {
            texts.insert(AsShown(literal));
            std::size_t start = 0;
            for (std::size_t end; (end = literal.find("\r\n", start)) != std::string::npos;
                 start = end + 2)
                texts.insert(AsShown(literal.substr(start, end - start)));
            texts.insert(AsShown(literal.substr(start)));
        }
    }
    return texts;
}

// The texts the readme quotes in 「」 (no byte of a UTF-8 character starts another one).
std::vector<std::string> QuotedNames(const std::string& readme) {
    const std::string open = Utf8(u8"「"), close = Utf8(u8"」");
    std::vector<std::string> names;
    for (std::size_t at = readme.find(open); at != std::string::npos;
         at = readme.find(open, at + 1)) {
        const std::size_t end = readme.find(close, at);
        if (end == std::string::npos)
            break;
        names.push_back(readme.substr(at + open.size(), end - at - open.size()));
    }
    return names;
}

// The texts the program reports or shows in a box: for each error it raises and each box it
// opens, the literals of its statement, joined.
std::vector<std::string> MessageTexts() {
    const std::regex call(
        R"(\b(E[A-Z]\w*|runtime_error|ShowMessageBox|ShowPlainMessage|ShowMessage|MessageBox[AW])\()");
    std::vector<std::string> messages;
    for (const fs::path& file : ProgramSources()) {
        const std::string code = ReadFile(file);
        for (std::sregex_iterator it(code.begin(), code.end(), call), end; it != end; ++it) {
            const std::size_t from = it->position() + it->length();
            std::string& text = messages.emplace_back();
            for (const std::string& literal :
                 Literals(code.substr(from, code.find(';', from) - from)))
                text += literal;
        }
    }
    return messages;
}

} // namespace

TEST(ReadmeNames, QuotesOnlyTextsTheProgramShows) {
    const std::set<std::string> texts = ProgramTexts();
    // The readme explains the menus, the drops, the watch and the settings with their
    // questions; the help file's pages, the program and each page of its settings.
    std::vector<std::pair<fs::path, std::size_t>> documents = {
        {kSourceDir / "release" / "Pakico.txt", 60}};
    for (const auto& entry : fs::directory_iterator(kSourceDir / "release" / "help"))
        if (entry.path().extension() == ".htm")
            documents.push_back({entry.path(), 5});
    EXPECT_EQ(7u, documents.size());
    for (const auto& [document, least] : documents) {
        const std::vector<std::string> names = QuotedNames(ReadFile(document));
        EXPECT_GE(names.size(), least) << document;
        std::string unknown;
        for (const std::string& name : names)
            if (!texts.count(name))
                unknown += "\n  " + name;
        EXPECT_EQ("", unknown) << "texts the program does not show, in " << document;
        // The watch goes by the program's word for it, 監視.
        EXPECT_EQ(std::string::npos, ReadFile(document).find(Utf8(u8"見張"))) << document;
    }
}

TEST(ReadmeNames, ExplainsEveryItemOfTheCatsMenuAndOfTheRightDropMenu) {
    const std::vector<std::string> names =
        QuotedNames(ReadFile(kSourceDir / "release" / "Pakico.txt"));
    const std::set<std::string> quoted(names.begin(), names.end());
    for (std::u8string_view item : {u8"Morvaを起動(L)",
                                    u8"開き直す(R)",
                                    u8"フォルダで開く(P)",
                                    u8"履歴を削除",
                                    u8"環境設定(G)",
                                    u8"バージョン情報(A)...",
                                    u8"ヘルプ(H)",
                                    u8"居場所(P)",
                                    u8"上の左寄せ",
                                    u8"上の中央寄せ",
                                    u8"上の右寄せ",
                                    u8"上の右端付近",
                                    u8"下の左寄せ",
                                    u8"下の中央寄せ",
                                    u8"下の右寄せ",
                                    u8"表示(I)",
                                    u8"非表示(H)",
                                    u8"新たな監視フォルダで実行(N)",
                                    u8"過去の監視フォルダで実行(B)",
                                    u8"フォルダ監視の終了(Z)",
                                    u8"常駐の解除(E)",
                                    u8"操作のキャンセル(C)",
                                    u8"書庫内を確認する(C)",
                                    u8"圧縮する(P)",
                                    u8"解凍する(E)"})
        EXPECT_EQ(1u, quoted.count(Utf8(item))) << "not explained: " << Utf8(item);
}

// Windows 11 keeps a new notification-area icon hidden: the readme's part on the icon says how
// to keep it shown, naming it as Windows lists it, by the program file's description.
TEST(ReadmeNames, TellsHowToKeepTheIconShownUnderTheNameWindowsListsIt) {
    const auto script = Literals(ReadFile(kSourceDir / "res" / "Pakico.rc"));
    const auto description = std::find(script.begin(), script.end(), "FileDescription") + 1;
    ASSERT_LT(description, script.end());
    const std::string readme = ReadFile(kSourceDir / "release" / "Pakico.txt");
    const std::size_t part = readme.find(Utf8(u8"【通知領域のアイコン】"));
    const std::string icon = readme.substr(part, readme.find(Utf8(u8"【"), part + 1) - part);
    EXPECT_NE(std::string::npos, icon.find("Windows 11"));
    const std::vector<std::string> names = QuotedNames(icon);
    EXPECT_EQ(1, std::count(names.begin(), names.end(), *description)) << *description;
}

// No error or box of the program holds English words without any Japanese, save the components'
// own English texts (the shortcut writer's, the search's, the folder monitor's, the tree's).
TEST(ReadmeNames, EveryMessageOfTheProgramIsJapanese) {
    const std::set<std::string> english = {
        "Could not get folder data.", "Some filter condition must be set.", "Trop de fichiers.",
        "\"CoCreateInstance\" failed.", "\"PersistFile QueryInterface\" failed."};
    const std::regex word(R"((^|[ (:])[a-z]{3,}\b)");
    const std::vector<std::string> messages = MessageTexts();
    EXPECT_GE(messages.size(), 60u);
    std::string found;
    for (const std::string& text : messages)
        if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x80; }) &&
            std::regex_search(text, word) && !english.count(text))
            found += "\n  " + text;
    EXPECT_EQ("", found) << "messages in English";
}

// The checks above find a misspelt or invented name.
TEST(ReadmeNames, ProgramTextsAreReadAsTheProgramShowsThem) {
    const std::set<std::string> texts = ProgramTexts();
    EXPECT_EQ(1u, texts.count(Utf8(u8"常駐の解除(E)")));
    EXPECT_EQ(1u, texts.count(Utf8(u8"このままの設定でよろしいですか？")));
    EXPECT_EQ(1u, texts.count(Utf8(u8"確定(O)")));
    EXPECT_EQ(1u, texts.count("About Pakico"));
    EXPECT_EQ(0u, texts.count(Utf8(u8"常駐の解除(&E)")));
    EXPECT_EQ(0u, texts.count(Utf8(u8"常駐を解除(E)")));
    EXPECT_EQ(0u, texts.count(Utf8(u8"このままの設定で")));
}
