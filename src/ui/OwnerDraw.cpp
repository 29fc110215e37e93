// Owner drawing handed on from the parent window.
#include "ui/OwnerDraw.h"

#include "ui/ComboBox.h"
#include "ui/Menu.h"

namespace ui {

bool ReflectOwnerDraw(HWND parent, UINT message, LPARAM lParam) {
    if (message == WM_MEASUREITEM) {
        auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure.CtlType == ODT_MENU)
            return BuiltMenu::MeasureImage(measure);
        return OwnerDrawComboBox::ReflectMeasure(parent, measure);
    }
    if (message == WM_DRAWITEM) {
        const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw.CtlType == ODT_MENU)
            return BuiltMenu::DrawImage(draw);
        return OwnerDrawComboBox::ReflectDraw(draw);
    }
    return false;
}

} // namespace ui
