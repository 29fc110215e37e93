// Shared by the history tests under Wine: lists written to and read from the real registry,
// and the icon window's menu of recent archives set up over a clean settings tree.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "history/HistoryMenu.h"
#include "settings/SettingsTable.h"
#include "ui/Menu.h"

namespace history_test {

inline const std::string kFileKey = settings::HistoryArchiveFileKey;
inline const std::string kPathKey = settings::HistoryArchivePathKey;

inline void PutList(const std::string& key, const std::vector<std::string>& values, int count) {
    HKEY h = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &h, nullptr));
    DWORD n = static_cast<DWORD>(count);
    RegSetValueExA(h, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof n);
    for (size_t i = 0; i < values.size(); ++i)
        RegSetValueExA(h, std::to_string(i).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(values[i].c_str()),
                       static_cast<DWORD>(values[i].size() + 1));
    RegCloseKey(h);
}

// Values "0" .. Count-1 as stored; a missing one reads as "<none>".
inline std::vector<std::string> GetList(const std::string& key) {
    std::vector<std::string> out;
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return {"<no key>"};
    DWORD count = 0, size = sizeof count;
    RegQueryValueExA(h, "Count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &size);
    for (DWORD i = 0; i < count; ++i) {
        char text[1024] = {};
        DWORD length = sizeof text;
        bool found = RegQueryValueExA(h, std::to_string(i).c_str(), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(text), &length) == ERROR_SUCCESS;
        out.push_back(found ? std::string(text) : "<none>");
    }
    RegCloseKey(h);
    return out;
}

inline bool HasValue(const std::string& key, const std::string& name) {
    HKEY h = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    bool found =
        RegQueryValueExA(h, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(h);
    return found;
}

inline std::vector<std::string> Paths(const char* pattern, int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i) {
        char text[256];
        wsprintfA(text, pattern, i);
        out.emplace_back(text);
    }
    return out;
}

class HistoryMenuFixture : public ::testing::Test {
  protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey); }

    // The menu of recent archives as the icon window sets it up.
    std::unique_ptr<THistoryMenu> NewMenu(TPathItem kind = TPathItem::paBothItem) {
        auto menu = std::make_unique<THistoryMenu>();
        menu->AttachLists(&files, &folders);
        menu->OpenPathImageIndex = 11;
        menu->DeleteHistoryImageIndex = 5;
        menu->Name = "HisArchReOpen1";
        menu->SetHistoryNum(10);
        menu->PathItem = kind;
        menu->KeyName = kFileKey;
        menu->SetTargetMenuItem(&target);
        return menu;
    }

    THistoryList files = MakeHistoryList();
    THistoryList folders = MakeHistoryList();
    ui::MenuItem root;
    ui::MenuItem& target = root.Add("開き直す(&R)");
};

} // namespace history_test
