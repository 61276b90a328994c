#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

#include "platform/settingsstore.h"
#include "prefs/windowplacement.h"

namespace {

// A settings store in a fresh temporary INI file.
class TempStore {
public:
    TempStore() : m_settings(m_dir.filePath("settings.ini"), QSettings::IniFormat) {}

    CSettingsStore& Store() { return m_store; }
    void PutDim(const std::string& text) { m_store.WriteValue("dim", text); }
    std::optional<std::string> Dim() const { return m_store.ReadValue("dim", 100); }

private:
    QTemporaryDir m_dir;
    QSettings m_settings;
    CSettingsStore m_store{m_settings};
};

// A window that keeps its place, shown.
struct PlacedWindow {
    QWidget window;
    CWindowPlacement* placement = new CWindowPlacement(window);
};

std::unique_ptr<PlacedWindow> ShownWindow(const QRect& frame) {
    auto placed = std::make_unique<PlacedWindow>();
    placed->placement->Restore(frame);
    placed->window.show();
    // Shown, and given the stored outer size once its frame is known.
    if (!QTest::qWaitForWindowExposed(&placed->window) || !QTest::qWaitFor([&] {
            return frame.isNull() || placed->window.frameGeometry() == frame;
        })) {
        return nullptr;
    }
    return placed;
}

std::string DimOf(const QRect& frame) {
    return FormatDim({.left = frame.left(),
                      .top = frame.top(),
                      .right = frame.x() + frame.width(),
                      .bottom = frame.y() + frame.height()});
}

}  // namespace

class WindowPlacementTest : public QObject {
    Q_OBJECT

private slots:
    void parseDim_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QList<int>>("values");

