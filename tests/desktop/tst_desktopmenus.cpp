// The main window on a real X server with a real window manager (run by on_desktop.sh): the
// pointer and keys come from the X server (xdotool), the help page goes to the desktop's own
// opener (xdg-open), which finds a browser through a handler in a home folder of the test.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QtTest>

#include "desktopfixture.h"
#include "mainwnd/commandmenu.h"

// One window for all the tests, as a user would keep it open.
class TestDesktopMenus : public CDesktopFixture {
    Q_OBJECT

private:
    QString OpenedRecord() const { return m_pDir->filePath("opened"); }

private slots:
    void initTestCase() {
        InitOnDesktop();
        const QDir root(m_pDir->path());
        QVERIFY(root.mkpath("home/config") && root.mkpath("home/data/applications"));

        // The program's folder with its help page as the build put it beside the program.
        QVERIFY(QFile::copy(QStringLiteral(MARMOSET_HELP_PAGE),
                            m_pDir->filePath("program/nkindex.htm")));
        WriteTasks(
            {"#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9", "#9/2/2030{+}0{+}1{+}2{+}September{+}{+}6"});

        // The user's browser for web pages: it only notes what it was asked to open.
        const QString browser = m_pDir->filePath("browser");
        QVERIFY(WriteFile("browser", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" +
                                         QFile::encodeName(OpenedRecord()) + "'\n"));
        QVERIFY(QFile::setPermissions(browser, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(WriteFile("home/data/applications/test-browser.desktop",
                          "[Desktop Entry]\nType=Application\nName=Test Browser\nExec=" +
                              QFile::encodeName(browser) + " %u\nMimeType=text/html;\n"));
        QVERIFY(WriteFile("home/config/mimeapps.list",
                          "[Default Applications]\ntext/html=test-browser.desktop\n"));
        // Only what the opener started from here sees this home.
        qputenv("HOME", QFile::encodeName(root.filePath("home")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath("home/config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("home/data")));
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("BROWSER");

        // Its own one-second timer runs, as in the program.
        Create();
        m_pProgram->Start();
        QVERIFY(QTest::qWaitForWindowExposed(&Window()));
        QVERIFY(Xdotool({"windowactivate", "--sync", QString::number(Window().winId())}));
        QTRY_VERIFY(Window().isActiveWindow());
    }
    void cleanupTestCase() { CleanupOnDesktop(); }

    void rightClickOpensTheCommandMenuAtTheCursor() {
        QWidget* viewport = List()->viewport();
        const QPoint at = viewport->mapToGlobal(QPoint(60, 40));
        QVERIFY(Xdotool({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y()),
                         "click", "3"}));
        QTRY_COMPARE(QApplication::activePopupWidget(), ContextMenu());
        const CCommandMenu& menu = *ContextMenu();
        QTRY_COMPARE(menu.geometry().topLeft(), at);
        QStringList items;
        for (QAction* action : menu.actions()) {
            items << menu.ItemText(action);
        }
        QCOMPARE(items, QStringList({"New Task", "View/Edit Task", "Keep As New",
                                     "Mark For Deletion", "Refresh"}));
        QVERIFY(Xdotool({"key", "Escape"}));
        QTRY_COMPARE(QApplication::activePopupWidget(), nullptr);
        // Over the menu bar, outside the client area, there is no such menu.
        Window().OnContextMenu(MenuBar()->mapToGlobal(QPoint(200, 5)));
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    void f1AsksTheDesktopToOpenTheHelpPage() {
        QFile::remove(OpenedRecord());
        const QPoint row = List()->viewport()->mapToGlobal(QPoint(60, 8));
        QVERIFY(Xdotool({"mousemove", "--sync", QString::number(row.x()), QString::number(row.y()),
                         "click", "1"}));
        QTRY_VERIFY(List()->hasFocus());
        QVERIFY(Xdotool({"key", "F1"}));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(OpenedRecord()).size() > 0, 15000);
        QFile opened(OpenedRecord());
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLocal8Bit(opened.readAll()).trimmed(),
                 QDir::cleanPath(m_pDir->filePath("program/nkindex.htm")));
        QCOMPARE(CMessageBox::Count(), 0);
    }
};

QTEST_MAIN(TestDesktopMenus)
#include "tst_desktopmenus.moc"
