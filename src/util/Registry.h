// A registry key opened by the program, with typed reads that tell a missing value from one of
// the wrong type.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

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
