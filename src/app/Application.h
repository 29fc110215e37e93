// The application: its title, whether it is minimised, its help file and the message loop
// that runs until the icon window closes.
#pragma once

#include <string>

class TApplication {
  public:
    // "Pakico": caption of the error box and the first tip of the notification-area icon.
    static const char* Title();

    // Minimised, the program shows only its notification-area icon; the icon window hides
    // and shows the windows themselves.
    bool IsMinimized() const { return minimized_; }
    void SetMinimized(bool minimized) { minimized_ = minimized; }

    // The help file beside the program, "PAKICO.HLP".
    static std::string HelpFile();
    // Asks the help engine for the contents of the help file.
    static void ShowHelpContents();
    static void QuitHelp();

    // Runs messages until the last window of the program's main thread has asked to quit.
    int Run();

  private:
    bool minimized_ = false;
};

TApplication& Application();
