// A drop-down list of recently used paths with the shell's small icons.
#include "history/HistoryComboBox.h"

#include <shellapi.h>

#include <algorithm>

#include "history/HistoryComboRules.h"
#include "history/HistoryLoad.h"
#include "settings/SettingsStore.h"
#include "util/Errors.h"
#include "util/FileProbe.h"
#include "util/LocaleText.h"
#include "util/PathText.h"
#include "util/ScopedWin.h"
#include "util/SystemLookups.h"

namespace {

static_assert(sizeof(SHFILEINFOA) == 352);
constexpr UINT kSmallIconList = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;                  // 0x4001
constexpr UINT kItemLookup = SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON; // 0x4201

struct ShellInfo {
    HIMAGELIST images = nullptr;
    int icon = 0;
    std::string displayName;
};

// The shell's icon and display name for a path, without any critical-error box.
ShellInfo LookUpShellInfo(const std::string& path) {
    win::ScopedErrorMode quiet;
    bool removable = IsRemovableDrive(path);
    DWORD attributes = removable ? 0 : FileAttributesQuiet(path);
    std::string target = ShellLookupPath(path, removable, attributes != 0, ExecutableFolder());
    SHFILEINFOA info = {};
    ShellInfo out;
    out.images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(target.c_str(), attributes, &info, sizeof info, kItemLookup));
    out.icon = info.iIcon;
    out.displayName = info.szDisplayName;
    return out;
}

// Colours of a device context put back at the end of a scope.
class ScopedColours {
  public:
    explicit ScopedColours(HDC dc)
        : dc_(dc), text_(GetTextColor(dc)), back_(GetBkColor(dc)), mode_(GetBkMode(dc)) {}
    ~ScopedColours() {
        SetTextColor(dc_, text_);
        SetBkColor(dc_, back_);
        SetBkMode(dc_, mode_);
    }
    ScopedColours(const ScopedColours&) = delete;
    ScopedColours& operator=(const ScopedColours&) = delete;

  private:
    HDC dc_;
    COLORREF text_;
    COLORREF back_;
    int mode_;
};

} // namespace

THistoryComboBox::THistoryComboBox()
    : smallIconWidth_(GetSystemMetrics(SM_CXSMICON)),
      smallIconHeight_(GetSystemMetrics(SM_CYSMICON)) {
    SHFILEINFOA info = {};
    systemImages_ = ui::ImageList::Shared(
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &info, sizeof info, kSmallIconList)));
}

std::string THistoryComboBox::KeyPath() const {
    // A key "taken from the root": the platform wants it without the leading separator.
    return Key.substr(std::min(Key.find_first_not_of('\\'), Key.size()));
}

void THistoryComboBox::LoadHistory(bool selectFirst) {
    if (Key.empty())
        return;
    std::string remembered = Text();
    ClearItems();
    TWinRegistry registry;
    if (registry.OpenKey(RootKeyHandle(RootKey), KeyPath(), KEY_READ, false)) {
        std::optional<int> count = registry.ReadInteger("Count");
        if (!count)
            throw ERegistryError(FormatText("'%s' の取得に失敗しました", {"Count"}));
        auto read = [&](const std::string& name) { return registry.ReadString(name); };
        for (const std::string& text :
             LoadHistoryItems(*count, MaxHistoryLength, read, &SameTextAscii))
            AddItem(text);
    }
    if (selectFirst && Count() > 0)
        SetItemIndex(0);
    SetText(remembered);
}

void THistoryComboBox::AddHistory(const std::string& text) {
    if (text.empty())
        return;
    InsertItem(0, text);
    for (int i = Count() - 1; i >= 1; --i)
        if (SameTextAscii(Item(i), text) == 0)
            DeleteItem(i);
    while (Count() > std::max(MaxHistoryLength, 0))
        DeleteItem(Count() - 1);
    if (Count() > 0)
        SetItemIndex(0);
}

void THistoryComboBox::SaveHistory(bool selectFirst) {
    if (Key.empty())
        return;
    DeleteRegistryTree(RootKey, KeyPath());
    AddHistory(Text());
    TWinRegistry registry;
    if (registry.OpenKey(RootKeyHandle(RootKey), KeyPath(), KEY_READ | KEY_WRITE, true)) {
        registry.WriteInteger("Count", Count());
        for (int i = 0; i < Count(); ++i)
            registry.WriteString(std::to_string(i), Item(i));
    }
    if (selectFirst && Count() > 0)
        SetItemIndex(0);
}

void THistoryComboBox::MeasureItem(MEASUREITEMSTRUCT& measure) {
    // One line of text, and room for the icon drawn one pixel below the item's top.
    OwnerDrawComboBox::MeasureItem(measure);
    measure.itemHeight = std::max<UINT>(measure.itemHeight, smallIconHeight_ + 2);
}

void THistoryComboBox::DrawItem(const DRAWITEMSTRUCT& draw) {
    HDC dc = draw.hDC;
    const RECT& r = draw.rcItem;
    bool selected = (draw.itemState & ODS_SELECTED) != 0;
    bool enabled = Enabled();
    int brushColour = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    FillRect(dc, &r, GetSysColorBrush(brushColour));

    if (static_cast<int>(draw.itemID) >= 0) {
        std::string text = NormalizeFolderPath(Item(static_cast<int>(draw.itemID)), '\\');
        ShellInfo info = LookUpShellInfo(text);
        if (ShowsDisplayName(text, info.displayName, FolderExists(text)))
            text = info.displayName;
        if (info.images) {
            ui::ImageList images = ui::ImageList::Shared(info.images);
            if (enabled)
                images.Draw(info.icon, dc, r.left + 3, r.top + 1);
            else
                images.DrawDisabled(info.icon, dc, r.left + 3, r.top + 1);
        }
        ScopedColours colours(dc);
        SetBkColor(dc, GetSysColor(brushColour));
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                                     : selected ? COLOR_HIGHLIGHTTEXT
                                                : COLOR_WINDOWTEXT));
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        TextOutA(dc, r.left + smallIconWidth_ + 8, (r.top + r.bottom - metrics.tmHeight) / 2,
                 text.c_str(), static_cast<int>(text.size()));
    }
    if (draw.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &r);
}
