// The real Pakico.exe started from another process: one running copy at a time, and no library
// taken from the folder it was started in.
#include "e2e/E2eSupport.h"
#include "support/ProgramRun.h"
#include "support/Standins.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

bool CopyRunningExists() {
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "Morva ArchiveIcon");
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

class ProcessStart : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(CopyRunningExists()) << "a copy of Pakico is already running";
        ASSERT_TRUE(
            CopyFileA((ProgramUnderTestFolder() + "Pakico.exe").c_str(), exe_.c_str(), FALSE));
    }
    TempFolder dir_{"start"};
    std::string exe_ = dir_.path() + "Pakico.exe";
};

} // namespace

TEST_F(ProcessStart, SecondCopyEndsAtOnceAndLeavesTheFirstRunning) {
    ProgramRun first(exe_);
    ASSERT_TRUE(WaitUntil(CopyRunningExists, 20000)) << "the first copy never took its mutex";

    ProgramRun second(exe_);
    EXPECT_EQ(0, second.WaitForExit(20000));
    EXPECT_TRUE(first.Running());

    // A copy started from another folder is a second copy too.
    TempFolder other("start2");
    ASSERT_TRUE(CopyFileA(exe_.c_str(), (other.path() + "Pakico.exe").c_str(), FALSE));
    ProgramRun third(other.path() + "Pakico.exe");
    EXPECT_EQ(0, third.WaitForExit(20000));
    EXPECT_TRUE(first.Running());
}

TEST_F(ProcessStart, ANewCopyRunsOnceTheOldOneHasEnded) {
    {
        ProgramRun first(exe_);
        ASSERT_TRUE(WaitUntil(CopyRunningExists, 20000));
    }
    ASSERT_TRUE(WaitUntil([] { return !CopyRunningExists(); }, 10000));
    ProgramRun again(exe_);
    EXPECT_TRUE(WaitUntil(CopyRunningExists, 20000));
    EXPECT_TRUE(again.Running());
}

// Only a marker that is there means another copy. A name taken by an object of another kind
// leaves the program running unmarked; a marker it may not open (a copy running elevated) is
// another copy's.
TEST_F(ProcessStart, OnlyAMarkerThatIsThereMeansAnotherCopy) {
    {
        win::ScopedHandle squatter(CreateEventA(nullptr, FALSE, FALSE, "Morva ArchiveIcon"));
        ProgramRun run(exe_);
        EXPECT_TRUE(WaitUntil([] { return FindWindowA("TArchiveCoolForm", nullptr); }, 20000))
            << "the program did not start";
    }
    SECURITY_DESCRIPTOR nobody;
    InitializeSecurityDescriptor(&nobody, SECURITY_DESCRIPTOR_REVISION);
    ACL empty;
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    SetSecurityDescriptorDacl(&nobody, TRUE, &empty, FALSE);
    SECURITY_ATTRIBUTES locked{sizeof locked, &nobody, FALSE};
    win::ScopedHandle elevated(CreateMutexA(&locked, FALSE, "Morva ArchiveIcon"));
    ASSERT_TRUE(elevated);
    ProgramRun run(exe_);
    EXPECT_EQ(0, run.WaitForExit(20000));
}

// Started in another folder (where the open dialog may have left a download folder, or a link
// may start it), the program never takes an archiver library from there: it loads the one beside
// itself, and not the one in the current folder.
TEST_F(ProcessStart, NoLibraryIsTakenFromTheCurrentFolder) {
    TempFolder current("cwd");
    CopyStandin(current.path(), "Unlha32.dll");
    CopyStandin(dir_.path(), "Unzip32.dll");
    CopyStandin(dir_.path(), "Morva.exe");
    ProgramRun run(exe_, "", current.path());
    // With the companion there, each refresh asks every library whether it is busy, the LZH
    // library before the ZIP one.
    ASSERT_TRUE(WaitUntil(
        [&] { return !e2e::LoadedModulePath(run.ProcessId(), "Unzip32.dll").empty(); }, 20000))
        << "the program looked for no library";
    EXPECT_EQ("", e2e::LoadedModulePath(run.ProcessId(), "Unlha32.dll"));
}
