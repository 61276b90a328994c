// The main window's menus, gestures and the commands that open something, driven through the
// shared actions and real widgets over a real task file and settings file.
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "info/aboutdlg.h"
#include "maindlgfixture.h"
#include "mainwnd/commandmenu.h"
#include "prefs/settingsdlg.h"
#include "res/strings.h"

class TestMainMenus : public CMainDlgFixture {
    Q_OBJECT

private:
    QStringList Titles() const {
        QStringList titles;
        for (const TaskRecord& task : ReadTasks()) {
            titles << QString::fromStdString(task.title);
        }
        return titles;
    }
    void ClickHeader(int column) {
        QHeaderView* header = List()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    }
    // Runs start; the first modal dialog of type T that opens gets act, which closes it.
    template <class T>
    void WithModal(const std::function<void()>& start, const std::function<void(T&)>& act) {
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
                timer.stop();
                act(*dlg);
            }
        });
        timer.start(5);
        start();
    }

private slots:
    void initTestCase() { InitTestCase(); }
    void cleanupTestCase() { CleanupTestCase(); }
    void init() {
        Init();
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9", "#1/5/2030{+}0{+}3{+}2{+}January{+}{+}6",
                    "#9/2/2030{+}0{+}1{+}33{+}September{+}{+}6"});
    }
    void cleanup() { Cleanup(); }

    void greyingFollowsTheSelection() {
        Start();
        QTest::keyClick(List(), Qt::Key_Delete);  // nothing selected: nothing asked
        QCOMPARE(CMessageBox::Count(), 0);
        const QStringList selectionCommands = {"viewEditTask", "keepAsNew", "insertDuplicate",
                                               "markForDeletion", "deleteSelection"};
        QMenu* edit = MenuBar()->actions()[1]->menu();
        for (const bool bSelected : {false, true, false}) {
            if (bSelected) {
                List()->setCurrentIndex(Model().index(1, 0));
            } else {
                List()->clearSelection();
            }
            for (QMenu* popup : {edit, static_cast<QMenu*>(ContextMenu())}) {
                popup->popup(QPoint(0, 0));
                for (QAction* action : popup->actions()) {
                    const bool bSelectionCommand = selectionCommands.contains(action->objectName());
                    QCOMPARE(action->isEnabled(), bSelected || !bSelectionCommand);
                }
                popup->hide();
            }
        }
        // Refreshed rows are new rows: nothing is selected among them.
        List()->setCurrentIndex(Model().index(1, 0));
        QVERIFY(Action("deleteSelection")->isEnabled());
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9"});
        Action("refresh")->trigger();
        QVERIFY(!Action("deleteSelection")->isEnabled());
    }

    // The list is driven as a list: from the first key after start and after every refresh,
    // the keys that move in it select whole rows, and E then opens the row's task.
    void keysSelectWholeRowsFromTheFirstPress_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("row");
        QTest::newRow("Home") << int(Qt::Key_Home) << int(Qt::NoModifier) << 0;
        QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 0;
        QTest::newRow("End") << int(Qt::Key_End) << int(Qt::NoModifier) << 2;
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << int(Qt::ControlModifier) << 2;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << int(Qt::NoModifier) << 0;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << int(Qt::NoModifier) << 2;
        QTest::newRow("Down") << int(Qt::Key_Down) << int(Qt::NoModifier) << 0;
        QTest::newRow("Up") << int(Qt::Key_Up) << int(Qt::NoModifier) << 0;
    }
    void keysSelectWholeRowsFromTheFirstPress() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, row);
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        List()->setFocus();
        QTRY_VERIFY(List()->hasFocus());
        const auto selectedRows = [this] {
            QList<int> rows;
            for (const QModelIndex& index : List()->selectionModel()->selectedRows()) {
                rows << index.row();
            }
            return rows;
        };
        for (const char* last : {"Sept.", "September"}) {
            QTest::keyClick(List(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QCOMPARE(selectedRows(), QList<int>{row});
            QVERIFY(Action("keepAsNew")->isEnabled());
            // A file changed elsewhere: the list is new, nothing is selected in it.
            WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9",
                        "#1/5/2030{+}0{+}3{+}2{+}January{+}{+}6",
                        std::string("#9/2/2030{+}0{+}1{+}33{+}") + last + "{+}{+}6"});
            QTest::keyClick(List(), Qt::Key_F5);
            QVERIFY(selectedRows().isEmpty());
        }
        // Home and End go to the first and last row from any row; E opens the task of the row
        // a key selected.
        QTest::keyClick(List(), Qt::Key_Home);
        QTest::keyClick(List(), Qt::Key_End);
        QCOMPARE(selectedRows(), QList<int>{2});
        QTest::keyClick(List(), Qt::Key_Home);
        QCOMPARE(selectedRows(), QList<int>{0});
        QString opened;
        WithModal<CTaskEditDlg>([&] { QTest::keyClick(List(), Qt::Key_E); },
                                [&](CTaskEditDlg& editor) {
                                    opened = editor.TitleEdit()->text();
                                    editor.reject();
                                });
        QCOMPARE(opened, QString("June"));
    }

    void columnClicksSortAndAlternate() {
        QVERIFY(QTest::qWaitForWindowExposed(&Start()));
        const QStringList ascending = {"January", "June", "September"};
        const QStringList descending = {"September", "June", "January"};
        for (const bool bAscending : {true, false, true}) {
            ClickHeader(0);
            QCOMPARE(Headers()[0], bAscending ? "Task (+)" : "Task (-)");
            QCOMPARE(Titles(), bAscending ? ascending : descending);
        }
        // Neither the Sort menu nor the other headers change whose turn is next: descending.
        Action("sortByDateDescending")->trigger();
        ClickHeader(1);
        QCOMPARE(Headers(), QStringList({"Task", "Status !", "Recurrence"}));
        QCOMPARE(Titles(), QStringList({"June", "September", "January"}));
        ClickHeader(0);
        QCOMPARE(Headers(), QStringList({"Task (-)", "Status", "Recurrence"}));
        QCOMPARE(Titles(), descending);
        ClickHeader(2);
        QCOMPARE(Headers(), QStringList({"Task", "Status", "Recurrence !"}));
        QCOMPARE(Titles(), QStringList({"June", "January", "September"}));
    }

    void settingsDialogOnItsOwn() {
        // A clean store: Normal, sound on, 90; the missing interval is repaired even on Cancel.
        m_pIni->clear();
        CSettingsDlg clean(*m_pStore, kStartupDefault, 1);
        QVERIFY(clean.NormalRadio()->isChecked() && clean.SoundCheck()->isChecked());
        QCOMPARE(clean.PollSpin()->value(), 90);
        clean.HiddenRadio()->setChecked(true);
        clean.CancelButton()->click();
        QCOMPARE(clean.m_nStartup, -1);
        QCOMPARE(Setting("poll"), "90");
        QVERIFY(!Setting("startup"));
        // Stored intervals the spin box cannot hold show as the nearest end of its range.
        for (const auto& [stored, shown] : {std::pair{"65626", 7200}, {"5", 90}, {"-3", 90}}) {
            m_pStore->WriteValue("poll", stored);
            QCOMPARE(CSettingsDlg(*m_pStore, 3, 1).PollSpin()->value(), shown);
        }
    }

    void settingsCommandActsWhenEachChoiceShould() {
        m_pStore->WriteValue("poll", "3");
        CMainDlg& dlg = Start();
        for (int i = 1; i <= 2; ++i) {
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            WithModal<CSettingsDlg>([&] { Action("settings")->trigger(); },
                                    [](CSettingsDlg& settings) {
                                        settings.HiddenRadio()->setChecked(true);
                                        settings.SoundCheck()->setChecked(false);
                                        settings.PollSpin()->setValue(300);
                                        settings.OkButton()->click();
                                    });
            QCOMPARE(CMessageBox::Count(), i);  // the Hidden notice at every OK
            QCOMPARE(CMessageBox::Last().text, QString(Str::HiddenStartupNote));
            QCOMPARE(CMessageBox::Last().caption, QString("Marmoset Task"));
        }
        QVERIFY(Setting("startup") == "2" && Setting("sound") == "0" && Setting("poll") == "300");

        // The sound is off from the next reminder on; the interval and Hidden wait for the next
        // start: the third tick still polls, and the window stays.
        WriteTasks({"#3/10/2030{+}0{+}0{+}0{+}Dentist{+}{+}12"});
        int bPlaySound = -1;
        const auto tick3 = [&] {
            for (int tick = 0; tick < 3; ++tick) {
                dlg.OnTimer();
            }
            QTRY_COMPARE(ReadTasks().front().status, 1);
        };
        WithModal<CReminderDlg>(tick3, [&](CReminderDlg& reminder) {
            bPlaySound = reminder.m_bPlaySound;
            reminder.reject();
        });
        QCOMPARE(bPlaySound, 0);
        QVERIFY(dlg.isVisible());
    }

    void aboutBoxAndTrayMenu() {
        const std::pair<MemoryStatus, const char*> cases[] = {
            {{134217728, 67108864, 50}, "Total RAM=134 MB|Free RAM=67 MB|Memory utilization=50%"},
            {{2000000, 999999, 57}, "Total RAM=2 MB|Free RAM=0 MB|Memory utilization=57%"}};
        for (const auto& [memory, lines] : cases) {
            const CAboutDlg box(memory);
            QStringList shown;
            for (int i = 0; i < box.MemoryList()->count(); ++i) {
                shown << box.MemoryList()->item(i)->text();
            }
            QCOMPARE(shown.join('|'), QString(lines));
        }
        QVERIFY(WriteFile("meminfo",
                          "MemTotal: 131072 kB\nMemFree: 1000 kB\nMemAvailable: 32768 kB\n"));
        QCOMPARE(ReadMemInfo(m_pDir->filePath("meminfo").toStdString()),
                 (MemoryStatus{134217728, 33554432, 75}));

        // The tray menu's About is the Help menu's; "Show" does what the double-click does.
        CMainDlg& dlg = Start();
        auto& tray = *qobject_cast<CCommandMenu*>(TrayIcon()->contextMenu());
        QStringList items;
        for (QAction* action : tray.actions()) {
            items << tray.ItemText(action);
        }
        QCOMPARE(items, QStringList({"Show", "", "&New task", "&Refresh", "&About", "", "E&xit"}));
        QCOMPARE(tray.actions()[4], Action("about"));
        dlg.OnOK();
        tray.actions()[0]->trigger();
        QVERIFY(dlg.isVisible());
    }

    void helpIndexNamesAMissingPage() {
        // The page opening in the desktop's browser is checked on a real desktop.
        Start();
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Action("helpIndex")->trigger();
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        QCOMPARE(CMessageBox::Last().text,
                 QString(Str::HelpNotOpened) + "\n" + m_pDir->filePath("program/nkindex.htm"));
    }

    void systemCalendarStartsTheDesktopsSettings() {
        Start();
        const QByteArray oldPath = qgetenv("PATH");
        const QByteArray oldDesktop = qgetenv("XDG_CURRENT_DESKTOP");
        const auto restore = qScopeGuard([&] {
            qputenv("PATH", oldPath);
            qputenv("XDG_CURRENT_DESKTOP", oldDesktop);
        });
        const QString bin = m_pDir->filePath("bin");
        const QString record = m_pDir->filePath("started");
        QVERIFY(QDir().mkpath(bin));
        qputenv("PATH", QFile::encodeName(bin));
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
        for (const char* name : {"gnome-control-center", "systemsettings"}) {
            QVERIFY(WriteFile(QString("bin/") + name, "#!/bin/sh\necho \"${0##*/} $*\" >> '" +
                                                          QFile::encodeName(record) + "'\n"));
            QFile::setPermissions(bin + "/" + name,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // The running desktop's own settings come first.
        Action("systemCalendar")->trigger();
        QTRY_VERIFY(QFileInfo(record).size() > 0);
        QFile started(record);
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(started.readAll(), QByteArray("systemsettings kcm_clock\n"));

        // With none installed the user is told which programs were looked for.
        QVERIFY(QDir(bin).removeRecursively());
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Action("systemCalendar")->trigger();
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        QVERIFY(CMessageBox::Last().text.startsWith(QString(Str::DateTimeSettingsMissing) +
                                                    "\nsystemsettings, systemsettings5, "));
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_mainmenus.moc"
