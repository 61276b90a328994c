#pragma once

#include <QDialog>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "platform/programfolders.h"
#include "reminder/poll.h"
#include "reminder/polltrigger.h"
#include "reminder/taskpoller.h"
#include "tasks/taskfile.h"
#include "tasks/tasksort.h"

class CCommandMenu;
class CSettingsStore;
class CTaskFileWatcher;
class CTaskListModel;
struct CMainActions;
class IClock;
class QLabel;
class QMenuBar;
class QModelIndex;
class CTaskListView;
class QWidget;

// The program's one window: the clock, the task list, the menu bar and the tray icon. It owns
// the run-time state (loaded settings, one-second timer, poll-in-progress flag) and is the
// window side of every poll.
class CMainDlg : public QDialog, public IPollHost {
    Q_OBJECT

public:
    // settings and clock must outlive the window. folders say where the task file and the
    // help page are. bTrayAvailable says whether the desktop shows tray icons; without one,
    // hiding would leave no way back, so the window minimises.
    CMainDlg(CSettingsStore& settings, const IClock& clock, ProgramFolders folders,
             bool bTrayAvailable, QWidget* parent = nullptr);
    // A portable program: task file and help page in moduleDir, the program's folder (ending
    // in a slash).
    CMainDlg(CSettingsStore& settings, const IClock& clock, const std::string& moduleDir,
             bool bTrayAvailable, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Loads the settings, restores the placement, runs the first poll (its reminders come
    // before the window shows) and shows the window as the start-up mode says.
    void OnInitDialog();

    // Lists every task and raises due reminders. Returns 0, or -1 when the task file cannot be
    // opened. A call while another poll waits on the user does nothing and returns 0. The file
    // is read only when it may have changed since the last poll (CTaskPoller).
    int PollTasks();

    // The selected list row, or -1.
    int GetSelectedTaskRow() const;
    // Replaces the text of one column header.
    void SetColumnText(int column, const QString& text);

    // Opens the task in the editor (Edit mode, or Read mode with bViewOnly) and writes back
    // what the user changed, over that very task as long as it is still in the file.
    void OpenTaskEditor(const TaskRef& task, bool bNewTask, bool bViewOnly);

    // The window side of a poll.
    CTime Now() override;
    ReminderAnswer AskReminder(const ReminderRequest& request) override;
    // The reminder's "Details...": the task in the read-only view.
    void ShowTaskDetails(const TaskRef& task) override;
    void ShowRows(std::shared_ptr<const CTaskTable> rows) override;
    void ShowError(std::string_view text, std::string_view caption) override;

public slots:
    void OnTimer();
    void OnRefresh();
    // Hide: into the tray, or minimised when there is no tray.
    void OnOK();
    // The exit question; Yes ends the program.
    void OnCancel();
    void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
    // Shows the window normally and in front, as a double-click on the tray icon does; an open
    // reminder comes in front of it.
    void ShowFromTray();
    // Another copy was started: show this one instead, an open reminder in front.
    void BringToFront();

    // The editor: a new task, and the selected one. Neither does anything while a
    // timer-driven poll runs.
    void OnAddTask();
    void OnViewEditTask();

    // The task commands. Each does nothing while a timer-driven poll runs; those that act on
    // the selected task do nothing without a selection.
    void OnDeleteSelection();
    void OnMarkForDeletion();
    void OnKeepAsNew();
    void OnInsertDuplicate();
    void OnDeleteMarkedTasks();
    void OnDeletePastTasks();
    void OnCompactDatabase();
    void OnSortByDateDescending();
    void OnSortByDateAscending();
    void OnSortByStatus();
    void OnSortByRecurrence();

    // Settings, About, the help page and the system's date and time settings.
    void OnSettings();
    void OnAbout();
    void OnHelpIndex();
    void OnSystemCalendar();

    // A click on a column header sorts by that column; "Task" alternates the date order.
    void OnListColumnClick(int column);
    // A context-menu request at a point on the screen: the command menu opens there when the
    // point is inside the window's client area.
    void OnContextMenu(const QPoint& globalPos);

signals:
    // The user confirmed the exit; the program should end with code 0.
    void ExitConfirmed();

protected:
    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    // The layout (maindlglayout.cpp): the ground with the clock and the list, the menu bar
    // over it, the designed and the minimum size; the clock and the list follow every resize.
    void BuildClient();
    void LayOutWindow();
    QSize MinimumWindowSize() const;
    void LayOutClock();
    void ResizeListToWindow();
    void UpdateClock();
    void HideWindow();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void RestoreTitleAfterPoll();
    // Menus: every popup greys the selection commands as it opens (OnInitMenuPopup) and
    // enables them again as it closes, so that the keys find them enabled.
    void BuildMenus();
    void OnInitMenuPopup();
    void OnUninitMenuPopup();
    // The window system's own menu gets the About item where the platform lets a program add
    // one.
    void AddSystemMenuAbout();
    // A key pressed in the list; true when it ran a command.
    bool OnListKeyDown(int key);
    // A double-click on a list row opens its task.
    void OnListDblClk(const QModelIndex& index);
    // Parent of the editor: the window while it is on screen, else none, so that the editor
    // shows also when the window hides in the tray.
    QWidget* EditorParent();
    // The task of the selected row, if a row is selected.
    std::optional<TaskRef> SelectedTask() const;
    // Ends a command by its result: refreshes the list after a change (or when the task had
    // gone), says so when the file could not be changed.
    void FinishCommand(int result);
    void SortTaskFile(TaskSort sort);

    CSettingsStore& m_settings;
    const IClock& m_clock;
    const ProgramFolders m_folders;
    const bool m_bTrayAvailable;

    std::unique_ptr<CMainActions> m_pActions;
    QMenuBar* m_pMenuBar = nullptr;
    QWidget* m_pClient = nullptr;
    QLabel* m_pDateLabel = nullptr;
    QLabel* m_pTimeLabel = nullptr;
    CTaskListView* m_pTaskList = nullptr;
    CTaskListModel* m_pModel = nullptr;
    QSystemTrayIcon* m_pTrayIcon = nullptr;
    CCommandMenu* m_pContextMenu = nullptr;
    CCommandMenu* m_pTrayMenu = nullptr;

    CTaskFileWatcher* m_pWatcher = nullptr;
    CPollTrigger m_pollTrigger;

    QTimer m_timer;
    QTimer m_titleRestore;
    QString m_strTitleBeforePoll;

    int m_bSound = 1;
    int m_nStartupMode = 0;
    int m_nTickCount = 0;
    int m_nPollSeconds = 90;
    int m_bPolling = 0;
    std::string m_strModuleDir;  // where the help page is: the program's folder when portable
    bool m_bTaskSortAscending = false;  // the last "Task" header click sorted ascending

    bool m_bInitialised = false;
    bool m_bHiddenStartDone = false;
    bool m_bShownOnRequest = false;
    bool m_bActivationPending = false;
    // Made at start-up, once the settings have named the file.
    std::optional<CTaskFile> m_taskFile;
    std::optional<CTaskPoller> m_poller;

    friend class CMainDlgFixture;
    friend class TestMainDlg;
    friend class TestMainCommands;
    friend class TestTaskEditDlg;
    friend class TestMainMenus;
    friend class TestDesktopMenus;
    friend class TestMainLayout;
};
