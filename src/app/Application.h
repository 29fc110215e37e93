// The application: whether it is minimised, its help file and the message loop
// that runs until the icon window closes.
#pragma once

#include <string>

class TApplication {
  public:
    // Minimised, the program shows only its notification-area icon; the icon window hides
    // and shows the windows themselves.
    bool IsMinimized() const { return minimized_; }
    void SetMinimized(bool minimized) { minimized_ = minimized; }

    // Asks the help engine for the contents of the help file beside the program, and at the
    // end tells it to close what it showed (ui/HelpFile).
    static void ShowHelpContents();
    static void QuitHelp();

    // Runs messages until the last window of the program's main thread has asked to quit.
    int Run();

  private:
    bool minimized_ = false;
};

TApplication& Application();
