// The help file as the build compiled it (PAKICO.CHM), read with its compiler's own listing tool:
// its program page and contents are there, and every topic the settings dialog asks for opens
// the page of the help file about the dialog's page it was asked from.
#include "config/HelpTopics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// What the listing tool writes for its arguments.
std::string Listing(const std::string& arguments) {
    std::string out;
    const std::string command = std::string("'") + PAKICO_CHMLS + "' " + arguments + " 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A copy of the help file in a folder of its own: the tool writes what it extracts beside it.
class HelpFile : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(folder_);
        fs::copy_file(PAKICO_HELP_FILE, file_, fs::copy_options::overwrite_existing);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Quoted(const fs::path& path) const { return "'" + path.string() + "'"; }
    // Its files, by their names inside it ("/pakico.htm").
    std::set<std::string> Names() const {
        std::istringstream lines(Listing("-n list " + Quoted(file_)));
        std::set<std::string> names;
        for (std::string line; std::getline(lines, line);)
            if (!line.empty() && (line[0] == '/' || line[0] == ':'))
                names.insert(line.substr(0, line.find_last_not_of(" \r") + 1));
        return names;
    }
    // Its topic map, as the tool extracts it: each number with its page.
    std::map<unsigned long, std::string> Topics() const {
        Listing("extractalias " + Quoted(file_) + " " + Quoted(folder_ / "PAKICO") + " topic");
        std::istringstream lines(ReadFile(folder_ / "PAKICO.ali"));
        std::map<unsigned long, std::string> topics;
        const std::regex alias(R"(topic(\d+)=(\S+)\s*)");
        std::smatch match;
        for (std::string line; std::getline(lines, line);)
            if (std::regex_match(line, match, alias))
                topics[std::stoul(match[1])] = match[2];
        return topics;
    }
    // A page's text, in the code page of the help file.
    std::string Page(const std::string& name) const {
        Listing("extract " + Quoted(file_) + " /" + name + " " + Quoted(folder_ / name));
        return ReadFile(folder_ / name);
    }

    const fs::path folder_ =
        fs::temp_directory_path() / ("pakico-help-" + std::to_string(getpid()));
    const fs::path file_ = folder_ / "PAKICO.CHM";
};

} // namespace

TEST_F(HelpFile, HoldsTheProgramsPageAndItsContents) {
    const std::set<std::string> names = Names();
    const std::string system = Listing("printsystem " + Quoted(file_));
    for (const char* field :
         {"Default topic from [options]  :", "Contents file from [options]  :"}) {
        const std::size_t at = system.find(field);
        ASSERT_NE(std::string::npos, at) << field << "\n" << system;
        std::string name = system.substr(at + std::strlen(field));
        name = name.substr(0, name.find_first_of(std::string(" \r\n\0", 4)));
        EXPECT_EQ(1u, names.count("/" + name)) << name << " is not in the help file";
    }
    EXPECT_NE(std::string::npos, Page("pakico.htm").find("<title>パキコの使い方</title>"));
}

TEST_F(HelpFile, MapsEveryTopicOfTheSettingsDialogToThePageAboutItsPage) {
    const std::set<std::string> names = Names();
    const std::map<unsigned long, std::string> topics = Topics();
    const char* const tabs[] = {"全般", "圧縮(1)", "圧縮(2)", "解凍(1)", "解凍(2)"};
    std::set<unsigned long> asked;
    for (int page = 0; page < 5; ++page) {
        SCOPED_TRACE(tabs[page]);
        const auto topic = topics.find(kPageHelpTopics[page]);
        ASSERT_NE(topics.end(), topic) << kPageHelpTopics[page] << " is not in the map";
        EXPECT_EQ(1u, names.count("/" + topic->second)) << topic->second;
        EXPECT_NE(std::string::npos,
                  Page(topic->second).find(std::string(": ") + tabs[page] + "</title>"));
        asked.insert(kPageHelpTopics[page]);
    }
    for (const auto& [control, number] : kControlHelpTopics) {
        const int page = (control - IDC_CFG_PAGE_FIRST) / IDC_CFG_PAGE_SPAN;
        ASSERT_TRUE(page >= 0 && page < 5) << control;
        const auto topic = topics.find(number);
        ASSERT_NE(topics.end(), topic) << number << " is not in the map";
        EXPECT_EQ(topics.at(kPageHelpTopics[page]), topic->second) << "control " << control;
        asked.insert(number);
    }
    // The map holds no number that nothing asks for.
    EXPECT_EQ(asked.size(), topics.size());
}
