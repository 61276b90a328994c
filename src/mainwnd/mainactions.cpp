#include "mainwnd/mainactions.h"

#include <QAction>
#include <QMenuBar>

#include "mainwnd/maindlg.h"

namespace {

QAction* MakeAction(CMainDlg& dlg, const char* text, void (CMainDlg::*handler)()) {
    auto* action = new QAction(QString::fromLatin1(text), &dlg);
    QObject::connect(action, &QAction::triggered, &dlg, handler);
    return action;
}

}  // namespace

CMainActions::CMainActions(CMainDlg& dlg)
    : pNewTask(MakeAction(dlg, "&New task", &CMainDlg::OnAddTask)),
      pExit(MakeAction(dlg, "E&xit\tEsc", &CMainDlg::OnCancel)),
      pViewEditTask(MakeAction(dlg, "View/&Edit Task", &CMainDlg::OnViewEditTask)),
      pKeepAsNew(MakeAction(dlg, "Keep As &New", &CMainDlg::OnKeepAsNew)),
      pInsertDuplicate(MakeAction(dlg, "&Insert Duplicate", &CMainDlg::OnInsertDuplicate)),
      pMarkForDeletion(MakeAction(dlg, "&Mark For Deletion", &CMainDlg::OnMarkForDeletion)),
      pDeleteSelection(MakeAction(dlg, "Delete Selection\tDel", &CMainDlg::OnDeleteSelection)),
      pDeleteMarkedTasks(
          MakeAction(dlg, "Delete All &Marked Tasks", &CMainDlg::OnDeleteMarkedTasks)),
      pDeletePastTasks(MakeAction(dlg, "Delete All &Past Tasks", &CMainDlg::OnDeletePastTasks)),
      pSortByDateDescending(
          MakeAction(dlg, "By &Date (Descending)", &CMainDlg::OnSortByDateDescending)),
      pSortByDateAscending(
          MakeAction(dlg, "By D&ate (Ascending)", &CMainDlg::OnSortByDateAscending)),
      pSortByStatus(MakeAction(dlg, "By &Status", &CMainDlg::OnSortByStatus)),
      pSortByRecurrence(MakeAction(dlg, "By &Recurrence", &CMainDlg::OnSortByRecurrence)),
      pCompactDatabase(MakeAction(dlg, "&Compact Database", &CMainDlg::OnCompactDatabase)),
      pHide(MakeAction(dlg, "&Hide", &CMainDlg::OnOK)),
      pRefresh(MakeAction(dlg, "&Refresh\tF5", &CMainDlg::OnRefresh)) {
    // Esc, Del and E reach their commands through the window's and the list's own key handling;
    // their labels only show them. F5 works wherever the focus is in the window.
    pRefresh->setShortcut(QKeySequence(Qt::Key_F5));
    pRefresh->setShortcutContext(Qt::WindowShortcut);
    dlg.addAction(pRefresh);
}

QMenuBar* CMainActions::BuildMenuBar(QWidget* parent) const {
    auto* menuBar = new QMenuBar(parent);

    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    file->addAction(pNewTask);
    file->addSeparator();
    file->addAction(pExit);

    QMenu* edit = menuBar->addMenu(QStringLiteral("&Edit"));
    edit->addActions({pViewEditTask, pKeepAsNew, pInsertDuplicate});
    edit->addSeparator();
    edit->addActions({pMarkForDeletion, pDeleteSelection});
    edit->addSeparator();
    edit->addActions({pDeleteMarkedTasks, pDeletePastTasks});

    QMenu* sort = menuBar->addMenu(QStringLiteral("&Sort"));
    sort->addActions(
        {pSortByDateDescending, pSortByDateAscending, pSortByStatus, pSortByRecurrence});

    QMenu* tools = menuBar->addMenu(QStringLiteral("&Tools"));
    tools->addAction(pCompactDatabase);

    QMenu* window = menuBar->addMenu(QStringLiteral("&Window"));
    window->addActions({pHide, pRefresh});
    return menuBar;
}
