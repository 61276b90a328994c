#pragma once

#include <QHeaderView>
#include <QTableView>

// The main window's task list: whole rows, one at a time, no editing, no grid. A table view
// keeps nothing per row, where a tree view keeps a record for each, so a list of a hundred
// thousand tasks costs the program no more than the tasks themselves. It is driven as a list:
// while no row is selected (after start, after every new list) the keys that move in it start
// from the top and select the row they reach.
class CTaskListView final : public QTableView {
    Q_OBJECT

public:
    explicit CTaskListView(QWidget* parent = nullptr);

    // The column headers.
    QHeaderView* header() const { return horizontalHeader(); }
    // Every row is one line high.
    int RowHeight() const { return verticalHeader()->defaultSectionSize(); }

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void FitRowHeight();
};
