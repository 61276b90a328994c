#pragma once

#include <QWidget>

class CTaskListModel;
class CTaskListView;
class QDateTime;
class QLabel;

// The main window's dark ground below the menu bar: the date at the left edge and the time at
// the right one, and under them the task list, whose Task column takes the width the other
// columns leave. Laid out so that at its least size the whole date and time and three rows of
// the list stay in view; the margins are those of the window's design, in scroll-bar widths.
class CMainClient final : public QWidget {
    Q_OBJECT

public:
    explicit CMainClient(QWidget* parent = nullptr);

    // The clock texts for this moment, in the user's locale.
    void ShowTime(const QDateTime& now);

    CTaskListView* List() const { return m_pTaskList; }
    CTaskListModel* Model() const { return m_pModel; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void FitToFont();

    QLabel* m_pDateLabel;
    QLabel* m_pTimeLabel;
    CTaskListView* m_pTaskList;
    CTaskListModel* m_pModel;
};
