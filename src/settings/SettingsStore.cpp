// The settings store over the registry below HKEY_CURRENT_USER\Software\Tavi\Morva.
#include "settings/SettingsStore.h"

#include "util/PathText.h"
#include "util/SystemLookups.h"

namespace {

// Reads keep to read access; only writes ask for more.
constexpr REGSAM kReadAccess = KEY_READ;
constexpr REGSAM kWriteAccess = KEY_READ | KEY_WRITE;

// Opens the product key (creating it) and then the section: for reading without creating it,
// for writing with every missing key created. False when either cannot be opened.
bool OpenSection(const std::string& section, bool forWriting, TWinRegistry& out) {
    REGSAM access = forWriting ? kWriteAccess : kReadAccess;
    TWinRegistry product;
    if (!product.OpenKey(HKEY_CURRENT_USER, settings::ProductKey, access, true))
        return false;
    return out.OpenKey(product, section, access, forWriting);
}

// The temporary folder, as the default of a path setting: no trailing separator unless it is a
// drive root.
std::string TemporaryFolder() {
    return NormalizeFolderPath(PlatformTempPath());
}

std::string DefaultOf(const settings::StringSetting& setting) {
    return setting.defaultIsTempFolder ? TemporaryFolder() : std::string(setting.defaultValue);
}

} // namespace

std::string ReadSettingString(const std::string& section, const std::string& name,
                              const std::string& defaultValue) {
    TWinRegistry key;
    if (!OpenSection(section, false, key))
        return defaultValue;
    return key.ReadString(name).value_or(defaultValue);
}

int ReadSettingInteger(const std::string& section, const std::string& name, int defaultValue) {
    TWinRegistry key;
    if (!OpenSection(section, false, key))
        return defaultValue;
    return key.ReadInteger(name).value_or(defaultValue);
}

bool ReadSettingBool(const std::string& section, const std::string& name, bool defaultValue) {
    return ReadSettingInteger(section, name, defaultValue ? 1 : 0) != 0;
}

// A value the platform refuses after its section was opened is dropped like one whose section
// could not be opened: a save never stops half-way and never reports.
void WriteSettingString(const std::string& section, const std::string& name,
                        const std::string& text) {
    TWinRegistry key;
    if (OpenSection(section, true, key))
        key.WriteString(name, text);
}

void WriteSettingInteger(const std::string& section, const std::string& name, int value) {
    TWinRegistry key;
    if (OpenSection(section, true, key))
        key.WriteInteger(name, value);
}

void WriteSettingBool(const std::string& section, const std::string& name, bool value) {
    WriteSettingInteger(section, name, value ? 1 : 0);
}

bool ReadSetting(const settings::BoolSetting& setting) {
    return ReadSettingBool(setting.section, setting.name, setting.defaultValue);
}

int ReadSetting(const settings::IntSetting& setting) {
    return ReadSettingInteger(setting.section, setting.name, setting.defaultValue);
}

std::string ReadSetting(const settings::StringSetting& setting) {
    // The temporary folder is looked up only when the value is absent.
    TWinRegistry key;
    std::optional<std::string> value;
    if (OpenSection(setting.section, false, key))
        value = key.ReadString(setting.name);
    return value ? *value : DefaultOf(setting);
}

std::string ReadSetting(const settings::StringSetting& setting, const std::string& defaultValue) {
    return ReadSettingString(setting.section, setting.name, defaultValue);
}

void WriteSetting(const settings::BoolSetting& setting, bool value) {
    WriteSettingBool(setting.section, setting.name, value);
}

void WriteSetting(const settings::IntSetting& setting, int value) {
    WriteSettingInteger(setting.section, setting.name, value);
}

void WriteSetting(const settings::StringSetting& setting, const std::string& text) {
    WriteSettingString(setting.section, setting.name, text);
}
