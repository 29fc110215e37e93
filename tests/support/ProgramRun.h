// Starting the real programs from a test, as a person or the shell would, and waiting on them.
#pragma once

#include "util/ScopedWin.h"

#include <string>

namespace testing_support {

// A started program; ended (TerminateProcess) when still running at destruction.
class ProgramRun {
  public:
    // Starts `exe` with the given argument text, in the exe's folder or in `currentFolder`.
    ProgramRun(const std::string& exe, const std::string& arguments = "",
               const std::string& currentFolder = "");
    // Takes over a process started another way; `process` was opened for SYNCHRONIZE,
    // PROCESS_TERMINATE and PROCESS_QUERY_INFORMATION.
    ProgramRun(win::ScopedHandle process, DWORD processId);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Running() const;
    // Waits at most `ms`; the exit code, or -1 when it is still running.
    long WaitForExit(unsigned ms);
    DWORD ProcessId() const { return processId_; }

  private:
    win::ScopedHandle process_;
    DWORD processId_ = 0;
};

// Polls `condition` every 50 ms until it holds or `ms` have passed.
template <typename Condition> bool WaitUntil(Condition condition, unsigned ms) {
    for (DWORD start = GetTickCount();; Sleep(50)) {
        if (condition())
            return true;
        if (GetTickCount() - start > ms)
            return false;
    }
}

} // namespace testing_support
