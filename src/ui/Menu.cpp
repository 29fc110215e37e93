// Menus: the item model, the real menus made from it, and the popup menu.
#include "ui/Menu.h"

#include <algorithm>
#include <set>

#include "ui/Action.h"
#include "ui/ErrorReport.h"
#include "ui/ImageList.h"

namespace ui {

namespace {
// Pictures of the menus that exist right now; the owner window's drawing requests are
// checked against it, because other menus (the shell's) may be owner-drawn too.
std::set<const void*>& LivePictures() {
    static std::set<const void*> pictures;
    return pictures;
}
// While a popup menu of this thread is open, only a click chooses with the right button: the
// release of a press made before the menu opened (the press on the notification-area icon that
// opens its menu) is no click, and a slight slip of the pointer before it must not choose the
// item it ends on. A right click made in the open menu still chooses.
class RightReleaseFilter {
  public:
    RightReleaseFilter()
        : previous_(current_),
          hook_(SetWindowsHookExA(WH_MSGFILTER, &Filter, nullptr, GetCurrentThreadId())) {
        current_ = this;
    }
    ~RightReleaseFilter() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
        current_ = previous_;
    }
    RightReleaseFilter(const RightReleaseFilter&) = delete;
    RightReleaseFilter& operator=(const RightReleaseFilter&) = delete;

  private:
    static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam) {
        if (code == MSGF_MENU && current_ && lParam) {
            const UINT message = reinterpret_cast<const MSG*>(lParam)->message;
            if (message == WM_RBUTTONDOWN || message == WM_RBUTTONDBLCLK)
                current_->pressedInMenu_ = true;
            else if (message == WM_RBUTTONUP && !current_->pressedInMenu_)
                return TRUE; // the menu passes over it
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline RightReleaseFilter* current_ = nullptr;
    RightReleaseFilter* previous_;
    HHOOK hook_;
    bool pressedInMenu_ = false;
};

} // namespace

MenuItem::MenuItem(std::string caption, ClickHandler onClick)
    : Caption(std::move(caption)), OnClick(std::move(onClick)) {}

MenuItem::~MenuItem() {
    // Listeners may remove themselves while they are told.
    auto listeners = std::move(destroyListeners_);
    for (auto& listener : listeners)
        listener.second();
    if (action_)
        action_->Unlink(*this);
    Clear();
}

int MenuItem::IndexOf(const MenuItem& item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == &item)
            return static_cast<int>(i);
    return -1;
}

MenuItem& MenuItem::Add(std::unique_ptr<MenuItem> item) {
    return Insert(Count(), std::move(item));
}

MenuItem& MenuItem::Add(std::string caption, ClickHandler onClick) {
    return Add(std::make_unique<MenuItem>(std::move(caption), std::move(onClick)));
}

MenuItem& MenuItem::Insert(int index, std::unique_ptr<MenuItem> item) {
    if (item->parent_)
        item = item->parent_->Remove(*item);
    index = std::clamp(index, 0, Count());
    item->parent_ = this;
    MenuItem& added = *item;
    items_.insert(items_.begin() + index, std::move(item));
    return added;
}

std::unique_ptr<MenuItem> MenuItem::Remove(MenuItem& item) {
    int index = IndexOf(item);
    if (index < 0)
        return nullptr;
    std::unique_ptr<MenuItem> taken = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    taken->parent_ = nullptr;
    return taken;
}

void MenuItem::Clear() {
    // Taken out first, so that a listener looking at this item sees it already empty.
    auto items = std::move(items_);
    items_.clear();
    items.clear();
}

void MenuItem::SetAction(Action* action) {
    if (action_ == action)
        return;
    if (action_)
        action_->Unlink(*this);
    action_ = action;
    if (action_)
        action_->Link(*this);
}

void MenuItem::Click() {
    if (OnClick) {
        ClickHandler handler = OnClick;
        handler(*this);
    } else if (action_) {
        action_->Execute();
    }
}

void MenuItem::AddDestroyListener(const void* listener, std::function<void()> onDestroyed) {
    RemoveDestroyListener(listener);
    destroyListeners_.emplace_back(listener, std::move(onDestroyed));
}

void MenuItem::RemoveDestroyListener(const void* listener) {
    destroyListeners_.erase(std::remove_if(destroyListeners_.begin(), destroyListeners_.end(),
                                           [&](const auto& l) { return l.first == listener; }),
                            destroyListeners_.end());
}

