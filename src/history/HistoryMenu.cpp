// A menu of recently used paths.
#include "history/HistoryMenu.h"

#include <algorithm>
#include <exception>

#include "history/HistoryCaptions.h"
#include "history/HistoryLoad.h"
#include "settings/SettingsStore.h"
#include "util/FileProbe.h"
#include "util/LocaleText.h"
#include "util/PathText.h"

namespace {
// Drops the entry of the list that names `path`, wherever the selection handler left it.
void RemoveEntry(THistoryList& list, const std::string& path) {
    list.Delete(list.IndexOf(path));
}
} // namespace

THistoryMenu::~THistoryMenu() {
    if (active_ && !WriteThrough) {
        // Saving only writes, and a write the registry refuses is skipped: nothing to report.
        try {
            SaveHistory();
        } catch (...) {
        }
    }
    if (target_) {
        target_->RemoveDestroyListener(this);
        target_->Clear();
    }
}

void THistoryMenu::AttachLists(THistoryList* hisItems, THistoryList* historyPath) {
    if (!hisItems) {
        ownHisItems_ = std::make_unique<THistoryList>(MakeHistoryList());
        hisItems = ownHisItems_.get();
    }
    if (!historyPath) {
        ownHistoryPath_ = std::make_unique<THistoryList>(MakeHistoryList());
        historyPath = ownHistoryPath_.get();
    }
    hisItems_ = hisItems;
    historyPath_ = historyPath;
}

void THistoryMenu::SetHistoryNum(int count) {
    if (!ListsAttached() || count == historyNum_)
        return;
    historyNum_ = std::clamp(count, 0, MaxHistoryNum);
}

void THistoryMenu::SetTargetMenuItem(ui::MenuItem* item) {
    if (target_ == item)
        return;
    if (target_)
        target_->RemoveDestroyListener(this);
    target_ = item;
    if (target_)
        target_->AddDestroyListener(this, [this] { target_ = nullptr; });
}

void THistoryMenu::SetActive(bool active) {
    if (active == active_)
        return;
    if (active) {
        LoadHistory();
        active_ = target_ != nullptr;
        if (active_)
            BuildMenu();
    } else {
        active_ = false;
        if (!WriteThrough)
            SaveHistory();
        if (target_)
            target_->Clear();
    }
}

