// A command shared by menu items: caption, image, enabled and visible state, and what it does.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ui {

class MenuItem;

class Action {
  public:
    Action() = default;
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;
    // Its items keep their last caption and state.
    ~Action();

    std::function<void(Action&)> OnExecute;

    const std::string& Caption() const { return caption_; }
    int ImageIndex() const { return imageIndex_; }
    bool Enabled() const { return enabled_; }
    bool Visible() const { return visible_; }
    bool Checked() const { return checked_; }
    // Each change reaches every linked item at once.
    void SetCaption(const std::string& caption);
    void SetImageIndex(int index);
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);
    void SetChecked(bool checked);

    // Runs OnExecute; false when there is none.
    bool Execute();

  private:
    friend class MenuItem;
    void Link(MenuItem& item);
    void Unlink(MenuItem& item);

    std::string caption_;
    int imageIndex_ = -1;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    std::vector<MenuItem*> items_;
};

} // namespace ui
