#include "mainwnd/maincommands.h"

#include <QAction>
#include <QCoreApplication>
#include <array>
#include <optional>
#include <utility>

#include "editor/taskeditflow.h"
#include "info/aboutdlg.h"
#include "info/desktoprequests.h"
#include "mainwnd/cursorguards.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "platform/autostart.h"
#include "platform/memorystatus.h"
#include "platform/programfolders.h"
#include "platform/settingsstore.h"
#include "prefs/settingsdlg.h"
#include "reminder/pollrunner.h"
#include "reminder/reminderdlg.h"
#include "res/strings.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"

namespace {

// The header texts each sort leaves, columns 0, 1 and 2.
std::array<const char*, 3> SortHeaders(TaskSort sort) {
    switch (sort) {
        case TaskSort::DateDescending:
            return {Str::ColumnTaskDescending, Str::ColumnStatus, Str::ColumnRecurrence};
        case TaskSort::DateAscending:
            return {Str::ColumnTaskAscending, Str::ColumnStatus, Str::ColumnRecurrence};
        case TaskSort::Status:
            return {Str::ColumnTask, Str::ColumnStatusSorted, Str::ColumnRecurrence};
        case TaskSort::Recurrence:
            break;
    }
    return {Str::ColumnTask, Str::ColumnStatus, Str::ColumnRecurrenceSorted};
}

QString FromFileText(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// What went wrong with a change of the task file, after a blank line: when the file could not
// be read, what is wrong with it and its path.
QString FailureText(const CTaskFile& file, int result) {
    return QStringLiteral("\n\n") + (result == kCannotOpen
                                         ? FromFileText(file.ProblemText())
                                         : QString::fromLatin1(FailureReason(result)));
}

}  // namespace

CMainCommands::CMainCommands(CMainDlg& window, const CTaskFile& file, CPollRunner& polls,
                             CSettingsStore& settings, const IClock& clock,
                             const LoadedSettings& loaded, std::string helpFolder, QObject* parent)
    : QObject(parent),
      m_window(window),
      m_taskFile(file),
      m_polls(polls),
      m_settings(settings),
      m_clock(clock),
      m_strHelpFolder(std::move(helpFolder)),
      m_bSound(loaded.bSound),
      m_nStartupMode(loaded.nStartupMode),
      m_schedule(loaded.nPollSeconds) {
    ConnectActions();
    connect(&polls, &CPollRunner::PollingChanged, this, &CMainCommands::UpdateActions);
    connect(&window, &CMainDlg::SelectionChanged, this, &CMainCommands::UpdateActions);
    connect(&window, &CMainDlg::Ticked, this, &CMainCommands::OnTick);
    UpdateActions();
}

void CMainCommands::ConnectActions() {
    const CMainActions& actions = m_window.Actions();
    const std::pair<QAction*, void (CMainCommands::*)()> handlers[] = {
        {actions.pNewTask, &CMainCommands::OnAddTask},
        {actions.pSettings, &CMainCommands::OnSettings},
        {actions.pViewEditTask, &CMainCommands::OnViewEditTask},
        {actions.pKeepAsNew, &CMainCommands::OnKeepAsNew},
        {actions.pInsertDuplicate, &CMainCommands::OnInsertDuplicate},
        {actions.pMarkForDeletion, &CMainCommands::OnMarkForDeletion},
        {actions.pDeleteSelection, &CMainCommands::OnDeleteSelection},
        {actions.pDeleteMarkedTasks, &CMainCommands::OnDeleteMarkedTasks},
        {actions.pDeletePastTasks, &CMainCommands::OnDeletePastTasks},
        {actions.pCompactDatabase, &CMainCommands::OnCompactDatabase},
        {actions.pSystemCalendar, &CMainCommands::OnSystemCalendar},
        {actions.pRefresh, &CMainCommands::Refresh},
        {actions.pAbout, &CMainCommands::OnAbout},
        {actions.pHelpIndex, &CMainCommands::OnHelpIndex},
    };
    for (const auto& [action, handler] : handlers) {
        connect(action, &QAction::triggered, this, handler);
    }
    const std::pair<QAction*, TaskSort> sorts[] = {
        {actions.pSortByDateDescending, TaskSort::DateDescending},
        {actions.pSortByDateAscending, TaskSort::DateAscending},
        {actions.pSortByStatus, TaskSort::Status},
        {actions.pSortByRecurrence, TaskSort::Recurrence},
    };
    for (const auto& [action, sort] : sorts) {
        connect(action, &QAction::triggered, this, [this, sort = sort] { SortTaskFile(sort); });
    }
}

void CMainCommands::UpdateActions() {
    m_window.Actions().UpdateEnabled(m_polls.IsPolling(), m_window.SelectedTask().has_value());
}

// The polls.

void CMainCommands::Refresh() {
    const CWaitCursor wait;
    const CTime started = m_clock.GetCurrentTime();
    if (m_polls.Poll(*this) != kPollBusy) {
        m_schedule.OnPolled(started);
    }
}

void CMainCommands::RefreshSoon() {
    QMetaObject::invokeMethod(this, &CMainCommands::Refresh, Qt::QueuedConnection);
}

void CMainCommands::OnTick() {
    // Ticks go on while a poll waits on the user, but they never start a second poll; a poll
    // that is due then comes at the first tick after that poll.
    if (m_schedule.OnTick(m_clock.GetCurrentTime(), m_clock.GetSteadyMilliseconds()) &&
        !m_polls.IsPolling()) {
        // Not inside the tick: the clock must go on while the poll's reminders wait.
        QMetaObject::invokeMethod(this, &CMainCommands::RunTimedPoll, Qt::QueuedConnection);
    }
}

void CMainCommands::RunTimedPoll() {
    if (m_polls.IsPolling()) {
        return;
    }
    m_schedule.TimedPollStarting();
    m_window.ShowTimedPoll();
    Refresh();
}

CTime CMainCommands::Now() {
    return m_clock.GetCurrentTime();
}

ReminderAnswer CMainCommands::AskReminder(const ReminderRequest& request) {
    const CArrowCursor arrow;
    // The window takes no commands while the reminder waits; its clock goes on, and the tray
    // icon still works.
    m_window.setEnabled(false);
    const ReminderAnswer answer = CReminderDlg::AskReminder(request, m_bSound);
    m_window.setEnabled(true);
    return answer;
}

void CMainCommands::ShowTaskDetails(const TaskRef& task) {
    // The poll shows the wait cursor; the user needs the arrow to read and close the view.
    const CArrowCursor arrow;
    FinishCommand(EditTaskInEditor(m_window.DialogParent(), m_taskFile, task, true));
}

void CMainCommands::ShowRows(std::shared_ptr<const CTaskTable> rows) {
    m_window.ShowRows(std::move(rows));
}

void CMainCommands::ShowError(std::string_view text, std::string_view caption) {
    CMessageBox::Error(&m_window, FromFileText(text), FromFileText(caption));
}

// The task commands.

void CMainCommands::FinishCommand(int result) {
    switch (result) {
        case kUnchanged:
            return;
        case kDone:
        case kTaskGone:    // the list was out of date: show what the file holds now
        case kOutOfRange:  // no task to remove
            Refresh();
            return;
        default:
            CMessageBox::Error(
                &m_window,
                QString::fromLatin1(Str::ChangeNotSaved) + FailureText(m_taskFile, result),
                QString::fromLatin1(Str::Error));
    }
}

void CMainCommands::OnAddTask() {
    FinishCommand(AddTaskInEditor(m_window.DialogParent(), m_taskFile, m_clock.GetCurrentTime()));
}

void CMainCommands::OnViewEditTask() {
    if (const std::optional<TaskRef> task = m_window.SelectedTask()) {
        FinishCommand(EditTaskInEditor(m_window.DialogParent(), m_taskFile, *task, false));
    }
}

void CMainCommands::OnDeleteSelection() {
    const std::optional<TaskRef> task = m_window.SelectedTask();
    if (task && CMessageBox::Question(&m_window, QString::fromLatin1(Str::ConfirmDeleteSelection),
                                      QString::fromLatin1(Str::Confirm)) == QMessageBox::Yes) {
        FinishCommand(DeleteTask(m_taskFile, *task));
    }
}

void CMainCommands::OnMarkForDeletion() {
    if (const std::optional<TaskRef> task = m_window.SelectedTask()) {
        FinishCommand(SetTaskStatus(m_taskFile, *task, ToInt(TaskStatus::ToDelete)));
    }
}

void CMainCommands::OnKeepAsNew() {
    if (const std::optional<TaskRef> task = m_window.SelectedTask()) {
        FinishCommand(SetTaskStatus(m_taskFile, *task, ToInt(TaskStatus::Future)));
    }
}

void CMainCommands::OnInsertDuplicate() {
    if (const std::optional<TaskRef> task = m_window.SelectedTask()) {
        FinishCommand(DuplicateTask(m_taskFile, *task));
    }
}

void CMainCommands::OnDeleteMarkedTasks() {
    FinishCommand(DeleteMarkedTasks(m_taskFile));
}

void CMainCommands::OnDeletePastTasks() {
    if (CMessageBox::Question(&m_window, QString::fromLatin1(Str::ConfirmDeletePast),
                              QString::fromLatin1(Str::Confirm)) == QMessageBox::Yes) {
        FinishCommand(DeletePastTasks(m_taskFile));
    }
}

void CMainCommands::OnCompactDatabase() {
    int result = kDone;
    {
        const CWaitCursor wait;
        result = CompactTaskFile(m_taskFile);
    }
    if (result != kDone) {
        CMessageBox::Error(
            &m_window, QString::fromLatin1(Str::CompactFailed) + FailureText(m_taskFile, result),
            QString::fromLatin1(Str::Error));
        return;
    }
    Refresh();
}

void CMainCommands::SortTaskFile(TaskSort sort) {
    int result = kDone;
    {
        const CWaitCursor wait;
        result = ::SortTaskFile(m_taskFile, sort);
    }
    if (result != kDone) {
        // The old text where it is true: the tasks could not be read. Otherwise they could, and
        // it was their writing that failed.
        const char* what = result == kCannotOpen ? Str::CouldNotOpenForSorting : Str::SortNotSaved;
        CMessageBox::Error(&m_window, QString::fromLatin1(what) + FailureText(m_taskFile, result),
                           QString::fromLatin1(Str::Error));
        return;
    }
    const std::array<const char*, 3> headers = SortHeaders(sort);
    for (int column = 0; column < static_cast<int>(headers.size()); ++column) {
        m_window.SetColumnText(column, QString::fromLatin1(headers[static_cast<size_t>(column)]));
    }
    Refresh();
}

// The commands that open something else.

void CMainCommands::OnSettings() {
    CSettingsDlg dlg(m_settings, m_nStartupMode, m_bSound, &m_window);
    dlg.SetStartAtLogin(IsStartAtLoginOn());
    dlg.exec();
    // Cancel leaves both at -1 and changes nothing. The sound acts from the next reminder on;
    // the start-up mode and the interval (stored by the dialog) wait for the next start.
    if (dlg.m_nStartup < 0 || dlg.m_bSound < 0) {
        return;
    }
    m_nStartupMode = dlg.m_nStartup;
    m_bSound = dlg.m_bSound;
    m_settings.WriteValue(SettingKey::Startup, std::to_string(m_nStartupMode));
    m_settings.WriteValue(SettingKey::Sound, std::to_string(m_bSound));
    // The autostart entry starts this very program, which then starts in the chosen mode.
    if (const auto error =
            SetStartAtLogin(dlg.m_bStartAtLogin, QCoreApplication::applicationFilePath())) {
        CMessageBox::Error(&m_window, *error, QString::fromLatin1(Str::Error));
    }
}

void CMainCommands::OnAbout() {
    CAboutDlg dlg(GetMemoryStatus(), &m_window);
    dlg.exec();
}

void CMainCommands::OnHelpIndex() {
    const QString folder = FromCorePath(m_strHelpFolder);
    if (const auto error = OpenHelpIndex(folder)) {
        CMessageBox::Error(&m_window, *error, QString::fromLatin1(Str::Error));
    }
}

void CMainCommands::OnSystemCalendar() {
    if (const auto error = OpenSystemCalendar()) {
        CMessageBox::Error(&m_window, *error, QString::fromLatin1(Str::Error));
    }
}
