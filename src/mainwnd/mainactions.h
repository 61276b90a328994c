#pragma once

#include <vector>

class CCommandMenu;
class QAction;
class QMenuBar;
class QWidget;

// The main window's commands, one QAction each, made once as children of the window and named
// (objectName) after what they do. The menu bar, the list's context menu, the tray menu and
// the keys all use these same actions; the window and the command controller connect them to
// their handlers.
struct CMainActions {
    explicit CMainActions(QWidget& window);

    // The menu bar with every command in its place.
    QMenuBar* BuildMenuBar(QWidget* parent) const;
    // The menu a right-click in the window opens, titled "Menu".
    CCommandMenu* BuildContextMenu(QWidget* parent) const;
    // The tray icon's menu.
    CCommandMenu* BuildTrayMenu(QWidget* parent) const;

    // The commands that act on the selected task, greyed while none is selected.
    std::vector<QAction*> SelectionActions() const;
    // The commands that change the task file (and Refresh), disabled as one while a poll runs:
    // a poll and its reminders work on the file as it read it.
    std::vector<QAction*> FileActions() const;
    // Enables each command as the poll and the selection allow.
    void UpdateEnabled(bool bPolling, bool bSelected) const;

    // File
    QAction* pNewTask;
    QAction* pSettings;
    QAction* pImportCalendar;
    QAction* pExportCalendar;
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
