#pragma once

#include <QApplication>

// The application: lets only one copy run, then builds the main window and runs the program
// until the user confirms the exit.
class CTaskApp : public QApplication {
    Q_OBJECT

public:
    CTaskApp(int& argc, char** argv);

    // Returns the exit code: 0 after a confirmed exit, and 0 for a second copy, which only
    // asks the running copy to come forward.
    int Run();
};
