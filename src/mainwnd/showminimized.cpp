#include "mainwnd/showminimized.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Waits for the window's first exposure, minimises the window and goes.
class CMinimizeWhenExposed : public QObject {
public:
    // A window that never comes on screen (hidden again at once) is not minimised later on.
    static constexpr int kGiveUpMs = 10000;

    CMinimizeWhenExposed(QWidget& window, QWindow& handle) : QObject(&handle), m_pWindow(&window) {
        handle.installEventFilter(this);
        QTimer::singleShot(kGiveUpMs, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* pHandle = qobject_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && pHandle != nullptr && pHandle->isExposed()) {
            pHandle->removeEventFilter(this);
            // After the exposure has been handled, so the request meets a mapped window.
            QTimer::singleShot(0, m_pWindow, [pWindow = m_pWindow] {
                if (pWindow && pWindow->isVisible()) {
                    pWindow->showMinimized();
                }
            });
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QWidget> m_pWindow;
};

}  // namespace

void ShowMinimizedOnceMapped(QWidget& window) {
    window.showNormal();
    QWindow* pHandle = window.windowHandle();
    if (pHandle == nullptr || pHandle->isExposed()) {
        window.showMinimized();
        return;
    }
    new CMinimizeWhenExposed(window, *pHandle);
}
