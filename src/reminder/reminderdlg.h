#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

#include "reminder/poll.h"

class IAlertPlayer;
class IDesktopNotifier;
class QLabel;
class QPushButton;

namespace Ui {
class CReminderDlg;
}

// The modal "Reminder!" dialog for one task. The caller fills the public members, runs exec()
// and reads the answer from the result and m_bRemindTomorrow:
//   "Details..." or Enter       -> Accepted, m_bRemindTomorrow 0
//   "Okay" or Esc               -> Rejected, m_bRemindTomorrow 0
//   "Remind me tomorrow"        -> Rejected, m_bRemindTomorrow 1
//   closed by the window manager -> Rejected, m_bRemindTomorrow 0 (as "Okay")
//
// A reminder must not be lost or answered by accident: it has no minimise box and puts itself
// back when a window manager minimises it all the same, and for a moment after it comes up
// (the input guard) it ignores keys and clicks, which were meant for the program the user was
// typing in. Each reminder also goes out as a desktop notice.
class CReminderDlg : public QDialog {
    Q_OBJECT

public:
    // The alert sounds through pPlayer and the desktop notice goes through pNotifier, or
    // through the program's shared ones when none is given; given ones must outlive the
    // dialog. Reminders are raised without a parent so they come up even while the main
    // window is hidden.
    explicit CReminderDlg(IAlertPlayer* pPlayer = nullptr, IDesktopNotifier* pNotifier = nullptr,
                          QWidget* parent = nullptr);
    ~CReminderDlg() override;

    // How long after it comes up a reminder ignores keys and clicks, in milliseconds.
    static constexpr int kInputGuardMs = 1000;
    // Changes that time for every reminder from now on (tests answer at once with 0).
    static void SetInputGuardMs(int ms);
    // Whether keys and clicks are ignored at the moment.
    bool IsInputGuarded() const { return m_bInputGuarded; }

    // Brings the open reminder, if there is one, back from minimised and to the front.
    // Returns whether a reminder was open.
    static bool BringOpenReminderToFront();

    // Fills the members from what the poll hands over; bPlaySound is the sound preference.
    void SetRequest(const ReminderRequest& request, int bPlaySound);
    // What a finished run with result nResult means to the poll. A run that ended without one of
    // the three answers (the dialog hidden, or the program ending while it waited) is no
    // answer at all: nothing is written for it.
    ReminderAnswer GetAnswer(int nResult) const;

    // Raises one reminder, waits for the user and returns the answer.
    static ReminderAnswer AskReminder(const ReminderRequest& request, int bPlaySound,
                                      IAlertPlayer* pPlayer = nullptr,
                                      IDesktopNotifier* pNotifier = nullptr);

    // The desktop notice's text under the task's title: the caption, then the due date and hour
    // as the dialog shows them.
    QString NoticeBody() const;

    QLabel* TitleStatic() const;
    QLabel* DateStatic() const;
    QPushButton* DetailsButton() const;
    QPushButton* RemindTomorrowButton() const;
    QPushButton* OkayButton() const;

    QString m_szTitle;
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
    int m_nHour = 0;  // shown after the date as the editor shows it ("12 AM")
    QString m_szCaption;
    int m_bRemindTomorrow = 0;  // set by the dialog: 1 only when "Remind me tomorrow" closed it
    int m_bPlaySound = 0;       // the alert sounds only when this is exactly 1

    void setVisible(bool visible) override;

public slots:
    // "Details..." and Enter.
    void accept() override;
    // "Okay" and Esc.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    // The task's own date and its hour as the editor shows it, "2/27/2027 12 AM": the dialog and
    // the notice name the same day, also for hour 24, the midnight that ends it. An hour the
    // editor never stores shows no hour.
    QString DueText() const;
    void FitToTexts();
    void OnRemindTomorrow();
    void ApplyColours();
    void BringToFront();
    void StartInputGuard();
    void EndInputGuard();
    void RestoreIfMinimized();

    std::unique_ptr<Ui::CReminderDlg> m_ui;
    IAlertPlayer* m_pPlayer;        // null: the program's shared chime
    IDesktopNotifier* m_pNotifier;  // null: the program's shared notifier
    int m_nTitleMinWidth = 0;       // the title's width before any title widened it
    bool m_bInputGuarded = false;
    bool m_bAnswered = false;  // the user gave one of the three answers
    QTimer m_inputGuard;
    QPointer<QWidget> m_pFocusBeforeGuard;

    static CReminderDlg* s_pOpen;  // the reminder on screen; one at a time
    static int s_nInputGuardMs;
};
