#include "reminder/taskpoller.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reminder/classify.h"
#include "reminder/datemoves.h"
#include "reminder/tasktable.h"
#include "res/strings.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// The file's task lines, in file order.
std::vector<std::string_view> TaskLinesOf(const TaskFileLines& file) {
    std::vector<std::string_view> tasks;
    tasks.reserve(file.lines.size());
    for (const std::string_view line : file.lines) {
        if (IsTaskLine(line)) {
            tasks.push_back(line);
        }
    }
    return tasks;
}

// Whether two task lines hold the same values, however they are spelt.
bool SameTask(std::string_view one, std::string_view other) {
    TaskView first;
    TaskView second;
    ParseTaskLine(one, first);
    ParseTaskLine(other, second);
    return first == second;
}

// Shows the task read-only for "Details...". The view may write the task back itself: with its
// day corrected, when the file holds a day its month lacks. The answer then counts for the task
// as the view left it, which ref is changed to name: the one task the view put in its place,
// when the file afterwards holds the tasks it held before, less the reminded one, and one more
// at its end.
void ShowDetails(IPollHost& host, const CTaskFile& file, TaskRef& ref) {
    TaskFileLines before;
    const bool bBefore = file.Load(before, MissingTaskFile::Fail) == kDone;
    host.ShowTaskDetails(ref);
    TaskFileLines after;
    if (!bBefore || FindTask(file, ref) != 0 || file.Load(after, MissingTaskFile::Fail) != kDone) {
        return;  // the task is still there as reminded, or nothing can be known
    }
    const std::vector<std::string_view> was = TaskLinesOf(before);
    const std::vector<std::string_view> is = TaskLinesOf(after);
    const auto reminded = static_cast<std::size_t>(ref.nRecord) - 1;
    if (is.size() != was.size() || reminded >= was.size() ||
        ParseTaskLine(was[reminded]) != ref.record) {
        return;
    }
    for (std::size_t i = 0; i + 1 < is.size(); ++i) {
        if (!SameTask(is[i], was[i < reminded ? i : i + 1])) {
            return;
        }
    }
    ref = TaskRef{.record = ParseTaskLine(is.back()), .nRecord = static_cast<int>(is.size())};
}

// Raises the reminder of the task ref names and writes the answer back. Returns whether an
// answer was written; ref then names the task as written back, the last of nTasks tasks.
bool RemindAndWriteBack(IPollHost& host, const CTaskFile& file, TaskRef& ref,
                        std::string_view caption, int nTasks) {
    ref.nRecord = FindTask(file, ref);
    if (ref.nRecord == 0) {
        // Changed since the poll began; the next poll classifies what the file holds now.
        return false;
    }
    const TaskRecord& task = ref.record;  // follows ref, also when the details view replaced it
    const ReminderAnswer answer = host.AskReminder(ReminderRequest{
        .nRecord = ref.nRecord,
        .title = task.title,
        .year = task.dueYear,
        .month = task.dueMonth,
        .day = task.dueDay,
        .advanceDays = task.advanceDays,
        .hour = task.hour,
        .status = task.status,
        .caption = std::string(caption),
    });
    if (answer == ReminderAnswer::Details) {
        ShowDetails(host, file, ref);
    }
    // Dates move from when the user answered, which may be long after the poll began.
    std::optional<TaskRecord> answered = AnsweredTask(task, answer, host.Now());
    if (!answered) {
        return false;
    }
    // Something else than the details view may have moved or rewritten the task meanwhile. The
    // answer is written only over the very task that was reminded, or that the details view put
    // in its place; a task that has changed otherwise is left as it now stands.
    const int result = ReplaceTask(file, ref, FormatTaskLine(*answered));
    if (result == kTaskGone) {
        return false;
    }
    if (result != kDone) {
        // The file is as it was; the user must know the answer did not stick.
        host.ShowError(Str::AnswerNotSaved, Str::Error);
        return false;
    }
    ref = TaskRef{.record = std::move(*answered), .nRecord = nTasks};
    return true;
}

}  // namespace

// Marks a poll as running for its whole length, and says so. Polls run on the one
// user-interface thread; a second one started from inside the first (a reminder or the details
// view runs a nested event loop) would visit the same tasks again.
class CTaskPoller::CRunning {
public:
    explicit CRunning(CTaskPoller& poller) : m_poller(poller) { Set(true); }
    ~CRunning() { Set(false); }
    CRunning(const CRunning&) = delete;
    CRunning& operator=(const CRunning&) = delete;

private:
    void Set(bool bRunning) {
        m_poller.m_bRunning = bRunning;
        if (m_poller.m_runningObserver) {
            m_poller.m_runningObserver(bRunning);
        }
    }

    CTaskPoller& m_poller;
};

