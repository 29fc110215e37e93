// A window-message timer: an interval in milliseconds, 0 meaning stopped, and a handler that
// runs on the GUI thread from the message loop (modal loops included).
#pragma once

#include <windows.h>

#include <functional>

namespace ui {

class Timer {
  public:
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();

    // Runs at each tick; an exception from it is reported and the timer keeps its interval.
    std::function<void(Timer&)> OnTimer;

    UINT Interval() const { return interval_; }
    // A new interval starts counting afresh; 0 stops the timer. Setting the interval it
    // already has changes nothing.
    void SetInterval(UINT milliseconds);

  private:
    static void CALLBACK TimerProcedure(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Stop();

    UINT interval_ = 0;
    UINT_PTR id_ = 0;
};

} // namespace ui
