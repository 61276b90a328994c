#pragma once

#include <QImage>
#include <QString>

// Something that puts a short notice on the desktop, beside whatever window is in front. The
// reminder dialog only knows this, so a test can see the notices without a desktop.
class IDesktopNotifier {
public:
    virtual ~IDesktopNotifier() = default;
    // Sends the notice and returns at once, whether or not anything shows it.
    virtual void Notify(const QString& summary, const QString& body) = 0;
};

// Notices through the desktop's notification service (org.freedesktop.Notifications on the
// session bus), with the program's icon. Where there is no session bus or no service, nothing
// is shown and nothing waits.
class CDesktopNotifier final : public IDesktopNotifier {
public:
    // icon: the picture the notice carries; may be null.
    explicit CDesktopNotifier(QImage icon = {});

    void Notify(const QString& summary, const QString& body) override;

    // One notifier for the whole program, carrying the application's icon.
    static CDesktopNotifier& Shared();

private:
    QImage m_icon;
};
