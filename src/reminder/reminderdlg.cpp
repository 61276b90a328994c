#include "reminder/reminderdlg.h"

#include <algorithm>

#include <QApplication>
#include <QColor>
#include <QFontMetrics>
#include <QLayout>
#include <QPalette>
#include <QRect>
#include <QScreen>
#include <QTimer>

#include "platform/alertsound.h"
#include "ui_reminderdlg.h"

// Room left between a widened dialog and the screen's sides, for the window frame.
constexpr int kScreenEdge = 40;

CReminderDlg::CReminderDlg(IAlertPlayer* pPlayer, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CReminderDlg>()), m_pPlayer(pPlayer) {
    m_ui->setupUi(this);
    m_nTitleMinWidth = m_ui->m_title->minimumWidth();
    // A caption without a close box: the user has to give one of the three answers. The
    // reminder stays above other programs' windows while it waits.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    // While the main window hides in the tray the reminder is the only window on screen;
    // answering it must not count as closing the program's last window and end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    ApplyColours();

    connect(m_ui->m_details, &QPushButton::clicked, this, &CReminderDlg::accept);
    connect(m_ui->m_remindTomorrow, &QPushButton::clicked, this, &CReminderDlg::OnRemindTomorrow);
    connect(m_ui->m_okay, &QPushButton::clicked, this, &CReminderDlg::reject);
}

CReminderDlg::~CReminderDlg() = default;

void CReminderDlg::SetRequest(const ReminderRequest& request, int bPlaySound) {
    m_nRecord = request.nRecord;
    // Task texts are stored in the system's 8-bit encoding.
    m_szTitle =
        QString::fromLocal8Bit(request.title.data(), static_cast<qsizetype>(request.title.size()));
    m_nYear = request.year;
    m_nMonth = request.month;
    m_nDay = request.day;
    m_nAdvanceDays = request.advanceDays;
    m_nHour = request.hour;
    m_nStatus = request.status;
    m_szCaption = QString::fromLocal8Bit(request.caption.data(),
                                         static_cast<qsizetype>(request.caption.size()));
    m_bRemindTomorrow = 0;
    m_bPlaySound = bPlaySound;
}

ReminderAnswer CReminderDlg::GetAnswer(int nResult) const {
    if (nResult == QDialog::Accepted) {
        return ReminderAnswer::Details;
    }
    if (nResult == QDialog::Rejected) {
        return m_bRemindTomorrow == 1 ? ReminderAnswer::RemindTomorrow : ReminderAnswer::Okay;
    }
    return ReminderAnswer::None;
}

ReminderAnswer CReminderDlg::AskReminder(const ReminderRequest& request, int bPlaySound,
                                         IAlertPlayer* pPlayer) {
    CReminderDlg dlg(pPlayer);
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

void CReminderDlg::reject() {
    m_bRemindTomorrow = 0;
    QDialog::reject();
}

void CReminderDlg::OnRemindTomorrow() {
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
    QDialog::setVisible(visible);
    if (bOpening) {
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
    m_bRemindTomorrow = 0;
    m_ui->m_title->setText(m_szTitle);
    m_ui->m_date->setText(QStringLiteral("%1/%2/%3").arg(m_nMonth).arg(m_nDay).arg(m_nYear));
    setWindowTitle(m_szCaption);
    FitToTexts();
    if (m_bPlaySound == 1) {
        // The shared chime is only set up once a reminder wants it, so with the sound
        // preference off the audio system is never touched.
        IAlertPlayer& player = m_pPlayer != nullptr ? *m_pPlayer : CAlertSound::Shared();
        player.Play();
    }
    m_ui->m_details->setFocus();
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
