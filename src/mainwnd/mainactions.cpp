#include "mainwnd/mainactions.h"

#include <QAction>
#include <QMenuBar>

#include "mainwnd/commandmenu.h"
#include "mainwnd/maindlg.h"

namespace {

QAction* MakeAction(CMainDlg& dlg, const char* text, void (CMainDlg::*handler)()) {
    auto* action = new QAction(QString::fromLatin1(text), &dlg);
    QObject::connect(action, &QAction::triggered, &dlg, handler);
    return action;
}

// A key that runs the action wherever the focus is in the window.
void AddWindowKey(CMainDlg& dlg, QAction* action, Qt::Key key) {
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WindowShortcut);
    dlg.addAction(action);
}

}  // namespace

CMainActions::CMainActions(CMainDlg& dlg)
    : pNewTask(MakeAction(dlg, "&New task", &CMainDlg::OnAddTask)),
      pSettings(MakeAction(dlg, "&Settings", &CMainDlg::OnSettings)),
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
      pSystemCalendar(MakeAction(dlg, "S&ystem Calendar", &CMainDlg::OnSystemCalendar)),
      pHide(MakeAction(dlg, "&Hide", &CMainDlg::OnOK)),
      pRefresh(MakeAction(dlg, "&Refresh\tF5", &CMainDlg::OnRefresh)),
      pAbout(MakeAction(dlg, "&About", &CMainDlg::OnAbout)),
      pHelpIndex(MakeAction(dlg, "&Help Index\tF1", &CMainDlg::OnHelpIndex)),
      pShow(MakeAction(dlg, "Show", &CMainDlg::ShowFromTray)) {
    // Esc, Del and E reach their commands through the window's and the list's own key handling;
    // their labels only show them.
    AddWindowKey(dlg, pRefresh, Qt::Key_F5);
    AddWindowKey(dlg, pHelpIndex, Qt::Key_F1);
}

QMenuBar* CMainActions::BuildMenuBar(QWidget* parent) const {
    auto* menuBar = new QMenuBar(parent);

    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    file->addActions({pNewTask, pSettings});
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
    tools->addActions({pCompactDatabase, pSystemCalendar});

    QMenu* window = menuBar->addMenu(QStringLiteral("&Window"));
    window->addActions({pHide, pRefresh});

    QMenu* help = menuBar->addMenu(QStringLiteral("&Help"));
    help->addActions({pAbout, pHelpIndex});
    return menuBar;
}

CCommandMenu* CMainActions::BuildContextMenu(QWidget* parent) const {
    auto* menu = new CCommandMenu(QStringLiteral("Menu"), parent);
    menu->AddCommand(pNewTask, QStringLiteral("New Task"));
    menu->AddCommand(pViewEditTask, QStringLiteral("View/Edit Task"));
    menu->AddCommand(pKeepAsNew, QStringLiteral("Keep As New"));
    menu->AddCommand(pMarkForDeletion, QStringLiteral("Mark For Deletion"));
    menu->AddCommand(pRefresh, QStringLiteral("Refresh"));
    return menu;
}

CCommandMenu* CMainActions::BuildTrayMenu(QWidget* parent) const {
    auto* menu = new CCommandMenu(parent);
    menu->AddCommand(pShow, QStringLiteral("Show"));
    menu->setDefaultAction(pShow);
    menu->addSeparator();
    menu->AddCommand(pNewTask, QStringLiteral("&New task"));
    menu->AddCommand(pRefresh, QStringLiteral("&Refresh"));
    menu->AddCommand(pAbout, QStringLiteral("&About"));
    menu->addSeparator();
    menu->AddCommand(pExit, QStringLiteral("E&xit"));
    return menu;
}

std::vector<QAction*> CMainActions::SelectionActions() const {
    return {pViewEditTask, pKeepAsNew, pInsertDuplicate, pMarkForDeletion, pDeleteSelection};
}
