#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include "platform/alertplayer.h"
#include "platform/desktopnotifier.h"
#include "platform/settingsstore.h"
#include "platform/windowsystem.h"
#include "prefs/windowplacement.h"
#include "reminder/reminderdlg.h"

namespace {

class CSilentPlayer final : public IAlertPlayer {
public:
    void Play() override {}
};

class CNoNotices final : public IDesktopNotifier {
public:
    void Notify(const QString& /*summary*/, const QString& /*body*/) override {}
};

}  // namespace

// The reminder and the window's place on a real Wayland compositor: weston, which
// on_wayland.sh starts and stops around the test.
class TestOnWayland : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(OnWayland(), "run through on_wayland.sh"); }

    void reminderCarriesItsOwnCaption() {
        // No frame of Qt's, whose minimise and maximise buttons the compositor would obey; the
        // icon and caption in a bar of the reminder's own, at its top.
        CSilentPlayer player;
        CNoNotices notices;
        CReminderDlg dlg(&player, &notices);
        dlg.SetRequest({.title = "Call the bank",
                        .year = 2030,
                        .month = 3,
                        .day = 10,
                        .hour = 14,
                        .caption = "Now Due!"},
                       0);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const Qt::WindowFlags flags = dlg.windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(dlg.windowHandle()->frameMargins(), QMargins());
        const auto* caption = dlg.findChild<QLabel*>(QStringLiteral("captionText"));
        QVERIFY(caption != nullptr && caption->isVisible());
        QCOMPARE(caption->text(), QString("Now Due!"));
        const QWidget* bar = dlg.findChild<QWidget*>(QStringLiteral("caption"));
        QCOMPARE(bar->geometry().top(), 0);
        QCOMPARE(bar->width(), dlg.width());
        QVERIFY(bar->geometry().bottom() < dlg.TitleStatic()->geometry().top());
        dlg.reject();
    }

    void placementKeepsTheSizeAndLeavesThePlace() {
        // The stored outer size, Qt's frame included; the stored place stays stored, as the
        // compositor does not say where the window went.
        QTemporaryDir dir;
        QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
        CSettingsStore store(settings);
        QWidget window;
        auto* placement = new CWindowPlacement(window);
        placement->Restore(QRect(2000, -500, 640, 480));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.windowHandle()->frameMargins().isNull());
        QTRY_COMPARE(window.frameGeometry().size(), QSize(640, 480));
        placement->Save(store);
        QCOMPARE(store.ReadValue("dim", 100), std::optional<std::string>("2000,-500,2640,-20"));

        const QMargins margins = window.windowHandle()->frameMargins();
        window.resize(QSize(700, 500).shrunkBy(margins));
        QTRY_COMPARE(window.frameGeometry().size(), QSize(700, 500));
        placement->Save(store);
        QCOMPARE(store.ReadValue("dim", 100), std::optional<std::string>("2000,-500,2700,0"));
    }
};

QTEST_MAIN(TestOnWayland)
#include "tst_onwayland.moc"
