#include "editor/taskeditdlg.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTextCursor>
#include <algorithm>
#include <string>

#include "editor/editorlook.h"
#include "editor/editorrules.h"
#include "mainwnd/messagebox.h"
#include "res/images.h"
#include "res/strings.h"
#include "ui_taskeditdlg.h"

namespace {

// Digits a number field takes.
constexpr int kYearDigits = 4;
constexpr int kShortFieldDigits = 2;

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToLocal(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

QString Text(const char* text) {
    return QString::fromLatin1(text);
}

// Number fields keep their range and their digit limit; text that is not a number in range
// leaves the field's value at the last one that was, which is what the dialog reads.
void SetUpNumberField(QSpinBox* pSpin, int minimum, int maximum, int digits) {
    pSpin->setRange(minimum, maximum);
    pSpin->setGroupSeparatorShown(false);
    pSpin->setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    if (auto* pEdit = pSpin->findChild<QLineEdit*>()) {
        pEdit->setMaxLength(digits);
    }
}

}  // namespace

CTaskEditDlg::CTaskEditDlg(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CTaskEditDlg>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Opened from a reminder while the main window hides in the tray, the editor is the only
    // window; closing it must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowIcon(AppIcon());
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The placeholder only keeps the place where the mode label is painted.
    QLabel* pPlace = m_ui->m_modePlaceholder;
    pPlace->setFixedSize(ModeLabelSize(font()));
    QSizePolicy keepPlace = pPlace->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    pPlace->setSizePolicy(keepPlace);
    pPlace->hide();
    // OK stays in the middle when Delete is not offered.
    QSizePolicy keepButtonPlace = m_ui->m_delete->sizePolicy();
    keepButtonPlace.setRetainSizeWhenHidden(true);
    m_ui->m_delete->setSizePolicy(keepButtonPlace);

    SetUpNumberField(m_ui->m_year, kFirstEditorYear, kLastEditorYear, kYearDigits);
    SetUpNumberField(m_ui->m_month, 1, 12, kShortFieldDigits);
    SetUpNumberField(m_ui->m_day, 1, 31, kShortFieldDigits);
    SetUpNumberField(m_ui->m_advance, 0, 30, kShortFieldDigits);
    SetUpNumberField(m_ui->m_hour, 1, 24, kShortFieldDigits);
    // One line of note shows at a time in the designed dialog; three read more comfortably.
    m_ui->m_note->setFixedHeight(m_ui->m_note->fontMetrics().lineSpacing() * 3 +
                                 2 * m_ui->m_note->frameWidth() + 8);
    m_ui->m_note->installEventFilter(this);

    connect(m_ui->m_title, &QLineEdit::textChanged, this, &CTaskEditDlg::MarkModified);
    connect(m_ui->m_note, &QPlainTextEdit::textChanged, this, &CTaskEditDlg::OnNoteChanged);
    for (QSpinBox* pDate : {m_ui->m_year, m_ui->m_month, m_ui->m_day}) {
        connect(pDate, &QSpinBox::textChanged, this, [this] {
            MarkModified();
            UpdateWeekday();
        });
    }
    connect(m_ui->m_advance, &QSpinBox::textChanged, this, [this] {
        MarkModified();
        m_nAdvanceDays = m_ui->m_advance->value();
    });
    connect(m_ui->m_hour, &QSpinBox::textChanged, this, [this] {
        MarkModified();
        m_nHour = m_ui->m_hour->value();
        UpdateAmPm();
        // Hour 24 belongs to the next day, so the weekday follows the hour too.
        UpdateWeekday();
    });
    for (QRadioButton* pRadio :
         {m_ui->m_noRepeat, m_ui->m_weekly, m_ui->m_monthly, m_ui->m_yearly}) {
        connect(pRadio, &QRadioButton::clicked, this, &CTaskEditDlg::MarkModified);
    }
    connect(m_ui->m_delete, &QPushButton::clicked, this, &CTaskEditDlg::OnDelete);
    connect(m_ui->m_ok, &QPushButton::clicked, this, &CTaskEditDlg::accept);
    connect(m_ui->m_cancel, &QPushButton::clicked, this, &CTaskEditDlg::reject);
}

CTaskEditDlg::~CTaskEditDlg() = default;

void CTaskEditDlg::SetTask(const TaskRecord& task) {
    m_szTitle = FromLocal(task.title);
    m_nYear = task.dueYear;
    m_nMonth = task.dueMonth;
    m_nDay = task.dueDay;
    m_nAdvanceDays = task.advanceDays;
    m_szNote = FromLocal(task.note);
    m_nStatus = task.status;
    m_nRecurrence = task.recurrence;
    m_nHour = task.hour;
}

TaskRecord CTaskEditDlg::GetTask() const {
    return TaskRecord{
        .dueMonth = m_nMonth,
        .dueDay = m_nDay,
        .dueYear = m_nYear,
        .advanceDays = m_nAdvanceDays,
        .status = m_nStatus,
        .recurrence = m_nRecurrence,
        .title = ToLocal(m_szTitle),
        .note = ToLocal(m_szNote),
        .hour = m_nHour,
    };
}

void CTaskEditDlg::setVisible(bool visible) {
    // Every opening fills the controls from the members, also when the caller opens the same
    // dialog again after a failed write.
    const bool bOpening = visible && !isVisible();
    if (bOpening) {
        OnInitDialog();
    }
    QDialog::setVisible(visible);
    if (bOpening) {
        raise();
        activateWindow();
    }
}

void CTaskEditDlg::OnInitDialog() {
    ChooseMode();

    QRadioButton* pRecurrence = m_ui->m_noRepeat;
    if (m_nRecurrence == ToInt(Recurrence::Monthly)) {
        pRecurrence = m_ui->m_monthly;
    } else if (m_nRecurrence == ToInt(Recurrence::Yearly)) {
        pRecurrence = m_ui->m_yearly;
    } else if (IsWeekly(m_nRecurrence)) {
        pRecurrence = m_ui->m_weekly;
    }
    pRecurrence->setChecked(true);

    // A longer text than the fields take (from a file edited by hand) stays whole unless the
    // user shortens it.
    m_ui->m_title->setMaxLength(std::max<int>(kMaxTitleLength, static_cast<int>(m_szTitle.size())));

    // Values outside a field's range land on its nearer end.
    m_ui->m_year->setValue(m_nYear);
    m_ui->m_month->setValue(m_nMonth);
    m_ui->m_day->setValue(m_nDay);
    m_ui->m_advance->setValue(m_nAdvanceDays);
    m_ui->m_hour->setValue(m_nHour);
    m_ui->m_title->setText(m_szTitle);
    m_ui->m_note->setPlainText(m_szNote);

    m_ui->m_title->setFocus();
    if (!m_bReadOnly) {
        // Typing replaces the title, as it should for a new task's hint text.
        m_ui->m_title->selectAll();
    }
    m_nHour = m_ui->m_hour->value();
    m_nAdvanceDays = m_ui->m_advance->value();
    UpdateAmPm();
    UpdateWeekday();
    // Filling the fields is not a change by the user.
    m_bModified = false;
}

void CTaskEditDlg::ChooseMode() {
    if (m_bNewTask) {
        setWindowTitle(Text(Str::AddNewTask));
        m_ui->m_delete->hide();
        m_bReadOnly = false;
    } else {
        m_bReadOnly = m_bViewOnly;
        if (!m_bReadOnly) {
            m_ui->m_cancel->show();
            setWindowTitle(Text(Str::EditTask));
        }
        m_ui->m_delete->show();
    }
    // A task marked for deletion can only be looked at.
    if (m_nStatus == ToInt(TaskStatus::ToDelete)) {
        m_bReadOnly = true;
    }
    if (m_bReadOnly) {
        setWindowTitle(Text(Str::TaskDetails));
        m_ui->m_delete->hide();
        m_ui->m_cancel->hide();
    }
    SetReadOnlyMode(m_bReadOnly);
}

void CTaskEditDlg::SetReadOnlyMode(bool bReadOnly) {
    m_ui->m_title->setReadOnly(bReadOnly);
    m_ui->m_note->setReadOnly(bReadOnly);
    for (QSpinBox* pSpin :
         {m_ui->m_year, m_ui->m_month, m_ui->m_day, m_ui->m_advance, m_ui->m_hour}) {
        pSpin->setReadOnly(bReadOnly);
        // Without arrows a read-only number reads like the other texts.
        pSpin->setButtonSymbols(bReadOnly ? QAbstractSpinBox::NoButtons
                                          : QAbstractSpinBox::UpDownArrows);
    }
    for (QRadioButton* pRadio :
         {m_ui->m_noRepeat, m_ui->m_weekly, m_ui->m_monthly, m_ui->m_yearly}) {
        pRadio->setEnabled(!bReadOnly);
    }
    ApplyColours();
}

void CTaskEditDlg::ApplyColours() {
    SetEditorGround(this, {m_ui->m_delete, m_ui->m_ok, m_ui->m_cancel});
    for (QWidget* pField :
         std::initializer_list<QWidget*>{m_ui->m_title, m_ui->m_note, m_ui->m_year, m_ui->m_month,
                                         m_ui->m_day, m_ui->m_advance, m_ui->m_hour}) {
        SetFieldColours(pField, m_bReadOnly);
    }
}

void CTaskEditDlg::UpdateAmPm() {
    m_ui->m_amPm->setText(QString::fromStdString(FormatHour12(m_nHour)));
}

void CTaskEditDlg::UpdateWeekday() {
    m_ui->m_weekday->setText(FromLocal(WeekdayText(m_ui->m_year->value(), m_ui->m_month->value(),
                                                   m_ui->m_day->value(), m_ui->m_hour->value())));
}

void CTaskEditDlg::MarkModified() {
    m_bModified = true;
}

void CTaskEditDlg::OnNoteChanged() {
    MarkModified();
    // The note takes so many characters; what goes past that is what was just typed or
    // pasted in front of the cursor.
    const int limit = std::max<int>(kMaxNoteLength, static_cast<int>(m_szNote.size()));
    const int excess = static_cast<int>(m_ui->m_note->document()->characterCount()) - 1 - limit;
    if (excess <= 0) {
        return;
    }
    QTextCursor cursor = m_ui->m_note->textCursor();
    const int end = cursor.position();
    const int start = std::max(0, end - excess);
    cursor.setPosition(start);
    cursor.setPosition(start + excess, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_ui->m_note->setTextCursor(cursor);
}

void CTaskEditDlg::ShowInvalidInput(const char* text) {
    CMessageBox::Show(this, QMessageBox::Warning, Text(text), Text(Str::InvalidInput),
                      QMessageBox::Ok);
}

void CTaskEditDlg::accept() {
    m_szTitle = m_ui->m_title->text();
    if (m_szTitle.isEmpty()) {
        ShowInvalidInput(Str::TitleRequired);
        return;
    }
    m_szNote = m_ui->m_note->toPlainText();
    if (m_szNote.isEmpty()) {
        m_szNote = Text(Str::NoNote);
    }
    m_nDay = m_ui->m_day->value();
    m_nYear = m_ui->m_year->value();
    m_nMonth = m_ui->m_month->value();
    m_nHour = m_ui->m_hour->value();
    if (const int lastDay = CheckDayOfMonth(m_nDay, m_nMonth, m_nYear); lastDay != 0) {
        ShowInvalidInput(Str::DayChanged);
        // A change like any other: the user sees it and presses OK again.
        m_ui->m_day->setValue(lastDay);
        return;
    }
    m_nAdvanceDays = m_ui->m_advance->value();
    if (m_ui->m_monthly->isChecked()) {
        m_nRecurrence = ToInt(Recurrence::Monthly);
    } else if (m_ui->m_yearly->isChecked()) {
        m_nRecurrence = ToInt(Recurrence::Yearly);
    } else if (m_ui->m_weekly->isChecked()) {
        m_nRecurrence = WeeklyCode(m_nYear, m_nMonth, m_nDay);
    } else {
        m_nRecurrence = ToInt(Recurrence::None);
    }
    QDialog::accept();
}

void CTaskEditDlg::OnDelete() {
    m_nStatus = ToInt(TaskStatus::ToDelete);
    m_bModified = true;
    accept();
}

void CTaskEditDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter painter(this);
    PaintModeLabel(painter, m_ui->m_modePlaceholder->geometry(), m_bReadOnly);
}

bool CTaskEditDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the note presses OK, as everywhere else in the dialog; Ctrl+Enter still
    // starts a new line.
    if (watched == m_ui->m_note && event->type() == QEvent::KeyPress) {
        const auto* pKey = static_cast<QKeyEvent*>(event);
        if (pKey->key() == Qt::Key_Return || pKey->key() == Qt::Key_Enter) {
            if ((pKey->modifiers() & Qt::ControlModifier) == 0) {
                m_ui->m_ok->click();
            } else if (!m_ui->m_note->isReadOnly()) {
                m_ui->m_note->insertPlainText(QStringLiteral("\n"));
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QLineEdit* CTaskEditDlg::TitleEdit() const {
    return m_ui->m_title;
}

QSpinBox* CTaskEditDlg::YearSpin() const {
    return m_ui->m_year;
}

QSpinBox* CTaskEditDlg::MonthSpin() const {
    return m_ui->m_month;
}

QSpinBox* CTaskEditDlg::DaySpin() const {
    return m_ui->m_day;
}

QLabel* CTaskEditDlg::AmPmStatic() const {
    return m_ui->m_amPm;
}

QLabel* CTaskEditDlg::WeekdayStatic() const {
    return m_ui->m_weekday;
}

QRadioButton* CTaskEditDlg::RecurrenceRadio(Recurrence recurrence) const {
    switch (recurrence) {
        case Recurrence::Weekly:
            return m_ui->m_weekly;
        case Recurrence::Monthly:
            return m_ui->m_monthly;
        case Recurrence::Yearly:
            return m_ui->m_yearly;
        case Recurrence::None:
            break;
    }
    return m_ui->m_noRepeat;
}

QPlainTextEdit* CTaskEditDlg::NoteEdit() const {
    return m_ui->m_note;
}

QPushButton* CTaskEditDlg::DeleteButton() const {
    return m_ui->m_delete;
}

QPushButton* CTaskEditDlg::OkButton() const {
    return m_ui->m_ok;
}

QPushButton* CTaskEditDlg::CancelButton() const {
    return m_ui->m_cancel;
}