void THistoryMenu::LoadList(const std::string& key, THistoryList& list) const {
    TWinRegistry registry;
    if (!registry.OpenKey(RootKeyHandle(RootKey), key, KEY_READ, false))
        return;
    std::optional<int> count = registry.ReadInteger("Count");
    if (!count)
        return;
    std::optional<std::uint32_t> valueCount;
    DWORD values = 0;
    if (RegQueryInfoKeyA(registry.Handle(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        valueCount = values;
    LoadHistoryList(list, *count, valueCount,
                    [&](const std::string& name) { return registry.ReadString(name); });
}

void THistoryMenu::SaveList(const std::string& key, const THistoryList& list) const {
    TWinRegistry registry;
    if (!registry.OpenKey(RootKeyHandle(RootKey), key, KEY_READ | KEY_WRITE, true))
        return;
    registry.WriteInteger("Count", list.Count());
    for (int i = 0; i < list.Count(); ++i)
        registry.WriteString(std::to_string(i), list[i]);
}

void THistoryMenu::LoadHistory() {
    if (!ListsAttached())
        return;
    hisItems_->Clear();
    historyPath_->Clear();
    if (KeyName.empty())
        return;
    LoadList(KeyName, *hisItems_);
    if (PathItem == TPathItem::paBothItem)
        LoadList(PathKey(), *historyPath_);
}

void THistoryMenu::SaveHistory() {
    if (!ListsAttached() || KeyName.empty())
        return;
    SaveList(KeyName, *hisItems_);
    if (PathItem == TPathItem::paBothItem)
        SaveList(PathKey(), *historyPath_);
}

void THistoryMenu::Change(const std::function<void()>& edit) {
    if (!WriteThrough) {
        edit();
        return;
    }
    // A list that cannot be read is not written over.
    LoadHistory();
    edit();
    SaveHistory();
}

void THistoryMenu::BuildMenu() {
    if (!target_ || !ListsAttached())
        return;
    if (!WriteThrough) {
        Populate();
        return;
    }
    // A broken stored value still leaves a menu of what could be read; the error travels on.
    std::exception_ptr failed;
    try {
        LoadHistory();
    } catch (...) {
        failed = std::current_exception();
    }
    Populate();
    if (failed)
        std::rethrow_exception(failed);
}

void THistoryMenu::Populate() {
    target_->Clear();
    if (historyNum_ == 0 || (hisItems_->Count() == 0 && historyPath_->Count() == 0)) {
        target_->Enabled = false;
        return;
    }
    target_->Enabled = true;

    auto onEntry = [this](ui::MenuItem& item) { HistoryItemClick(item); };
    auto shownPaths = [this](const THistoryList& list, int count) {
        std::vector<std::string> shown;
        for (int i = 0; i < count; ++i)
            shown.push_back(ShownHistoryPath(list[i], BasePath));
        return shown;
    };

    int width = 0;
    if (hisItems_->Count() > 0) {
        int n = std::min(hisItems_->Count(), historyNum_);
        width = HistoryCaptionWidth(n);
        std::vector<std::string> captions = NumberedHistoryCaptions(shownPaths(*hisItems_, n));
        for (int i = 0; i < n; ++i)
            target_->Add(captions[static_cast<size_t>(i)], onEntry).Tag = i;
    }

    if (PathItem == TPathItem::paBothItem && historyPath_->Count() > 0) {
        if (hisItems_->Count() > 0)
            target_->Add("-");
        ui::MenuItem& folders = target_->Add(FormatHistoryCaption(width, "", "フォルダで開く(&P)"));
        folders.ImageIndex = OpenPathImageIndex;
        int m = std::min(historyPath_->Count(), historyNum_);
        std::vector<std::string> captions = NumberedHistoryCaptions(shownPaths(*historyPath_, m));
        for (int i = 0; i < m; ++i)
            folders.Add(captions[static_cast<size_t>(i)], onEntry).Tag = FolderTagBase + i;
    }

    if (hisItems_->Count() > 0) {
        target_->Add("-");
        ui::MenuItem& clear =
            target_->Add(FormatHistoryCaption(width, "&D ", "履歴を削除"),
                         [this](ui::MenuItem& item) { DeleteHistoryClick(item); });
        clear.ImageIndex = DeleteHistoryImageIndex;
    }
}

bool THistoryMenu::IsExcluded(const std::string& path) const {
    return !ExcludePath.empty() &&
           SameTextAscii(path.substr(0, ExcludePath.size()), ExcludePath) == 0;
}

void THistoryMenu::AddFile(const std::string& path) {
    if (!ListsAttached() || path.empty() || IsExcluded(path))
        return;
    Change([&] {
        hisItems_->Add(path);
        if (PathItem == TPathItem::paBothItem) {
            // A bare name has no folder to remember.
            std::string folder = NormalizeFolderPath(ExtractFilePath(path), '\\');
            if (!folder.empty())
                historyPath_->Add(folder);
        }
    });
}

void THistoryMenu::AddPath(const std::string& path) {
    if (PathItem != TPathItem::paBothItem || !historyPath_ || path.empty())
        return;
    if (!IsExcluded(path))
        Change([&] { historyPath_->Add(path); });
    BuildMenu();
}

void THistoryMenu::HistoryItemClick(ui::MenuItem& item) {
    if (!OnHistorySelected || !ListsAttached())
        return;
    // The handler may rebuild the menu and free the item: only its tag is used, and first.
    const int tag = item.Tag;
    bool holdAuto = true;
    if (PathItem == TPathItem::paPathOnly) {
        if (tag < 0 || tag >= hisItems_->Count())
            return;
        std::string folder = (*hisItems_)[tag];
        OnHistorySelected(*this, true, folder, holdAuto);
        if (holdAuto) {
            if (FolderExists(folder))
                AddFile(folder);
            else
                Change([&] { RemoveEntry(*hisItems_, folder); });
        }
    } else if (tag < FolderTagBase) {
        if (tag < 0 || tag >= hisItems_->Count())
            return;
        std::string file = (*hisItems_)[tag];
        OnHistorySelected(*this, false, file, holdAuto);
        if (holdAuto) {
            if (FileExistsQuiet(file))
                AddFile(file);
            else
                Change([&] { RemoveEntry(*hisItems_, file); });
        }
    } else {
        int index = tag % FolderTagBase;
        if (index >= historyPath_->Count())
            return;
        std::string folder = (*historyPath_)[index];
        OnHistorySelected(*this, true, folder, holdAuto);
        if (holdAuto) {
            if (FolderExists(folder))
                AddPath(folder);
            else
                Change([&] { RemoveEntry(*historyPath_, folder); });
        }
    }
}

void THistoryMenu::DeleteHistoryClick(ui::MenuItem&) {
    if (!ListsAttached())
        return;
    bool canDelete = true;
    if (OnCanDeleted)
        OnCanDeleted(*this, canDelete);
    if (!canDelete)
        return;
    // Clearing writes the emptied file list with the folder list as stored now.
    if (WriteThrough)
        LoadHistory();
    hisItems_->Clear();
    SaveHistory();
}
