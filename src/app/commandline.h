#pragma once

// The program's command line: list, add, export and import work on the task file the window
// uses and end, without a display or a window. Anything else starts the window.

// Whether the arguments name a command (or ask for help or the version) rather than options
// for the window.
bool IsCommandLine(int argc, char** argv);

// Runs the command the arguments name and returns the exit status: 0 done, 1 failed, 2 the
// command line was wrong.
int RunCommandLine(int argc, char** argv);