        QTest::newRow("plain") << "100,50,700,450" << true << QList<int>{100, 50, 700, 450};
        QTest::newRow("negative") << "-1280,-20,-300,400" << true
                                  << QList<int>{-1280, -20, -300, 400};
        QTest::newRow("runs of commas count as one")
            << ",,1,,2,,,3,4,," << true << QList<int>{1, 2, 3, 4};
        QTest::newRow("extra pieces are ignored") << "1,2,3,4,5" << true << QList<int>{1, 2, 3, 4};
        QTest::newRow("pieces read like atoi") << " 7,x,9 ,10px" << true << QList<int>{7, 0, 9, 10};
        QTest::newRow("three pieces") << "1,2,3" << false << QList<int>{};
        QTest::newRow("commas only") << ",,,," << false << QList<int>{};
        QTest::newRow("empty") << "" << false << QList<int>{};
        QTest::newRow("blanks are a piece") << "1, ,3,4" << true << QList<int>{1, 0, 3, 4};
    }

    void parseDim() {
        QFETCH(QString, text);
        QFETCH(bool, found);
        QFETCH(QList<int>, values);

        const auto rect = ParseDim(text.toStdString());
        QCOMPARE(rect.has_value(), found);
        if (found) {
            QCOMPARE(*rect, (StoredRect{values[0], values[1], values[2], values[3]}));
        }
    }

    void formatDimReadsBack() {
        for (const StoredRect& rect :
             {StoredRect{100, 50, 700, 450}, StoredRect{-5, -6, 0, 7}, StoredRect{0, 0, 0, 0}}) {
            QCOMPARE(ParseDim(FormatDim(rect)), std::optional<StoredRect>(rect));
        }
        QCOMPARE(FormatDim({-1000, -1000, -900, -900}), std::string("-1000,-1000,-900,-900"));
    }

    void loadGivesTheOuterRectangle_data() {
        QTest::addColumn<QString>("dim");
        QTest::addColumn<QRect>("expected");

        QTest::newRow("600 by 400 at 100,50") << "100,50,700,450" << QRect(100, 50, 600, 400);
        QTest::newRow("off every screen") << "-900,-900,-100,-500" << QRect(-900, -900, 800, 400);
        QTest::newRow("19 characters fit")
            << "-100,-100,9000,9000" << QRect(-100, -100, 9100, 9100);
        QTest::newRow("20 characters or more do not") << "-1000,-1000,-900,-900" << QRect();
        QTest::newRow("zero width") << "100,50,100,450" << QRect();
        QTest::newRow("zero height") << "100,50,700,50" << QRect();
        QTest::newRow("right left of left") << "700,50,100,450" << QRect();
        QTest::newRow("bottom above top") << "100,450,700,50" << QRect();
        QTest::newRow("three pieces") << "100,50,700" << QRect();
        QTest::newRow("letters") << "a,b,c,d" << QRect();
    }

    void loadGivesTheOuterRectangle() {
        QFETCH(QString, dim);
        QFETCH(QRect, expected);

        TempStore store;
        store.PutDim(dim.toStdString());
        QCOMPARE(LoadWindowPlacement(store.Store()), expected);
    }

    void nothingStoredGivesANullRectangle() {
        TempStore store;
        QVERIFY(LoadWindowPlacement(store.Store()).isNull());
    }

    void saveWritesTheFrameEdges() {
        TempStore store;
        auto placed = ShownWindow(QRect(120, 80, 500, 300));
        QVERIFY(placed);
        placed->placement->Save(store.Store());
        // right and bottom are the edges themselves, not the last pixel inside them.
        QCOMPARE(store.Dim(), std::optional<std::string>(DimOf(placed->window.frameGeometry())));
        QCOMPARE(store.Dim(), std::optional<std::string>("120,80,620,380"));
    }

    void restoredWindowDoesNotGrowFromRunToRun() {
        TempStore store;
        store.PutDim("100,50,700,450");
        for (int run = 0; run < 3; ++run) {
            auto placed = ShownWindow(LoadWindowPlacement(store.Store()));
            QVERIFY(placed);
            QTRY_COMPARE(placed->window.frameGeometry(), QRect(100, 50, 600, 400));
            placed->placement->Save(store.Store());
            QCOMPARE(store.Dim(), std::optional<std::string>("100,50,700,450"));
        }
    }

    void placingAShownWindowMovesItsFrame() {
        auto placed = ShownWindow(QRect());
        QVERIFY(placed);
        placed->placement->Restore(QRect(30, 40, 320, 240));
        QTRY_COMPARE(placed->window.frameGeometry(), QRect(30, 40, 320, 240));
    }

    void nullRectangleLeavesTheWindowAlone() {
        PlacedWindow placed;
        placed.window.setGeometry(10, 20, 300, 200);
        placed.placement->Restore(QRect());
        QCOMPARE(placed.window.geometry(), QRect(10, 20, 300, 200));
    }

    void minimisedWindowSavesNothing() {
        TempStore store;
        store.PutDim("1,2,301,202");
        auto placed = ShownWindow(QRect(100, 50, 600, 400));
        QVERIFY(placed);
        placed->window.setWindowState(Qt::WindowMinimized);
        QVERIFY(placed->window.isMinimized());
        placed->placement->Save(store.Store());
        QCOMPARE(store.Dim(), std::optional<std::string>("1,2,301,202"));
    }

    void hiddenWindowSavesItsLastRectangle() {
        TempStore store;
        auto placed = ShownWindow(QRect(100, 50, 600, 400));
        QVERIFY(placed);
        placed->window.resize(placed->window.width() + 100, placed->window.height() + 100);
        QTRY_COMPARE(placed->window.frameGeometry().size(), QSize(700, 500));
        placed->window.hide();
        placed->placement->Save(store.Store());
        QCOMPARE(store.Dim(), std::optional<std::string>("100,50,800,550"));
    }

    // A window that was never on screen has no place of its own yet: nothing is stored.
    void windowNeverShownSavesNothing() {
        TempStore store;
        store.PutDim("1,2,301,202");
        PlacedWindow never;
        never.placement->Restore(QRect(100, 50, 600, 400));
        never.placement->Save(store.Store());
        QCOMPARE(store.Dim(), std::optional<std::string>("1,2,301,202"));
    }
};

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    WindowPlacementTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "windowplacement_test.moc"
