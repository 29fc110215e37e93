// The settings store over the registry below HKEY_CURRENT_USER\Software\Tavi\Morva.
#include "settings/SettingsStore.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "util/Errors.h"
#include "util/Mbcs.h"
#include "util/PathText.h"
#include "util/SystemLookups.h"

namespace {

[[noreturn]] void RaiseWrongType(const std::string& name) {
    throw ERegistryError(FormatText("'%s' のデータ型が不正です", {name}));
}

[[noreturn]] void RaiseGetFailed(const std::string& name) {
    throw ERegistryError(FormatText("'%s' の取得に失敗しました", {name}));
}

bool IsString(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

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

bool TWinRegistry::OpenKey(HKEY root, const std::string& path, REGSAM access, bool create) {
    CloseKey();
    HKEY key = nullptr;
    LONG result = create ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           access, nullptr, &key, nullptr)
                         : RegOpenKeyExA(root, path.c_str(), 0, access, &key);
    if (result != ERROR_SUCCESS)
        return false;
    key_.reset(key);
    path_ = path;
    return true;
}

bool TWinRegistry::OpenKey(const TWinRegistry& parent, const std::string& path, REGSAM access,
                           bool create) {
    if (!parent.IsOpen() || !OpenKey(parent.Handle(), path, access, create))
        return false;
    if (path.empty())
        path_ = parent.KeyPath();
    else if (!parent.KeyPath().empty())
        path_ = parent.KeyPath() + "\\" + path;
    return true;
}

void TWinRegistry::CloseKey() {
    key_.reset();
    path_.clear();
}

std::optional<std::string> TWinRegistry::ReadString(const std::string& name) const {
    // The companion may rewrite the value between asking its size and reading it; ask again
    // until the buffer holds it.
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<char> data;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (!IsString(type))
            RaiseWrongType(name);
        data.assign(size + 1, '\0');
        size = static_cast<DWORD>(data.size());
        result = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        if (result == ERROR_SUCCESS) {
            if (!IsString(type))
                RaiseWrongType(name);
            return std::string(data.data(), strnlen(data.data(), size));
        }
    }
    if (result == ERROR_FILE_NOT_FOUND)
        return std::nullopt;
    RaiseGetFailed(name);
}

std::optional<int> TWinRegistry::ReadInteger(const std::string& name) const {
    // One query into a buffer of the integer's size: the platform refuses anything larger.
    std::uint32_t value = 0;
    DWORD type = REG_NONE;
    DWORD size = sizeof value;
    LONG result = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(&value), &size);
    if (result == ERROR_FILE_NOT_FOUND)
        return std::nullopt;
    if (result != ERROR_SUCCESS)
        RaiseGetFailed(name);
    if (type != REG_DWORD)
        RaiseWrongType(name);
    return static_cast<int>(value);
}

bool TWinRegistry::WriteString(const std::string& name, const std::string& text) const {
    return RegSetValueExA(key_.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool TWinRegistry::WriteInteger(const std::string& name, int value) const {
    auto data = static_cast<std::uint32_t>(value);
    return RegSetValueExA(key_.get(), name.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

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
