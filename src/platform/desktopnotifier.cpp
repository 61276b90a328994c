#include "platform/desktopnotifier.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <utility>

namespace {

constexpr int kIconSize = 64;

}  // namespace

#ifdef MARMOSET_HAVE_DBUS

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QStringList>
#include <QVariantMap>

namespace {

// The picture of a notice as the notification service takes it: raw RGBA rows.
struct NoticeImage {
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool bHasAlpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray data;
};

}  // namespace

Q_DECLARE_METATYPE(NoticeImage)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const NoticeImage& image) {
    argument.beginStructure();
    argument << image.width << image.height << image.rowStride << image.bHasAlpha
             << image.bitsPerSample << image.channels << image.data;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, NoticeImage& image) {
    argument.beginStructure();
    argument >> image.width >> image.height >> image.rowStride >> image.bHasAlpha >>
        image.bitsPerSample >> image.channels >> image.data;
    argument.endStructure();
    return argument;
}

// The service's default time on screen; the reminder dialog stays until answered anyway.
constexpr int kDefaultTimeout = -1;
constexpr unsigned char kNormalUrgency = 1;

NoticeImage ToNoticeImage(const QImage& icon) {
    const QImage rgba = icon.convertToFormat(QImage::Format_RGBA8888);
    NoticeImage image;
    image.width = rgba.width();
    image.height = rgba.height();
    image.rowStride = static_cast<int>(rgba.bytesPerLine());
    image.data = QByteArray(reinterpret_cast<const char*>(rgba.constBits()),
                            static_cast<qsizetype>(rgba.sizeInBytes()));
    return image;
}

}  // namespace

CDesktopNotifier::CDesktopNotifier(QImage icon) : m_icon(std::move(icon)) {
    static const QMetaType s_registered = qDBusRegisterMetaType<NoticeImage>();
    Q_UNUSED(s_registered);
}

void CDesktopNotifier::Notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(kNormalUrgency));
    if (!m_icon.isNull()) {
        hints.insert(QStringLiteral("image-data"), QVariant::fromValue(ToNoticeImage(m_icon)));
    }
    // The summary is never read as markup, so the task's own text goes there; the body holds
    // only the program's texts.
    message << QCoreApplication::applicationName() << uint{0} << QString() << summary << body
            << QStringList() << hints << kDefaultTimeout;
    // Sent without waiting for the answer: a service that hangs must not hold up the reminder.
    bus.send(message);
}

#else

// Without a session bus there is no notification service to reach; the dialog stands alone.
CDesktopNotifier::CDesktopNotifier(QImage icon) : m_icon(std::move(icon)) {}

void CDesktopNotifier::Notify(const QString& summary, const QString& body) {
    Q_UNUSED(summary);
    Q_UNUSED(body);
}

#endif

CDesktopNotifier& CDesktopNotifier::Shared() {
    static CDesktopNotifier s_shared(
        QGuiApplication::windowIcon().pixmap(kIconSize, kIconSize).toImage());
    return s_shared;
}
