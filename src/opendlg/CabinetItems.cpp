// The places of the archive open dialog.
#include "opendlg/CabinetItems.h"

#include <windows.h>

#include <shlobj.h>

#include "folders/FolderItemData.h"
#include "opendlg/OpenDialogRules.h"
#include "settings/SettingsStore.h"
#include "util/Errors.h"
#include "util/SystemLookups.h"

namespace {

std::string SpecialFolderPath(int csidl) {
    folders::ScopedIdList list;
    char path[MAX_PATH] = "";
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, list.out())) || !list ||
        !SHGetPathFromIDListA(list.get(), path))
        return {};
    return path;
}

std::string Below(const std::string& root, const std::string& sub) {
    return sub.empty() ? root : root + "\\" + sub;
}

// A value that is not there or not of its type reads as its default: one broken place must not
// keep the dialog from opening.
template <typename T, typename Read> T Tolerant(Read read, T fallback) {
    try {
        return read();
    } catch (const ERegistryError&) {
        return fallback;
    }
}

} // namespace

int LoadPlaces(TCabinetItems& items) {
    items.clear();
    TWinRegistry key;
    std::string path = std::string(settings::ProductKey) + "\\" + settings::SectionCabinet;
    std::optional<int> stored;
    DWORD values = 0;
    if (key.OpenKey(HKEY_CURRENT_USER, path, KEY_READ, false)) {
        bool wrongType = false;
        try {
            stored = key.ReadInteger(settings::CabinetCount.name);
        } catch (const ERegistryError&) {
            wrongType = true;
        }
        RegQueryInfoKeyA(key.Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr);
        int count = 0;
        if (std::optional<int> trusted = TrustedCount(stored, values); trusted && !wrongType)
            count = *trusted;
        else if (wrongType || (stored && *stored != 0))
            // A broken count: the places that are there, one after another.
            count = PresentRun(values, [&](int i) {
                return Tolerant([&] { return key.ReadString(settings::CabinetCaptionName(i)); },
                                std::optional<std::string>())
                    .has_value();
            });
        for (int i = 0; i < count; ++i) {
            TCabinetItem item;
            item.Caption = Tolerant(
                [&] {
                    return key.ReadString(settings::CabinetCaptionName(i))
                        .value_or(settings::CabinetCaptionDefault);
                },
                std::string(settings::CabinetCaptionDefault));
            int root = Tolerant(
                [&] {
                    return key.ReadInteger(settings::CabinetRootFolderName(i))
                        .value_or(settings::CabinetRootFolderDefault);
                },
                settings::CabinetRootFolderDefault);
            item.RootFolder = root >= 0 && root <= static_cast<int>(TRootFolder::rfNetwork)
                                  ? static_cast<TRootFolder>(root)
                                  : TRootFolder::rfCurrent;
            item.FolderPath = Tolerant(
                [&] {
                    return key.ReadString(settings::CabinetFolderPathName(i))
                        .value_or(settings::CabinetFolderPathDefault);
                },
                std::string(settings::CabinetFolderPathDefault));
            items.push_back(std::move(item));
        }
        if (!items.empty())
            return static_cast<int>(items.size());
    }
    items.push_back({"デスクトップ", TRootFolder::rfDesktop, "", 0});
    items.push_back({"マイコンピュータ", TRootFolder::rfMyComputer, "", 0});
    if (HasNetworkNeighbourhood())
        items.push_back({"ネットワーク", TRootFolder::rfNetwork, "", 0});
    items.push_back({"マイドキュメント", TRootFolder::rfMyDocument, "", 0});
    return static_cast<int>(items.size());
}

std::string PlacePath(const TCabinetItem& item, const std::string& initialDir) {
    switch (item.RootFolder) {
    case TRootFolder::rfCurrent:
        return item.FolderPath;
    case TRootFolder::rfInitialDir:
        return initialDir + item.FolderPath;
    case TRootFolder::rfApplication:
        return ExecutableFolder() + item.FolderPath;
    case TRootFolder::rfDesktop:
        return Below(SpecialFolderPath(CSIDL_DESKTOP), item.FolderPath);
    case TRootFolder::rfMyDocument:
        return Below(SpecialFolderPath(CSIDL_PERSONAL), item.FolderPath);
    case TRootFolder::rfMyComputer:
        return Below(MyComputerPath, item.FolderPath);
    case TRootFolder::rfNetwork:
        return Below(NetworkPath, item.FolderPath);
    }
    return item.FolderPath;
}

bool IsShellPath(const std::string& path) {
    return path.rfind("::{", 0) == 0;
}
