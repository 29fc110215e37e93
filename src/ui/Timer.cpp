// A window-message timer.
#include "ui/Timer.h"

#include <map>

#include "ui/ErrorReport.h"

namespace ui {

namespace {
// Running timers by the number the platform gave them (thread timers have no window).
std::map<UINT_PTR, Timer*>& RunningTimers() {
    static std::map<UINT_PTR, Timer*> timers;
    return timers;
}
} // namespace

Timer::~Timer() {
    Stop();
}

void Timer::SetInterval(UINT milliseconds) {
    if (milliseconds == interval_)
        return;
    Stop();
    interval_ = milliseconds;
    if (interval_ == 0)
        return;
    id_ = SetTimer(nullptr, 0, interval_, &Timer::TimerProcedure);
    if (id_)
        RunningTimers()[id_] = this;
}

void Timer::Stop() {
    if (id_) {
        KillTimer(nullptr, id_);
        RunningTimers().erase(id_);
        id_ = 0;
    }
}

void CALLBACK Timer::TimerProcedure(HWND, UINT, UINT_PTR id, DWORD) {
    auto found = RunningTimers().find(id);
    if (found == RunningTimers().end())
        return;
    // The handler may stop or even free its timer; it runs from a copy.
    Timer* timer = found->second;
    std::function<void(Timer&)> handler = timer->OnTimer;
    if (handler)
        RunGuarded([&] { handler(*timer); });
}

} // namespace ui
