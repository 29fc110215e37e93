// Hand-off list files: the paths an operation concerns, written to a new temporary file whose
// short path is then given to the companion after "@".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Writes paths to a new file "MRV....TMP" in the temporary folder, each in the ANSI code page
// followed by CR LF, in list order; an empty list gives an empty file. True and the file's
// short path (its long path when no short form can be had) on success. When the file cannot be
// opened for writing the empty file made for the name stays behind and the answer is false; a
// list that cannot be written whole (a full disk) is deleted again and the answer is false.
// Raises EAppError when the temporary folder's name has characters the code page lacks and no
// short form: no list can be handed over from there, and its name must not be guessed at.
bool WriteHandOffList(const std::vector<std::string>& paths, std::string& listPath);

// The platform's write call for list files. Tests put one of their own in its place to stage a
// full disk; the call in place before is returned.
using ListWriteCall = BOOL(WINAPI*)(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written,
                                    LPOVERLAPPED overlapped);
ListWriteCall ReplaceListWriteCall(ListWriteCall call);

// The same for a list holding exactly one path.
bool WriteSingleHandOffList(const std::string& path, std::string& listPath);
