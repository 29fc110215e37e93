// An image list.
#include "ui/ImageList.h"

#include "ui/Dpi.h"

#include <utility>

namespace ui {

ImageList::ImageList(ImageList&& other) noexcept
    : list_(std::exchange(other.list_, nullptr)), owned_(std::exchange(other.owned_, false)) {}

ImageList& ImageList::operator=(ImageList&& other) noexcept {
    if (this != &other) {
        Reset();
        list_ = std::exchange(other.list_, nullptr);
        owned_ = std::exchange(other.owned_, false);
    }
    return *this;
}

ImageList::~ImageList() {
    Reset();
}

void ImageList::Reset() {
    if (list_ && owned_)
        ImageList_Destroy(list_);
    list_ = nullptr;
    owned_ = false;
}

ImageList ImageList::Shared(HIMAGELIST list) {
    ImageList shared;
    shared.list_ = list;
    shared.owned_ = false;
    return shared;
}

ImageList ImageList::FromBitmap(HBITMAP strip, int width, int height, COLORREF transparent) {
    BITMAP info = {};
    if (width <= 0 || !GetObjectA(strip, sizeof info, &info))
        return {};
    ImageList list(
        ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, info.bmWidth / width, 4));
    if (!list || ImageList_AddMasked(list.Handle(), strip, transparent) < 0)
        return {};
    return list;
}

ImageList ImageList::FromResource(HINSTANCE module, const char* name, int width,
                                  COLORREF transparent) {
    return ImageList(ImageList_LoadImageA(module, name, width, 4, transparent, IMAGE_BITMAP,
                                          LR_CREATEDIBSECTION));
}

ImageList ImageList::FromResource(HINSTANCE module, const char* name, int width, int size,
                                  COLORREF transparent) {
    if (size == width || size <= 0 || width <= 0)
        return FromResource(module, name, width, transparent);
    win::ScopedGdiObject strip(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP info = {};
    if (!strip || !GetObjectA(strip.get(), sizeof info, &info))
        return {};
    const int count = info.bmWidth / width;
    win::ScopedGdiObject scaled(ScaleBitmap(static_cast<HBITMAP>(strip.get()), count * size, size));
    if (!scaled)
        return {};
    return FromBitmap(static_cast<HBITMAP>(scaled.get()), size, size, transparent);
}

int ImageList::Count() const {
    return list_ ? ImageList_GetImageCount(list_) : 0;
}

int ImageList::Width() const {
    int cx = 0, cy = 0;
    if (list_)
        ImageList_GetIconSize(list_, &cx, &cy);
    return cx;
}

int ImageList::Height() const {
    int cx = 0, cy = 0;
    if (list_)
        ImageList_GetIconSize(list_, &cx, &cy);
    return cy;
}

int ImageList::AddIcon(HICON icon) {
    return list_ ? ImageList_ReplaceIcon(list_, -1, icon) : -1;
}

win::ScopedIcon ImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count())
        return nullptr;
    return win::ScopedIcon(ImageList_GetIcon(list_, index, ILD_TRANSPARENT));
}

bool ImageList::Draw(int index, HDC dc, int x, int y) const {
    if (index < 0 || index >= Count())
        return false;
    return ImageList_Draw(list_, index, dc, x, y, ILD_TRANSPARENT) != FALSE;
}

bool ImageList::DrawDisabled(int index, HDC dc, int x, int y) const {
    // The embossed grey of DrawState works with every image list version; the icon it needs
    // lives only for this call.
    win::ScopedIcon icon = GetIcon(index);
    if (!icon)
        return false;
    return DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0, x, y, Width(),
                      Height(), DST_ICON | DSS_DISABLED) != FALSE;
}

} // namespace ui
