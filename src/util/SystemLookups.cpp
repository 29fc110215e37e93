// What the program asks the system.
#include "util/SystemLookups.h"

#include "util/CodePagePath.h"

#include <shlobj.h>

#include <cstdlib>
#include <vector>

#include "util/Errors.h"
#include "util/Formatting.h"
#include "util/Mbcs.h"
#include "util/PathText.h"
#include "util/Registry.h"

namespace {

constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUIGothic = "MS UI Gothic";

const char* ShellFolderValueName(TShellFolder folder) {
    switch (folder) {
    case sfDesktop:
        return "Desktop";
    case sfFavorites:
        return "Favorites";
    case sfFonts:
        return "Fonts";
    case sfPersonal:
        return "Personal";
    case sfPrograms:
        return "Programs";
    case sfRecent:
        return "Recent";
    case sfSendTo:
        return "SendTo";
    case sfStartMenu:
        return "Start Menu";
    case sfStartup:
        return "Startup";
    case sfTemplates:
        return "Templates";
    case sfNone:
        break;
    }
    return nullptr;
}

// A locale string of the user, sized by asking first.
std::string UserLocaleText(LCTYPE type) {
    int size = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    size = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text.data(), size);
    text.resize(size > 0 ? static_cast<std::size_t>(size - 1) : 0);
    return text;
}

int CALLBACK NoteUIGothic(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM found) {
    if (std::string(font->lfFaceName) == kUIGothic)
        *reinterpret_cast<bool*>(found) = true;
    return 1;
}

} // namespace

std::string FormatByteSize(double bytes) {
    std::string separator = UserLocaleText(LOCALE_SDECIMAL);
    return FormatByteSizeWith(bytes, separator.empty() ? "." : separator);
}

std::string FormatCount(long long number) {
    // The user's currency format spelled out field by field: the same as the default format, but
    // Wine reads the default grouping "3;0" as if only the last three digits were grouped.
    std::string decimal = UserLocaleText(LOCALE_SMONDECIMALSEP);
    std::string thousand = UserLocaleText(LOCALE_SMONTHOUSANDSEP);
    std::string symbol = UserLocaleText(LOCALE_SCURRENCY);
    CURRENCYFMTA format{};
    format.NumDigits = static_cast<UINT>(std::atoi(UserLocaleText(LOCALE_ICURRDIGITS).c_str()));
    format.LeadingZero = static_cast<UINT>(std::atoi(UserLocaleText(LOCALE_ILZERO).c_str()));
    format.Grouping = GroupingFromLocaleText(UserLocaleText(LOCALE_SMONGROUPING));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = static_cast<UINT>(std::atoi(UserLocaleText(LOCALE_INEGCURR).c_str()));
    format.PositiveOrder = static_cast<UINT>(std::atoi(UserLocaleText(LOCALE_ICURRENCY).c_str()));
    format.lpCurrencySymbol = symbol.data();

    // Wine answers the size question too small, so the buffer grows until the text fits.
    const std::string digits = std::to_string(number);
    std::size_t capacity = 32 + digits.size() * (1 + thousand.size()) + symbol.size() +
                           decimal.size() + format.NumDigits;
    std::string text;
    for (int attempt = 0;; ++attempt) {
        text.assign(capacity, '\0');
        int length = GetCurrencyFormatA(LOCALE_USER_DEFAULT, 0, digits.c_str(), &format,
                                        text.data(), static_cast<int>(text.size()));
        if (length > 0) {
            text.resize(static_cast<std::size_t>(length - 1));
            break;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || attempt == 4)
            return digits;
        capacity *= 2;
    }
    return WithoutFirstChar(text);
}

std::string GetTempFolder() {
    return RemoveTrailingSeparator(PlatformTempPath());
}

std::string PlatformTempPath() {
    // GetTempPathA would give a name the code page lacks characters for by look-alikes: the
    // name of some other folder, or of none.
    return CodePagePath(WideTempPath()).value_or(std::string());
}

std::wstring WideTempPath() {
    // Asked with too small a buffer, GetTempPathW answers the size it needs (NUL included);
    // the TMP variable may change in between, so ask again until the answer fits.
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length == 0)
            return {};
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
    return {};
}

std::string ExecutablePath() {
    // A program path may be longer than MAX_PATH; grow the buffer until the name fits.
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size() - 1)
            return std::string(buffer.data(), length);
        if (buffer.size() > 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableFolder() {
    return ExtractFilePath(ExecutablePath());
}

std::string GetSpecialFolder(TShellFolder folder) {
    const char* name = ShellFolderValueName(folder);
    if (!name)
        return {};
    TWinRegistry key;
    if (!key.OpenKey(HKEY_CURRENT_USER, kShellFoldersKey, KEY_READ, false))
        return {};
    try {
        return key.ReadString(name).value_or(std::string());
    } catch (const EAppError&) {
        return {};
    }
}

std::string SpecialFolderFile(TShellFolder folder, const std::string& name) {
    if (folder == sfNone)
        return {};
    // Without the folder there is no file: "\\name" would be one at the root of the current
    // drive, which the caller might test for and delete.
    std::string path = GetSpecialFolder(folder);
    if (path.empty())
        return {};
    return path + "\\" + mbcs::ExtractFileName(name);
}

bool HasNetworkNeighbourhood() {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_NETWORK, &items)) || !items)
        return false;
    CoTaskMemFree(items);
    return true;
}

bool IsIconFontUIGothic() {
    bool installed = false;
    HDC dc = GetDC(nullptr);
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, kUIGothic, LF_FACESIZE);
    EnumFontFamiliesExA(dc, &wanted, NoteUIGothic, reinterpret_cast<LPARAM>(&installed), 0);
    ReleaseDC(nullptr, dc);
    return installed && std::string(IconFont().lfFaceName) == kUIGothic;
}

RECT GetWorkArea() {
    RECT area{};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return area;
}

LOGFONTA IconFont() {
    LOGFONTA font{};
    if (!SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}
