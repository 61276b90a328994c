#pragma once

#include <QDialog>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <string>
#include <vector>

#include "reminder/poll.h"

class CSettingsStore;
class CTaskListModel;
class IClock;
class QAction;
class QLabel;
class QMenuBar;
class QTreeView;
class QWidget;

// The program's one window: the clock, the task list, the menu bar and the tray icon. It owns
// the run-time state (loaded settings, one-second timer, poll-in-progress flag) and is the
// window side of every poll.
class CMainDlg : public QDialog, public IPollHost {
    Q_OBJECT

public:
    // settings and clock must outlive the window. moduleDir is the program's folder (ending
    // in a slash), where the task file lives. bTrayAvailable says whether the desktop shows
    // tray icons; without one, hiding would leave no way back, so the window minimises.
    CMainDlg(CSettingsStore& settings, const IClock& clock, std::string moduleDir,
             bool bTrayAvailable, QWidget* parent = nullptr);
    ~CMainDlg() override;

    // Loads the settings, restores the placement, runs the first poll (its reminders come
    // before the window shows) and shows the window as the start-up mode says.
    void OnInitDialog();

    // Lists every task and raises due reminders. Returns 0, or -1 when the task file cannot be
    // opened. A call while another poll waits on the user does nothing and returns 0.
    int PollTasks();

    // The window side of a poll.
    CTime Now() override;
    ReminderAnswer AskReminder(const ReminderRequest& request) override;
    void ShowTaskDetails(int nRecord) override;
    void BeginRows(std::size_t count) override;
    void AddRow(TaskRow row) override;
    void ShowError(std::string_view text, std::string_view caption) override;

public slots:
    void OnTimer();
    void OnRefresh();
    // Hide: into the tray, or minimised when there is no tray.
    void OnOK();
    // The exit question; Yes ends the program.
    void OnCancel();
    void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
    // Another copy was started: show this one instead.
    void BringToFront();

signals:
    // The user confirmed the exit; the program should end with code 0.
    void ExitConfirmed();

protected:
    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenuBar();
    void BuildClient();
    void UpdateClock();
    void ResizeListToWindow();
    void HideWindow();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void RestoreTitleAfterPoll();

    CSettingsStore& m_settings;
    const IClock& m_clock;
    const std::string m_strModuleDirGiven;
    const bool m_bTrayAvailable;

    QMenuBar* m_pMenuBar = nullptr;
    QAction* m_pExitAction = nullptr;
    QAction* m_pHideAction = nullptr;
    QAction* m_pRefreshAction = nullptr;
    QWidget* m_pClient = nullptr;
    QLabel* m_pDateLabel = nullptr;
    QLabel* m_pTimeLabel = nullptr;
    QTreeView* m_pTaskList = nullptr;
    CTaskListModel* m_pModel = nullptr;
    QSystemTrayIcon* m_pTrayIcon = nullptr;

    QTimer m_timer;
    QTimer m_titleRestore;
    QString m_strTitleBeforePoll;

    int m_bSound = 1;
    int m_nStartupMode = 0;
    int m_nTickCount = 0;
    int m_nPollSeconds = 90;
    int m_bPolling = 0;
    std::string m_strModuleDir;

    bool m_bInitialised = false;
    bool m_bInPoll = false;
    bool m_bHiddenStartDone = false;
    bool m_bShownOnRequest = false;
    bool m_bActivationPending = false;
    std::vector<TaskRow> m_newRows;

    friend class TestMainDlg;
};
