// The task line: a record made from the input is formatted, parsed and formatted again and
// must give the line the program writes for it; and every way the program reads a line (the
// parse into a record and into a view, the date text, the poll's table) agrees with the plain
// reading of the same line, whatever its bytes.

#include <array>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "memorytaskfile.h"
#include "referencetask.h"
#include "reminder/classify.h"
#include "reminder/tasktable.h"
#include "tasks/displaytext.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// The line in a buffer of exactly its size, so that reading past its end is caught.
class CExactCopy {
public:
    explicit CExactCopy(std::string_view text)
        : m_pBytes(std::make_unique_for_overwrite<char[]>(text.size())), m_nSize(text.size()) {
        std::copy(text.begin(), text.end(), m_pBytes.get());
    }
    std::string_view View() const { return {m_pBytes.get(), m_nSize}; }

private:
    std::unique_ptr<char[]> m_pBytes;
    std::size_t m_nSize;
};

bool Within(std::string_view part, std::string_view whole) {
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

// The record and the view the parse reads into, as the poll reuses them: each line of
// an input is read over what the one before left there.
struct Reused {
    TaskRecord record{.dueMonth = -1,
                      .dueDay = -1,
                      .dueYear = -1,
                      .advanceDays = -1,
                      .status = -1,
                      .recurrence = -1,
                      .title = "a title left from before",
                      .note = "a note left from before",
                      .hour = -1};
    TaskView fields{.dueMonth = -1,
                    .dueDay = -1,
                    .dueYear = -1,
                    .advanceDays = -1,
                    .status = -1,
                    .recurrence = -1,
                    .title = "stale",
                    .note = "stale",
                    .hour = -1};
};

void CheckReaders(std::string_view text, Reused& reused) {
    const CExactCopy copy(text);
    const std::string_view line = copy.View();
    const ReferenceTask want = ReferenceParse(line);

    FUZZ_CHECK(ParseTaskLine(line) == want.record, "parse into a new record");
    ParseTaskLine(line, reused.record);
    FUZZ_CHECK(reused.record == want.record, "parse into a used record");
    ParseTaskLine(line, reused.fields);
    FUZZ_CHECK(ReferenceCopy(reused.fields) == want.record, "parse in place");
    FUZZ_CHECK(Within(reused.fields.title, line) && Within(reused.fields.note, line),
               "fields in the line");

    const std::string_view dateText = TaskLineDateText(line);
    FUZZ_CHECK(dateText == want.dateText, "date text");
    FUZZ_CHECK(Within(dateText, line), "date text in the line");
}

// The poll's way: the input as a whole task file, read into a table and taken apart in place,
// each task classified against an hour near a change of daylight saving time.
void CheckTable(std::string_view content, std::uint8_t hourChoice) {
    static CMemoryTaskFile s_file;
    s_file.Write(content);
    static const CTaskFile s_taskFile(s_file.Path());
    const FilePtr file = s_taskFile.OpenToRead();
    FUZZ_CHECK(file != nullptr, "cannot open the memory file");

    const std::array<CTime, 4> hours = {
        CTime::FromLocal(2024, 3, 10, 1), CTime::FromLocal(2024, 11, 3, 1),
        CTime::FromLocal(2026, 6, 14, 10), CTime::FromLocal(2040, 1, 1, 0)};
    CTaskTable table;
    std::vector<std::size_t> reminders;
    FUZZ_CHECK(table.Read(file.get(), content.size(), CurrentHour(hours[hourChoice % hours.size()]),
                          reminders),
               "table read");

    std::vector<std::string_view> tasks;
    for (const std::string_view line : ReferenceLines(content)) {
        if (ReferenceIsTask(line)) {
            tasks.push_back(line);
        }
    }
    FUZZ_CHECK(table.size() == tasks.size(), "a row per task");
    for (std::size_t row = 0; row < tasks.size(); ++row) {
        FUZZ_CHECK(table.Line(row) == tasks[row], "row's line");
        const TaskRecord want = ReferenceParse(tasks[row]).record;
        TaskView fields;
        table.Fields(row, fields);
        FUZZ_CHECK(ReferenceCopy(fields) == want, "row's fields");
        FUZZ_CHECK(table.ShownStatus(row) >= 0 && table.ShownStatus(row) <= 4, "shown status");
        const TaskRef task = table.Task(row);
        FUZZ_CHECK(task.record == want && task.nRecord == static_cast<int>(row) + 1, "row's task");
        FUZZ_CHECK(table.ListText(row) == FormatListText(want.dueMonth, want.dueDay, want.dueYear,
                                                         DisplayText(want.title)),
                   "row's text");
    }
    for (std::size_t i = 0; i < reminders.size(); ++i) {
        FUZZ_CHECK(reminders[i] < tasks.size() && (i == 0 || reminders[i - 1] < reminders[i]),
                   "reminders in row order");
    }
}

void CheckRoundTrip(CFuzzInput& in, Reused& reused) {
    TaskRecord task;
    task.dueMonth = in.Number();
    task.dueDay = in.Number();
    task.dueYear = in.Number();
    task.advanceDays = in.Number();
    task.status = in.Number();
    task.recurrence = in.Number();
    task.hour = in.Number();
    task.title = in.Text();
    task.note = in.Text();
    const std::string_view dateText = in.Text();

    FUZZ_CHECK(CleanFieldText(task.title) == ReferenceClean(task.title), "cleaned title");
    const std::string line = FormatTaskLine(task);
    FUZZ_CHECK(line == ReferenceLine(task), "formatted line");

    // Reading gives back the record as it was stored: texts cleaned, the recurrence read as
    // None when it is no code at all.
    TaskRecord stored = task;
    stored.title = ReferenceClean(task.title);
    stored.note = ReferenceClean(task.note);
    const bool bKnownRecurrence = task.recurrence >= 0 && task.recurrence <= kWeeklyLast;
    stored.recurrence = bKnownRecurrence ? task.recurrence : 0;
    const TaskRecord back = ParseTaskLine(line);
    FUZZ_CHECK(back == stored, "record read back");
    const std::string again = FormatTaskLine(back);
    FUZZ_CHECK(!bKnownRecurrence || again == line, "line formatted again");
    FUZZ_CHECK(again == ReferenceLine(stored), "line of the record read back");

    // A duplicate keeps the date text as stored.
    const std::string copy = FormatTaskLineWithDateText(
        dateText, task.advanceDays, task.status, task.recurrence, task.title, task.note, task.hour);
    FUZZ_CHECK(copy == ReferenceLine(dateText, task), "line with a date text");
    FUZZ_CHECK(TaskLineDateText(copy) == ReferenceClean(dateText), "date text read back");

    CheckReaders(line, reused);
    CheckReaders(copy, reused);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    UseFixedZone();
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    Reused reused;
    CheckReaders(whole, reused);
    CFuzzInput in(data, size);
    CheckRoundTrip(in, reused);
    CheckTable(whole, size == 0 ? 0 : data[size - 1]);
    return 0;
}
