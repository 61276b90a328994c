#pragma once

#include <QDialog>
#include <QString>
#include <memory>

#include "tasks/taskrecord.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace Ui {
class CTaskEditDlg;
}

// The modal "Task Editor", in which one task is added, changed, looked at or marked for
// deletion. It works on its own copy of the task's fields and never touches the task file:
// the caller sets the mode flags and the fields (SetTask), runs exec() and reads them back.
//
// Modes: Add (m_bNewTask), Edit, and Read ("Task Details": read-only, no Delete and no
// Cancel), which the caller asks for with m_bViewOnly and which a task marked To Delete
// always gets. After Accepted, m_nStatus To Delete means the user asked for deletion, and
// m_bModified says whether the user changed anything.
class CTaskEditDlg : public QDialog {
    Q_OBJECT

public:
    explicit CTaskEditDlg(QWidget* parent = nullptr);
    ~CTaskEditDlg() override;

    // The task fields from a record and back. Texts are stored in the system's 8-bit encoding.
    void SetTask(const TaskRecord& task);
    TaskRecord GetTask() const;

    QString m_szTitle;
    int m_nYear = 0;
    int m_nMonth = 0;
    int m_nDay = 0;
    int m_nAdvanceDays = 0;
    QString m_szNote;
    int m_nStatus = 0;         // changed by the dialog only to To Delete, through Delete
    bool m_bModified = false;  // the user changed a field or the recurrence since opening
    bool m_bNewTask = false;   // in: Add mode
    bool m_bViewOnly = false;  // in: the read-only details view (not in Add mode)
    bool m_bReadOnly = false;  // the mode in force: Read
    int m_nRecurrence = 0;
    int m_nHour = 0;

    // The controls, for tests and screenshots.
    QLineEdit* TitleEdit() const;
    QSpinBox* YearSpin() const;
    QSpinBox* MonthSpin() const;
    QSpinBox* DaySpin() const;
    QLabel* AmPmStatic() const;
    QLabel* WeekdayStatic() const;
    QRadioButton* RecurrenceRadio(Recurrence recurrence) const;
    QPlainTextEdit* NoteEdit() const;
    QPushButton* DeleteButton() const;
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

    void setVisible(bool visible) override;

public slots:
    // OK and Enter: the checks, then Accepted with the fields read back.
    void accept() override;
    // Delete: marks the task To Delete and then accepts as OK does.
    void OnDelete();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    void ChooseMode();
    void SetReadOnlyMode(bool bReadOnly);
    void ApplyColours();
    void UpdateAmPm();
    void UpdateWeekday();
    void OnNoteChanged();
    void MarkModified();
    void ShowInvalidInput(const char* text);

    std::unique_ptr<Ui::CTaskEditDlg> m_ui;
};
