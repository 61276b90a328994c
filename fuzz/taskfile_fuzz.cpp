// The task file: a file made from the input is read every way the program reads it, and each
// reading must agree with a plain split of its lines: the same lines whole and the same fields,
// whatever the bytes, line ends and lengths. The readers that hold on to what
// they read (the poll's buffer and table, the reused records) first read what the file held
// before, made from the same input, so that each input alone shows what it finds. Then one
// changing operation runs on a copy in a memory folder and must leave exactly the content
// worked out for it.
//
// The input starts with five control bytes (as digits in the seeds: "0" is the plain case):
// how the expected size given to the buffered readers is off, which operation runs, how far and
// where a line is stretched (to reach past the readers' blocks), and which task the operation
// takes.

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzzinput.h"
#include "memorytaskfile.h"
#include "referenceops.h"
#include "referencetask.h"
#include "reminder/classify.h"
#include "reminder/tasktable.h"
#include "tasks/filetext.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// Stretches, asked for by the digits 1 to 8: around half and a whole of the readers' 64 KiB
// blocks, so that lines and files reach past them. Other bytes ask for none, so that most
// inputs stay small and fast.
constexpr std::array<std::size_t, 8> kStretches = {100,   1000,  8000,  30000,
                                                   34000, 60000, 66000, 75000};

struct Control {
    std::uint8_t sizeHint = 0;
    std::uint8_t op = 0;
    std::uint8_t stretch = 0;
    std::uint8_t stretchAt = 0;
    std::uint8_t pick = 0;
};

std::uint8_t Digit(CFuzzInput& in) {
    return static_cast<std::uint8_t>(in.Byte() - '0');
}

// The file the input makes: its text, with a run of copies of one byte put in when asked, so
// that lines and files can reach beyond the readers' blocks.
std::string MakeContent(const Control& control, std::string_view text) {
    std::string content(text);
    if (control.stretch >= 1 && control.stretch <= kStretches.size()) {
        const std::size_t length = kStretches[control.stretch - 1];
        const std::size_t at = content.size() * control.stretchAt / 255;
        const char filler = at > 0 ? content[at - 1] : 'x';
        content.insert(at, length, filler);
    }
    return content;
}

// The size a poll would have been told, right or wrong: the file may change between the
// look at its size and the read.
std::uint64_t SizeHint(const Control& control, std::size_t size) {
    switch (control.sizeHint % 4) {
        case 0:
            return size;
        case 1:
            return 0;
        case 2:
            return size / 2;
        default:
            return size * 2 + 100;
    }
}

struct Reference {
    std::vector<std::string_view> lines;
    std::vector<std::string_view> tasks;
    std::vector<TaskRecord> records;
};

Reference ReadByReference(std::string_view content) {
    Reference ref;
    ref.lines = ReferenceLines(content);
    for (const std::string_view line : ref.lines) {
        if (ReferenceIsTask(line)) {
            ref.tasks.push_back(line);
            ref.records.push_back(ReferenceParse(line).record);
        }
    }
    return ref;
}

// What the file held before, for the readers that keep what they read: the same, nothing, one
// byte less, one byte changed, or a task more.
std::string MakeBefore(const Control& control, const std::string& content) {
    std::string before = content;
    switch ((control.pick + control.sizeHint) % 5) {
        case 0:
            break;
        case 1:
            before.clear();
            break;
        case 2:
            if (!before.empty()) {
                before.pop_back();
            }
            break;
        case 3:
            if (!before.empty()) {
                before[before.size() * control.stretchAt / 256] ^= 1;
            }
            break;
        default:
            before += "#1/1/2000{+}0{+}0{+}0{+}one more{+}n{+}6\r\n";
            break;
    }
    return before;
}

// The readers that keep what they read, as a poll keeps them from one read to the next.
struct Keepers {
    CFileText text;
    CTaskTable table;
};

std::vector<std::size_t> ReadTable(const CTaskFile& taskFile, CTaskTable& table,
                                   std::uint64_t sizeHint, const Control& control) {
    std::vector<std::size_t> reminders;
    const FilePtr file = taskFile.OpenToRead();
    FUZZ_CHECK(file != nullptr, "open");
    FUZZ_CHECK(
        table.Read(file.get(), sizeHint,
                   CurrentHour(CTime::FromLocal(2026, 3, 8, 1 + control.pick % 3)), reminders),
        "table read");
    return reminders;
}

void ReadBefore(const CTaskFile& taskFile, Keepers& keep, std::size_t size,
                const Control& control) {
    const FilePtr file = taskFile.OpenToRead();
    FUZZ_CHECK(file != nullptr, "open");
    FUZZ_CHECK(keep.text.Read(file.get(), size) != CFileText::Outcome::Failed, "buffer read");
    (void)ReadTable(taskFile, keep.table, size, control);
}

