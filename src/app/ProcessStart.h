// The first steps of every start: the platform check and the single-instance mutex.
#pragma once

#include "util/ScopedWin.h"

// Windows 95/98, or NT 4.0 and later. Otherwise tells the user and the process ends with 1.
bool CheckPlatform();

// Takes the mutex that marks a running copy. Empty when another copy already runs; the
// running copy is not signalled. The first copy keeps the handle until it ends.
win::ScopedHandle TakeSingleInstanceMutex();
