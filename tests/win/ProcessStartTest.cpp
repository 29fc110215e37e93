// The start's registration for a restart after an update, against what Windows does with it:
// Wine keeps no registration, so the platform's call is stood in for by one that keeps it.
#include "app/ProcessStart.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int registrations = 0;
std::wstring registeredCommandLine;
DWORD registeredFlags = 0;

HRESULT WINAPI KeepRegistration(const wchar_t* commandLine, DWORD flags) {
    ++registrations;
    registeredCommandLine = commandLine ? commandLine : L"";
    registeredFlags = flags;
    return S_OK;
}

} // namespace

TEST(ProcessStart, TheProgramIsStartedAgainOnlyAfterAnUpdateClosedIt) {
    RegisterRestartAfterUpdate(KeepRegistration);
    ASSERT_EQ(1, registrations);
    // Windows starts a registered program again after an end unless the registration's flag for
    // it says not to: RESTART_NO_CRASH 1, RESTART_NO_HANG 2, RESTART_NO_PATCH 4 (an installer had
    // the Restart Manager close it), RESTART_NO_REBOOT 8.
    EXPECT_EQ(0u, registeredFlags & 4) << "not after an update";
    for (DWORD notAfter : {1u, 2u, 8u})
        EXPECT_NE(0u, registeredFlags & notAfter) << notAfter;
    // Started again as a person starts it, with no arguments.
    EXPECT_EQ(L"", registeredCommandLine);
    // A system without the registration: nothing happens.
    RegisterRestartAfterUpdate(nullptr);
    EXPECT_EQ(1, registrations);
}
