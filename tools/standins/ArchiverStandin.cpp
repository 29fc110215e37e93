// Stand-in for one archiver library (its own file name says which): answers Pakico's calls as
// its control file "<dll>.ctl" says, checks signatures shallowly, and logs every call to
// "<dll>.log" so tests can see what was asked.
#include <windows.h>

#include <cstdlib>
#include <cstring>

// Every library is built from this one source but exports only its own entry points through
// its .def file. The libraries whose .def exports nothing would otherwise have the linker
// export every global symbol, so keep the entry points out of automatic exporting.
__asm__(".section .drectve\n\t.ascii \" -exclude-symbols:"
        "UnlhaGetRunning@0,UnlhaGetCursorMode@0,UnlhaSetCursorMode@4,UnlhaCheckArchive@8,"
        "UnZipGetVersion@0,UnZipGetRunning@0,UnZipCheckArchive@8,ZipGetRunning@0,"
        "CabGetRunning@0,CabCheckArchive@8,TarGetVersion@0,TarGetRunning@0,TarCheckArchive@8,"
        "UnarjGetRunning@0,UnarjGetCursorMode@0,UnarjSetCursorMode@4,UnarjCheckArchive@8,"
        "UnrarGetRunning@0,UnrarCheckArchive@8\"\n\t.text");

namespace {

HMODULE g_module = nullptr;
int g_cursorMode = 0;

// How far into a self-extractor ("MZ...") the signature is looked for.
constexpr DWORD kSearchLimit = 1024 * 1024;
constexpr DWORD kControlLimit = 64 * 1024;

enum class Family { None, Lzh, Zip, Cab, Tar, Arj, Rar };

// The library's own file name, without its folder and extension, says which one it is.
Family OwnFamily() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(g_module, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return Family::None;
    char* name = path;
    for (char* p = path; *p; ++p)
        if (*p == '\\' || *p == '/')
            name = p + 1;
    if (char* dot = std::strrchr(name, '.'))
        *dot = '\0';
    static constexpr struct {
        const char* name;
        Family family;
    } kFamilies[] = {{"Unlha32", Family::Lzh}, {"Unzip32", Family::Zip}, {"cab32", Family::Cab},
                     {"Tar32", Family::Tar},   {"Unarj32j", Family::Arj}, {"unrar32", Family::Rar}};
    for (const auto& known : kFamilies)
        if (lstrcmpiA(name, known.name) == 0)
            return known.family;
    return Family::None;
}

// This library's own path with a suffix (".ctl", ".log"); false when it does not fit.
bool OwnFileWith(const char* suffix, char* out, DWORD size) {
    DWORD n = GetModuleFileNameA(g_module, out, size);
    DWORD extra = static_cast<DWORD>(std::strlen(suffix));
    if (n == 0 || n + extra + 1 > size)
        return false;
    std::memcpy(out + n, suffix, extra + 1);
    return true;
}

// A block read from the start of a file, zero-terminated; data is null when unreadable.
// Freed explicitly: this library stays free of the C++ runtime, so that the libraries that
// export nothing do not end up exporting the runtime's symbols instead.
struct Block {
    char* data;
    DWORD size;
};

Block ReadHead(const char* path, DWORD limit) {
    Block block = {nullptr, 0};
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return block;
    block.data = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, limit + 1));
    if (block.data != nullptr) {
        DWORD got = 0;
        while (block.size < limit &&
               ReadFile(h, block.data + block.size, limit - block.size, &got, nullptr) && got > 0)
            block.size += got;
        block.data[block.size] = '\0';
    }
    CloseHandle(h);
    return block;
}

void FreeBlock(Block& block) {
    if (block.data != nullptr)
        HeapFree(GetProcessHeap(), 0, block.data);
    block.data = nullptr;
    block.size = 0;
}

// The control file, read afresh at every call so a test can change it between calls.
Block ReadControl() {
    char path[MAX_PATH * 2];
    if (!OwnFileWith(".ctl", path, sizeof path))
        return Block{nullptr, 0};
    return ReadHead(path, kControlLimit);
}

// Calls visit(value, length) for every "key=value" line with this key until it returns true.
template <class Visit> bool ForEachValue(const Block& control, const char* key, Visit visit) {
    const DWORD keyLength = static_cast<DWORD>(std::strlen(key));
    DWORD start = 0;
    while (control.data != nullptr && start < control.size) {
        DWORD end = start;
        while (end < control.size && control.data[end] != '\n')
            ++end;
        DWORD lineEnd = end;
        if (lineEnd > start && control.data[lineEnd - 1] == '\r')
            --lineEnd;
        if (lineEnd - start > keyLength && std::memcmp(control.data + start, key, keyLength) == 0 &&
            control.data[start + keyLength] == '=') {
            const DWORD valueStart = start + keyLength + 1;
            if (visit(control.data + valueStart, lineEnd - valueStart))
                return true;
        }
        start = end + 1;
    }
    return false;
}

