// A library the leak tests load into the program under test to count its GDI objects from
// inside: the platform's own count (GetGuiResources) answers 0 under Wine.
#include <windows.h>

extern "C" {
// The number of GDI objects of each kind (by its OBJ_... value) at the last count, for the
// counting process to read.
__declspec(dllexport) DWORD GdiCountsByKind[16] = {};
// Of the DCs, those of no window: the platform's idle window DCs. Wine keeps the DCs it hands
// out for windows (a DC and its visible region each) in a cache of up to 64 and makes a new one
// whenever no idle one is free for the window that asks, so the cache grows to the most windows
// that have drawn at one time, and stays.
__declspec(dllexport) DWORD GdiIdleWindowDcs = 0;
}

// A thread procedure, started in the program with CreateRemoteThread: counts the process's GDI
// objects into GdiCountsByKind and exits with their number. Wine takes a handle's low word
// alone as the index of its entry in the process's GDI table, so every entry in use answers to
// one of these.
extern "C" __declspec(dllexport) DWORD WINAPI CountGdiObjects(void*) {
    // The platform makes the brush of a system colour at the colour's first use and keeps it
    // (a menu item drawn highlighted the first time, say). Made all at once here, before the
    // first count, they cannot show up between two counts as a leak.
    for (int colour = 0; colour <= COLOR_MENUBAR; ++colour)
        GetSysColorBrush(colour);
    DWORD counts[16] = {};
    DWORD total = 0;
    DWORD idleWindowDcs = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        DWORD kind = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        if (kind != 0) {
            ++counts[kind < 16 ? kind : 0];
            ++total;
        }
        if (kind == OBJ_DC && !WindowFromDC(reinterpret_cast<HDC>(index)))
            ++idleWindowDcs;
    }
    for (int kind = 0; kind < 16; ++kind)
        GdiCountsByKind[kind] = counts[kind];
    GdiIdleWindowDcs = idleWindowDcs;
    return total;
}
