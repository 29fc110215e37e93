// Runs a call into a foreign library so that a processor fault inside it is survived.
#pragma once

#include <cstdint>

using GuardedCheck = std::int32_t(__stdcall*)(const char*, std::int32_t);

// Calls check(path, mode). When the call raises a structured exception (an access violation
// and the like), the call is abandoned and `faulted` is set; the result is then 0.
std::int32_t CallCheckWithFaultGuard(GuardedCheck check, const char* path, std::int32_t mode,
                                     bool& faulted);
