#pragma once

#include <chrono>
#include <string>

// Windows has no fork: the kill test runs its rewrites in a program of their own
// (task_rewrite_loop, beside the test program).

// Starts the rewrites of the task file, waits for the first whole one, lets them go on for
// `delay` and ends the program as a kill does. Adds a failure and returns false when the
// program cannot be started or stopped on its own.
bool KillRewritesAfter(const std::string& taskFile, std::chrono::microseconds delay);
