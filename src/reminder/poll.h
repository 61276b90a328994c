#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "calendar/ctime.h"
#include "tasks/taskcommands.h"

// What the poll hands to the reminder dialog for one task.
struct ReminderRequest {
    int nRecord = 0;  // the task's position in the file when the reminder is raised
    std::string title;
    int year = 0;
    int month = 0;
    int day = 0;
    int advanceDays = 0;
    int hour = 0;
    int status = 0;  // stored status from the start of the poll
    std::string caption;

    bool operator==(const ReminderRequest&) const = default;
};

enum class ReminderAnswer {
    Details,         // "Details..." or Enter
    Okay,            // "Okay" or Esc
    RemindTomorrow,  // "Remind me tomorrow"
    None,            // the dialog ended some other way: nothing is written
};

class CTaskTable;

// The window side of a poll: the poll itself knows nothing about windows.
class IPollHost {
public:
    virtual ~IPollHost() = default;
    virtual CTime Now() = 0;
    virtual ReminderAnswer AskReminder(const ReminderRequest& request) = 0;
    // Shows the task read-only, as the poll last found it in the file (task.nRecord is its
    // number then); the details view may itself rewrite the task.
    virtual void ShowTaskDetails(const TaskRef& task) = 0;
    // Takes the list a poll made, once its reminders are done: a row per task in the order
    // of the file when the poll began, none when the file could not be read. The host may keep
    // the table to show it. A later poll fills that same table again in place; when that
    // changes its rows (CTaskTable::Generation), the table is handed over at once, before any
    // reminder can let the host draw it, and again at the end.
    virtual void ShowRows(std::shared_ptr<const CTaskTable> rows) = 0;
    virtual void ShowError(std::string_view text, std::string_view caption) = 0;
};

// Results of a poll (CTaskPoller::Poll).
inline constexpr int kPollDone = 0;
inline constexpr int kPollNoFile = -1;
inline constexpr int kPollBusy = 1;