CTaskPoller::CTaskPoller(const CTaskFile& file, const IFileClock& clock)
    : m_file(file), m_clock(clock), m_pTable(std::make_shared<CTaskTable>()) {}

CTaskPoller::~CTaskPoller() = default;

void CTaskPoller::SetRunningObserver(std::function<void(bool)> observer) {
    m_runningObserver = std::move(observer);
}

int CTaskPoller::ReportUnreadable(IPollHost& host) {
    m_skipRule.Forget();
    // What the path holds now is what the message is about: a change to it is news.
    m_shownStamp = StampOfFile(m_file.Path());
    m_pTable->Clear();
    // The list is empty while the message shows.
    host.ShowRows(m_pTable);
    host.ShowError(m_file.ProblemText(), Str::Error);
    return kPollNoFile;
}

void CTaskPoller::RaiseReminders(IPollHost& host, const PollHour& hour, CTaskTable& table) {
    // Each task written back moves to the end of the file, so a later task stands that many
    // places before its start-of-poll position.
    const int nTasks = static_cast<int>(table.size());
    int nWrittenBack = 0;
    TaskView task;
    for (const std::size_t row : m_reminders) {
        table.Fields(row, task);
        const Classification shown = ClassifyTask(hour, task);
        TaskRef ref{.record = ParseTaskLine(table.Line(row)),
                    .nRecord = static_cast<int>(row) + 1 - nWrittenBack};
        const bool bWrittenBack = RemindAndWriteBack(host, m_file, ref, shown.caption, nTasks);
        if (bWrittenBack) {
            ++nWrittenBack;
        }
        table.SetReminded(row, std::move(ref), bWrittenBack);
    }
}

int CTaskPoller::Poll(IPollHost& host) {
    if (m_bRunning) {
        return kPollBusy;
    }
    const CRunning running(*this);
    m_bLastSkipped = false;

    // Read before the file is looked at: any change from here on is stamped later than this.
    const std::int64_t startNs = m_clock.NowNs();
    const PollHour hour = CurrentHour(host.Now());
    // A file that has not changed since a poll read it is known by its stamp alone: it is not
    // even opened.
    if (m_skipRule.MaySkip(m_file.Path(), StampOfFile(m_file.Path()), hour)) {
        m_bLastSkipped = true;
        return kPollDone;
    }
    FilePtr file = m_file.OpenToRead();
    if (!file) {
        return ReportUnreadable(host);
    }
    FileStamp stamp;
    const bool bStamped = ReadFileStamp(file.get(), stamp);

    // One read gives the start-of-poll view: every task in file order, classified.
    const std::uint64_t generation = m_pTable->Generation();
    m_reminders.clear();
    const bool bRead = m_pTable->Read(file.get(), bStamped ? stamp.size : 0, hour, m_reminders);
    file.reset();  // the answers replace the file
    if (!bRead) {
        return ReportUnreadable(host);
    }
    m_shownStamp = bStamped ? stamp : FileStamp{};
    if (m_pTable.use_count() > 1 && m_pTable->Generation() != generation) {
        // The host shows this very table, now changed: it must take it in before a reminder
        // lets anything draw it.
        host.ShowRows(m_pTable);
    }
    if (!m_reminders.empty()) {
        RaiseReminders(host, hour, *m_pTable);
        // The answers are looked at again by the next poll.
        m_skipRule.Forget();
        return ShowFileAfterAnswers(host);
    }
    host.ShowRows(m_pTable);
    if (bStamped) {
        m_skipRule.Remember(m_file.Path(), stamp, startNs, hour);
    } else {
        m_skipRule.Forget();
    }
    return kPollDone;
}

int CTaskPoller::ShowFileAfterAnswers(IPollHost& host) {
    // The answers moved the reminded tasks on, and the reminders may have waited long enough
    // for other programs to change the file: the rows show it as it now stands, classified
    // against the hour now. What is still due is raised by the next poll, not by this one.
    FileStamp stamp;
    if (!ReadTable(CurrentHour(host.Now()), stamp)) {
        return ReportUnreadable(host);
    }
    m_shownStamp = stamp;
    host.ShowRows(m_pTable);
    return kPollDone;
}

void CTaskPoller::ReadAhead(CTime now) {
    FileStamp stamp;
    ReadTable(CurrentHour(now), stamp);
}

bool CTaskPoller::ReadTable(const PollHour& hour, FileStamp& stamp) {
    FilePtr file = m_file.OpenToRead();
    const bool bStamped = file && ReadFileStamp(file.get(), stamp);
    if (!bStamped) {
        stamp = FileStamp{};
    }
    m_reminders.clear();
    return file && m_pTable->Read(file.get(), bStamped ? stamp.size : 0, hour, m_reminders);
}
