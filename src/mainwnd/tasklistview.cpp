#include "mainwnd/tasklistview.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <algorithm>

#include "res/images.h"

namespace {

// A table marks its current cell with a focus frame, which in a list of whole rows looks like
// a selection of one cell that is not there. The selection alone shows the row.
class CRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

// The keys that move the current row, with or without Ctrl and Shift.
bool IsMoveKey(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

}  // namespace

CTaskListView::CTaskListView(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new CRowDelegate(this));
    setShowGrid(false);
    setWordWrap(false);
    // Tab leaves the list for the next control instead of walking its cells.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    // One line a row, as high as the text or the status image needs.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setIconSize(QSize(kStatusImageSize, kStatusImageSize));
    FitRowHeight();
    header()->setHighlightSections(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

void CTaskListView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitRowHeight();
    }
}

void CTaskListView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (!IsMoveKey(key) || model() == nullptr || model()->rowCount() == 0 ||
        selectionModel()->hasSelection()) {
        QTableView::keyPressEvent(event);
        return;
    }
    // Nothing chosen yet, though the view may have made the first row current on its own: the
    // arrows choose the first row, the other keys go from it.
    const bool bArrow = key == Qt::Key_Up || key == Qt::Key_Down;
    if (bArrow || !currentIndex().isValid()) {
        selectionModel()->setCurrentIndex(model()->index(0, 0), QItemSelectionModel::NoUpdate);
    }
    if (!bArrow) {
        QTableView::keyPressEvent(event);
    }
    // The view selects only a row it moved to; a key that left it where it was chose that row.
    if (!selectionModel()->hasSelection()) {
        selectRow(currentIndex().row());
    }
    event->accept();
}

QModelIndex CTaskListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // A list of rows, not a table of cells: Home and End go to the first and the last row.
    if (action == MoveHome || action == MoveEnd) {
        modifiers |= Qt::ControlModifier;
    }
    return QTableView::moveCursor(action, modifiers);
}

void CTaskListView::FitRowHeight() {
    // A line of text or a status image, whichever is higher, with a pixel above and below;
    // fixed, so the view never asks a row for its size.
    verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), iconSize().height()) +
                                            2);
}
