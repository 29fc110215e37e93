// A command shared by menu items.
#include "ui/Action.h"

#include <algorithm>

#include "ui/Menu.h"

namespace ui {

Action::~Action() {
    for (MenuItem* item : items_)
        item->action_ = nullptr;
}

void Action::SetCaption(const std::string& caption) {
    caption_ = caption;
    for (MenuItem* item : items_)
        item->Caption = caption;
}

void Action::SetImageIndex(int index) {
    imageIndex_ = index;
    for (MenuItem* item : items_)
        item->ImageIndex = index;
}

void Action::SetEnabled(bool enabled) {
    enabled_ = enabled;
    for (MenuItem* item : items_)
        item->Enabled = enabled;
}

void Action::SetVisible(bool visible) {
    visible_ = visible;
    for (MenuItem* item : items_)
        item->Visible = visible;
}

void Action::SetChecked(bool checked) {
    checked_ = checked;
    for (MenuItem* item : items_)
        item->Checked = checked;
}

bool Action::Execute() {
    if (!OnExecute)
        return false;
    OnExecute(*this);
    return true;
}

void Action::Link(MenuItem& item) {
    items_.push_back(&item);
    item.Caption = caption_;
    item.ImageIndex = imageIndex_;
    item.Enabled = enabled_;
    item.Visible = visible_;
    item.Checked = checked_;
}

void Action::Unlink(MenuItem& item) {
    items_.erase(std::remove(items_.begin(), items_.end(), &item), items_.end());
}

} // namespace ui
