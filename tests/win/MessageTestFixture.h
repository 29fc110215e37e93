// A clean settings tree, a beep counter and a message answerer for the tests of the message
// layer and the checks that report through it.
#pragma once

#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include "settings/SettingsStore.h"
#include "ui/MessageBox.h"
#include "win/MessageBoxDriver.h"

namespace testing_support {

class MessageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey);
        beeps_ = 0;
        lastBeepType_ = 0;
        previousBeep_ = SetMessageBeepFunction(CountBeep);
        MessagesStayOnTop = false;
    }
    void TearDown() override {
        SetMessageBeepFunction(previousBeep_);
        MessagesStayOnTop = false;
        SHDeleteKeyA(HKEY_CURRENT_USER, settings::ProductKey);
    }

    static int beeps() { return beeps_; }
    static UINT lastBeepType() { return lastBeepType_; }

  private:
    static void CountBeep(UINT type) {
        ++beeps_;
        lastBeepType_ = type;
    }
    static inline int beeps_ = 0;
    static inline UINT lastBeepType_ = 0;
    MessageBeepFunction previousBeep_ = nullptr;
};

} // namespace testing_support
