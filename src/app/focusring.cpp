#include "app/focusring.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFocusFrame>

CFocusRing::CFocusRing(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, &CFocusRing::OnFocusChanged);
}

CFocusRing::~CFocusRing() {
    qApp->removeEventFilter(this);
    delete m_pFrame;
}

bool CFocusRing::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && !widget->isWindow()) {
            const bool bByMouse =
                static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
            Show(bByMouse ? nullptr : widget);
        }
    }
    return false;
}

void CFocusRing::OnFocusChanged(QWidget* /*old*/, QWidget* now) {
    if (now == nullptr) {
        Show(nullptr);
    }
}

void CFocusRing::Show(QWidget* widget) {
    if (widget == nullptr) {
        if (m_pFrame) {
            m_pFrame->setWidget(nullptr);
        }
        return;
    }
    // The frame lives among the widget's siblings, and goes with them.
    if (!m_pFrame) {
        m_pFrame = new QFocusFrame(widget);
    }
    m_pFrame->setWidget(widget);
}
