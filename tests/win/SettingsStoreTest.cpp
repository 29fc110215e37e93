// The settings store against the real registry: defaults, key creation, types and sizes.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/SettingsStore.h"
#include "util/Errors.h"

namespace {

const std::string kProduct = settings::ProductKey;

// Deletes a key with everything below it; a missing key is fine.
void DeleteKeyTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> children;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.emplace_back(name, length);
    }
    RegCloseKey(key);
    for (const std::string& child : children)
        DeleteKeyTree(root, path + "\\" + child);
    RegDeleteKeyA(root, path.c_str());
}

bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Stores raw data below the product key, creating the section.
void PutRaw(const std::string& section, const std::string& name, DWORD type, const void* data,
            DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, (kProduct + "\\" + section).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

void PutDword(const std::string& section, const std::string& name, std::uint32_t value) {
    PutRaw(section, name, REG_DWORD, &value, sizeof value);
}

void PutText(const std::string& section, const std::string& name, DWORD type,
             const std::string& text) {
    PutRaw(section, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

struct RawValue {
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::string data;
};

RawValue GetRaw(const std::string& section, const std::string& name) {
    RawValue out;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (kProduct + "\\" + section).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return out;
    std::vector<char> buffer(65536);
    DWORD size = static_cast<DWORD>(buffer.size());
    out.result = RegQueryValueExA(key, name.c_str(), nullptr, &out.type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (out.result == ERROR_SUCCESS)
        out.data.assign(buffer.data(), size);
    RegCloseKey(key);
    return out;
}

std::string Dword(std::uint32_t value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// The message of the ERegistryError that `read` raises, or a note that it raised none.
template <typename Read> std::string ErrorOf(Read read) {
    try {
        read();
    } catch (const ERegistryError& e) {
        return e.what();
    }
    return "(no ERegistryError)";
}

std::string TempFolderWithoutSeparator() {
    char buffer[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    std::string folder(buffer, length);
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();
    return folder;
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DeleteKeyTree(HKEY_CURRENT_USER, kProduct);
        ASSERT_FALSE(KeyExists(kProduct));
    }
    void TearDown() override { DeleteKeyTree(HKEY_CURRENT_USER, kProduct); }
};

TEST_F(SettingsStoreTest, MissingTreeGivesEveryDefault) {
    for (const settings::BoolSetting* s : settings::AllBoolSettings())
        EXPECT_EQ(s->defaultValue, ReadSetting(*s)) << s->section << "\\" << s->name;
    for (const settings::IntSetting* s : settings::AllIntSettings())
        EXPECT_EQ(s->defaultValue, ReadSetting(*s)) << s->section << "\\" << s->name;
    for (const settings::StringSetting* s : settings::AllStringSettings()) {
        std::string expected =
            s->defaultIsTempFolder ? TempFolderWithoutSeparator() : std::string(s->defaultValue);
        EXPECT_EQ(expected, ReadSetting(*s)) << s->section << "\\" << s->name;
    }
    EXPECT_EQ("なし", ReadSetting(settings::HotKey));
    EXPECT_EQ("", ReadSetting(settings::HotKey, settings::HotKeyDialogDefault));
    EXPECT_EQ(-7, ReadSettingInteger("Archive", "LogSize", -7));
    EXPECT_EQ("dflt", ReadSettingString("No\\Such\\Section", "X", "dflt"));
}

TEST_F(SettingsStoreTest, WorkPathDefaultIsAnExistingFolder) {
    std::string folder = ReadSetting(settings::WorkPath);
    ASSERT_FALSE(folder.empty());
    EXPECT_NE('\\', folder.back());
    DWORD attributes = GetFileAttributesA(folder.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SettingsStoreTest, ReadCreatesProductKeyButNotSection) {
    EXPECT_EQ(1024, ReadSetting(settings::LogSize));
    EXPECT_TRUE(KeyExists(kProduct));
    EXPECT_FALSE(KeyExists(kProduct + "\\Archive"));
}

TEST_F(SettingsStoreTest, FirstWriteCreatesProductKeyAndSection) {
    WriteSetting(settings::ToPath, 3);
    ASSERT_TRUE(KeyExists(kProduct + "\\Archive\\Quick\\Add"));
    RawValue raw = GetRaw("Archive\\Quick\\Add", "ToPath");
    ASSERT_EQ(ERROR_SUCCESS, raw.result);
    EXPECT_EQ(DWORD(REG_DWORD), raw.type);
    EXPECT_EQ(Dword(3), raw.data);
    EXPECT_EQ(3, ReadSetting(settings::ToPath));
}

TEST_F(SettingsStoreTest, MissingValueInExistingSectionGivesDefault) {
    WriteSetting(settings::ZipLevel, 9);
    EXPECT_EQ(4, ReadSetting(settings::TarLevel));
    EXPECT_EQ("", ReadSetting(settings::QuickAddFixedPath));
}

TEST_F(SettingsStoreTest, EveryReadSeesTheCurrentValue) {
    PutDword("History", "OpenCount", 3);
    EXPECT_EQ(3, ReadSetting(settings::OpenCount));
    PutDword("History", "OpenCount", 5);
    EXPECT_EQ(5, ReadSetting(settings::OpenCount));
}

TEST_F(SettingsStoreTest, BooleanNonZeroReadsTrueAndIsWrittenAsOne) {
    PutDword("Setting", "SkipFile", 2);
    bool value = ReadSetting(settings::SkipFile);
    EXPECT_TRUE(value);
    WriteSetting(settings::SkipFile, value);
    RawValue raw = GetRaw("Setting", "SkipFile");
    EXPECT_EQ(DWORD(REG_DWORD), raw.type);
    EXPECT_EQ(Dword(1), raw.data);

    PutDword("Setting", "OutReport1", 0);
    EXPECT_FALSE(ReadSetting(settings::OutReport1));
    WriteSettingBool("Setting", "OutReport1", false);
    EXPECT_EQ(Dword(0), GetRaw("Setting", "OutReport1").data);
}

TEST_F(SettingsStoreTest, NegativeIntegerRoundTrip) {
    WriteSetting(settings::PakicoLeft, -120);
    EXPECT_EQ(Dword(0xFFFFFF88u), GetRaw("Dialog\\Pakico", "Left").data);
    EXPECT_EQ(-120, ReadSetting(settings::PakicoLeft));
}

TEST_F(SettingsStoreTest, SectionNamesIgnoreCase) {
    WriteSettingInteger("History", "OpenCount", 3);
    EXPECT_EQ(3, ReadSettingInteger("history", "OpenCount", 10));
    // The history lists live below "history" and "History" alike: one key holds both.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, settings::HistoryArchiveFileKey, 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, settings::HistoryTreeDlgKey, 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, settings::ProductKey, 0, KEY_READ, &key));
    DWORD subkeys = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(1u, subkeys);
    EXPECT_EQ(3, ReadSetting(settings::OpenCount));
}

TEST_F(SettingsStoreTest, ExpandableStringIsReturnedUnexpanded) {
    PutText("Setting", "WorkPath", REG_EXPAND_SZ, "%TEMP%\\x");
    EXPECT_EQ("%TEMP%\\x", ReadSetting(settings::WorkPath));
}

TEST_F(SettingsStoreTest, StringWithoutTerminatorOrEmpty) {
    PutRaw("Archive\\Common", "RecentPath", REG_SZ, "C:\\abc", 6);
    EXPECT_EQ("C:\\abc", ReadSetting(settings::CommonRecentPath));
    PutRaw("Archive\\Common", "RecentPath", REG_SZ, "", 0);
    EXPECT_EQ("", ReadSettingString("Archive\\Common", "RecentPath", "dflt"));
}

TEST_F(SettingsStoreTest, WrongTypeRaisesInvalidTypeMessage) {
    PutText("Archive", "LogSize", REG_SZ, "abc");
    EXPECT_EQ("'LogSize' のデータ型が不正です", ErrorOf([] { ReadSetting(settings::LogSize); }));
    PutDword("Archive\\Quick\\Extract", "FixedPath", 5);
    EXPECT_EQ("'FixedPath' のデータ型が不正です",
              ErrorOf([] { ReadSetting(settings::QuickExtractFixedPath); }));
    PutRaw("Archive\\Quick\\Extract", "Explorer", REG_BINARY, "\1\0\0\0", 4);
    EXPECT_EQ("'Explorer' のデータ型が不正です", ErrorOf([] { ReadSetting(settings::Explorer); }));
    // The message is Shift-JIS: "デ" after "'LogSize' の" is 83 66.
    std::string message = ErrorOf([] { ReadSetting(settings::LogSize); });
    EXPECT_EQ(std::string("\x83\x66", 2), message.substr(12, 2));
}

TEST_F(SettingsStoreTest, DataLargerThanIntegerRaisesGetFailedMessage) {
    PutRaw("Dialog\\Pakico", "Left", REG_BINARY, "\1\0\0\0\0\0\0\0", 8);
    EXPECT_EQ("'Left' の取得に失敗しました", ErrorOf([] { ReadSetting(settings::PakicoLeft); }));
    std::uint64_t wide = 1;
    PutRaw("Dialog\\Pakico", "Top", REG_QWORD, &wide, sizeof wide);
    EXPECT_EQ("'Top' の取得に失敗しました", ErrorOf([] { ReadSetting(settings::PakicoTop); }));
    // Size is judged before type: a text longer than four bytes is too large for an integer.
    PutText("Setting", "SkipFile", REG_SZ, "12345");
    EXPECT_EQ("'SkipFile' の取得に失敗しました", ErrorOf([] { ReadSetting(settings::SkipFile); }));
}

TEST_F(SettingsStoreTest, LongStringRoundTrip) {
    std::string text;
    for (int i = 0; text.size() < 5000; ++i)
        text += static_cast<char>('a' + i % 26);
    WriteSetting(settings::QuickAddFixedPath, text);
    RawValue raw = GetRaw("Archive\\Quick\\Add", "FixedPath");
    EXPECT_EQ(DWORD(REG_SZ), raw.type);
    EXPECT_EQ(text + '\0', raw.data);
    EXPECT_EQ(text, ReadSetting(settings::QuickAddFixedPath));
}

TEST_F(SettingsStoreTest, JapaneseTextRoundTrip) {
    // "表" ends in the byte 0x5C, the same as a backslash.
    const std::string text = "C:\\圧縮ファイル\\表示";
    WriteSetting(settings::QuickExtractFixedPath, text);
    EXPECT_EQ(text, ReadSetting(settings::QuickExtractFixedPath));
    // Stored as real Japanese text, which the companion reads back.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, (kProduct + "\\Archive\\Quick\\Extract").c_str(), 0,
                            KEY_READ, &key));
    wchar_t buffer[64] = {};
    DWORD size = sizeof buffer;
    LONG result = RegQueryValueExW(key, L"FixedPath", nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, result);
    EXPECT_EQ(std::wstring(L"C:\\圧縮ファイル\\表示"), std::wstring(buffer));
}

TEST_F(SettingsStoreTest, RegistryRemembersItsKeyPath) {
    TWinRegistry product;
    ASSERT_TRUE(product.OpenKey(HKEY_CURRENT_USER, kProduct, KEY_READ, true));
    TWinRegistry section;
    EXPECT_FALSE(section.OpenKey(product, "Archive\\Quick", KEY_READ, false));
    ASSERT_TRUE(section.OpenKey(product, "Archive\\Quick", KEY_READ, true));
    EXPECT_EQ(kProduct + "\\Archive\\Quick", section.KeyPath());
    EXPECT_FALSE(section.ReadInteger("Missing").has_value());
}

// A section whose key refuses the program: its values are dropped without a message and the
// other values of the same save are still written. (Wine lets a subkey be created below such a
// key, so only the locked key itself is tried.)
TEST_F(SettingsStoreTest, WriteToLockedSectionIsSkippedSilently) {
    HKEY locked = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, (kProduct + "\\Locked").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &locked, nullptr));
    SECURITY_DESCRIPTOR sd;
    ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    ACL emptyAcl;
    ASSERT_TRUE(InitializeAcl(&emptyAcl, sizeof emptyAcl, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, &emptyAcl, FALSE));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, &sd));

    EXPECT_NO_THROW(WriteSettingString("Locked", "Name", "x"));
    WriteSettingString("Setting", "HotKey", "Ctrl+Alt+L");
    EXPECT_EQ("dflt", ReadSettingString("Locked", "Name", "dflt"));

    // Open the key up again, so that the check and the clean-up can reach it.
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(locked, DACL_SECURITY_INFORMATION, &sd));
    RegCloseKey(locked);
    EXPECT_NE(ERROR_SUCCESS, GetRaw("Locked", "Name").result);
    EXPECT_EQ("Ctrl+Alt+L", ReadSetting(settings::HotKey));
}

} // namespace
