// The main window's layout: the menu bar over the dark ground, and on the ground the clock's
// two texts along the left and right edges and the task list, whose size follows the
// window's and whose Task column takes the width the other columns leave. The window keeps a
// minimum size at which the whole clock and a few rows stay in view.

#include <QApplication>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QStyle>
#include <QTime>
#include <QVBoxLayout>
#include <algorithm>

#include "mainwnd/clocktext.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"
#include "res/images.h"
#include "tasks/taskline.h"

namespace {

// The designed window: client area, clock texts and list, in pixels.
constexpr int kClientWidth = 446;
constexpr int kClientHeight = 327;
constexpr int kTextLeft = 11;
constexpr int kTextTop = 11;
constexpr int kTimeRightMargin = 24;
constexpr int kClockGap = 8;
constexpr int kListLeft = 11;
constexpr int kListTop = 49;
constexpr int kStatusColumnWidth = 80;
constexpr int kRecurrenceColumnWidth = 80;
// The least the Task column keeps, and the rows that stay in view, at the minimum size.
constexpr int kMinTaskColumnWidth = 120;
constexpr int kMinimumRows = 3;

const QColor kGroundColour(0, 64, 128);

// The widest date the clock can show in this locale: every weekday with every month.
int WidestDate(const QFontMetrics& metrics, const QLocale& locale) {
    int widest = 0;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 22; day <= 28; ++day) {
            widest = std::max(widest, metrics.horizontalAdvance(
                                          FormatClockDate(QDate(2030, month, day), locale)));
        }
    }
    return widest;
}

int WidestTime(const QFontMetrics& metrics, const QLocale& locale) {
    int widest = metrics.horizontalAdvance(QStringLiteral("00:00:00 AM "));
    for (const QTime time : {QTime(0, 0, 0), QTime(10, 58, 58), QTime(22, 58, 58)}) {
        widest = std::max(widest, metrics.horizontalAdvance(FormatClockTime(time, locale)));
    }
    return widest + 16;
}

}  // namespace

void CMainDlg::BuildClient() {
    m_pClient = new QWidget(this);
    QPalette ground = m_pClient->palette();
    ground.setColor(QPalette::Window, kGroundColour);
    m_pClient->setPalette(ground);
    m_pClient->setAutoFillBackground(true);

    QPalette white = m_pClient->palette();
    white.setColor(QPalette::WindowText, Qt::white);
    m_pDateLabel = new QLabel(m_pClient);
    m_pDateLabel->setPalette(white);
    m_pTimeLabel = new QLabel(m_pClient);
    m_pTimeLabel->setPalette(white);
    m_pTimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const int textHeight = m_pDateLabel->fontMetrics().height() + 2;
    m_pDateLabel->setGeometry(kTextLeft, kTextTop, 0, textHeight);
    m_pTimeLabel->setGeometry(0, kTextTop, WidestTime(m_pTimeLabel->fontMetrics(), locale()),
                              textHeight);

    m_pModel = new CTaskListModel(StatusImages(), this);
    m_pTaskList = new CTaskListView(m_pClient);
    // The dark ground is for the window itself; the list and its header keep the system's
    // colours, also where the header has no column.
    QPalette listPalette = QApplication::palette(m_pTaskList);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        listPalette.setColor(group, QPalette::Window, listPalette.color(group, QPalette::Window));
    }
    m_pTaskList->setPalette(listPalette);
    m_pTaskList->setModel(m_pModel);
    m_pTaskList->installEventFilter(this);
    connect(m_pTaskList, &QTableView::doubleClicked, this, &CMainDlg::OnListDblClk);
    QHeaderView* header = m_pTaskList->header();
    // The Task column takes whatever width the other two leave, so the columns always fill
    // the list and a scroll bar never appears for a few pixels.
    header->setSectionResizeMode(CTaskListModel::kTaskColumn, QHeaderView::Stretch);
    // The longest status must be readable whatever the font: widen the column if needed.
    const int longestStatus =
        m_pTaskList->fontMetrics().horizontalAdvance(
            QString::fromLatin1(StatusName(ToInt(TaskStatus::TodayUnread)))) +
        2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_pTaskList) + 8;
    m_pTaskList->setColumnWidth(CTaskListModel::kStatusColumn,
                                std::max(kStatusColumnWidth, longestStatus));
    m_pTaskList->setColumnWidth(CTaskListModel::kRecurrenceColumn, kRecurrenceColumnWidth);
    m_pTaskList->move(kListLeft, std::max(kListTop, kTextTop + textHeight + kClockGap));
}

void CMainDlg::LayOutWindow() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_pMenuBar);
    layout->addWidget(m_pClient);
    // The clock and the list follow the window by hand, so the layout imposes no size.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setMinimumSize(MinimumWindowSize());
    resize(std::max(kClientWidth, minimumWidth()),
           std::max(kClientHeight + m_pMenuBar->sizeHint().height(), minimumHeight()));
}

QSize CMainDlg::MinimumWindowSize() const {
    const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int border = m_pTaskList->frameWidth();
    const QHeaderView* header = m_pTaskList->header();

    // The whole date and time side by side.
    const int clockWidth = kTextLeft + WidestDate(m_pDateLabel->fontMetrics(), locale()) +
                           kClockGap + m_pTimeLabel->width() + kTimeRightMargin;
    // The list's columns beside a vertical scroll bar, the Task column at its least; the list
    // is two scroll-bar widths narrower than the window (ResizeListToWindow).
    const int columnsWidth = kMinTaskColumnWidth +
                             header->sectionSize(CTaskListModel::kStatusColumn) +
                             header->sectionSize(CTaskListModel::kRecurrenceColumn);
    const int listWidth = columnsWidth + thumb + 2 * border;
    const int width = std::max(clockWidth, listWidth + 2 * thumb - border);

    // The header and a few rows. The list is five scroll-bar widths shorter than the client
    // (ResizeListToWindow), and with a large font its top may lie lower than that leaves room
    // for.
    const int rowHeight = m_pTaskList->verticalHeader()->defaultSectionSize();
    const int listHeight = header->sizeHint().height() + kMinimumRows * rowHeight + 2 * border;
    const int clientHeight =
        std::max(listHeight + 5 * thumb - border, m_pTaskList->y() + listHeight + kClockGap);
    return {width, m_pMenuBar->sizeHint().height() + clientHeight};
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOutClock();
    ResizeListToWindow();
}

void CMainDlg::LayOutClock() {
    // The time keeps to the right edge; the date has the room up to it.
    const int timeLeft = m_pClient->width() - kTimeRightMargin - m_pTimeLabel->width();
    m_pTimeLabel->move(timeLeft, kTextTop);
    m_pDateLabel->resize(std::max(0, timeLeft - kClockGap - kTextLeft), m_pDateLabel->height());
}

void CMainDlg::ResizeListToWindow() {
    // The list keeps its top-left corner. Its right and bottom edges follow the window's
    // outer edges, two scroll-bar widths in from the right and five up from the bottom,
    // counted as if the list stood at the client's origin; that leaves the designed margins.
    const QRect frame = frameGeometry();
    const QRect inner = geometry();
    const int outerRight = m_pClient->width() + (frame.right() - inner.right());
    const int outerBottom = m_pClient->height() + (frame.bottom() - inner.bottom());
    const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int border = m_pTaskList->frameWidth();
    const int width = std::max(0, outerRight - 2 * thumb + border);
    const int height = std::max(0, outerBottom - 5 * thumb + border);
    m_pTaskList->resize(width, height);
}
