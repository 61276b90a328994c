#pragma once

#include <QDialog>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "mainwnd/mainactions.h"
#include "tasks/taskcommands.h"

class CCommandMenu;
class CMainClient;
class CPollRunner;
class CSettingsStore;
class CTaskTable;
class CWindowPlacement;
class IClock;
class QMenuBar;
class QModelIndex;

// The program's one window: the clock, the task list, the menu bar and the tray icon. It shows
// what the polls found and turns the user's gestures into the shared commands (CMainActions);
// the commands themselves are the command controller's. It keeps its place between runs, and
// says while a poll the tick called for runs.
class CMainDlg : public QDialog {
    Q_OBJECT

public:
    // settings keep the window's place and clock gives the time; both, and polls, must outlive
    // the window. isTrayAvailable says whether the desktop shows tray icons; without one,
    // hiding would leave no way back, so the window minimises. It is asked once, when first
    // needed: asking may wait on the desktop's message bus, which the first window need not.
    CMainDlg(CSettingsStore& settings, const IClock& clock, const CPollRunner& polls,
             std::function<bool()> isTrayAvailable, QWidget* parent = nullptr);
    ~CMainDlg() override;

    const CMainActions& Actions() const { return m_actions; }

    // Start-up, in this order: the stored place and the running clock before the first poll,
    // then the tray icon and the window as the start-up mode says (1 minimised, 2 hidden,
    // anything else normal).
    void RestorePlacement();
    void StartClock();
    void ShowAtStart(int nStartupMode);

    // The rows of a poll.
    void ShowRows(std::shared_ptr<const CTaskTable> rows);
    // The task of the selected row, if a row is selected.
    std::optional<TaskRef> SelectedTask() const;
    // Replaces the text of one column header.
    void SetColumnText(int column, const QString& text);
    // A poll the tick called for starts: the caption flashes and the title says so until a
    // moment after the poll.
    void ShowTimedPoll();
    // The parent for a dialog about the tasks: the window while it is on screen, else none,
    // so that the dialog shows also when the window hides in the tray.
    QWidget* DialogParent();

public slots:
    // The one-second tick: the clock, then Ticked().
    void OnTimer();
    // Hide: into the tray, or minimised when there is no tray.
    void OnOK();
    // The exit question; Yes saves the place and ends with ExitConfirmed().
    void OnCancel();
    // Shows the window normally and in front, as a double-click on the tray icon does; an open
    // reminder comes in front of it.
    void ShowFromTray();
    // Another copy was started: show this one instead, an open reminder in front.
    void BringToFront();
    // A context-menu request at a point on the screen: the command menu opens there when the
    // point is inside the window's client area.
    void OnContextMenu(const QPoint& globalPos);

signals:
    // Every second, after the clock has moved on.
    void Ticked();
    // The selected row, or the rows themselves, changed.
    void SelectionChanged();
    // The user confirmed the exit; the program should end with code 0.
    void ExitConfirmed();

protected:
    void accept() override;
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void OnPollingChanged(bool bPolling);
    void UpdateClock();
    void HideWindow();
    bool TrayAvailable();
    void AddTrayIcon();
    void RemoveTrayIcon();
    void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
    // The window system's own menu gets the About item where the platform lets a program add
    // one.
    void AddSystemMenuAbout();
    // A click on a column header sorts by that column; "Task" alternates the date order.
    void OnListColumnClick(int column);
    // A double-click on a row opens its task, as View/Edit Task does.
    void OnListDblClk(const QModelIndex& index);
    int GetSelectedTaskRow() const;

    CSettingsStore& m_settings;
    const IClock& m_clock;
    const CPollRunner& m_polls;
    std::function<bool()> m_isTrayAvailable;
    std::optional<bool> m_bTrayAvailable;  // once asked

    CMainActions m_actions;
    QMenuBar* m_pMenuBar;
    CMainClient* m_pClient;
    CCommandMenu* m_pContextMenu;
    CCommandMenu* m_pTrayMenu;
    QSystemTrayIcon* m_pTrayIcon = nullptr;
    CWindowPlacement* m_pPlacement;

    QTimer* m_pTick;
    QTimer m_titleRestore;
    QString m_strTitleBeforePoll;
    bool m_bPollTitleShown = false;  // "Polling tasks..." stands for the running poll

    bool m_bTaskSortAscending = false;  // the last "Task" header click sorted ascending
    bool m_bInitialised = false;
    bool m_bHiddenStartDone = true;
    bool m_bShownOnRequest = false;
    bool m_bActivationPending = false;
};
