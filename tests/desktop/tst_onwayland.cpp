#include <QSettings>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include "platform/settingsstore.h"
#include "platform/windowsystem.h"
#include "prefs/windowplacement.h"

// The window's place on a real Wayland compositor: weston, which on_wayland.sh starts and
// stops around the test.
class TestOnWayland : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(OnWayland(), "run through on_wayland.sh"); }

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
