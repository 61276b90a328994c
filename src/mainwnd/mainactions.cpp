#include "mainwnd/mainactions.h"

#include <QAction>
#include <QMenuBar>

#include "mainwnd/commandmenu.h"

namespace {

QAction* MakeAction(QWidget& window, const char* name, const char* text) {
    auto* action = new QAction(QString::fromLatin1(text), &window);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// A key that runs the action wherever the focus is in the window.
void AddWindowKey(QWidget& window, QAction* action, Qt::Key key) {
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
}

}  // namespace

CMainActions::CMainActions(QWidget& window)
    : pNewTask(MakeAction(window, "newTask", "&New task")),
      pSettings(MakeAction(window, "settings", "&Settings")),
      pImportCalendar(MakeAction(window, "importCalendar", "&Import Calendar...")),
      pExportCalendar(MakeAction(window, "exportCalendar", "&Export Calendar...")),
      pExit(MakeAction(window, "exit", "E&xit\tEsc")),
      pViewEditTask(MakeAction(window, "viewEditTask", "View/&Edit Task")),
      pKeepAsNew(MakeAction(window, "keepAsNew", "Keep As &New")),
      pInsertDuplicate(MakeAction(window, "insertDuplicate", "&Insert Duplicate")),
      pMarkForDeletion(MakeAction(window, "markForDeletion", "&Mark For Deletion")),
      pDeleteSelection(MakeAction(window, "deleteSelection", "Delete Selection\tDel")),
      pDeleteMarkedTasks(MakeAction(window, "deleteMarkedTasks", "Delete All &Marked Tasks")),
      pDeletePastTasks(MakeAction(window, "deletePastTasks", "Delete All &Past Tasks")),
      pSortByDateDescending(MakeAction(window, "sortByDateDescending", "By &Date (Descending)")),
      pSortByDateAscending(MakeAction(window, "sortByDateAscending", "By D&ate (Ascending)")),
      pSortByStatus(MakeAction(window, "sortByStatus", "By &Status")),
      pSortByRecurrence(MakeAction(window, "sortByRecurrence", "By &Recurrence")),
      pCompactDatabase(MakeAction(window, "compactDatabase", "&Compact Database")),
      pSystemCalendar(MakeAction(window, "systemCalendar", "S&ystem Calendar")),
      pHide(MakeAction(window, "hide", "&Hide")),
      pRefresh(MakeAction(window, "refresh", "&Refresh\tF5")),
      pAbout(MakeAction(window, "about", "&About")),
      pHelpIndex(MakeAction(window, "helpIndex", "&Help Index\tF1")),
      pShow(MakeAction(window, "show", "Show")) {
    // Esc, Del and E reach their commands through the window's and the list's own key handling;
    // their labels only show them.
    AddWindowKey(window, pRefresh, Qt::Key_F5);
    AddWindowKey(window, pHelpIndex, Qt::Key_F1);
}

QMenuBar* CMainActions::BuildMenuBar(QWidget* parent) const {
    auto* menuBar = new QMenuBar(parent);

    QMenu* file = menuBar->addMenu(QStringLiteral("&File"));
    file->addActions({pNewTask, pSettings});
    file->addSeparator();
    file->addActions({pImportCalendar, pExportCalendar});
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
    menu->setObjectName(QStringLiteral("contextMenu"));
    menu->AddCommand(pNewTask, QStringLiteral("New Task"));
    menu->AddCommand(pViewEditTask, QStringLiteral("View/Edit Task"));
    menu->AddCommand(pKeepAsNew, QStringLiteral("Keep As New"));
    menu->AddCommand(pMarkForDeletion, QStringLiteral("Mark For Deletion"));
    menu->AddCommand(pRefresh, QStringLiteral("Refresh"));
    return menu;
}

CCommandMenu* CMainActions::BuildTrayMenu(QWidget* parent) const {
    auto* menu = new CCommandMenu(parent);
    menu->setObjectName(QStringLiteral("trayMenu"));
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

std::vector<QAction*> CMainActions::FileActions() const {
    return {pNewTask,
            pImportCalendar,
            pViewEditTask,
            pKeepAsNew,
            pInsertDuplicate,
            pMarkForDeletion,
            pDeleteSelection,
            pDeleteMarkedTasks,
            pDeletePastTasks,
            pSortByDateDescending,
            pSortByDateAscending,
            pSortByStatus,
            pSortByRecurrence,
            pCompactDatabase,
            pRefresh};
}

void CMainActions::UpdateEnabled(bool bPolling, bool bSelected) const {
    for (QAction* action : FileActions()) {
        action->setEnabled(!bPolling);
    }
    for (QAction* action : SelectionActions()) {
        action->setEnabled(!bPolling && bSelected);
    }
}