void CheckWholeFileReaders(const CTaskFile& taskFile, const Reference& ref,
                           std::string_view content) {
    TaskFileLines loaded;
    FUZZ_CHECK(taskFile.Load(loaded, MissingTaskFile::Fail) == kDone, "Load");
    FUZZ_CHECK(loaded.text.View() == content, "loaded content");
    FUZZ_CHECK(loaded.lines == ref.lines, "loaded lines");
}

// The poll's kept buffer and table, which held what the file held before: read the file now,
// with the size the poll was told (right or wrong), and then again with its right size. A
// changed file must read as changed; a file read again unchanged with its right size is only
// compared, and its table kept as it was. (A wrong size may make room anew, which reads as a
// change: harmless, the rows are only made again.)
void CheckKeptReaders(const CTaskFile& taskFile, const Reference& ref, std::string_view content,
                      std::string_view before, const Control& control, Keepers& keep) {
    const std::uint64_t hint = SizeHint(control, content.size());
    const bool bHintRight = hint == content.size();
    const bool bChanged = content != before;
    for (const bool bAgain : {false, true}) {
        const FilePtr file = taskFile.OpenToRead();
        FUZZ_CHECK(file != nullptr, "open");
        const CFileText::Outcome outcome =
            keep.text.Read(file.get(), bAgain ? content.size() : hint);
        FUZZ_CHECK(keep.text.View() == content, "kept buffer's text");
        if (!bAgain && bChanged) {
            FUZZ_CHECK(outcome == CFileText::Outcome::Changed, "a changed file reads as changed");
        } else if (bHintRight) {
            FUZZ_CHECK(outcome == CFileText::Outcome::Same, "an unchanged file is only compared");
        }

        const std::uint64_t generation = keep.table.Generation();
        (void)ReadTable(taskFile, keep.table, bAgain ? content.size() : hint, control);
        if (!bAgain && bChanged) {
            FUZZ_CHECK(keep.table.Generation() != generation, "a changed file shows anew");
        } else if (bHintRight) {
            FUZZ_CHECK(keep.table.Generation() == generation, "an unchanged file shows as it was");
        }
    }
    FUZZ_CHECK(keep.table.size() == ref.tasks.size(), "a row per task");
    for (std::size_t row = 0; row < ref.tasks.size(); ++row) {
        FUZZ_CHECK(keep.table.Line(row) == ref.tasks[row], "row's line");
        TaskView fields;
        keep.table.Fields(row, fields);
        FUZZ_CHECK(ReferenceCopy(fields) == ref.records[row], "row's fields");
    }
}

// A folder in memory for the whole run, removed at its end.
class CScratchFolder {
public:
    CScratchFolder() {
        const std::filesystem::path shm = "/dev/shm";
        m_path =
            (std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path()) /
            ("marmoset-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_path);
    }
    ~CScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// One changing operation on a copy of the file in a memory folder, against the content worked
// out for it.
void CheckRewrite(const Reference& ref, const std::string& content, const Control& control) {
    static const CScratchFolder s_folder;
    static const CTaskFile s_taskFile((s_folder.Path() / "nkdat").string());
    {
        std::ofstream out(s_taskFile.Path(), std::ios::binary | std::ios::trunc);
        out << content;
        FUZZ_CHECK(out.good(), "cannot write the task file");
    }
    const int nTasks = static_cast<int>(ref.tasks.size());
    RewriteRequest request;
    request.op = kRewriteOps[control.op % kRewriteOps.size()];
    request.line = "#2/29/2028{+}1{+}0{+}37{+}added{+}(none){+}7\r\n";
    if (nTasks > 0) {
        // The task a row shows, its number then sometimes one off: another program moved it.
        const int n = control.pick % nTasks + 1;
        request.task = ref.records[n - 1];
        request.nTask = n + control.sizeHint % 3 - 1;
    }
    request.status = control.pick % 5;

    const RewriteOutcome want = ReferenceRewrite(content, request);
    const int result = RunRewrite(s_taskFile, request);
    std::ifstream in(s_taskFile.Path(), std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    FUZZ_CHECK(result == want.result, RewriteOpName(request.op));
    FUZZ_CHECK(after == want.content.value_or(content), RewriteOpName(request.op));
    FUZZ_CHECK(!std::filesystem::exists(s_taskFile.TempPath()), "temporary file left");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    UseFixedZone();
    CFuzzInput in(data, size);
    Control control;
    control.sizeHint = Digit(in);
    control.op = Digit(in);
    control.stretch = Digit(in);
    control.stretchAt = in.Byte();
    control.pick = Digit(in);
    const std::string content = MakeContent(control, in.Rest());
    const std::string before = MakeBefore(control, content);
    const Reference ref = ReadByReference(content);

    static CMemoryTaskFile s_file;
    static const CTaskFile s_taskFile(s_file.Path());
    Keepers keep;
    s_file.Write(before);
    ReadBefore(s_taskFile, keep, before.size(), control);
    s_file.Write(content);
    CheckWholeFileReaders(s_taskFile, ref, content);
    CheckKeptReaders(s_taskFile, ref, content, before, control, keep);
    CheckRewrite(ref, content, control);
    return 0;
}
