// A library the leak tests load into the program under test to count its GDI objects from
// inside: the platform's own count (GetGuiResources) answers 0 under Wine.
#include <windows.h>

// A thread procedure, started in the program with CreateRemoteThread; its exit code is the
// number of GDI objects of one kind (an OBJ_... value as its parameter) the process holds, or
// of every kind for 0. Wine takes a handle's low word alone as the index of its entry in the
// process's GDI table, so every entry in use answers to one of these.
extern "C" __declspec(dllexport) DWORD WINAPI CountGdiObjects(void* kind) {
    // The platform makes the brush of a system colour at the colour's first use and keeps it
    // (a menu item drawn highlighted the first time, say). Made all at once here, before the
    // first count, they cannot show up between two counts as a leak.
    for (int colour = 0; colour <= COLOR_MENUBAR; ++colour)
        GetSysColorBrush(colour);
    const auto wanted = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(kind));
    DWORD count = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(index));
        if (type != 0 && (wanted == 0 || type == wanted))
            ++count;
    }
    return count;
}
