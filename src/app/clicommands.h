#pragma once

#include <iosfwd>
#include <string>

#include "calendar/ctime.h"
#include "editor/taskinput.h"

class CTaskFile;

// The command line's commands over the task file. Each writes what it shows to out, its
// problems and reports to err, and returns the program's exit status.

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a file could not be read or written, or was refused
inline constexpr int kExitUsage = 2;    // the command line, or a value given on it, is wrong

struct ListOptions {
    bool bDueOnly = false;
    bool bTabSeparated = false;
};

int ListCommand(const CTaskFile& file, CTime now, const ListOptions& options, std::ostream& out,
                std::ostream& err);
int AddCommand(const CTaskFile& file, const TaskInput& input, std::ostream& err);
// path "-" is standard output and standard input.
int ExportCommand(const CTaskFile& file, CTime now, const std::string& path, std::ostream& err);
int ImportCommand(const CTaskFile& file, CTime now, const std::string& path, std::ostream& err);