BuiltMenu::BuiltMenu(MenuItem& root, const ImageList* images)
    : menu_(CreatePopupMenu()), images_(images) {
    if (!menu_)
        return;
    Fill(menu_.get(), root);
    for (const auto& picture : pictures_)
        LivePictures().insert(picture.get());
}

BuiltMenu::~BuiltMenu() {
    for (const auto& picture : pictures_)
        LivePictures().erase(picture.get());
}

void BuiltMenu::Fill(HMENU menu, MenuItem& parent) {
    // A picture takes the check mark's column, so texts line up with or without one.
    MENUINFO style = {};
    style.cbSize = sizeof style;
    style.fMask = MIM_STYLE;
    style.dwStyle = MNS_CHECKORBMP;
    SetMenuInfo(menu, &style);

    for (int i = 0; i < parent.Count(); ++i) {
        MenuItem& item = parent.Item(i);
        if (!item.Visible)
            continue;
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        if (item.IsSeparator()) {
            info.fMask = MIIM_FTYPE;
            info.fType = MFT_SEPARATOR;
            InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
            continue;
        }
        commands_.push_back(&item);
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
        info.wID = static_cast<UINT>(commands_.size());
        info.dwTypeData = const_cast<char*>(item.Caption.c_str());
        info.fState = (item.Enabled ? MFS_ENABLED : MFS_DISABLED) |
                      (item.Checked ? MFS_CHECKED : MFS_UNCHECKED);
        if (images_ && item.ImageIndex >= 0 && item.ImageIndex < images_->Count()) {
            pictures_.push_back(
                std::make_unique<Picture>(Picture{images_, item.ImageIndex, item.Enabled}));
            info.fMask |= MIIM_BITMAP | MIIM_DATA;
            info.hbmpItem = HBMMENU_CALLBACK;
            info.dwItemData = reinterpret_cast<ULONG_PTR>(pictures_.back().get());
        }
        win::ScopedMenu submenu;
        if (item.Count() > 0) {
            submenu.reset(CreatePopupMenu());
            if (submenu) {
                Fill(submenu.get(), item);
                info.fMask |= MIIM_SUBMENU;
                info.hSubMenu = submenu.get();
            }
        }
        // Once inserted, a submenu is destroyed with the menu that holds it.
        if (InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info))
            submenu.release();
    }
}

MenuItem* BuiltMenu::ItemFromCommand(UINT command) const {
    if (command == 0 || command > commands_.size())
        return nullptr;
    return commands_[command - 1];
}

bool BuiltMenu::MeasureImage(MEASUREITEMSTRUCT& measure) {
    const auto* picture = reinterpret_cast<const Picture*>(measure.itemData);
    if (!LivePictures().count(picture))
        return false;
    measure.itemWidth = static_cast<UINT>(picture->images->Width());
    measure.itemHeight = static_cast<UINT>(picture->images->Height());
    return true;
}

bool BuiltMenu::DrawImage(const DRAWITEMSTRUCT& draw) {
    const auto* picture = reinterpret_cast<const Picture*>(draw.itemData);
    if (!LivePictures().count(picture))
        return false;
    const ImageList* images = picture->images;
    const RECT& r = draw.rcItem;
    int x = r.left + (r.right - r.left - images->Width()) / 2;
    int y = r.top + (r.bottom - r.top - images->Height()) / 2;
    bool enabled = picture->enabled && !(draw.itemState & (ODS_DISABLED | ODS_GRAYED));
    if (enabled)
        images->Draw(picture->index, draw.hDC, x, y);
    else
        images->DrawDisabled(picture->index, draw.hDC, x, y);
    return true;
}

bool PopupMenu::Popup(int x, int y, HWND owner) {
    if (OnPopup)
        OnPopup(*this);
    MenuItem* chosen = nullptr;
    {
        BuiltMenu menu(Items, Images);
        if (!menu.Handle())
            return false;
        RightReleaseFilter onlyClicks;
        UINT command = static_cast<UINT>(TrackPopupMenuEx(
            menu.Handle(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y,
            owner, nullptr));
        // Lets a menu opened from the notification area close properly on the next click.
        PostMessageA(owner, WM_NULL, 0, 0);
        chosen = menu.ItemFromCommand(command);
    }
    if (!chosen)
        return false;
    RunGuarded([chosen] { chosen->Click(); });
    return true;
}

} // namespace ui
