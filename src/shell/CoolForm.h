// A picture layer that gives its parent window the picture's outline and lets the user drag
// the whole window by the picture.
#pragma once

#include "ui/Window.h"
#include "util/ScopedWin.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TCoolForm : public ui::Window {
  public:
    TCoolForm() = default;

    // Creates the layer over the whole client area of `parent`, hidden until shown. The
    // layer's window text is its component name ("CoolForm1", ...).
    void CreateOn(HWND parent, const std::string& name = {});

    // Takes ownership of the picture. A new picture drops the region built so far; the window
    // keeps the outline it has until a new one is applied.
    void SetPicture(HBITMAP picture);

    // Reads the stored outline (`Mask2`): a byte count, then RGNDATA. The region is built at
    // once and applied to the parent window; a count of 0 or data the platform refuses leave
    // the window as it is.
    void LoadMask2(const std::uint8_t* stream, std::size_t size);
    // The stored form of the region held; a count of 0 when none is held.
    std::vector<std::uint8_t> SaveMask2() const;
    bool HasRegion() const { return region_ != nullptr; }

    // A tooltip shown while the pointer rests on the picture.
    void SetHint(const std::string& hint);

    // Takes the whole client area of the parent again, after the parent was resized.
    void FillParent();

    void SetVisible(bool visible);
    bool IsVisible() const;

    bool Draggable = true;
    // Right click: the point in the layer's client coordinates; set `handled` to stop the
    // platform's own handling.
    std::function<void(POINT point, bool& handled)> OnContextPopup;
    std::function<void()> OnDblClick;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void Paint();

    HWND parent_ = nullptr;
    win::ScopedGdiObject picture_;
    win::ScopedGdiObject region_;
    HWND tooltip_ = nullptr; // destroyed with the layer, as its owned window
};
