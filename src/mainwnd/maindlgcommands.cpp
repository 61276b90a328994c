// The main window's task commands and sorts: each asks what it must, calls the core and
// refreshes the list. The work itself is done by the core over the task file.

#include <QAction>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <array>

#include "mainwnd/cursorguards.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"
#include "res/strings.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"

namespace {

const char* FailureReason(int result) {
    switch (result) {
        case kCannotOpen:
            return Str::ReasonCannotRead;
        case kCannotCreateTemp:
            return Str::ReasonCannotWriteTemp;
        case kCannotFlushTemp:
            return Str::ReasonCannotFlush;
        default:
            return Str::ReasonCannotReplace;
    }
}

// The header texts each sort leaves, columns 0, 1 and 2.
std::array<const char*, 3> SortHeaders(TaskSort sort) {
    switch (sort) {
        case TaskSort::DateDescending:
            return {Str::ColumnTaskDescending, Str::ColumnStatus, Str::ColumnRecurrence};
        case TaskSort::DateAscending:
            return {Str::ColumnTaskAscending, Str::ColumnStatus, Str::ColumnRecurrence};
        case TaskSort::Status:
            return {Str::ColumnTask, Str::ColumnStatusSorted, Str::ColumnRecurrence};
        case TaskSort::Recurrence:
            break;
    }
    return {Str::ColumnTask, Str::ColumnStatus, Str::ColumnRecurrenceSorted};
}

}  // namespace

int CMainDlg::GetSelectedTaskRow() const {
    const QModelIndexList selected = m_pTaskList->selectionModel()->selectedRows();
    int row = -1;
    for (const QModelIndex& index : selected) {
        if (row == -1 || index.row() < row) {
            row = index.row();
        }
    }
    return row;
}

std::optional<TaskRef> CMainDlg::SelectedTask() const {
    return m_pModel->TaskAt(GetSelectedTaskRow());
}

void CMainDlg::SetColumnText(int column, const QString& text) {
    m_pModel->SetColumnText(column, text);
}

void CMainDlg::FinishCommand(int result) {
    switch (result) {
        case kUnchanged:
            return;
        case kDone:
        case kTaskGone:    // the list was out of date: show what the file holds now
        case kOutOfRange:  // no task to remove
            PollTasks();
            return;
        default:
            CMessageBox::Error(this,
                               QString::fromLatin1(Str::ChangeNotSaved) + QStringLiteral("\n\n") +
                                   QString::fromLatin1(FailureReason(result)),
                               QString::fromLatin1(Str::Error));
    }
}

void CMainDlg::OnDeleteSelection() {
    if (m_bPolling == 1) {
        return;
    }
    const std::optional<TaskRef> task = SelectedTask();
    if (!task) {
        return;
    }
    if (CMessageBox::Question(this, QString::fromLatin1(Str::ConfirmDeleteSelection),
                              QString::fromLatin1(Str::Confirm)) != QMessageBox::Yes) {
        return;
    }
    FinishCommand(DeleteTask(*m_taskFile, *task));
}

void CMainDlg::OnMarkForDeletion() {
    if (m_bPolling == 1) {
        return;
    }
    if (const std::optional<TaskRef> task = SelectedTask()) {
        FinishCommand(SetTaskStatus(*m_taskFile, *task, ToInt(TaskStatus::ToDelete)));
    }
}

void CMainDlg::OnKeepAsNew() {
    if (m_bPolling == 1) {
        return;
    }
    if (const std::optional<TaskRef> task = SelectedTask()) {
        FinishCommand(SetTaskStatus(*m_taskFile, *task, ToInt(TaskStatus::Future)));
    }
}

void CMainDlg::OnInsertDuplicate() {
    if (m_bPolling == 1) {
        return;
    }
    if (const std::optional<TaskRef> task = SelectedTask()) {
        FinishCommand(DuplicateTask(*m_taskFile, *task));
    }
}

void CMainDlg::OnDeleteMarkedTasks() {
    if (m_bPolling == 1) {
        return;
    }
    FinishCommand(DeleteMarkedTasks(*m_taskFile));
}

void CMainDlg::OnDeletePastTasks() {
    if (m_bPolling == 1) {
        return;
    }
    if (CMessageBox::Question(this, QString::fromLatin1(Str::ConfirmDeletePast),
                              QString::fromLatin1(Str::Confirm)) != QMessageBox::Yes) {
        return;
    }
    FinishCommand(DeletePastTasks(*m_taskFile));
}

void CMainDlg::OnCompactDatabase() {
    if (m_bPolling == 1) {
        return;
    }
    int result = kDone;
    {
        const CWaitCursor wait;
        result = CompactTaskFile(*m_taskFile);
    }
    if (result != kDone) {
        CMessageBox::Error(this, QString::fromLatin1(Str::CompactFailed),
                           QString::fromLatin1(Str::Error));
        return;
    }
    OnRefresh();
}

void CMainDlg::SortTaskFile(TaskSort sort) {
    if (m_bPolling == 1) {
        return;
    }
    int result = kDone;
    {
        const CWaitCursor wait;
        result = ::SortTaskFile(*m_taskFile, sort);
    }
    if (result != kDone) {
        CMessageBox::Error(this, QString::fromLatin1(Str::CouldNotOpenForSorting),
                           QString::fromLatin1(Str::Error));
        return;
    }
    const std::array<const char*, 3> headers = SortHeaders(sort);
    for (int column = 0; column < static_cast<int>(headers.size()); ++column) {
        SetColumnText(column, QString::fromLatin1(headers[static_cast<size_t>(column)]));
    }
    PollTasks();
}

void CMainDlg::OnSortByDateDescending() {
    SortTaskFile(TaskSort::DateDescending);
}

void CMainDlg::OnSortByDateAscending() {
    SortTaskFile(TaskSort::DateAscending);
}

void CMainDlg::OnSortByStatus() {
    SortTaskFile(TaskSort::Status);
}

void CMainDlg::OnSortByRecurrence() {
    SortTaskFile(TaskSort::Recurrence);
}

bool CMainDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_pTaskList && event->type() == QEvent::KeyPress &&
        OnListKeyDown(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool CMainDlg::OnListKeyDown(int key) {
    if (key == Qt::Key_Delete) {
        m_pActions->pDeleteSelection->trigger();
        return true;
    }
    // E and Shift+E alike.
    if (key == Qt::Key_E) {
        m_pActions->pViewEditTask->trigger();
        return true;
    }
    return false;
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Enter presses the window's default button, the hidden "Refresh list".
    const bool bEnter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (bEnter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        OnRefresh();
        return;
    }
    QDialog::keyPressEvent(event);
}
