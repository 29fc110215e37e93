// Path and string routines for code page 932 paths (no Win32 calls). A trail byte equal to
// '\\' or to a letter is never taken for a separator or compared as a letter.
#pragma once

#include <string>
#include <string_view>

// Appends the separator unless the path is empty or already ends in '/' or '\\'.
std::string AddTrailingSeparator(std::string_view path, char separator = '\\');

// Drops one final '/' or '\\' (so "C:\\" becomes "C:").
std::string RemoveTrailingSeparator(std::string_view path);

// "c" and "C:" give "C:\\"; a drive root stays; any other path loses its trailing separator.
std::string NormalizeFolderPath(std::string_view path, char separator = '\\');

// The path starts with the separator doubled.
bool IsUncPath(std::string_view path, char separator = '\\');

// Single-byte occurrences of c, never counting a trail byte.
int CountChar(std::string_view text, char c);

// The index-th piece (from 1) of the path that is followed by a separator; empty when there
// is none. In a UNC path the first piece is the doubled separator with the server name.
std::string PathComponent(std::string_view path, int index, char separator = '\\');

// 1-based position of the first occurrence of pattern that starts on a character; 0 if none.
int DbcsPos(std::string_view pattern, std::string_view text);

// The last byte is c and is not the trail byte of a double-byte character.
bool EndsWithChar(std::string_view text, char c);

// Everything up to and including the last '\\' or ':'.
std::string ExtractFilePath(std::string_view path);

// The folder part without its separator, except for a root ("C:\\", "\\").
std::string ExtractFileDir(std::string_view path);
