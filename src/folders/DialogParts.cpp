// Fonts and hints of the folder dialogs.
#include "folders/DialogParts.h"

#include "util/DpiScale.h"

#include <commctrl.h>

#include "util/SystemLookups.h"

namespace folders {

win::ScopedGdiObject ApplyIconFaceFont(HWND dialog, bool bold, int dpi) {
    LOGFONTA face = {};
    face.lfHeight = -ScaleForDpi(12, dpi);
    face.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    face.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(face.lfFaceName, IconFont().lfFaceName, LF_FACESIZE);
    win::ScopedGdiObject font(CreateFontIndirectA(&face));
    if (dialog)
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    return font;
}

HWND CreateHintWindow(HWND dialog) {
    return CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                           0, 0, dialog, nullptr, GetModuleHandleA(nullptr), nullptr);
}

namespace {

TOOLINFOA ToolOf(HWND control, const std::string& text) {
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(text.c_str());
    return tool;
}

} // namespace

void AddHint(HWND hints, HWND control, const std::string& text) {
    TOOLINFOA tool = ToolOf(control, text);
    SendMessageA(hints, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void SetHint(HWND hints, HWND control, const std::string& text) {
    TOOLINFOA tool = ToolOf(control, text);
    SendMessageA(hints, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace folders
