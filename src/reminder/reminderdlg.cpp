#include "reminder/reminderdlg.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QColor>
#include <QFontMetrics>
#include <QLayout>
#include <QPalette>
#include <QRect>
#include <QScreen>
#include <QWindow>

#include "editor/editorrules.h"
#include "platform/alertplayer.h"
#include "platform/desktopnotifier.h"
#include "tasks/displaytext.h"
#include "ui_reminderdlg.h"

namespace {

// Room left between a widened dialog and the screen's sides, for the window frame.
constexpr int kScreenEdge = 40;

QString FromFileText(const std::string& text) {
    // Task texts are stored in the system's 8-bit encoding.
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// The input that could answer the reminder: keys, and the mouse on its buttons.
bool IsAnswerInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            return false;
    }
}

}  // namespace

CReminderDlg* CReminderDlg::s_pOpen = nullptr;
int CReminderDlg::s_nInputGuardMs = CReminderDlg::kInputGuardMs;

CReminderDlg::CReminderDlg(IAlertPlayer* pPlayer, IDesktopNotifier* pNotifier, QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::CReminderDlg>()),
      m_pPlayer(pPlayer),
      m_pNotifier(pNotifier) {
    m_ui->setupUi(this);
    m_nTitleMinWidth = m_ui->m_title->minimumWidth();
    // A caption without a close box: the user has to give one of the three answers. The
    // reminder stays above other programs' windows while it waits.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    // While the main window hides in the tray the reminder is the only window on screen;
    // answering it must not count as closing the program's last window and end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    // Modal, but blocking none of the program's windows by itself: the poll holds the main
    // window up while it waits, and the tray icon stays live, so that its double-click can
    // bring the reminder forward. An application-modal dialog would swallow that click.
    setWindowModality(Qt::WindowModal);
    ApplyColours();

    connect(m_ui->m_details, &QPushButton::clicked, this, &CReminderDlg::accept);
    connect(m_ui->m_remindTomorrow, &QPushButton::clicked, this, &CReminderDlg::OnRemindTomorrow);
    connect(m_ui->m_okay, &QPushButton::clicked, this, &CReminderDlg::reject);
    m_inputGuard.setSingleShot(true);
    connect(&m_inputGuard, &QTimer::timeout, this, &CReminderDlg::EndInputGuard);
}

CReminderDlg::~CReminderDlg() {
    EndInputGuard();
    if (s_pOpen == this) {
        s_pOpen = nullptr;
    }
}

void CReminderDlg::SetInputGuardMs(int ms) {
    s_nInputGuardMs = ms;
}

bool CReminderDlg::BringOpenReminderToFront() {
    if (s_pOpen == nullptr) {
        return false;
    }
    CReminderDlg* pOpen = s_pOpen;
    pOpen->RestoreIfMinimized();
    pOpen->BringToFront();
    // A window manager may refuse a request that arrives while another program was just
    // activated; ask once more if the reminder still has not got the keyboard.
    QTimer::singleShot(250, pOpen, [pOpen] {
        if (pOpen->isVisible() && !pOpen->isActiveWindow()) {
            pOpen->BringToFront();
        }
    });
    return true;
}

void CReminderDlg::SetRequest(const ReminderRequest& request, int bPlaySound) {
    // The file keeps an over-long title whole; the dialog shows a part that it can lay out.
    m_szTitle = FromFileText(DisplayText(request.title));
    m_nYear = request.year;
    m_nMonth = request.month;
    m_nDay = request.day;
    m_nHour = request.hour;
    m_szCaption = FromFileText(request.caption);
    m_bRemindTomorrow = 0;
    m_bPlaySound = bPlaySound;
}

ReminderAnswer CReminderDlg::GetAnswer(int nResult) const {
    if (!m_bAnswered) {
        return ReminderAnswer::None;
    }
    if (nResult == QDialog::Accepted) {
        return ReminderAnswer::Details;
    }
    if (nResult == QDialog::Rejected) {
        return m_bRemindTomorrow == 1 ? ReminderAnswer::RemindTomorrow : ReminderAnswer::Okay;
    }
    return ReminderAnswer::None;
}

ReminderAnswer CReminderDlg::AskReminder(const ReminderRequest& request, int bPlaySound,
                                         IAlertPlayer* pPlayer, IDesktopNotifier* pNotifier) {
    CReminderDlg dlg(pPlayer, pNotifier);
    dlg.SetRequest(request, bPlaySound);
    const int nResult = dlg.exec();
    return dlg.GetAnswer(nResult);
}

QLabel* CReminderDlg::TitleStatic() const {
    return m_ui->m_title;
}

QLabel* CReminderDlg::DateStatic() const {
    return m_ui->m_date;
}

QPushButton* CReminderDlg::DetailsButton() const {
    return m_ui->m_details;
}

QPushButton* CReminderDlg::RemindTomorrowButton() const {
    return m_ui->m_remindTomorrow;
}

QPushButton* CReminderDlg::OkayButton() const {
    return m_ui->m_okay;
}

void CReminderDlg::accept() {
    m_bAnswered = true;
    QDialog::accept();
}

void CReminderDlg::reject() {
    m_bAnswered = true;
    m_bRemindTomorrow = 0;
    QDialog::reject();
}

void CReminderDlg::OnRemindTomorrow() {
    m_bAnswered = true;
    m_bRemindTomorrow = 1;
    // Straight to the base class: our own reject() would clear the flag again.
    QDialog::reject();
}

