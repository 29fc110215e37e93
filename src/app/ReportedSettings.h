// Reads of the shared registry tree that must not stop the icon window: a broken value (the
// wrong type, or data too large for it) is shown, and the value's default, or nothing, takes
// its place. One bad value written by another program must not leave a cat that takes no
// drops, never changes its picture or cannot open its menu.
#pragma once

#include "settings/SettingsStore.h"
#include "ui/ErrorReport.h"
#include "util/Errors.h"

#include <functional>

// Runs `step`; a registry error that leaves it is reported. Other errors travel on.
inline void ReportingRegistryErrors(const std::function<void()>& step) {
    try {
        step();
    } catch (const ERegistryError& error) {
        ui::ReportException(error);
    }
}

template <typename Setting> auto ReadSettingReported(const Setting& setting) {
    decltype(ReadSetting(setting)) value = setting.defaultValue;
    ReportingRegistryErrors([&] { value = ReadSetting(setting); });
    return value;
}
