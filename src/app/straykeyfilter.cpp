#include "app/straykeyfilter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

CStrayKeyFilter::CStrayKeyFilter(QObject* parent) : QObject(parent) {
    QCoreApplication::instance()->installEventFilter(this);
}

CStrayKeyFilter::~CStrayKeyFilter() {
    QCoreApplication::instance()->removeEventFilter(this);
}

bool CStrayKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationStateChange &&
        QGuiApplication::applicationState() != Qt::ApplicationActive) {
        // The keys let go in another program are not heard of here.
        m_presses.clear();
        return false;
    }
    // Keys come from the window system to a window first, and from there to its widgets.
    auto* window = qobject_cast<QWindow*>(watched);
    if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || window == nullptr) {
        return false;
    }
    const auto* key = static_cast<const QKeyEvent*>(event);
    const unsigned long now = key->timestamp();
    const auto press = m_presses.find(key->key());
    if (type == QEvent::KeyPress) {
        // A held key repeats as presses alone on some systems, and as releases each followed by
        // a press of the same moment on others.
        const bool bRepeat =
            press != m_presses.end() &&
            (press->bUp ? now == press->lastMs : now - press->lastMs < kRepeatGapMs);
        if (!bRepeat) {
            m_presses.insert(key->key(), Press{window, now, false});
            return false;
        }
        press->bUp = false;
    } else if (press == m_presses.end()) {
        return false;
    } else {
        press->bUp = true;
    }
    press->lastMs = now;
    // A window that has gone since the press counts as another one.
    return press->window != window;
}
