// The main window at any size: the clock along the edges, the Task column taking the spare
// width, the minimum size, and the frame kept on screen.

#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>
#include <string>
#include <vector>

#include "maindlgfixture.h"
#include "prefs/windowplacement.h"

class TestMainLayout : public CMainDlgFixture {
    Q_OBJECT

private slots:
    void initTestCase() { InitTestCase(); }
    void cleanupTestCase() { CleanupTestCase(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    void clockAndColumnsFollowTheWindow_data() {
        QTest::addColumn<QSize>("size");  // empty: as designed; (1, 1): the minimum
        QTest::newRow("designed") << QSize();
        QTest::newRow("large") << QSize(1000, 720);
        QTest::newRow("minimum") << QSize(1, 1);
    }
    void clockAndColumnsFollowTheWindow() {
        QFETCH(QSize, size);
        // Enough tasks for a vertical scroll bar at every size.
        std::vector<std::string> lines;
        for (int i = 1; i <= 40; ++i) {
            lines.push_back("#6/1/2030{+}0{+}0{+}0{+}Task " + std::to_string(i) + "{+}{+}9");
        }
        WriteTasks(lines);
        CMainDlg& dlg = Start();
        const int statusWidth = List()->header()->sectionSize(1);
        if (size.isValid()) {
            dlg.resize(size);
        }
        if (size == QSize(1, 1)) {
            QCOMPARE(dlg.size(), dlg.minimumSize());
        }
        QCoreApplication::sendPostedEvents();
        const QRect ground = DateText()->parentWidget()->rect();

        // The date at the left edge, the time at the right one, each text whole, apart.
        const QRect date = DateText()->geometry();
        const QRect time = TimeText()->geometry();
        CTaskListView* list = List();
        QCOMPARE(date.left(), 11);
        QCOMPARE(time.right(), list->geometry().right());
        QVERIFY(ground.right() - time.right() >= 11);
        QVERIFY(date.right() < time.left());
        QVERIFY(DateText()->fontMetrics().horizontalAdvance(DateText()->text()) <= date.width());
        QVERIFY(TimeText()->fontMetrics().horizontalAdvance(TimeText()->text()) <= time.width());

        // The columns fill the list beside its vertical scroll bar: no horizontal scroll bar
        // for a few pixels, and the Task column takes what the others leave.
        QVERIFY(list->verticalScrollBar()->isVisible());
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        QCOMPARE(list->header()->length(), list->viewport()->width());
        QCOMPARE(list->header()->sectionSize(1), statusWidth);
        QCOMPARE(list->header()->sectionSize(2), 80);
        QVERIFY(list->header()->sectionSize(0) >= 120);

        // The list lies on the ground, with at least three whole rows in view.
        QVERIFY(ground.contains(list->geometry()));
        QVERIFY(list->viewport()->height() >= 3 * list->rowHeight(0));
    }

    void minimumIsSmallerThanDesigned() {
        CMainDlg& dlg = Start();
        QVERIFY(dlg.minimumWidth() < dlg.width());
        QVERIFY(dlg.minimumHeight() < dlg.height());
    }

    void frameOnScreen_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("expected");
        // The available area is 0,24 1280 x 776 (a panel at the top); the minimum 300 x 200.
        QTest::newRow("inside") << QRect(100, 50, 600, 400) << QRect(100, 50, 600, 400);
        QTest::newRow("title bar above the top")
            << QRect(100, -300, 600, 400) << QRect(100, 24, 600, 400);
        QTest::newRow("under the panel") << QRect(100, 10, 600, 400) << QRect(100, 24, 600, 400);
        QTest::newRow("taller than the area")
            << QRect(100, 0, 600, 1600) << QRect(100, 24, 600, 776);
        QTest::newRow("larger both ways") << QRect(-50, -50, 3000, 2000) << QRect(0, 24, 1280, 776);
        QTest::newRow("off to the right and below")
            << QRect(2000, 900, 600, 400) << QRect(680, 400, 600, 400);
        QTest::newRow("off to the left") << QRect(-900, 100, 600, 400) << QRect(0, 100, 600, 400);
    }
    void frameOnScreen() {
        QFETCH(QRect, frame);
        QFETCH(QRect, expected);
        QCOMPARE(FrameOnScreen(frame, QRect(0, 24, 1280, 776), QSize(300, 200)), expected);
    }

    void areaSmallerThanTheMinimumKeepsTheTopLeft() {
        QCOMPARE(FrameOnScreen(QRect(50, -40, 500, 400), QRect(0, 0, 320, 240), QSize(400, 300)),
                 QRect(0, 0, 400, 300));
    }

    void storedPlacementIsKeptOnScreen_data() {
        QTest::addColumn<QString>("dim");
        QTest::addColumn<bool>("bAtTop");  // moved down to the top of the screen
        QTest::newRow("title bar above the screen") << "100,-300,700,100" << true;
        QTest::newRow("larger than the screen") << "-10,-10,5000,4000" << true;
        // A placement stored by hand or by an older copy: never a thin strip.
        QTest::newRow("a thin strip") << "100,100,700,108" << false;
    }
    void storedPlacementIsKeptOnScreen() {
        QFETCH(QString, dim);
        QFETCH(bool, bAtTop);
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9", "#7/1/2030{+}0{+}0{+}0{+}July{+}{+}9"});
        m_pStore->WriteValue("dim", dim.toStdString());
        CMainDlg& dlg = Start();
        const QRect area = dlg.screen()->availableGeometry();
        QVERIFY2(area.contains(dlg.frameGeometry()),
                 qPrintable(QString("%1,%2 %3x%4")
                                .arg(dlg.frameGeometry().x())
                                .arg(dlg.frameGeometry().y())
                                .arg(dlg.frameGeometry().width())
                                .arg(dlg.frameGeometry().height())));
        if (bAtTop) {
            QCOMPARE(dlg.frameGeometry().top(), area.top());
        }
        QVERIFY(dlg.width() >= dlg.minimumWidth() && dlg.height() >= dlg.minimumHeight());
        QVERIFY(List()->rowHeight(0) > 0);
        QVERIFY(List()->viewport()->height() >= 3 * List()->rowHeight(0));
    }
};

QTEST_MAIN(TestMainLayout)
#include "tst_layout.moc"
