#include "mainwnd/maindlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "mainwnd/clocktext.h"
#include "mainwnd/cursorguards.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/showminimized.h"
#include "mainwnd/taskfilewatcher.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"
#include "platform/settingsstore.h"
#include "prefs/windowplacement.h"
#include "reminder/ctime.h"
#include "reminder/reminderdlg.h"
#include "res/images.h"
#include "res/strings.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilerewrite.h"
#include "tasks/taskline.h"

namespace {

// The designed window: client area, clock texts and list, in pixels.
constexpr int kClientWidth = 446;
constexpr int kClientHeight = 327;
constexpr int kTextLeft = 11;
constexpr int kTextTop = 11;
constexpr int kTimeRight = 422;
constexpr int kListLeft = 11;
constexpr int kListTop = 49;
constexpr int kTaskColumnWidth = 240;
constexpr int kStatusColumnWidth = 80;
constexpr int kRecurrenceColumnWidth = 80;

const QColor kGroundColour(0, 64, 128);

}  // namespace

CMainDlg::CMainDlg(CSettingsStore& settings, const IClock& clock, std::string moduleDir,
                   bool bTrayAvailable, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_clock(clock),
      m_strModuleDirGiven(std::move(moduleDir)),
      m_bTrayAvailable(bTrayAvailable) {
    // A main window rather than a dialog: it has a taskbar button and a minimise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(Str::AppTitle));
    m_pActions = std::make_unique<CMainActions>(*this);
    BuildClient();
    BuildMenus();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_pMenuBar);
    layout->addWidget(m_pClient);
    // The list follows the window by hand, so the layout must not impose a minimum.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    resize(kClientWidth, kClientHeight + m_pMenuBar->sizeHint().height());

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

void CMainDlg::BuildClient() {
    m_pClient = new QWidget(this);
    QPalette ground = m_pClient->palette();
    ground.setColor(QPalette::Window, kGroundColour);
    m_pClient->setPalette(ground);
    m_pClient->setAutoFillBackground(true);

    QPalette white = m_pClient->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_pDateLabel = new QLabel(m_pClient);
    m_pDateLabel->setPalette(white);
    m_pTimeLabel = new QLabel(m_pClient);
    m_pTimeLabel->setPalette(white);
    m_pTimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const int textHeight = m_pDateLabel->fontMetrics().height() + 2;
    const int timeWidth =
        m_pTimeLabel->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00 AM ")) + 16;
    m_pTimeLabel->setGeometry(kTimeRight - timeWidth, kTextTop, timeWidth, textHeight);
    m_pDateLabel->setGeometry(kTextLeft, kTextTop, kTimeRight - timeWidth - 8 - kTextLeft,
                              textHeight);

    m_pModel = new CTaskListModel(StatusImages(), this);
    m_pTaskList = new CTaskListView(m_pClient);
    // The dark ground is for the window itself; the list and its header keep the system's
    // colours, also where the header has no column.
    QPalette listPalette = QApplication::palette(m_pTaskList);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        listPalette.setColor(group, QPalette::Window, listPalette.color(group, QPalette::Window));
    }
    m_pTaskList->setPalette(listPalette);
    m_pTaskList->setModel(m_pModel);
    m_pTaskList->installEventFilter(this);
    connect(m_pTaskList, &QTableView::doubleClicked, this, &CMainDlg::OnListDblClk);
    m_pTaskList->setColumnWidth(CTaskListModel::kTaskColumn, kTaskColumnWidth);
    // The longest status must be readable whatever the font: widen the column if needed.
    const int longestStatus =
        m_pTaskList->fontMetrics().horizontalAdvance(
            QString::fromLatin1(StatusName(ToInt(TaskStatus::TodayUnread)))) +
        2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_pTaskList) + 8;
    m_pTaskList->setColumnWidth(CTaskListModel::kStatusColumn,
                                std::max(kStatusColumnWidth, longestStatus));
    m_pTaskList->setColumnWidth(CTaskListModel::kRecurrenceColumn, kRecurrenceColumnWidth);
    m_pTaskList->move(kListLeft, std::max(kListTop, kTextTop + textHeight + 8));
}

void CMainDlg::OnInitDialog() {
    AddSystemMenuAbout();

    const LoadedSettings loaded = LoadSettings(m_settings, m_strModuleDirGiven);
    m_nPollSeconds = loaded.nPollSeconds;
    m_bSound = loaded.bSound;
    m_nStartupMode = loaded.nStartupMode;
    // From here on every task file operation works on this file.
    g_szTaskFilePath = loaded.taskFilePath;
    // Only the mode the program started with hides the window at the first tick.
    m_bHiddenStartDone = m_nStartupMode != kStartupHidden;
    // No other copy runs, so a temporary file beside the task file is a killed rewrite's.
    RemoveLeftoverTempFile();
    m_pWatcher->Watch(g_szTaskFilePath);

    ApplyWindowPlacement(*this, LoadWindowPlacement(m_settings));

    m_timer.start();
    m_nTickCount = 0;
    m_bPolling = 0;
    setWindowTitle(QString::fromLatin1(Str::AppTitle));

    // Reminders due now are raised here, before the window is first shown.
    PollTasks();
    AddTrayIcon();
    UpdateClock();
    m_strModuleDir = m_strModuleDirGiven;

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

void CMainDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ResizeListToWindow();
}

void CMainDlg::ResizeListToWindow() {
    // The list keeps its top-left corner. Its right and bottom edges follow the window's
    // outer edges, two scroll-bar widths in from the right and five up from the bottom,
    // counted as if the list stood at the client's origin; that leaves the designed margins.
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int outerRight = m_pClient->width() + (frame.right() - inner.right());
    const int outerBottom = m_pClient->height() + (frame.bottom() - inner.bottom());
    const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int border = m_pTaskList->frameWidth();
    const int width = std::max(0, outerRight - 2 * thumb + border);
    const int height = std::max(0, outerBottom - 5 * thumb + border);
    m_pTaskList->resize(width, height);
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
    if (IsPollRunning()) {
        // A poll is waiting on the user; a second one over the same tasks would answer them
        // twice, and its rows are still to come.
        return 0;
    }
    const CWaitCursor wait;
    const CTime started = m_clock.GetCurrentTime();
    m_pWatcher->PollStarting();
    const int result = m_poller.Poll(*this);
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