int IntValue(const Block& control, const char* key, int fallback) {
    int result = fallback;
    ForEachValue(control, key, [&result](const char* value, DWORD length) {
        char digits[32];
        if (length >= sizeof digits)
            length = sizeof digits - 1;
        std::memcpy(digits, value, length);
        digits[length] = '\0';
        result = static_cast<int>(std::strtol(digits, nullptr, 0));
        return true;
    });
    return result;
}

bool ValueIs(const Block& control, const char* key, const char* expected) {
    const DWORD expectedLength = static_cast<DWORD>(std::strlen(expected));
    bool found = false, same = false;
    ForEachValue(control, key, [&](const char* value, DWORD length) {
        found = true;
        same = length == expectedLength && std::memcmp(value, expected, length) == 0;
        return true;
    });
    return found && same;
}

// Folds ASCII letters only; the trail byte of a double-byte character is compared as it is,
// so "ア" (83 41) never matches "ヂ" (83 61).
bool SameAsciiFolded(const char* a, DWORD aLength, const char* b) {
    const DWORD n = static_cast<DWORD>(std::strlen(b));
    if (aLength != n)
        return false;
    for (DWORD i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (IsDBCSLeadByte(x) && i + 1 < n) {
            if (x != y || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// True when an "accept=<path>" line names this path.
bool Accepts(const Block& control, const char* path) {
    return ForEachValue(control, "accept", [path](const char* value, DWORD length) {
        return SameAsciiFolded(value, length, path);
    });
}

// Appends text to a line buffer of `size` bytes, cutting it short rather than overflowing.
void Append(char* line, DWORD size, const char* text) {
    DWORD used = static_cast<DWORD>(std::strlen(line));
    DWORD n = static_cast<DWORD>(std::strlen(text));
    if (used + n + 1 > size)
        n = size - used - 1;
    std::memcpy(line + used, text, n);
    line[used + n] = '\0';
}

void AppendInt(char* line, DWORD size, int value) {
    char digits[16];
    char* p = digits + sizeof digits;
    *--p = '\0';
    unsigned magnitude =
        value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--p = '-';
    Append(line, size, p);
}

int ControlInt(const char* key, int fallback);

// Appends one line to the log: the entry point's name, then its arguments each after a TAB,
// then CR LF. Opened and closed per call so other processes can read it at any time. A
// control file saying "log=0" keeps the log from growing while a person tries the program.
void LogCall(const char* entry, const char* path, bool hasInt, int value) {
    if (ControlInt("log", 1) == 0)
        return;
    char logPath[MAX_PATH * 2];
    if (!OwnFileWith(".log", logPath, sizeof logPath))
        return;
    const DWORD size = static_cast<DWORD>(std::strlen(entry) + (path ? std::strlen(path) : 0) + 32);
    char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size));
    if (line == nullptr)
        return;
    Append(line, size, entry);
    if (path != nullptr) {
        Append(line, size, "\t");
        Append(line, size, path);
    }
    if (hasInt) {
        Append(line, size, "\t");
        AppendInt(line, size, value);
    }
    Append(line, size, "\r\n");
    HANDLE h = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(h, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
        CloseHandle(h);
    }
    HeapFree(GetProcessHeap(), 0, line);
}

bool BytesAt(const Block& data, DWORD offset, const char* bytes, DWORD n) {
    return offset + n <= data.size && std::memcmp(data.data + offset, bytes, n) == 0;
}

// LZH header: method id "-l??-" two bytes into the header ("-lh5-", "-lh0-", "-lhd-", ...).
bool LzhHeaderAt(const Block& data, DWORD offset) {
    return offset + 7 <= data.size && data.data[offset + 2] == '-' &&
           data.data[offset + 3] == 'l' && data.data[offset + 6] == '-';
}

bool SignatureAt(Family family, const Block& data, DWORD offset) {
    switch (family) {
    case Family::Lzh:
        return LzhHeaderAt(data, offset);
    case Family::Zip:
        return BytesAt(data, offset, "PK\x03\x04", 4) || BytesAt(data, offset, "PK\x05\x06", 4);
    case Family::Cab:
        return BytesAt(data, offset, "MSCF\0\0\0\0", 8);
    case Family::Arj:
        return BytesAt(data, offset, "\x60\xEA", 2);
    case Family::Rar:
        return BytesAt(data, offset, "Rar!\x1A\x07", 6);
    case Family::Tar:
        return BytesAt(data, offset + 257, "ustar", 5) || BytesAt(data, offset, "\x1F\x8B", 2) ||
               BytesAt(data, offset, "BZh", 3) || BytesAt(data, offset, "\x1F\x9D", 2);
    case Family::None:
        break;
    }
    return false;
}

// Inside a self-extractor only the method id of an LZH header ("-lh?-") is looked for.
bool EmbeddedSignatureAt(Family family, const Block& data, DWORD offset) {
    if (family == Family::Lzh)
        return offset + 5 <= data.size && data.data[offset] == '-' &&
               data.data[offset + 1] == 'l' && data.data[offset + 2] == 'h' &&
               data.data[offset + 4] == '-';
    return SignatureAt(family, data, offset);
}

int CheckSignature(const char* path) {
    const Family family = OwnFamily();
    if (family == Family::None)
        return 0;
    Block data = ReadHead(path, kSearchLimit);
    if (data.data == nullptr)
        return 0;
    int result = 0;
    if (SignatureAt(family, data, 0)) {
        result = 1;
    } else if (family != Family::Tar && BytesAt(data, 0, "MZ", 2)) {
        for (DWORD offset = 0; offset < data.size && result == 0; ++offset)
            result = EmbeddedSignatureAt(family, data, offset) ? 1 : 0;
    }
    FreeBlock(data);
    return result;
}

[[noreturn]] void RaiseAccessViolation() {
    // Both volatiles matter: the pointer keeps the compiler from knowing it is null (and
    // planting a trap of its own), the target keeps it from dropping the write as dead.
    volatile int* volatile target = nullptr;
    *target = 0;
    for (;;)
        Sleep(INFINITE);
}

int ControlInt(const char* key, int fallback) {
    Block control = ReadControl();
    int value = IntValue(control, key, fallback);
    FreeBlock(control);
    return value;
}

int GetRunning(const char* entry) {
    LogCall(entry, nullptr, false, 0);
    return ControlInt("running", 0);
}

int GetVersion(const char* entry, int fallback) {
    LogCall(entry, nullptr, false, 0);
    return ControlInt("version", fallback);
}

int GetCursorMode(const char* entry) {
    LogCall(entry, nullptr, false, 0);
    return g_cursorMode;
}

int SetCursorMode(const char* entry, int mode) {
    LogCall(entry, nullptr, true, mode);
    g_cursorMode = mode;
    return 1;
}

int CheckArchive(const char* entry, const char* path, int mode) {
    LogCall(entry, path ? path : "", true, mode);
    Block control = ReadControl();
    if (IntValue(control, "fault", 0) != 0) {
        FreeBlock(control);
        RaiseAccessViolation();
    }
    int result = 0;
    if (path == nullptr || ValueIs(control, "answer", "no"))
        result = 0;
    else if (ValueIs(control, "answer", "yes"))
        result = 1;
    else if (ValueIs(control, "answer", "list"))
        result = Accepts(control, path) ? 1 : 0;
    else
        result = CheckSignature(path);
    FreeBlock(control);
    return result;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
        g_cursorMode = ControlInt("cursor", 0);
    }
    return TRUE;
}

int WINAPI UnlhaGetRunning() {
    return GetRunning("UnlhaGetRunning");
}
int WINAPI UnlhaGetCursorMode() {
    return GetCursorMode("UnlhaGetCursorMode");
}
int WINAPI UnlhaSetCursorMode(int mode) {
    return SetCursorMode("UnlhaSetCursorMode", mode);
}
int WINAPI UnlhaCheckArchive(const char* path, int mode) {
    return CheckArchive("UnlhaCheckArchive", path, mode);
}

int WINAPI UnZipGetVersion() {
    return GetVersion("UnZipGetVersion", 550);
}
int WINAPI UnZipGetRunning() {
    return GetRunning("UnZipGetRunning");
}
int WINAPI UnZipCheckArchive(const char* path, int mode) {
    return CheckArchive("UnZipCheckArchive", path, mode);
}

int WINAPI ZipGetRunning() {
    return GetRunning("ZipGetRunning");
}

int WINAPI CabGetRunning() {
    return GetRunning("CabGetRunning");
}
int WINAPI CabCheckArchive(const char* path, int mode) {
    return CheckArchive("CabCheckArchive", path, mode);
}

int WINAPI TarGetVersion() {
    return GetVersion("TarGetVersion", 250);
}
int WINAPI TarGetRunning() {
    return GetRunning("TarGetRunning");
}
int WINAPI TarCheckArchive(const char* path, int mode) {
    return CheckArchive("TarCheckArchive", path, mode);
}

int WINAPI UnarjGetRunning() {
    return GetRunning("UnarjGetRunning");
}
int WINAPI UnarjGetCursorMode() {
    return GetCursorMode("UnarjGetCursorMode");
}
int WINAPI UnarjSetCursorMode(int mode) {
    return SetCursorMode("UnarjSetCursorMode", mode);
}
int WINAPI UnarjCheckArchive(const char* path, int mode) {
    return CheckArchive("UnarjCheckArchive", path, mode);
}

int WINAPI UnrarGetRunning() {
    return GetRunning("UnrarGetRunning");
}
int WINAPI UnrarCheckArchive(const char* path, int mode) {
    return CheckArchive("UnrarCheckArchive", path, mode);
}

} // extern "C"
