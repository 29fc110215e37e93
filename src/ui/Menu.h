// Menus as a model of items (caption, image, state, tag, click handler, sub-items) that is
// turned into a real menu each time it opens and freed again as soon as it closes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "util/ScopedWin.h"

namespace ui {

class Action;
class ImageList;

class MenuItem {
  public:
    using ClickHandler = std::function<void(MenuItem&)>;

    MenuItem() = default;
    explicit MenuItem(std::string caption, ClickHandler onClick = {});
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    // Tells its destruction listeners, leaves its action and frees its sub-items.
    ~MenuItem();

    std::string Caption; // "-" makes a separator
    int ImageIndex = -1; // into the menu's image list; -1 for none
    bool Enabled = true;
    bool Visible = true;
    bool Checked = false;
    int Tag = 0;
    ClickHandler OnClick;

    bool IsSeparator() const { return Caption == "-"; }

    // Sub-items, owned by this item. An item with sub-items opens a submenu.
    int Count() const { return static_cast<int>(items_.size()); }
    MenuItem& Item(int index) const { return *items_.at(static_cast<size_t>(index)); }
    MenuItem* Parent() const { return parent_; }
    int IndexOf(const MenuItem& item) const;
    MenuItem& Add(std::unique_ptr<MenuItem> item);
    MenuItem& Add(std::string caption, ClickHandler onClick = {});
    MenuItem& Insert(int index, std::unique_ptr<MenuItem> item);
    // Takes a sub-item out and hands it to the caller; null when it is not one of ours.
    std::unique_ptr<MenuItem> Remove(MenuItem& item);
    // Frees every sub-item.
    void Clear();

    // An action gives the item its caption, image and state, now and whenever they change,
    // and runs when the item is clicked without a click handler of its own.
    Action* GetAction() const { return action_; }
    void SetAction(Action* action);

    // Runs the click handler (or the action). The handler may rebuild the menu that holds
    // this item, so nothing of the item is touched once it has started.
    void Click();

    // `onDestroyed` runs when this item is freed, until the listener removes itself.
    void AddDestroyListener(const void* listener, std::function<void()> onDestroyed);
    void RemoveDestroyListener(const void* listener);

  private:
    friend class Action;
    MenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> items_;
    Action* action_ = nullptr;
    std::vector<std::pair<const void*, std::function<void()>>> destroyListeners_;
};

// The real menu made from the visible sub-items of one item, alive as long as this object.
// Commands are numbered from 1 in the order the items were added. Pictures are drawn by the
// owner window (HBMMENU_CALLBACK): the text, its mnemonic and the highlight stay the
// platform's own, and no bitmap is made.
class BuiltMenu {
  public:
    BuiltMenu(MenuItem& root, const ImageList* images);
    BuiltMenu(const BuiltMenu&) = delete;
    BuiltMenu& operator=(const BuiltMenu&) = delete;
    // Destroys the menu and every submenu in it.
    ~BuiltMenu();

    HMENU Handle() const { return menu_.get(); }
    // The item of a command, or null.
    MenuItem* ItemFromCommand(UINT command) const;

    // The owner window's answers for menu pictures (WM_MEASUREITEM / WM_DRAWITEM with
    // ODT_MENU). False for an item that no live BuiltMenu made.
    static bool MeasureImage(MEASUREITEMSTRUCT& measure);
    static bool DrawImage(const DRAWITEMSTRUCT& draw);

  private:
    struct Picture {
        const ImageList* images;
        int index;
        bool enabled;
    };
    void Fill(HMENU menu, MenuItem& parent);

    win::ScopedMenu menu_;
    const ImageList* images_;
    std::vector<MenuItem*> commands_;
    std::vector<std::unique_ptr<Picture>> pictures_;
};

class PopupMenu {
  public:
    MenuItem Items;
    const ImageList* Images = nullptr;
    // Runs just before the menu opens, while it can still be changed.
    std::function<void(PopupMenu&)> OnPopup;

    // Opens the menu at a screen point; `owner` must hand owner drawing on (ui::Window and
    // ui::ModalDialog do). After the menu has closed and been freed, the chosen item's click
    // runs; an exception from it is reported. True when an item was chosen.
    bool Popup(int x, int y, HWND owner);
};

} // namespace ui
