#include "mainwnd/mainclient.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "mainwnd/clocktext.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"
#include "res/images.h"
#include "tasks/taskline.h"

namespace {

constexpr int kMargin = 11;        // around the texts and the list
constexpr int kBottomMargin = 24;  // below the list, where the design keeps its hidden buttons
constexpr int kClockGap = 8;       // between the date and the time, and below them
constexpr int kTimeSlack = 16;     // room beside the widest time, so the seconds never push it
constexpr int kStatusColumnWidth = 80;
constexpr int kRecurrenceColumnWidth = 80;
// The least the Task column keeps, and the rows that stay in view, at the least size.
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
    return widest + kTimeSlack;
}

}  // namespace

CMainClient::CMainClient(QWidget* parent)
    : QWidget(parent),
      m_pDateLabel(new QLabel(this)),
      m_pTimeLabel(new QLabel(this)),
      m_pTaskList(new CTaskListView(this)),
      m_pModel(new CTaskListModel(StatusImages(), this)) {
    // White text on the dark ground; what shows the keyboard focus on the ground is drawn in
    // the same white.
    QPalette ground = palette();
    ground.setColor(QPalette::Window, kGroundColour);
    ground.setColor(QPalette::WindowText, Qt::white);
    setPalette(ground);
    setAutoFillBackground(true);

    m_pDateLabel->setObjectName(QStringLiteral("dateText"));
    m_pTimeLabel->setObjectName(QStringLiteral("timeText"));
    m_pTimeLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_pTaskList->setObjectName(QStringLiteral("taskList"));
    // The dark ground is for the window itself; the list and its header keep the system's
    // colours, also where the header has no column.
    QPalette listPalette = QApplication::palette(m_pTaskList);
    listPalette.setResolveMask(~QPalette::ResolveMask(0));
    m_pTaskList->setPalette(listPalette);
    m_pTaskList->setModel(m_pModel);
    QHeaderView* header = m_pTaskList->header();
    // The Task column takes whatever width the other two leave, so the columns always fill
    // the list and a scroll bar never appears for a few pixels.
    header->setSectionResizeMode(CTaskListModel::kTaskColumn, QHeaderView::Stretch);
    m_pTaskList->setColumnWidth(CTaskListModel::kRecurrenceColumn, kRecurrenceColumnWidth);

    auto* clock = new QHBoxLayout;
    clock->setSpacing(kClockGap);
    clock->addWidget(m_pDateLabel, 1);
    clock->addWidget(m_pTimeLabel);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(kClockGap);
    layout->addLayout(clock);
    layout->addWidget(m_pTaskList, 1);
    FitToFont();
}

void CMainClient::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitToFont();
    }
}

void CMainClient::FitToFont() {
    layout()->setContentsMargins(kMargin, kMargin, kMargin, kBottomMargin);

    m_pDateLabel->setMinimumWidth(WidestDate(m_pDateLabel->fontMetrics(), locale()));
    m_pTimeLabel->setMinimumWidth(WidestTime(m_pTimeLabel->fontMetrics(), locale()));

    // The longest status must be readable whatever the font: widen the column if needed.
    const int longestStatus =
        m_pTaskList->fontMetrics().horizontalAdvance(
            QString::fromLatin1(StatusName(ToInt(TaskStatus::TodayUnread)))) +
        2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_pTaskList) + 8;
    m_pTaskList->setColumnWidth(CTaskListModel::kStatusColumn,
                                std::max(kStatusColumnWidth, longestStatus));

    // The columns beside a vertical scroll bar, the Task column at its least; the header and
    // a few rows.
    const QHeaderView* header = m_pTaskList->header();
    const int thumb = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int border = 2 * m_pTaskList->frameWidth();
    m_pTaskList->setMinimumSize(
        kMinTaskColumnWidth + header->sectionSize(CTaskListModel::kStatusColumn) +
            header->sectionSize(CTaskListModel::kRecurrenceColumn) + thumb + border,
        header->sizeHint().height() + kMinimumRows * m_pTaskList->RowHeight() + border);
}

void CMainClient::ShowTime(const QDateTime& now) {
    const QLocale locale = QLocale::system();
    m_pDateLabel->setText(FormatClockDate(now.date(), locale));
    m_pTimeLabel->setText(FormatClockTime(now.time(), locale));
}
