#include "app/clicommands.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/tasklisting.h"
#include "ical/icalexport.h"
#include "ical/taskimport.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

constexpr const char* kProgram = "marmoset-task: ";
constexpr const char* kStandardStream = "-";

// The task file's problem on one line: what is wrong, then the path.
std::string OneLine(const std::string& text) {
    std::string line;
    for (const char c : text) {
        if (c != '\n') {
            line += c;
        } else if (!line.ends_with(' ')) {
            line += ' ';
        }
    }
    return line;
}

std::string SystemReason() {
    return std::strerror(errno);
}

}  // namespace

int ListCommand(const CTaskFile& file, CTime now, const ListOptions& options, std::ostream& out,
                std::ostream& err) {
    TaskFileLines lines;
    if (file.Load(lines, MissingTaskFile::Fail) != kDone) {
        err << kProgram << OneLine(file.ProblemText()) << "\n";
        return kExitFailure;
    }
    const std::vector<ListedTask> tasks = ListTasks(lines, now, options.bDueOnly);
    out << (options.bTabSeparated ? TabSeparatedText(tasks, options.bDueOnly)
                                  : AlignedText(tasks, options.bDueOnly));
    return kExitSuccess;
}

int AddCommand(const CTaskFile& file, const TaskInput& input, std::ostream& err) {
    const TaskFromInput made = MakeTask(input);
    if (!made.task) {
        err << kProgram << made.problem << " Nothing was added.\n";
        return kExitUsage;
    }
    if (AppendTaskLine(file, FormatTaskLine(*made.task)) != kDone) {
        err << kProgram << "the task could not be saved in the task file, so the file is left "
            << "as it was. The disk may be full, or the task file or its folder may be "
            << "read-only: " << file.Path() << "\n";
        return kExitFailure;
    }
    return kExitSuccess;
}

int ExportCommand(const CTaskFile& file, CTime now, const std::string& path, std::ostream& err) {
    CalendarExport calendar;
    if (ExportTaskFile(file, now, calendar) != kDone) {
        err << kProgram << OneLine(file.ProblemText()) << "\n";
        return kExitFailure;
    }
    const bool bStandard = path == kStandardStream;
    std::ofstream written;
    if (!bStandard) {
        written.open(path, std::ios::binary | std::ios::trunc);
    }
    std::ostream& out = bStandard ? std::cout : written;
    out.write(calendar.text.data(), static_cast<std::streamsize>(calendar.text.size()));
    out.flush();
    if (!out || (!bStandard && !written.is_open())) {
        err << kProgram << (bStandard ? std::string("standard output") : path)
            << " could not be written: " << SystemReason() << "\n";
        return kExitFailure;
    }
    if (!bStandard) {
        err << "Exported " << calendar.nTasks << (calendar.nTasks == 1 ? " task" : " tasks")
            << " to " << path << ".\n";
    }
    return kExitSuccess;
}

int ImportCommand(const CTaskFile& file, CTime now, const std::string& path, std::ostream& err) {
    const bool bStandard = path == kStandardStream;
    std::ifstream opened;
    if (!bStandard) {
        opened.open(path, std::ios::binary);
        if (!opened.is_open()) {
            err << kProgram << path << " could not be read: " << SystemReason()
                << ". Nothing was imported.\n";
            return kExitFailure;
        }
    }
    std::istream& in = bStandard ? std::cin : opened;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        err << kProgram << (bStandard ? "standard input" : path)
            << " could not be read to its end. Nothing was imported.\n";
        return kExitFailure;
    }
    const ImportReport report = ImportCalendar(file, text.view(), now);
    err << ImportReportText(report, bStandard ? "standard input" : path);
    return report.bImported ? kExitSuccess : kExitFailure;
}
