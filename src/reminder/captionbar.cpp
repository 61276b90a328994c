#include "reminder/captionbar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>
#include <QWindow>

namespace {

// The band's colour against the ground, as QColor::darker takes it, and the room around its
// icon and text.
constexpr int kShade = 150;
constexpr int kPadding = 6;

}  // namespace

CCaptionBar::CCaptionBar(QWidget* parent)
    : QWidget(parent), m_pIcon(new QLabel(this)), m_pCaption(new QLabel(this)) {
    setObjectName(QStringLiteral("caption"));
    // A band a shade darker than the window's ground, as wide as the window.
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Window).darker(kShade));
    setPalette(palette);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    layout->setSpacing(kPadding);
    layout->addWidget(m_pIcon);
    layout->addWidget(m_pCaption, 1);
    m_pCaption->setObjectName(QStringLiteral("captionText"));
    m_pCaption->setTextFormat(Qt::PlainText);
    QFont font = m_pCaption->font();
    font.setBold(true);
    m_pCaption->setFont(font);

    QWidget* pWindow = parent->window();
    const int nIconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    const auto showIcon = [this, pWindow, nIconSize] {
        m_pIcon->setPixmap(
            pWindow->windowIcon().pixmap(QSize(nIconSize, nIconSize), devicePixelRatioF()));
    };
    showIcon();
    m_pCaption->setText(pWindow->windowTitle());
    connect(pWindow, &QWidget::windowIconChanged, this, showIcon);
    connect(pWindow, &QWidget::windowTitleChanged, m_pCaption, &QLabel::setText);
}

void CCaptionBar::mousePressEvent(QMouseEvent* event) {
    // The window system moves the window while the button is held, as it does by a frame.
    QWindow* pHandle = window()->windowHandle();
    if (event->button() == Qt::LeftButton && pHandle != nullptr && pHandle->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
