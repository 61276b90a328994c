#include "mainwnd/maindlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <utility>

#include "calendar/ctime.h"
#include "mainwnd/clocktext.h"
#include "mainwnd/cursorguards.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/showminimized.h"
#include "mainwnd/taskfilewatcher.h"
#include "mainwnd/tasklistmodel.h"
#include "platform/settingsstore.h"
#include "prefs/windowplacement.h"
#include "reminder/reminderdlg.h"
#include "res/strings.h"
#include "tasks/taskfile.h"

CMainDlg::CMainDlg(CSettingsStore& settings, const IClock& clock, const std::string& moduleDir,
                   bool bTrayAvailable, QWidget* parent)
    : CMainDlg(settings, clock, PortableFolders(moduleDir), bTrayAvailable, parent) {}

CMainDlg::CMainDlg(CSettingsStore& settings, const IClock& clock, ProgramFolders folders,
                   bool bTrayAvailable, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_clock(clock),
      m_folders(std::move(folders)),
      m_bTrayAvailable(bTrayAvailable) {
    // A main window rather than a dialog: it has a taskbar button and a minimise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(Str::AppTitle));
    m_pActions = std::make_unique<CMainActions>(*this);
    BuildClient();
    BuildMenus();
    LayOutWindow();

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &CMainDlg::OnTimer);
    m_titleRestore.setSingleShot(true);
    m_titleRestore.setInterval(150);
    connect(&m_titleRestore, &QTimer::timeout, this, &CMainDlg::RestoreTitleAfterPoll);
    m_pWatcher = new CTaskFileWatcher(this);
    // Another program changed the task file: the list follows, as after Refresh.
    connect(m_pWatcher, &CTaskFileWatcher::ChangedOutside, this, &CMainDlg::OnRefresh);
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::OnInitDialog() {
    AddSystemMenuAbout();

    const LoadedSettings loaded = LoadSettings(m_settings, m_folders.taskFolder);
    m_nPollSeconds = loaded.nPollSeconds;
    m_bSound = loaded.bSound;
    m_nStartupMode = loaded.nStartupMode;
    // From here on every task file operation works on this file.
    m_taskFile.emplace(loaded.taskFilePath);
    m_poller.emplace(*m_taskFile);
    if (m_folders.bFirstStart) {
        // An installed program's first start: an empty list rather than a missing file. A
        // failure shows at the first poll, which names the path.
        CreateFirstTaskFile(m_taskFile->Path());
    }
    // Only the mode the program started with hides the window at the first tick.
    m_bHiddenStartDone = m_nStartupMode != kStartupHidden;
    // No other copy runs, so a temporary file beside the task file is a killed rewrite's.
    m_taskFile->RemoveLeftoverTempFile();
    m_pWatcher->Watch(m_taskFile->Path());

    ApplyWindowPlacement(*this, LoadWindowPlacement(m_settings));

    m_timer.start();
    m_nTickCount = 0;
    m_bPolling = 0;
    setWindowTitle(QString::fromLatin1(Str::AppTitle));

    // Reminders due now are raised here, before the window is first shown.
    PollTasks();
    AddTrayIcon();
    UpdateClock();
    m_strModuleDir = m_folders.helpFolder;

    if (m_nStartupMode == kStartupMinimized) {
        ShowMinimizedOnceMapped(*this);
    } else if (m_nStartupMode == kStartupHidden) {
        // Never shown in the first place, so nothing flashes up before it hides.
        if (!m_bTrayAvailable) {
            ShowMinimizedOnceMapped(*this);
        }
    } else {
        showNormal();
    }
    m_bInitialised = true;
    if (m_bActivationPending) {
        m_bActivationPending = false;
        BringToFront();
    }
}

void CMainDlg::OnTimer() {
    // The hidden start-up is applied once more on the first tick, in case the window became
    // visible on its own; a window the user has asked for by now stays as it is.
    if (!m_bHiddenStartDone) {
        m_bHiddenStartDone = true;
        if (m_bTrayAvailable && !m_bShownOnRequest && isVisible()) {
            HideWindow();
        }
    }
    UpdateClock();
    ++m_nTickCount;
    // A new hour, or a jump of the clock, calls for a poll besides the interval.
    const bool bClockCalls =
        m_pollTrigger.OnTick(m_clock.GetCurrentTime(), m_clock.GetSteadyMilliseconds());

    // Ticks go on while a poll waits on the user, but they never start a second poll.
    if ((m_nTickCount < m_nPollSeconds && !bClockCalls) || m_bPolling == 1 || IsPollRunning()) {
        return;
    }
    m_bPolling = 1;
    QApplication::alert(this, 150);
    m_nTickCount = 0;
    if (!m_titleRestore.isActive()) {
        m_strTitleBeforePoll = windowTitle();
    }
    m_titleRestore.stop();
    setWindowTitle(QString::fromLatin1(Str::PollingTasks));
    PollTasks();
    // The poll title stays a moment even when the poll is instant, without holding up the
    // event loop.
    m_titleRestore.start();
    m_bPolling = 0;
}

void CMainDlg::RestoreTitleAfterPoll() {
    setWindowTitle(m_strTitleBeforePoll);
}

void CMainDlg::OnRefresh() {
    if (m_bPolling == 1) {
        return;
    }
    PollTasks();
}

void CMainDlg::UpdateClock() {
    const QDateTime now =
        QDateTime::fromSecsSinceEpoch(m_clock.GetCurrentTime().GetTime(), Qt::LocalTime);
    const QLocale locale = QLocale::system();
    m_pDateLabel->setText(FormatClockDate(now.date(), locale));
    m_pTimeLabel->setText(FormatClockTime(now.time(), locale));
}

void CMainDlg::accept() {
    OnOK();
}

void CMainDlg::reject() {
    OnCancel();
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    // The window only closes through the exit question.
    event->ignore();
    OnCancel();
}

void CMainDlg::OnOK() {
    HideWindow();
}

void CMainDlg::HideWindow() {
    if (m_bTrayAvailable) {
        hide();
    } else {
        showMinimized();
    }
}

void CMainDlg::OnCancel() {
    const QMessageBox::StandardButton answer = CMessageBox::Question(
        this, QString::fromLatin1(Str::ConfirmExit), QString::fromLatin1(Str::Confirm));
    if (answer != QMessageBox::Yes) {
        return;
    }
    SaveWindowPlacement(m_settings, *this);
    RemoveTrayIcon();
    m_timer.stop();
    m_titleRestore.stop();
    hide();
    emit ExitConfirmed();
}

void CMainDlg::BringToFront() {
    // A reminder waiting for an answer comes first, wherever the window is.
    const bool bReminderOpen = CReminderDlg::BringOpenReminderToFront();
    if (!m_bInitialised) {
        // Start-up reminders are still being answered; come forward once they are done.
        m_bActivationPending = true;
        return;
    }
    if (isHidden() && m_bTrayAvailable) {
        // Hidden in the tray it stays hidden: the tray icon is the way back.
        return;
    }
    m_bShownOnRequest = true;
    if (isHidden() || isMinimized()) {
        showNormal();
    }
    if (bReminderOpen) {
        // Shown behind the reminder, which keeps the front.
        CReminderDlg::BringOpenReminderToFront();
        return;
    }
    raise();
    activateWindow();
}

int CMainDlg::PollTasks() {
    if (!m_poller) {
        return -1;  // no task file before the settings have named it
    }
    if (IsPollRunning()) {
        // A poll is waiting on the user; a second one over the same tasks would answer them
        // twice, and its rows are still to come.
        return 0;
    }
    const CWaitCursor wait;
    const CTime started = m_clock.GetCurrentTime();
    m_pWatcher->PollStarting();
    const int result = m_poller->Poll(*this);
    m_pWatcher->PollEnded();
    m_pollTrigger.OnPolled(started);
    // The next tick comes a full second after any poll has ended, so that however long it took
    // and whatever the interval, the window handles its input before the next one.
    if (m_timer.isActive()) {
        m_timer.start();
    }
    return result;
}

CTime CMainDlg::Now() {
    return m_clock.GetCurrentTime();
}

ReminderAnswer CMainDlg::AskReminder(const ReminderRequest& request) {
    const CArrowCursor arrow;
    m_pWatcher->ReminderRaised();
    // The window takes no commands while the reminder waits; the tray icon still works.
    setEnabled(false);
    const ReminderAnswer answer = CReminderDlg::AskReminder(request, m_bSound);
    setEnabled(true);
    m_pWatcher->ReminderAnswered();
    return answer;
}

void CMainDlg::ShowRows(std::shared_ptr<const CTaskTable> rows) {
    // One model update per poll that read the file, and none at all when nothing changed.
    m_pModel->SetTable(std::move(rows));
}

void CMainDlg::ShowError(std::string_view text, std::string_view caption) {
    CMessageBox::Error(
        this, QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())),
        QString::fromLocal8Bit(caption.data(), static_cast<qsizetype>(caption.size())));
}
