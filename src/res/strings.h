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
// What a new task holds until the user types over it, and the note of a task without one.
inline constexpr const char* NewTaskTitle = "Enter a title here";
inline constexpr const char* NewTaskNote = "Additional text here..";
inline constexpr const char* NoNote = "(none)";
inline constexpr const char* HiddenStartupNote =
    "You have chosen Hidden start-up option. Please note the following:\n\nWhen Hidden, the "
    "program will appear as an icon on your Taskbar (typically next to where your system date "
    "appears). You can bring the program anytime into normal view by double-clicking that icon.";

// What is wrong with a task file that cannot be read; the path follows on its own line.
inline constexpr const char* TaskFileIsFolder = "The task file is a folder, not a file.";
inline constexpr const char* TaskFileIsPipe =
    "The task file is a named pipe, not a file, so it is not read.";
inline constexpr const char* TaskFileIsDevice =
    "The task file is a device, not a file, so it is not read.";
inline constexpr const char* TaskFileIsNotAFile = "The task file is not a file, so it is not read.";
inline constexpr const char* TaskFileNameTooLong =
    "The task file setting names no file this system can open: the path, or a name in it, is "
    "too long. The setting is left as it is.";

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
inline constexpr const char* ReasonBusy =
    "Another program was changing the task file and did not finish within two seconds. Try "
    "again in a moment.";
inline constexpr const char* ReasonCannotKeepAccess =
    "The new file could not be given the task file's owner and permissions, so it did not "
    "take the task file's place.";
// Shown when a sort could read the tasks but not write them in their new order; the reason
// follows.
inline constexpr const char* SortNotSaved =
    "The sorted tasks could not be saved in the task file, so the file is left as it was.";

// Shown when a task from the editor cannot be written; the editor then opens again.
inline constexpr const char* TaskNotSaved =
    "Your task could not be saved in the task file, so the file is left as it was. The disk "
    "may be full, or the task file or its folder may be read-only.\n\nThe editor opens again "
    "with what you entered, so that you can try again or copy it.";
// Shown when the task in the editor was changed or removed elsewhere while it was open.
inline constexpr const char* TaskChangedMeanwhile =
    "This task was changed or removed while the editor was open (by a reminder or another "
    "program), so your changes were not saved. The list now shows the tasks as they are.";
// The same for typed changes; the editor then opens again with them.
inline constexpr const char* TaskChangedEditorOpensAgain =
    "This task was changed or removed while the editor was open (by a reminder or another "
    "program), so your changes were not saved.\n\nThe editor opens again with what you "
    "entered: OK adds it as a new task, Cancel leaves the tasks as they are.";

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

// The Settings dialog's login choice, and what the user is told when its autostart entry
// cannot be changed; the entry's path follows on the next line.
inline constexpr const char* StartAtLogin = "Start when I log in";
inline constexpr const char* StartAtLoginNotWritten =
    "Marmoset Task will not start when you log in: its autostart entry could not be written:";
inline constexpr const char* StartAtLoginNotRemoved =
    "Marmoset Task will still start when you log in: its autostart entry could not be removed:";

// The File menu's calendar commands: their dialogs' captions, the files they offer, and what the
// user is told; a path or a reason follows on its own line.
inline constexpr const char* ImportCalendar = "Import Calendar";
inline constexpr const char* ExportCalendar = "Export Calendar";
inline constexpr const char* CalendarFiles = "iCalendar files (*.ics *.ical *.ifb);;All files (*)";
inline constexpr const char* CalendarNotRead = "The calendar file could not be read:";
inline constexpr const char* CalendarNotWritten = "The calendar file could not be written:";
inline constexpr const char* CalendarExported = "The tasks were written as calendar events to:";

}  // namespace Str
