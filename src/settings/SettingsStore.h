// The settings store: typed reads with defaults and writes that create their keys, below
// HKEY_CURRENT_USER\Software\Tavi\Morva. Every call opens its keys, works and closes them again,
// so a value the companion wrote a moment ago is seen at the next read.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "settings/SettingsTable.h"
#include "util/ScopedWin.h"

// A registry key opened by the program, remembering the key path it was opened on.
class TWinRegistry {
  public:
    // Opens `path` below `root` with `access`. With `create` the key, and every missing key
    // above it, is created first. False, and nothing open, when that fails.
    bool OpenKey(HKEY root, const std::string& path, REGSAM access, bool create);
    // Opens `path` below the key `parent` holds; the remembered path joins the two.
    bool OpenKey(const TWinRegistry& parent, const std::string& path, REGSAM access, bool create);
    void CloseKey();

    bool IsOpen() const { return key_ != nullptr; }
    HKEY Handle() const { return key_.get(); }
    // The path the key was opened on, relative to its root.
    const std::string& KeyPath() const { return path_; }

    // A missing value gives nullopt. Data of another type raises ERegistryError
    // "'<name>' のデータ型が不正です"; data larger than the type (more than four bytes for an
    // integer) raises "'<name>' の取得に失敗しました". A string may be REG_SZ or REG_EXPAND_SZ,
    // the latter returned unexpanded, and is cut at its first NUL.
    std::optional<std::string> ReadString(const std::string& name) const;
    std::optional<int> ReadInteger(const std::string& name) const;

    // REG_SZ and REG_DWORD. False when the platform refuses the value.
    bool WriteString(const std::string& name, const std::string& text) const;
    bool WriteInteger(const std::string& name, int value) const;

  private:
    win::ScopedKey key_;
    std::string path_;
};

// Reads below the product key. A missing section or value gives `defaultValue`; the product key
// itself is created when missing, the section is not.
std::string ReadSettingString(const std::string& section, const std::string& name,
                              const std::string& defaultValue);
int ReadSettingInteger(const std::string& section, const std::string& name, int defaultValue);
// Any non-zero REG_DWORD is true.
bool ReadSettingBool(const std::string& section, const std::string& name, bool defaultValue);

// Writes below the product key, creating the section and the keys above it. When the section
// cannot be opened for writing the value is skipped without a message.
void WriteSettingString(const std::string& section, const std::string& name,
                        const std::string& text);
void WriteSettingInteger(const std::string& section, const std::string& name, int value);
// Stored as 0 or 1.
void WriteSettingBool(const std::string& section, const std::string& name, bool value);

// The same through the table's descriptors and their defaults. A string whose default is the
// temporary folder gets the platform's temporary folder without its trailing separator (a drive
// root keeps it).
bool ReadSetting(const settings::BoolSetting& setting);
int ReadSetting(const settings::IntSetting& setting);
std::string ReadSetting(const settings::StringSetting& setting);
// With a caller's own default (the settings dialog reads "HotKey" with an empty one).
std::string ReadSetting(const settings::StringSetting& setting, const std::string& defaultValue);

void WriteSetting(const settings::BoolSetting& setting, bool value);
void WriteSetting(const settings::IntSetting& setting, int value);
void WriteSetting(const settings::StringSetting& setting, const std::string& text);
// A text for a Boolean would silently become true.
void WriteSetting(const settings::BoolSetting& setting, const char* text) = delete;
