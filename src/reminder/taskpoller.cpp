#include "reminder/taskpoller.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "reminder/classify.h"
#include "reminder/datemoves.h"
#include "reminder/tasktable.h"
#include "res/strings.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// Raises the reminder of the task ref names and writes the answer back. Returns whether an
// answer was written; ref then names the task as written back, the last of nTasks tasks.
bool RemindAndWriteBack(IPollHost& host, TaskRef& ref, std::string_view caption, int nTasks) {
    ref.nRecord = FindTask(ref);
    if (ref.nRecord == 0) {
        // Changed since the poll began; the next poll classifies what the file holds now.
        return false;
    }
    const TaskRecord& task = ref.record;
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
        host.ShowTaskDetails(ref);
    }
    // Dates move from when the user answered, which may be long after the poll began.
    std::optional<TaskRecord> answered = AnsweredTask(task, answer, host.Now());
    if (!answered) {
        return false;
    }
    // The details view, or anything else, may have moved or rewritten the task meanwhile. The
    // answer is written only over the very task that was reminded; a task that has changed is
    // left as it now stands.
    const int result = ReplaceTask(ref, FormatTaskLine(*answered));
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

CTaskPoller::CTaskPoller(const IFileClock& clock)
    : m_clock(clock), m_pTable(std::make_shared<CTaskTable>()) {}

CTaskPoller::~CTaskPoller() = default;

void CTaskPoller::SetRunningObserver(std::function<void(bool)> observer) {
    m_runningObserver = std::move(observer);
}

int CTaskPoller::ReportUnreadable(IPollHost& host) {
    m_skipRule.Forget();
    // What the path holds now is what the message is about: a change to it is news.
    m_shownStamp = StampOfFile(g_szTaskFilePath);
    m_pTable->Clear();
    // The list is empty while the message shows.
    host.ShowRows(m_pTable);
    host.ShowError(TaskFileProblemText(), Str::Error);
    return kPollNoFile;
}

void CTaskPoller::RaiseReminders(IPollHost& host, const PollHour& hour, CTaskTable& table) {
    // Each task written back moves to the end of the file, so a later task stands that many
    // places before its start-of-poll position.
    const int nTasks = static_cast<int>(table.size());
    int nWrittenBack = 0;
    TaskLineFields fields;
    for (const std::size_t row : m_reminders) {
        table.Fields(row, fields);
        TaskRef ref{.record = ToTaskRecord(fields),
                    .nRecord = static_cast<int>(row) + 1 - nWrittenBack};
        const Classification shown = ClassifyTask(hour, fields);
        const bool bWrittenBack = RemindAndWriteBack(host, ref, shown.caption, nTasks);
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

    // Read before the file is opened: any change from here on is stamped later than this.
    const std::int64_t startNs = m_clock.NowNs();
    FilePtr file = OpenTaskFileToRead();
    if (!file) {
        return ReportUnreadable(host);
    }
    FileStamp stamp;
    const bool bStamped = ReadFileStamp(file.get(), stamp);
    const PollHour hour = CurrentHour(host.Now());
    if (bStamped && m_skipRule.MaySkip(g_szTaskFilePath, stamp, hour)) {
        m_bLastSkipped = true;
        return kPollDone;
    }

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
        m_skipRule.Remember(g_szTaskFilePath, stamp, startNs, hour);
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
    FilePtr file = OpenTaskFileToRead();
    const bool bStamped = file && ReadFileStamp(file.get(), stamp);
    if (!bStamped) {
        stamp = FileStamp{};
    }
    m_reminders.clear();
    return file && m_pTable->Read(file.get(), bStamped ? stamp.size : 0, hour, m_reminders);
}
