// Registry keys opened by the program and the typed reads and writes of their values.
#include "util/Registry.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "util/Errors.h"

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
