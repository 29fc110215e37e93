// The settings store: typed reads with defaults and writes that create their keys, below
// HKEY_CURRENT_USER\Software\Tavi\Morva. Every call opens its keys, works and closes them again,
// so a value the companion wrote a moment ago is seen at the next read.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "settings/SettingsTable.h"
#include "util/Registry.h"

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
