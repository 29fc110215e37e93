// The archive open dialog's folder history in the registry: read when the dialog shows, written
// when it closes.
#include "opendlg/CabOpenDialog.h"

#include "opendlg/OpenDialogRules.h"
#include "settings/SettingsStore.h"
#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/LocaleText.h"

namespace {

// A value of the wrong type counts as missing: a broken history must not keep the dialog from
// opening.
std::optional<std::string> ReadText(const TWinRegistry& key, const std::string& name) {
    try {
        return key.ReadString(name);
    } catch (const ERegistryError&) {
        return std::nullopt;
    }
}

} // namespace

void TCabOpenDialog::LoadFolderHistory() {
    if (Key.empty())
        return;
    TWinRegistry key;
    if (!key.OpenKey(RootKeyHandle(RootKey), Key, KEY_READ, false))
        return;
    std::optional<int> stored;
    try {
        stored = key.ReadInteger("Count");
    } catch (const ERegistryError&) {
    }
    DWORD values = 0;
    RegQueryInfoKeyA(key.Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                     nullptr, nullptr, nullptr, nullptr);
    // A "Count" that is missing, of the wrong type or larger than the key could hold: the
    // entries that are there, one after another.
    std::optional<int> count = TrustedCount(stored, values);
    int n = count ? *count : PresentRun(values, [&](int i) {
        return ReadText(key, std::to_string(i)).has_value();
    });
    Favorites.clear();
    for (int i = 0; i < n; ++i) {
        std::string entry = ReadText(key, std::to_string(i)).value_or("");
        if (!entry.empty() && FolderExists(ShownFolderText(entry)))
            Favorites.push_back(entry);
    }
    if (Associated && Associated != this)
        Associated->Favorites = Favorites;
}

void TCabOpenDialog::SaveFolderHistory() {
    if (Key.empty())
        return;
    TWinRegistry key;
    if (!key.OpenKey(RootKeyHandle(RootKey), Key, KEY_READ | KEY_WRITE, true))
        return;
    key.WriteInteger("Count", static_cast<int>(Favorites.size()));
    for (std::size_t i = 0; i < Favorites.size(); ++i)
        key.WriteString(std::to_string(i), Favorites[i]);
    if (Associated && Associated != this)
        Associated->Favorites = Favorites;
}

void TCabOpenDialog::CopyFolderHistory(int propagate, const std::vector<std::string>& list) {
    std::vector<std::string> copied = list;
    Favorites.clear();
    for (const std::string& entry : copied)
        AddToFolderHistory(Favorites, entry, false, MaxCount, CompareTextIgnoreCase);
    if (propagate == 1 && Associated && Associated != this)
        Associated->CopyFolderHistory(0, Favorites);
}
