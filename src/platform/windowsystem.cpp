#include "platform/windowsystem.h"

#include <QGuiApplication>
#include <QLatin1String>

bool OnWayland() {
    // "wayland", "wayland-egl" and the like.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
