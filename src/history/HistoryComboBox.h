// A drop-down list of recently used paths stored under a registry key, each item drawn with
// the shell's small icon of its path.
#pragma once

#include <string>

#include "history/HistoryRegistry.h"
#include "ui/ComboBox.h"
#include "ui/ImageList.h"

class THistoryComboBox : public ui::OwnerDrawComboBox {
  public:
    THistoryComboBox();

    // The list's key, taken from the root ("\" + Key: a leading separator is allowed).
    std::string Key;
    TRootKey RootKey = TRootKey::hkCurrentUser;
    // The most entries kept and loaded.
    int MaxHistoryLength = 9;

    // Reads the list, keeping the box's text; a key without "Count" raises ERegistryError.
    // With `selectFirst` the first item is selected afterwards when there is one.
    void LoadHistory(bool selectFirst);
    // Rewrites the key from scratch (no stale values), with the box's text on top.
    void SaveHistory(bool selectFirst);
    // Puts `text` at the top, drops its other spellings and what lies beyond the maximum,
    // and selects it.
    void AddHistory(const std::string& text);

    // The shell's small-icon list the items are drawn from.
    const ui::ImageList& Images() const { return systemImages_; }

  protected:
    void MeasureItem(MEASUREITEMSTRUCT& measure) override;
    void DrawItem(const DRAWITEMSTRUCT& draw) override;

  private:
    std::string KeyPath() const;

    int smallIconWidth_;
    int smallIconHeight_;
    // The shell's small-icon list: shared with the whole system, never destroyed.
    ui::ImageList systemImages_;
};
