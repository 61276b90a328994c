#include "app/commandline.h"
#include "app/ctaskapp.h"

int main(int argc, char** argv) {
    // A command works on the task file and ends, without a display or a window.
    if (IsCommandLine(argc, argv)) {
        return RunCommandLine(argc, argv);
    }
    CTaskApp app(argc, argv);
    return app.Run();
}
