#include "mainwnd/tasklistview.h"

#include <QEvent>
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

void CTaskListView::FitRowHeight() {
    // A line of text or a status image, whichever is higher, with a pixel above and below;
    // fixed, so the view never asks a row for its size.
    verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), iconSize().height()) +
                                            2);
}
