#include "mainwnd/maindlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <utility>

#include "calendar/ctime.h"
#include "mainwnd/commandmenu.h"
#include "mainwnd/mainclient.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/showminimized.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"
#include "platform/settingsstore.h"
#include "prefs/windowplacement.h"
#include "reminder/pollrunner.h"
#include "reminder/reminderdlg.h"
#include "res/images.h"
#include "res/strings.h"

namespace {

// How long "Polling tasks..." stays in the title after a poll, even an instant one.
constexpr int kPollTitleMs = 150;
// The window's client area as designed, when no place is stored.
constexpr QSize kDesignedClient(446, 327);

}  // namespace

CMainDlg::CMainDlg(CSettingsStore& settings, const IClock& clock, const CPollRunner& polls,
                   std::function<bool()> isTrayAvailable, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      m_clock(clock),
      m_polls(polls),
      m_isTrayAvailable(std::move(isTrayAvailable)),
      m_actions(*this),
      m_pMenuBar(m_actions.BuildMenuBar(this)),
      m_pClient(new CMainClient(this)),
      m_pContextMenu(m_actions.BuildContextMenu(this)),
      m_pTrayMenu(m_actions.BuildTrayMenu(this)),
      m_pPlacement(new CWindowPlacement(*this)),
      m_pTick(new QTimer(this)) {
    // A main window rather than a dialog: it has a taskbar button and a minimise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromLatin1(Str::AppTitle));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_pMenuBar);
    layout->addWidget(m_pClient);
    resize(kDesignedClient.grownBy({0, m_pMenuBar->sizeHint().height(), 0, 0})
               .expandedTo(minimumSizeHint()));

    CTaskListView* list = m_pClient->List();
    list->installEventFilter(this);
    connect(list, &QTableView::doubleClicked, this, &CMainDlg::OnListDblClk);
    list->header()->setSectionsClickable(true);
    connect(list->header(), &QHeaderView::sectionClicked, this, &CMainDlg::OnListColumnClick);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainDlg::SelectionChanged);
    // A new table clears the selection without a word from the selection model.
    connect(m_pClient->Model(), &QAbstractItemModel::modelReset, this, &CMainDlg::SelectionChanged);

    connect(m_actions.pHide, &QAction::triggered, this, &CMainDlg::OnOK);
    connect(m_actions.pShow, &QAction::triggered, this, &CMainDlg::ShowFromTray);
    connect(m_actions.pExit, &QAction::triggered, this, &CMainDlg::OnCancel);

    // The tick only keeps the clock and counts; polls run from the event loop, so a reminder
    // waiting for an answer never holds it up.
    m_pTick->setObjectName(QStringLiteral("tick"));
    m_pTick->setInterval(1000);
    connect(m_pTick, &QTimer::timeout, this, &CMainDlg::OnTimer);
    m_titleRestore.setSingleShot(true);
    m_titleRestore.setInterval(kPollTitleMs);
    connect(&m_titleRestore, &QTimer::timeout, this,
            [this] { setWindowTitle(m_strTitleBeforePoll); });
    connect(&polls, &CPollRunner::PollingChanged, this, &CMainDlg::OnPollingChanged);
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::RestorePlacement() {
    AddSystemMenuAbout();
    m_pPlacement->Restore(LoadWindowPlacement(m_settings));
}

void CMainDlg::StartClock() {
    m_pTick->start();
    setWindowTitle(QString::fromLatin1(Str::AppTitle));
    UpdateClock();
}

void CMainDlg::ShowAtStart(int nStartupMode) {
    UpdateClock();
    // Only the mode the program started with hides the window at the first tick.
    m_bHiddenStartDone = nStartupMode != kStartupHidden;
    if (nStartupMode == kStartupHidden) {
        // Never shown in the first place, so nothing flashes up before it hides.
        AddTrayIcon();
        if (!TrayAvailable()) {
            ShowMinimizedAtStart(*this);
        }
    } else {
        if (nStartupMode == kStartupMinimized) {
            ShowMinimizedAtStart(*this);
        } else {
            showNormal();
        }
        // The tray icon comes as soon as the window is on its way: it is there for the hidden
        // window, which the first one is not, and setting it up may wait on the desktop.
        QTimer::singleShot(0, this, &CMainDlg::AddTrayIcon);
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
        if (!m_bShownOnRequest && isVisible() && TrayAvailable()) {
            HideWindow();
        }
    }
    UpdateClock();
    emit Ticked();
}

void CMainDlg::UpdateClock() {
    m_pClient->ShowTime(
        QDateTime::fromSecsSinceEpoch(m_clock.GetCurrentTime().GetTime(), Qt::LocalTime));
}

void CMainDlg::ShowTimedPoll() {
    QApplication::alert(this, kPollTitleMs);
    if (!m_titleRestore.isActive()) {
        m_strTitleBeforePoll = windowTitle();
    }
    m_titleRestore.stop();
    setWindowTitle(QString::fromLatin1(Str::PollingTasks));
    m_bPollTitleShown = true;
}

void CMainDlg::OnPollingChanged(bool bPolling) {
    if (bPolling) {
        return;
    }
    if (m_bPollTitleShown) {
        m_bPollTitleShown = false;
        m_titleRestore.start();
    }
    // The next tick comes a full second after any poll has ended, so that however long it took
    // and whatever the interval, the window handles its input before the next one.
    if (m_pTick->isActive()) {
        m_pTick->start();
    }
}

void CMainDlg::ShowRows(std::shared_ptr<const CTaskTable> rows) {
    // One model update per poll that read the file, and none at all when nothing changed.
    m_pClient->Model()->SetTable(std::move(rows));
}

int CMainDlg::GetSelectedTaskRow() const {
    const QModelIndexList selected = m_pClient->List()->selectionModel()->selectedRows();
    int row = -1;
    for (const QModelIndex& index : selected) {
        if (row == -1 || index.row() < row) {
            row = index.row();
        }
    }
    return row;
}

std::optional<TaskRef> CMainDlg::SelectedTask() const {
    return m_pClient->Model()->TaskAt(GetSelectedTaskRow());
}

void CMainDlg::SetColumnText(int column, const QString& text) {
    m_pClient->Model()->SetColumnText(column, text);
}

QWidget* CMainDlg::DialogParent() {
    return isVisible() && !isMinimized() ? this : nullptr;
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

bool CMainDlg::TrayAvailable() {
    if (!m_bTrayAvailable) {
        m_bTrayAvailable = m_isTrayAvailable();
    }
    return *m_bTrayAvailable;
}

void CMainDlg::HideWindow() {
    if (TrayAvailable()) {
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
    m_pPlacement->Save(m_settings);
    RemoveTrayIcon();
    m_pTick->stop();
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
    if (isHidden() && TrayAvailable()) {
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

// The tray icon: added once at start-up, removed at exit. A double-click, or "Show" in its
// menu, brings the window back; the menu also offers a few everyday commands.
void CMainDlg::AddTrayIcon() {
    if (m_pTrayIcon != nullptr) {
        return;
    }
    m_pTrayIcon = new QSystemTrayIcon(AppIcon(), this);
    m_pTrayIcon->setToolTip(QString::fromLatin1(Str::TrayTip));
    m_pTrayIcon->setContextMenu(m_pTrayMenu);
    connect(m_pTrayIcon, &QSystemTrayIcon::activated, this, &CMainDlg::OnTrayNotify);
    m_pTrayIcon->show();
}

void CMainDlg::RemoveTrayIcon() {
    if (m_pTrayIcon == nullptr) {
        return;
    }
    m_pTrayIcon->hide();
    delete m_pTrayIcon;
    m_pTrayIcon = nullptr;
}

void CMainDlg::OnTrayNotify(QSystemTrayIcon::ActivationReason reason) {
    // A double-click shows the window; the right button opens the icon's menu by itself.
    if (reason == QSystemTrayIcon::DoubleClick) {
        ShowFromTray();
    }
}

void CMainDlg::ShowFromTray() {
    m_bShownOnRequest = true;
    showNormal();
    raise();
    activateWindow();
    // A reminder waiting for an answer comes to the front of the window.
    CReminderDlg::BringOpenReminderToFront();
}

// Gestures: each runs one of the shared commands, which are disabled while they cannot run.
void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
    OnContextMenu(event->globalPos());
}

void CMainDlg::OnContextMenu(const QPoint& globalPos) {
    // The client area is the window below the menu bar: the list and the ground around it.
    const QRect client(m_pClient->mapToGlobal(QPoint(0, 0)), m_pClient->size());
    if (client.contains(globalPos)) {
        m_pContextMenu->popup(globalPos);
    }
}

void CMainDlg::OnListColumnClick(int column) {
    switch (column) {
        case CTaskListModel::kTaskColumn:
            // Clicks on "Task" alternate the date order, starting with ascending; the Sort menu
            // does not change which comes next.
            m_bTaskSortAscending = !m_bTaskSortAscending;
            (m_bTaskSortAscending ? m_actions.pSortByDateAscending
                                  : m_actions.pSortByDateDescending)
                ->trigger();
            break;
        case CTaskListModel::kStatusColumn:
            m_actions.pSortByStatus->trigger();
            break;
        case CTaskListModel::kRecurrenceColumn:
            m_actions.pSortByRecurrence->trigger();
            break;
        default:
            break;
    }
}

void CMainDlg::OnListDblClk(const QModelIndex& index) {
    // The first click of the two selected the row.
    const std::optional<TaskRef> task = m_pClient->Model()->TaskAt(index.row());
    if (task && !task->record.title.empty() && GetSelectedTaskRow() == index.row()) {
        m_actions.pViewEditTask->trigger();
    }
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pClient->List() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // E and Shift+E alike.
        QAction* command = key == Qt::Key_Delete ? m_actions.pDeleteSelection
                           : key == Qt::Key_E    ? m_actions.pViewEditTask
                                                 : nullptr;
        if (command != nullptr) {
            command->trigger();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Enter presses the window's default button, the hidden "Refresh list".
    const bool bEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (bEnter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        m_actions.pRefresh->trigger();
        return;
    }
    QDialog::keyPressEvent(event);
}
