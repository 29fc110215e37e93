// The process-wide critical-error mode, shared by the guards of every thread.
#include "util/ScopedWin.h"

#include <mutex>

namespace win {

namespace {
struct SharedErrorMode {
    std::mutex lock;
    int users = 0;
    UINT previous = 0;
};

SharedErrorMode& Shared() {
    static SharedErrorMode shared;
    return shared;
}
} // namespace

ScopedErrorMode::ScopedErrorMode() {
    auto& shared = Shared();
    std::lock_guard<std::mutex> hold(shared.lock);
    if (shared.users++ == 0)
        shared.previous = SetErrorMode(SEM_FAILCRITICALERRORS);
}

ScopedErrorMode::~ScopedErrorMode() {
    auto& shared = Shared();
    std::lock_guard<std::mutex> hold(shared.lock);
    if (--shared.users == 0)
        SetErrorMode(shared.previous);
}

} // namespace win
