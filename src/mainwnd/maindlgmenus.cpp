// The main window's menus and list gestures: the menu bar and the context menu, the greying of
// the selection commands, and the column-header clicks. Every gesture runs a shared action.

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenuBar>

#include "mainwnd/commandmenu.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"

void CMainDlg::BuildMenus() {
    m_pMenuBar = m_pActions->BuildMenuBar(this);
    m_pContextMenu = m_pActions->BuildContextMenu(this);

    QList<QMenu*> popups{m_pContextMenu};
    for (QAction* pMenu : m_pMenuBar->actions()) {
        if (pMenu->menu() != nullptr) {
            popups << pMenu->menu();
        }
    }
    for (QMenu* popup : popups) {
        connect(popup, &QMenu::aboutToShow, this, &CMainDlg::OnInitMenuPopup);
        connect(popup, &QMenu::aboutToHide, this, &CMainDlg::OnUninitMenuPopup);
    }

    QHeaderView* header = m_pTaskList->header();
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &CMainDlg::OnListColumnClick);
}

void CMainDlg::OnInitMenuPopup() {
    const bool bSelected = GetSelectedTaskRow() >= 0;
    for (QAction* action : m_pActions->SelectionActions()) {
        action->setEnabled(bSelected);
    }
}

void CMainDlg::OnUninitMenuPopup() {
    // A greyed action would also ignore its key (Del) once a task is selected; the handlers
    // check the selection themselves.
    for (QAction* action : m_pActions->SelectionActions()) {
        action->setEnabled(true);
    }
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event) {
    OnContextMenu(event->globalPos());
}

void CMainDlg::OnContextMenu(const QPoint& globalPos) {
    // The client area is the window below the menu bar: the list and the ground around it.
    const QRect client(m_pClient->mapToGlobal(QPoint(0, 0)), m_pClient->size());
    if (!client.contains(globalPos)) {
        return;
    }
    m_pContextMenu->popup(globalPos);
}

void CMainDlg::OnListColumnClick(int column) {
    switch (column) {
        case CTaskListModel::kTaskColumn:
            // Clicks on "Task" alternate the date order, starting with ascending; the Sort menu
            // does not change which comes next.
            m_bTaskSortAscending = !m_bTaskSortAscending;
            (m_bTaskSortAscending ? m_pActions->pSortByDateAscending
                                  : m_pActions->pSortByDateDescending)
                ->trigger();
            break;
        case CTaskListModel::kStatusColumn:
            m_pActions->pSortByStatus->trigger();
            break;
        case CTaskListModel::kRecurrenceColumn:
            m_pActions->pSortByRecurrence->trigger();
            break;
        default:
            break;
    }
}
