#include "mainwnd/showminimized.h"

#include <QScreen>
#include <QWidget>

void ShowMinimizedAtStart(QWidget& window) {
    if (!window.testAttribute(Qt::WA_Moved)) {
        const QRect available = window.screen()->availableGeometry();
        window.move(available.center() - window.rect().center());
    }
    window.showMinimized();
}
