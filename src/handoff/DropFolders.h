// The folders that drops of files a program offers only from inside itself (mail attachments,
// the files of a compressed folder) are written into, one for each drop, inside the work folder.
// The companion reads them after the hand-off; what the drop wrote goes once a day has passed.
#pragma once

#include <string>
#include <vector>

// A new, empty folder for one drop inside the work folder, in the code page. Raises ETempError
// when the work folder or the drop's folder cannot be made.
std::string MakeDropFolder();

// Removes a drop's folder and everything in it. A link inside it is removed itself, never
// followed: nothing outside the folder is touched.
void RemoveDropFolder(const std::string& folder);

// Notes, beside the drop's folder, what the drop wrote into it (`made`: paths relative to the
// folder, a folder's ending in a backslash), before its files are handed over. The companion may
// put files of its own there (an archive extracted beside itself): clearing the folder away
// later removes what the drop wrote and nothing else. False when the note cannot be written.
bool RecordDropFolder(const std::string& folder, const std::vector<std::wstring>& made);

// Clears away the drops' folders made more than a day ago (at the start and at the end of the
// program); a recent one may still be read by the companion and stays. Of a folder whose files
// were handed over only what the drop wrote goes (the folder too, once empty); one without a
// note was never handed over and goes whole. A work folder that is not there has nothing to
// remove and is not made.
void RemoveOldDropFolders();