void CReminderDlg::setVisible(bool visible) {
    // Opening fills the texts before the dialog takes its size, so the size fits them. The
    // window system showing the dialog again (after a minimise, say) does not come through
    // here and so does not sound the alert a second time.
    const bool bOpening = visible && !isVisible();
    if (bOpening) {
        OnInitDialog();
    }
    if (!visible) {
        EndInputGuard();
        if (s_pOpen == this) {
            s_pOpen = nullptr;
        }
    }
    QDialog::setVisible(visible);
    if (bOpening) {
        s_pOpen = this;
        StartInputGuard();
        BringToFront();
        // Some window systems take the request only once the window is on screen.
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) {
                BringToFront();
            }
        });
    }
}

void CReminderDlg::OnInitDialog() {
    m_bAnswered = false;
    m_bRemindTomorrow = 0;
    m_ui->m_title->setText(m_szTitle);
    m_ui->m_date->setText(DueText());
    setWindowTitle(m_szCaption);
    FitToTexts();
    if (m_bPlaySound == 1) {
        // The shared chime is only set up once a reminder wants it, so with the sound
        // preference off the audio system is never touched.
        IAlertPlayer& player = m_pPlayer != nullptr ? *m_pPlayer : SharedAlertPlayer();
        player.Play();
    }
    IDesktopNotifier& notifier = m_pNotifier != nullptr ? *m_pNotifier : CDesktopNotifier::Shared();
    notifier.Notify(m_szTitle, NoticeBody());
    m_ui->m_details->setFocus();
}

QString CReminderDlg::DueText() const {
    const QString date = QStringLiteral("%1/%2/%3").arg(m_nMonth).arg(m_nDay).arg(m_nYear);
    const std::string hour = FormatHour12(m_nHour);
    return hour.empty() ? date : date + QLatin1Char(' ') + QString::fromStdString(hour);
}

QString CReminderDlg::NoticeBody() const {
    return m_szCaption + QLatin1Char('\n') + DueText();
}

void CReminderDlg::FitToTexts() {
    // The title wraps, but a long unbroken piece of it (a web address, say) widens the dialog
    // instead of being cut off, as far as the screen allows. The label wraps plain text the
    // way the font metrics do, so they tell how wide it has to be.
    const QRect needed =
        m_ui->m_title->fontMetrics().boundingRect(QRect(0, 0, m_nTitleMinWidth, QWIDGETSIZE_MAX),
                                                  Qt::AlignLeft | Qt::TextWordWrap, m_szTitle);
    const QMargins margins = layout()->contentsMargins();
    const int nScreenLimit =
        screen()->availableGeometry().width() - margins.left() - margins.right() - kScreenEdge;
    m_ui->m_title->setMinimumWidth(
        std::max(m_nTitleMinWidth, std::min(needed.width(), nScreenLimit)));

    // A fixed frame, sized for this reminder's texts. The layout alone cannot fix the size of
    // a window whose title wraps, so the size is taken from it and then held.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    adjustSize();
    setFixedSize(size());
}

void CReminderDlg::ApplyColours() {
    // White text on dark blue; the buttons keep the system's colours.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 64, 128));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    for (QPushButton* pButton : {m_ui->m_details, m_ui->m_remindTomorrow, m_ui->m_okay}) {
        // Every role marked as set, or the dialog's colours would still pass down to them.
        QPalette system = QApplication::palette(pButton);
        system.setResolveMask(~QPalette::ResolveMask(0));
        pButton->setPalette(system);
    }
}

void CReminderDlg::BringToFront() {
    raise();
    activateWindow();
}

void CReminderDlg::StartInputGuard() {
    if (s_nInputGuardMs <= 0) {
        return;
    }
    // The whole program's input passes this filter while the guard lasts, so a key reaches
    // neither the focused button nor the dialog's own Enter and Esc handling.
    if (!m_bInputGuarded) {
        qApp->installEventFilter(this);
        m_pFocusBeforeGuard = focusWidget();
    }
    m_bInputGuarded = true;
    m_inputGuard.start(s_nInputGuardMs);
}

void CReminderDlg::EndInputGuard() {
    m_inputGuard.stop();
    if (m_bInputGuarded) {
        m_bInputGuarded = false;
        qApp->removeEventFilter(this);
        // A stray click may still have moved the focus; Enter means "Details..." again.
        if (m_pFocusBeforeGuard && isVisible()) {
            m_pFocusBeforeGuard->setFocus();
        }
    }
}

bool CReminderDlg::eventFilter(QObject* watched, QEvent* event) {
    if (m_bInputGuarded && IsAnswerInput(event->type())) {
        // Stopped at the window already, before a click could move the focus to a button.
        if (watched == windowHandle()) {
            return true;
        }
        const auto* pWidget = qobject_cast<const QWidget*>(watched);
        if (pWidget != nullptr && (pWidget == this || isAncestorOf(pWidget))) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CReminderDlg::closeEvent(QCloseEvent* event) {
    // A window manager's close counts as "Okay", but not in the moment a stray key could
    // have asked for it.
    if (m_bInputGuarded) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CReminderDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Some window managers minimise it despite its missing minimise box; it comes back at once,
    // or it would wait unseen and hold every later reminder behind it.
    if (event->type() == QEvent::WindowStateChange && isVisible() && isMinimized()) {
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && isMinimized()) {
                RestoreIfMinimized();
                BringToFront();
                StartInputGuard();
            }
        });
    }
}

void CReminderDlg::RestoreIfMinimized() {
    if (isMinimized()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        showNormal();
    }
}
