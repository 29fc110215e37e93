// The folder monitor component: its properties, and the reports on the GUI thread.
#include "watch/DiscMonitor.h"

#include "ui/FormRegistry.h"
#include "util/Mbcs.h"
#include "util/SystemLookups.h"

namespace {

enum : WPARAM { kChangeSeen = 1, kWatchInvalid = 2 };

// A message box captioned with the program's name, like the framework's own notices.
void ShowPlainMessage(const std::string& text) {
    std::string title = mbcs::ExtractFileName(ExecutablePath());
    std::string ext = mbcs::ExtractFileExt(title);
    title.resize(title.size() - ext.size());
    ui::ScopedOpenBox open;
    MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK);
}

} // namespace

TDiscMonitor::TDiscMonitor()
    : ShowMessage(ShowPlainMessage), handOff_([this](WPARAM report, LPARAM) { Deliver(report); }),
      thread_([this](HANDLE cancel) { handOff_.Call(kChangeSeen, cancel); },
              [this](HANDLE cancel) { handOff_.Call(kWatchInvalid, cancel); }) {}

TDiscMonitor::~TDiscMonitor() {
    // No report reaches a half-destroyed owner: the window stops calling handlers first, then
    // the worker is ended (its wait for a report in progress is cancelled).
    handOff_.Close();
    thread_.Terminate();
}

void TDiscMonitor::SetDirectory(const std::string& directory) {
    if (directory == thread_.Folder())
        return;
    thread_.SetFolder(directory);
    if (active_)
        thread_.ParametersChanged();
}

void TDiscMonitor::SetFilters(TMonitorFilters filters) {
    filters &= kAllMonitorFilters;
    if (filters == 0) {
        if (ShowMessage)
            ShowMessage("Some filter condition must be set.");
        return;
    }
    if (filters == thread_.Filter())
        return;
    thread_.SetFilter(filters);
    if (active_)
        thread_.ParametersChanged();
}

void TDiscMonitor::SetSubTree(bool subTree) {
    if (subTree == thread_.SubTree())
        return;
    thread_.SetSubTree(subTree);
    if (active_)
        thread_.ParametersChanged();
}

void TDiscMonitor::SetActive(bool active) {
    if (active == active_)
        return;
    // Active only once the worker runs: it is made at the first activation, which can fail.
    if (active)
        thread_.Resume();
    else
        thread_.Suspend();
    active_ = active;
}

// On the GUI thread, while the worker waits. A report that was already on its way when the
// monitor was made inactive is dropped: nothing is reported while inactive.
void TDiscMonitor::Deliver(WPARAM report) {
    if (!active_)
        return;
    // Copies: a handler may assign a new handler, or destroy the monitor.
    TNotifyEvent handler = report == kChangeSeen ? OnChange : OnInvalid;
    if (handler)
        handler(*this);
}
