// Text and paths from the wide side of the platform (dropped names, folder listings, the
// temporary folder) in the program's code page. A character the code page lacks is never
// replaced by a look-alike or a '?': "café.zip" would name another file ("cafe.zip"), "??.zip"
// a wildcard over other archives. Such a path is given in its short form, which the file system
// builds from characters every code page has, or not at all.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Code-page text as UTF-16, for the platform's wide calls (every code-page character has one).
std::wstring WideText(std::string_view text);

// The text in the code page when every character has a form of its own there; none otherwise.
std::optional<std::string> ExactCodePageText(std::wstring_view text);

// The path as the program can hand it on: itself when it fits the code page, else its short
// form when the volume keeps short names and that fits; none otherwise (exFAT and ReFS volumes,
// NTFS volumes with short names turned off, a path that is not there).
std::optional<std::string> CodePagePath(std::wstring_view path);

// The short form of an existing path as the platform gives it; none when it gives none.
std::optional<std::wstring> ShortPathForm(std::wstring_view path);

// The full path in the form the wide file calls take beyond the old limit of 260 characters:
// "\\?\C:\..." for a drive path, "\\?\UNC\server\..." for a network one (that form takes no
// "." or "..", nor a '/': the path is made whole first); any other path as it is.
std::wstring ExtendedLengthPath(std::wstring_view path);

// The text for showing to a person: a character the code page lacks shows as '?'.
std::string CodePageTextForDisplay(std::wstring_view text);

// The platform's short-name call. Tests put one of their own in its place for the volumes
// without short names that Wine cannot stage; the call in place before is returned. (The folder
// watch lists on threads of the system's pool: the call is swapped whole.)
using ShortPathNameCall = DWORD(WINAPI*)(LPCWSTR longPath, LPWSTR shortPath, DWORD size);
ShortPathNameCall ReplaceShortPathNameCall(ShortPathNameCall call);
