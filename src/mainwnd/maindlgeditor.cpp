// The main window's side of the task editor: a new task, the selected or double-clicked one,
// and the reminder's "Details...". Each fills the editor, runs it and writes back what it
// returns; a write that fails opens the editor again with what the user entered.

#include <optional>

#include "editor/editorrules.h"
#include "editor/taskeditdlg.h"
#include "mainwnd/cursorguards.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"
#include "res/strings.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

void TellTaskChanged(QWidget* parent) {
    CMessageBox::Show(parent, QMessageBox::Warning, QString::fromLatin1(Str::TaskChangedMeanwhile),
                      QString::fromLatin1(Str::AppTitle), QMessageBox::Ok);
}

void TellTaskNotSaved(QWidget* parent) {
    CMessageBox::Error(parent, QString::fromLatin1(Str::TaskNotSaved),
                       QString::fromLatin1(Str::Error));
}

}  // namespace

QWidget* CMainDlg::EditorParent() {
    return isVisible() && !isMinimized() ? this : nullptr;
}

void CMainDlg::OnAddTask() {
    if (m_bPolling == 1) {
        return;
    }
    CTaskEditDlg editor(EditorParent());
    editor.m_bNewTask = true;
    editor.SetTask(NewTaskDefaults(m_clock.GetCurrentTime()));
    // Even an unchanged new task is added: the user asked for it with OK.
    while (editor.exec() == QDialog::Accepted) {
        if (AppendTaskLine(*m_taskFile, FormatTaskLine(editor.GetTask())) == kDone) {
            PollTasks();
            return;
        }
        TellTaskNotSaved(this);
    }
}

void CMainDlg::OnViewEditTask() {
    if (m_bPolling == 1) {
        return;
    }
    if (const std::optional<TaskRef> task = SelectedTask()) {
        OpenTaskEditor(*task, false, false);
    }
}

void CMainDlg::OnListDblClk(const QModelIndex& index) {
    // Acts on the row under the cursor, whether or not a timer-driven poll runs.
    const std::optional<TaskRef> task = m_pModel->TaskAt(index.row());
    if (task && !task->record.title.empty()) {
        OpenTaskEditor(*task, false, false);
    }
}

void CMainDlg::ShowTaskDetails(const TaskRef& task) {
    // The poll shows the wait cursor; the user needs the arrow to read and close the view.
    const CArrowCursor arrow;
    OpenTaskEditor(task, false, true);
}

void CMainDlg::OpenTaskEditor(const TaskRef& taskGiven, bool bNewTask, bool bViewOnly) {
    // Polls may rebuild the list while the editor is open, and the caller's row with it.
    const TaskRef task = taskGiven;
    CTaskEditDlg editor(EditorParent());
    editor.m_bNewTask = bNewTask;
    editor.m_bViewOnly = bViewOnly;
    editor.SetTask(task.record);

    // Counted over every opening, so that the retry after a failed write still saves.
    bool bModified = false;
    while (editor.exec() == QDialog::Accepted) {
        bModified = bModified || editor.m_bModified;
        if (editor.m_nStatus == ToInt(TaskStatus::ToDelete)) {
            // Delete marks the very task that was opened; the fields typed before it are not
            // saved. A task that was marked already was only looked at.
            if (editor.m_bModified) {
                const int result = SetTaskStatus(*m_taskFile, task, ToInt(TaskStatus::ToDelete));
                if (result == kTaskGone) {
                    TellTaskChanged(this);
                }
                FinishCommand(result);
            }
            return;
        }
        if (!bModified) {
            return;
        }
        // Written over the task that was opened, found by its values: a poll or another
        // program may have moved it, or changed it, while the editor was open.
        const int result = ReplaceTask(*m_taskFile, task, FormatTaskLine(editor.GetTask()));
        if (result == kDone) {
            PollTasks();
            return;
        }
        if (result == kTaskGone) {
            TellTaskChanged(this);
            PollTasks();
            return;
        }
        TellTaskNotSaved(this);
    }
}
