// Moves task 1 of the task file named on its command line to the end of the file, again and
// again, and writes one byte to its output after each whole rewrite, until it is killed: the
// rewrites the kill test on Windows cuts short (killedrewrites.cpp).

#include <cstdio>
#include <filesystem>

#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include "tasks/fileplatform.h"
#include "tasks/movefirsttask.h"

int main() {
    // The path as the system gave it, whatever letters it holds.
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 2) {
        return 2;
    }
    const CTaskFile taskFile(PathText(std::filesystem::path(argv[1])));
    LocalFree(argv);
    for (;;) {
        if (MoveFirstTaskToTheEnd(taskFile) != kDone) {
            return 1;
        }
        (void)std::fputc('x', stdout);
        (void)std::fflush(stdout);
    }
}
