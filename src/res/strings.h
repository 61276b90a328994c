#pragma once

// The program's own texts, kept in one place and used exactly as they stand.
namespace Str {

inline constexpr const char* AboutMenuItem = "&About Marmoset Task...";
inline constexpr const char* ConfirmExit =
    "This will end the program. Are you sure you want to quit?";
inline constexpr const char* Confirm = "Confirm";
inline constexpr const char* TaskFileNotFound = "Task file not found.";
inline constexpr const char* Error = "Error!";
inline constexpr const char* CompactFailed = "Error occurred during compacting process!";
inline constexpr const char* ConfirmDeleteSelection =
    "This will delete the selected task permanently. Are you sure you want to delete it?";
inline constexpr const char* CouldNotOpenForSorting = "Could not open tasks for sorting!";
inline constexpr const char* ConfirmDeletePast =
    "This will permanently delete all completed tasks. Are you sure you want to do this?";
inline constexpr const char* AppTitle = "Marmoset Task";
inline constexpr const char* PollingTasks = "Polling tasks...";
inline constexpr const char* AddNewTask = "Add a New Task";
inline constexpr const char* EditTask = "Edit Task";
inline constexpr const char* TaskDetails = "Task Details";
inline constexpr const char* TitleRequired = "You must enter a title for the appointment.";
inline constexpr const char* InvalidInput = "Invalid input: Try again.";
inline constexpr const char* DayChanged =
    "The day value is invalid for the month and year you've chosen. The value will be now "
    "changed to last valid day.";
inline constexpr const char* ReadMode = "Read Mode";
inline constexpr const char* EditMode = "Edit Mode";
inline constexpr const char* HiddenStartupNote =
    "You have chosen Hidden start-up option. Please note the following:\n\nWhen Hidden, the "
    "program will appear as an icon on your Taskbar (typically next to where your system date "
    "appears). You can bring the program anytime into normal view by double-clicking that icon.";

// Shown when an answered reminder cannot be stored (a full disk, a read-only folder).
inline constexpr const char* AnswerNotSaved =
    "Your answer to a reminder could not be saved in the task file, so the task is unchanged "
    "and will be reminded again.";

// Shown when a command's change cannot be written to the task file, followed by the reason.
inline constexpr const char* ChangeNotSaved =
    "Your change could not be saved in the task file, so the file is left as it was.";
inline constexpr const char* ReasonCannotRead = "The task file could not be read.";
inline constexpr const char* ReasonCannotWriteTemp =
    "The new content could not be written beside it: the disk may be full or the folder "
    "read-only.";
inline constexpr const char* ReasonCannotFlush =
    "The new content could not be written to the disk.";
inline constexpr const char* ReasonCannotReplace = "The task file could not be replaced.";

// Column headers of the task list; the marked ones name the last sort.
inline constexpr const char* ColumnTask = "Task";
inline constexpr const char* ColumnTaskDescending = "Task (-)";
inline constexpr const char* ColumnTaskAscending = "Task (+)";
inline constexpr const char* ColumnStatus = "Status";
inline constexpr const char* ColumnStatusSorted = "Status !";
inline constexpr const char* ColumnRecurrence = "Recurrence";
inline constexpr const char* ColumnRecurrenceSorted = "Recurrence !";

// Reminder captions.
inline constexpr const char* MissedAppointments = "Missed Appointments!";
inline constexpr const char* AdvanceNotice = "Advance Notice";
inline constexpr const char* NowDue = "Now Due!";

// Tray icon tip.
inline constexpr const char* TrayTip = "Marmoset Task running...Double-click me to show it.";

// The About box's memory lines.
inline constexpr const char* TotalRam = "Total RAM=%1 MB";
inline constexpr const char* FreeRam = "Free RAM=%1 MB";
inline constexpr const char* MemoryUtilization = "Memory utilization=%1%";

// The help page beside the program, and what the user is told when a request to the desktop
// fails; the path or the programs tried follow on the next line.
inline constexpr const char* HelpFileName = "nkindex.htm";
inline constexpr const char* HelpNotOpened = "The help page could not be opened:";
inline constexpr const char* DateTimeSettingsMissing =
    "The date and time settings could not be opened: none of these programs is installed:";
inline constexpr const char* DateTimeSettingsFailed =
    "The date and time settings could not be opened: these programs would not start:";

}  // namespace Str
