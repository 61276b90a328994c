#pragma once

#include <vector>

class CCommandMenu;
class CMainDlg;
class QAction;
class QMenuBar;
class QWidget;

// The main window's commands, one QAction each, made once and wired to the window's handlers.
// The menu bar, the list's context menu, the tray menu and the keys all use these same
// actions.
struct CMainActions {
    explicit CMainActions(CMainDlg& dlg);

    // The menu bar with every command in its place.
    QMenuBar* BuildMenuBar(QWidget* parent) const;
    // The menu a right-click in the window opens, titled "Menu".
    CCommandMenu* BuildContextMenu(QWidget* parent) const;
    // The tray icon's menu.
    CCommandMenu* BuildTrayMenu(QWidget* parent) const;

    // The commands that act on the selected task, greyed in every menu while none is selected.
    std::vector<QAction*> SelectionActions() const;

    // File
    QAction* pNewTask;
    QAction* pSettings;
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
    QAction* pSystemCalendar;
    // Window
    QAction* pHide;
    QAction* pRefresh;
    // Help
    QAction* pAbout;
    QAction* pHelpIndex;
    // Tray menu: what a double-click on the tray icon does.
    QAction* pShow;
};
