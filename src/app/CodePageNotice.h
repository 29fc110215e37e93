// The words of the box that tells of a code page the program was not made for (no Win32 calls).
#pragma once

#include <string>

// The box's text for the system's ANSI code page, in Japanese and then English: what goes wrong,
// and where Windows sets the code page (the system locale, and its UTF-8 option, which gives
// 65001) with the restart that takes it in. Wide text, which shows under any code page.
std::wstring CodePageNotice(unsigned codePage);
