// A menu of recently used paths: one or two history lists kept under a registry key, shown as
// numbered entries in the submenu of a menu item, with a folder list and a clear item.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "history/HistoryList.h"
#include "history/HistoryRegistry.h"
#include "ui/Menu.h"

// What the primary list holds, and whether a folder list goes with it.
enum class TPathItem { paFileOnly, paBothItem, paPathOnly };

class THistoryMenu {
  public:
    // An entry was chosen. `holdAuto` starts true; left true, the entry then moves to the front
    // when it still exists and is dropped when it does not.
    using HistorySelectedEvent = std::function<void(THistoryMenu& sender, bool isPath,
                                                    const std::string& fileName, bool& holdAuto)>;
    // Asked before the history is cleared; `canDelete` starts true.
    using CanDeletedEvent = std::function<void(THistoryMenu& sender, bool& canDelete)>;

    static constexpr int MaxHistoryNum = THistoryList::Capacity;
    static constexpr int FolderTagBase = 100;

    THistoryMenu() = default;
    THistoryMenu(const THistoryMenu&) = delete;
    THistoryMenu& operator=(const THistoryMenu&) = delete;
    // An active menu saves its lists first. Its entries leave the target item, and the lists
    // it made itself go with it.
    ~THistoryMenu();

    // Attaches the primary and the folder list. A list given is used and not owned; for a
    // null one the menu makes its own.
    void AttachLists(THistoryList* hisItems, THistoryList* historyPath);
    THistoryList* HisItems() const { return hisItems_; }
    THistoryList* HistoryPath() const { return historyPath_; }

    std::string Name; // tells the menus apart in a shared handler
    std::string KeyName;
    TRootKey RootKey = TRootKey::hkCurrentUser;
    TPathItem PathItem = TPathItem::paBothItem;
    std::string ExcludePath;
    std::string BasePath;
    int OpenPathImageIndex = 0;
    int DeleteHistoryImageIndex = 0;
    HistorySelectedEvent OnHistorySelected;
    CanDeletedEvent OnCanDeleted;
    // The lists are shared with other programs that write the same keys (the companion, the
    // open dialog): each build reads them first, each change of this menu's own (a use, a
    // vanished entry, clearing) reads them, changes them and writes them back at once, and
    // nothing is written when the menu goes.
    bool WriteThrough = false;

    int HistoryNum() const { return historyNum_; }
    // Once the lists are attached: the value, at most 32 (and not below 0).
    void SetHistoryNum(int count);

    ui::MenuItem* TargetMenuItem() const { return target_; }
    // The menu forgets the item by itself when the item is freed.
    void SetTargetMenuItem(ui::MenuItem* item);

    bool Active() const { return active_; }
    // On: loads the lists and, with a target item, builds the submenu (without one it stays
    // off). Off: saves the lists and frees the submenu's items.
    void SetActive(bool active);

    void LoadHistory();
    void SaveHistory();
    void BuildMenu();
    void AddFile(const std::string& path);
    void AddPath(const std::string& path);

    // The click handlers of the numbered entries (by their tags) and of the clear item.
    void HistoryItemClick(ui::MenuItem& item);
    void DeleteHistoryClick(ui::MenuItem& item);

  private:
    bool ListsAttached() const { return hisItems_ && historyPath_; }
    // Runs one change of the lists; with WriteThrough on the fresh lists, written at once.
    void Change(const std::function<void()>& edit);
    void Populate();
    bool IsExcluded(const std::string& path) const;
    void LoadList(const std::string& key, THistoryList& list) const;
    void SaveList(const std::string& key, const THistoryList& list) const;
    std::string PathKey() const { return KeyName + "\\Path"; }

    std::unique_ptr<THistoryList> ownHisItems_;
    std::unique_ptr<THistoryList> ownHistoryPath_;
    THistoryList* hisItems_ = nullptr;
    THistoryList* historyPath_ = nullptr;
    int historyNum_ = 8;
    ui::MenuItem* target_ = nullptr;
    bool active_ = false;
};
