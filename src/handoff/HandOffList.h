// Hand-off list files: the paths an operation concerns, written to a new temporary file whose
// short path is then given to the companion after "@".
#pragma once

#include <string>
#include <vector>

// Writes paths to a new file "MRV....TMP" in the temporary folder, each in the ANSI code page
// followed by CR LF, in list order; an empty list gives an empty file. True and the file's
// short path (its long path when no short form can be had) on success. When the file cannot be
// opened for writing the empty file made for the name stays behind and the answer is false.
bool WriteHandOffList(const std::vector<std::string>& paths, std::string& listPath);

// The same for a list holding exactly one path.
bool WriteSingleHandOffList(const std::string& path, std::string& listPath);
