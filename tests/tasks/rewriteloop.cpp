// Moves task 1 of the task file named on its command line to the end of the file, again and
// again, and writes one byte to its output after each whole rewrite, until it is killed: the
// rewrites the kill test on Windows cuts short (killedrewrites.cpp).

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include "tasks/fileplatform.h"
#include "tasks/taskfile.h"

int main() {
    // The path as the system gave it, whatever letters it holds.
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 2) {
        return 2;
    }
    g_szTaskFilePath = PathText(std::filesystem::path(argv[1]));
    LocalFree(argv);
    for (;;) {
        const std::optional<std::string> first = ReadTaskLine(1);
        if (!first || WriteBackTask(1, *first) != 0) {
            return 1;
        }
        (void)std::fputc('x', stdout);
        (void)std::fflush(stdout);
    }
}
