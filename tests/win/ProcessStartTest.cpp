// The start's registration for a restart after an update, against what Windows does with it:
// Wine keeps no registration, so the platform's call is stood in for by one that keeps it.
#include "app/ProcessStart.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Registration {
    int made = 0;
    std::wstring commandLine;
    DWORD flags = 0;
} registration;

HRESULT WINAPI KeepRegistration(const wchar_t* commandLine, DWORD flags) {
    ++registration.made;
    registration.commandLine = commandLine ? commandLine : L"";
    registration.flags = flags;
    return S_OK;
}

// Whether Windows starts a registered program again after an end of this kind: unless its flag
// (RESTART_NO_CRASH 1, RESTART_NO_HANG 2, RESTART_NO_PATCH 4, RESTART_NO_REBOOT 8) says not to.
bool StartedAgainAfter(DWORD noRestartFlag) {
    return registration.made > 0 && !(registration.flags & noRestartFlag);
}

} // namespace

TEST(ProcessStart, TheProgramIsStartedAgainOnlyAfterAnUpdateClosedIt) {
    RegisterRestartAfterUpdate(KeepRegistration);
    EXPECT_EQ(1, registration.made);
    EXPECT_TRUE(StartedAgainAfter(4)) << "an installer had the Restart Manager close it";
    EXPECT_FALSE(StartedAgainAfter(1)) << "a crash";
    EXPECT_FALSE(StartedAgainAfter(2)) << "a hang";
    EXPECT_FALSE(StartedAgainAfter(8)) << "a restart of the computer";
    // Started again as a person starts it, with no arguments.
    EXPECT_EQ(L"", registration.commandLine);
    // A system without the registration: nothing happens.
    RegisterRestartAfterUpdate(nullptr);
    EXPECT_EQ(1, registration.made);
}
