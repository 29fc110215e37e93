// Starting the real programs from a test.
#include "support/ProgramRun.h"

#include <stdexcept>

namespace testing_support {

ProgramRun::ProgramRun(const std::string& exe, const std::string& arguments,
                       const std::string& currentFolder) {
    std::string commandLine = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::string folder =
        currentFolder.empty() ? exe.substr(0, exe.find_last_of('\\') + 1) : currentFolder;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi))
        throw std::runtime_error("cannot start " + exe);
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    processId_ = pi.dwProcessId;
}

ProgramRun::ProgramRun(win::ScopedHandle process, DWORD processId)
    : process_(std::move(process)), processId_(processId) {}

ProgramRun::~ProgramRun() {
    if (Running()) {
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool ProgramRun::Running() const {
    return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

long ProgramRun::WaitForExit(unsigned ms) {
    if (WaitForSingleObject(process_.get(), ms) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<long>(code);
}

} // namespace testing_support
