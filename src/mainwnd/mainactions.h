#pragma once

class CMainDlg;
class QAction;
class QMenuBar;
class QWidget;

// The main window's commands, one QAction each, made once and wired to the window's handlers.
// The menu bar, and any other menu or key that runs a command, use these same actions.
struct CMainActions {
    explicit CMainActions(CMainDlg& dlg);

    // The menu bar with every command in its place.
    QMenuBar* BuildMenuBar(QWidget* parent) const;

    // File
    QAction* pNewTask;
    QAction* pExit;
    // Edit
    QAction* pViewEditTask;
    QAction* pKeepAsNew;
    QAction* pInsertDuplicate;
    QAction* pMarkForDeletion;
    QAction* pDeleteSelection;
    QAction* pDeleteMarkedTasks;
    QAction* pDeletePastTasks;
    // Sort
    QAction* pSortByDateDescending;
    QAction* pSortByDateAscending;
    QAction* pSortByStatus;
    QAction* pSortByRecurrence;
    // Tools
    QAction* pCompactDatabase;
    // Window
    QAction* pHide;
    QAction* pRefresh;
};
