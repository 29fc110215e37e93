// An image list: equal-sized pictures drawn by index (menu images, the shell's small icons).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "util/ScopedWin.h"

namespace ui {

class ImageList {
  public:
    ImageList() = default;
    // Takes ownership of `list`; it is destroyed with this object.
    explicit ImageList(HIMAGELIST list) : list_(list), owned_(true) {}
    ImageList(ImageList&& other) noexcept;
    ImageList& operator=(ImageList&& other) noexcept;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList();

    // A list the platform shares with every program (the system image list): used, never
    // destroyed.
    static ImageList Shared(HIMAGELIST list);
    // A strip of `width`-pixel pictures from a bitmap; pixels of `transparent` are left out.
    // The bitmap is copied, the caller keeps it. Empty when the platform refuses.
    static ImageList FromBitmap(HBITMAP strip, int width, int height, COLORREF transparent);
    // The same from a bitmap resource of the module.
    static ImageList FromResource(HINSTANCE module, const char* name, int width,
                                  COLORREF transparent);
    // The same with each `width`-pixel square picture resampled to `size` × `size` pixels,
    // nearest neighbour (the transparent colour stays exact); as FromResource when the sizes
    // agree.
    static ImageList FromResource(HINSTANCE module, const char* name, int width, int size,
                                  COLORREF transparent);

    HIMAGELIST Handle() const { return list_; }
    explicit operator bool() const { return list_ != nullptr; }
    int Count() const;
    int Width() const;
    int Height() const;

    // Appends a copy of the icon; its index, or -1.
    int AddIcon(HICON icon);
    // A new icon of one picture, owned by the caller.
    win::ScopedIcon GetIcon(int index) const;

    // Draws one picture with its transparency; false for an index outside the list.
    bool Draw(int index, HDC dc, int x, int y) const;
    // The same in the greyed look of a disabled control.
    bool DrawDisabled(int index, HDC dc, int x, int y) const;

  private:
    void Reset();
    HIMAGELIST list_ = nullptr;
    bool owned_ = false;
};

} // namespace ui
