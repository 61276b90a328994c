#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "reminder/poll.h"

class IAlertPlayer;
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
class CReminderDlg : public QDialog {
    Q_OBJECT

public:
    // The alert sounds through pPlayer, or through the program's shared chime when none is
    // given; a given player must outlive the dialog. Reminders are raised without a parent so
    // they come up even while the main window is hidden.
    explicit CReminderDlg(IAlertPlayer* pPlayer = nullptr, QWidget* parent = nullptr);
    ~CReminderDlg() override;

    // Fills the members from what the poll hands over; bPlaySound is the sound preference.
    void SetRequest(const ReminderRequest& request, int bPlaySound);
    // What a finished run with result nResult means to the poll.
    ReminderAnswer GetAnswer(int nResult) const;

    // Raises one reminder, waits for the user and returns the answer.
    static ReminderAnswer AskReminder(const ReminderRequest& request, int bPlaySound,
                                      IAlertPlayer* pPlayer = nullptr);

    QLabel* TitleStatic() const;
    QLabel* DateStatic() const;
    QPushButton* DetailsButton() const;
    QPushButton* RemindTomorrowButton() const;
    QPushButton* OkayButton() const;

    int m_nRecord = 0;  // the task shown; the dialog itself never uses it
    QString m_szTitle;
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
    int m_nAdvanceDays = 0;  // not shown
    int m_nHour = 0;         // not shown
    int m_nStatus = 0;       // not shown
    QString m_szCaption;
    int m_bRemindTomorrow = 0;  // set by the dialog: 1 only when "Remind me tomorrow" closed it
    int m_bPlaySound = 0;       // the alert sounds only when this is exactly 1

    void setVisible(bool visible) override;

public slots:
    // "Okay" and Esc.
    void reject() override;

private:
    void OnInitDialog();
    void FitToTexts();
    void OnRemindTomorrow();
    void ApplyColours();
    void BringToFront();

    std::unique_ptr<Ui::CReminderDlg> m_ui;
    IAlertPlayer* m_pPlayer;   // null: the program's shared chime
    int m_nTitleMinWidth = 0;  // the title's width before any title widened it
};
