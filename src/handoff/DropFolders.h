// The folders that drops of files a program offers only from inside itself (mail attachments,
// the files of a compressed folder) are written into, one for each drop, inside the work folder.
// The companion reads them after the hand-off; they go once a day has passed.
#pragma once

#include <string>

// A new, empty folder for one drop inside the work folder, in the code page. Raises ETempError
// when the work folder or the drop's folder cannot be made.
std::string MakeDropFolder();

// Removes a drop's folder and everything in it. A link inside it is removed itself, never
// followed: nothing outside the folder is touched.
void RemoveDropFolder(const std::string& folder);

// Removes the drops' folders made more than a day ago (at the start and at the end of the
// program); a recent one may still be read by the companion and stays. A work folder that is
// not there has nothing to remove and is not made.
void RemoveOldDropFolders();
