#include "editor/taskeditflow.h"

#include "editor/editorrules.h"
#include "editor/taskeditdlg.h"
#include "mainwnd/messagebox.h"
#include "res/strings.h"
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

int AddTaskInEditor(QWidget* parent, const CTaskFile& file, CTime now) {
    CTaskEditDlg editor(parent);
    editor.m_bNewTask = true;
    editor.SetTask(NewTaskDefaults(now));
    while (editor.exec() == QDialog::Accepted) {
        if (AppendTaskLine(file, FormatTaskLine(editor.GetTask())) == kDone) {
            return kDone;
        }
        TellTaskNotSaved(parent);
    }
    return kUnchanged;
}

int EditTaskInEditor(QWidget* parent, const CTaskFile& file, const TaskRef& task, bool bViewOnly) {
    CTaskEditDlg editor(parent);
    editor.m_bViewOnly = bViewOnly;
    editor.SetTask(task.record);

    // Counted over every opening, so that the retry after a failed write still saves.
    bool bModified = false;
    while (editor.exec() == QDialog::Accepted) {
        bModified = bModified || editor.m_bModified;
        if (editor.m_nStatus == ToInt(TaskStatus::ToDelete)) {
            // Delete marks the very task that was opened; the fields typed before it are not
            // saved. A task that was marked already was only looked at.
            if (!editor.m_bModified) {
                return kUnchanged;
            }
            const int result = SetTaskStatus(file, task, ToInt(TaskStatus::ToDelete));
            if (result == kTaskGone) {
                TellTaskChanged(parent);
            }
            return result;
        }
        if (!bModified) {
            return kUnchanged;
        }
        // Written over the task that was opened, found by its values: a poll or another
        // program may have moved it, or changed it, while the editor was open.
        const int result = ReplaceTask(file, task, FormatTaskLine(editor.GetTask()));
        if (result == kTaskGone) {
            TellTaskChanged(parent);
        }
        if (result == kDone || result == kTaskGone) {
            return result;
        }
        TellTaskNotSaved(parent);
    }
    return kUnchanged;
}
