#pragma once

#include <QObject>
#include <memory>
#include <string>
#include <string_view>

#include "reminder/poll.h"
#include "reminder/pollschedule.h"
#include "tasks/tasksort.h"

class CMainDlg;
class CPollRunner;
class CSettingsStore;
class CTaskFile;
class IClock;
struct LoadedSettings;

// The command controller beside the main window: it runs every command of the window's
// shared actions (with its questions and the refresh after it), the polls of the task file
// (the tick's, the refresh's and those after a change) and, as their host, the reminders and
// the details view they raise. While a poll runs, the commands that change the file are
// disabled as one group; those that act on the selected task also while no task is selected.
class CMainCommands : public QObject, public IPollHost {
    Q_OBJECT

public:
    // Everything given must outlive the controller; the commands change file, loaded are the
    // settings start-up read and helpFolder holds the help page.
    CMainCommands(CMainDlg& window, const CTaskFile& file, CPollRunner& polls,
                  CSettingsStore& settings, const IClock& clock, const LoadedSettings& loaded,
                  std::string helpFolder, QObject* parent = nullptr);

    // Lists every task and raises due reminders; while another poll runs it leaves that poll
    // to show the rows.
    void Refresh();
    // The same, once the event loop gets to it: for requests that arrive inside a handler
    // that must not wait on a reminder (another program changed the file).
    void RefreshSoon();

    // The host side of a poll.
    CTime Now() override;
    ReminderAnswer AskReminder(const ReminderRequest& request) override;
    // The reminder's "Details...": the task in the read-only view.
    void ShowTaskDetails(const TaskRef& task) override;
    void ShowRows(std::shared_ptr<const CTaskTable> rows) override;
    void ShowError(std::string_view text, std::string_view caption) override;

private:
    void ConnectActions();
    void UpdateActions();
    void OnTick();
    void RunTimedPoll();

    // The task commands; those that act on the selected task do nothing without a selection.
    void OnAddTask();
    void OnViewEditTask();
    void OnDeleteSelection();
    void OnMarkForDeletion();
    void OnKeepAsNew();
    void OnInsertDuplicate();
    void OnDeleteMarkedTasks();
    void OnDeletePastTasks();
    void OnCompactDatabase();
    void SortTaskFile(TaskSort sort);
    // Ends a command by its result: refreshes the list after a change (or when the task had
    // gone), says so when the file could not be changed.
    void FinishCommand(int result);

    // Settings, About, the help page and the system's date and time settings.
    void OnSettings();
    void OnAbout();
    void OnHelpIndex();
    void OnSystemCalendar();

    CMainDlg& m_window;
    const CTaskFile& m_taskFile;
    CPollRunner& m_polls;
    CSettingsStore& m_settings;
    const IClock& m_clock;
    const std::string m_strHelpFolder;
    int m_bSound;
    int m_nStartupMode;
    CPollSchedule m_schedule;
};
