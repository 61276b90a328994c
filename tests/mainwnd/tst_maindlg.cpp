// The main window over a real task file in a temporary program folder, a temporary settings
// file and a clock the tests set.
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "maindlgfixture.h"
#include "mainwnd/clocktext.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/taskfilewatcher.h"
#include "mainwnd/tasklistmodel.h"
#include "platform/settingsstore.h"
#include "prefs/windowplacement.h"
#include "reminder/pollrunner.h"
#include "reminder/reminderdlg.h"
#include "res/images.h"
#include "res/strings.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

class TestMainDlg : public CMainDlgFixture {
    Q_OBJECT

private slots:
    void initTestCase() { InitTestCase(); }
    void cleanupTestCase() { CleanupTestCase(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    void firstPollFillsTheList() {
        // A title longer than any window lays out shows in part; the file keeps it whole.
        const std::string longTitle = "Renew " + std::string(600, 'x');
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}Future task{+}{+}9",
                    "#1/5/2030{+}0{+}1{+}2{+}Done task{+}{+}6",
                    "#2/1/2030{+}0{+}3{+}33{+}Trash{+}{+}6",
                    "#4/1/2030{+}0{+}0{+}1{+}Bill{+}note{+}6",
                    "#7/1/2030{+}0{+}0{+}0{+}" + longTitle + "{+}{+}9"});
        CMainDlg& dlg = Start();

        struct Row {
            const char* text;
            const char* status;
            const char* recurrence;
            int image;
        };
        const Row rows[] = {{"06/01/2030 Future task", "Future", "None", 0},
                            {"01/05/2030 Done task", "Complete", "Yearly", 1},
                            {"02/01/2030 Trash", "To Delete", "Weekly", 3},
                            {"04/01/2030 Bill", "Future", "Monthly", 0}};
        QCOMPARE(Model().rowCount(), 5);
        QCOMPARE(Cell(Model(), 4, 0),
                 QString("07/01/2030 Renew ") + QString(494, 'x') + QString("..."));
        QCOMPARE(Model().TaskAt(4)->record.title, longTitle);
        const QList<QIcon> images = StatusImages();
        const QSize imageSize(kStatusImageSize, kStatusImageSize);
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(Cell(Model(), r, 0), rows[r].text);
            QCOMPARE(Cell(Model(), r, 1), rows[r].status);
            QCOMPARE(Cell(Model(), r, 2), rows[r].recurrence);
            const QIcon shown =
                Model().data(Model().index(r, 0), Qt::DecorationRole).value<QIcon>();
            QCOMPARE(shown.pixmap(imageSize).toImage(),
                     images[rows[r].image].pixmap(imageSize).toImage());
        }

        // The window as designed: title, icon, menus holding only working commands, columns.
        QCOMPARE(dlg.windowTitle(), QString("Marmoset Task"));
        QStringList menus;
        for (QAction* pMenu : MenuBar()->actions()) {
            QStringList items;
            for (QAction* pItem : pMenu->menu()->actions()) {
                items << pItem->text();
            }
            menus << pMenu->text() + ": " + items.join(" | ");
        }
        QStringList expected;
        expected
            << "&File: &New task | &Settings |  | &Import Calendar... | &Export Calendar... |  | "
               "E&xit\tEsc"
            << "&Edit: View/&Edit Task | Keep As &New | &Insert Duplicate |  | "
               "&Mark For Deletion | Delete Selection\tDel |  | "
               "Delete All &Marked Tasks | Delete All &Past Tasks"
            << "&Sort: By &Date (Descending) | By D&ate (Ascending) | By &Status | "
               "By &Recurrence"
            << "&Tools: &Compact Database | S&ystem Calendar"
            << "&Window: &Hide | &Refresh\tF5"
            << "&Help: &About | &Help Index\tF1";
        QCOMPARE(menus, expected);
        QHeaderView* header = List()->header();
        QCOMPARE(Model().headerData(2, Qt::Horizontal).toString(), QString("Recurrence"));
        // The Task column has at least its designed width and takes what the others leave.
        QVERIFY(header->sectionSize(0) >= 240);
        QCOMPARE(header->length(), List()->viewport()->width());
        QCOMPARE(header->sectionSize(2), 80);
        // The status column is 80 pixels unless the font needs more for "Today/Unread".
        QVERIFY(header->sectionSize(1) >= 80);
        QVERIFY(header->sectionSize(1) >
                List()->fontMetrics().horizontalAdvance(QString("Today/Unread")));
        QCOMPARE(DateText()->text(), FormatClockDate(QDate(2030, 3, 10), QLocale::system()));
        QCOMPARE(TimeText()->text(), FormatClockTime(QTime(12, 30), QLocale::system()));
    }

    void missingTaskFileIsReported() {
        QVERIFY(QFile::remove(QString::fromStdString(TaskFile())));
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Start();
        QCOMPARE(CMessageBox::Last().text,
                 QString("Task file not found.\n\n") + QString::fromStdString(TaskFile()));
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        QCOMPARE(CMessageBox::Last().icon, QMessageBox::Critical);
        QCOMPARE(Model().rowCount(), 0);
    }

    void startupRemindersComeBeforeTheWindow_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("storedDay");
        QTest::addColumn<int>("storedStatus");
        QTest::newRow("Okay completes") << Answer::Okay << 10 << 1;
        QTest::newRow("Remind me tomorrow moves a day") << Answer::RemindTomorrow << 11 << 0;
        QTest::newRow("Details then as Okay") << Answer::Details << 10 << 1;
    }
    void startupRemindersComeBeforeTheWindow() {
        QFETCH(Answer, answer);
        QFETCH(int, storedDay);
        QFETCH(int, storedStatus);
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}Later{+}{+}9",
                    "#3/10/2030{+}0{+}0{+}0{+}Dentist{+}bring card{+}12"});
        CReminderResponder responder(&Create(), answer);
        m_pProgram->Start();

        QCOMPARE(responder.seen.size(), size_t{1});
        QCOMPARE(responder.nDetailsViews, answer == Answer::Details ? 1 : 0);
        const CReminderResponder::Seen& seen = responder.seen.front();
        QVERIFY(!seen.bMainVisible);
        QVERIFY(!seen.bMainEnabled);  // held up while the reminder waits
        QVERIFY(Window().isEnabled());
        QCOMPARE(seen.caption, QString("Now Due!"));
        QCOMPARE(seen.title, QString("Dentist"));
        QCOMPARE(seen.bPlaySound, 2);
        QVERIFY(seen.bArrowCursor);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(Window().isVisible());
        QVERIFY(Tick()->isActive() && Tick()->interval() == 1000);
        // Listed as the answer left it.
        QCOMPARE(Cell(Model(), 1, 1), QString(storedStatus == 1 ? "Complete" : "Future"));

        const std::vector<TaskRecord> tasks = ReadTasks();
        QCOMPARE(tasks.size(), size_t{2});
        QCOMPARE(tasks[1].title, std::string("Dentist"));
        QCOMPARE(tasks[1].note, std::string("bring card"));
        QCOMPARE(tasks[1].dueDay, storedDay);
        QCOMPARE(tasks[1].status, storedStatus);
    }

    void tickPollsAtTheIntervalOutsideTheTick() {
        m_pStore->WriteValue("poll", "3");
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9"});
        CMainDlg& dlg = Start();
        WriteTasks({"#6/2/2030{+}0{+}0{+}0{+}Two{+}{+}9"}, true);

        m_clock.now = CTime::FromLocal(2030, 3, 10, 12, 31, 5);
        dlg.OnTimer();
        QCOMPARE(TimeText()->text(), FormatClockTime(QTime(12, 31, 5), QLocale::system()));
        dlg.OnTimer();
        QTest::qWait(20);
        QCOMPARE(Model().rowCount(), 1);
        // The third tick calls for the poll; it runs once the tick is over.
        dlg.OnTimer();
        QCOMPARE(Model().rowCount(), 1);
        QCOMPARE(dlg.windowTitle(), QString("Marmoset Task"));
        QTRY_COMPARE(Model().rowCount(), 2);
        QCOMPARE(dlg.windowTitle(), QString("Polling tasks..."));
        QTRY_COMPARE(dlg.windowTitle(), QString("Marmoset Task"));
        for (int tick = 0; tick < 2; ++tick) {
            dlg.OnTimer();
        }
        QTest::qWait(20);
        QCOMPARE(dlg.windowTitle(), QString("Marmoset Task"));
    }

    // A reminder of the tick's poll may wait for hours: the clock goes on meanwhile.
    void clockRunsWhileATimedPollsReminderWaits() {
        m_pStore->WriteValue("poll", "1");
        m_clock.now = CTime::FromLocal(2030, 3, 10, 11, 59, 59);
        WriteTasks({"#3/10/2030{+}0{+}0{+}0{+}Dentist{+}{+}12"});
        CMainDlg& dlg = Create();
        m_pProgram->Start();
        QCOMPARE(Model().rowCount(), 1);
        m_clock.now = CTime::FromLocal(2030, 3, 10, 12, 0, 0);
        QStringList times;
        QString title;
        CReminderResponder responder(&dlg, Answer::Okay);
        responder.onOpen = [&] {
            title = dlg.windowTitle();
            QElapsedTimer open;
            open.start();
            while (open.elapsed() < 3000) {
                m_clock.now = CTime(m_clock.now.GetTime() + 1);
                QTest::qWait(250);
                if (times.isEmpty() || times.back() != TimeText()->text()) {
                    times << TimeText()->text();
                }
            }
        };
        QTRY_COMPARE_WITH_TIMEOUT(responder.seen.size(), size_t{1}, 5000);
        QCOMPARE(title, QString("Polling tasks..."));  // raised by the tick's poll
        QVERIFY2(times.size() >= 2, qPrintable(times.join(" | ")));
        QCOMPARE(ReadTasks().front().status, 1);
    }

    // While a poll waits on a reminder, the commands that change the file wait too: no second
    // poll, from the ticks or a refresh; the ticks go on counting and poll once it is over.
    void commandsAndTicksWaitForARunningPoll_data() {
        QTest::addColumn<bool>("fromTick");
        QTest::newRow("poll started by the tick") << true;
        QTest::newRow("poll started by Refresh") << false;
    }
    void commandsAndTicksWaitForARunningPoll() {
        QFETCH(bool, fromTick);
        m_pStore->WriteValue("poll", "2");
        CMainDlg& dlg = Start();
        WriteTasks(
            {"#6/1/2030{+}0{+}0{+}0{+}Later{+}{+}9", "#3/10/2030{+}0{+}0{+}0{+}Dentist{+}{+}12"});
        Select(0);

        CReminderResponder responder(&dlg, Answer::Okay);
        int nExtraReminders = 0;
        QStringList enabled;
        responder.onOpen = [&] {
            // A second poll would raise the same reminder again inside this one.
            QTimer::singleShot(50, &responder, [&] {
                if (auto* p = qobject_cast<CReminderDlg*>(QApplication::activeModalWidget())) {
                    ++nExtraReminders;
                    p->reject();
                }
            });
            for (const char* name : {"newTask", "viewEditTask", "deleteSelection", "sortByStatus",
                                     "compactDatabase", "refresh", "settings", "about", "exit"}) {
                if (Action(name)->isEnabled()) {
                    enabled << name;
                }
            }
            for (int i = 0; i < 3; ++i) {
                dlg.OnTimer();
            }
            Action("refresh")->trigger();
            QTest::qWait(20);
        };
        if (fromTick) {
            dlg.OnTimer();
            dlg.OnTimer();
            QTRY_COMPARE(responder.seen.size(), size_t{1});
        } else {
            Action("refresh")->trigger();
        }
        QCOMPARE(responder.seen.size(), size_t{1});
        QCOMPARE(nExtraReminders, 0);
        QCOMPARE(enabled, QStringList({"settings", "about", "exit"}));
        QCOMPARE(Model().rowCount(), 2);
        QVERIFY(Action("refresh")->isEnabled() && Action("newTask")->isEnabled());
        QVERIFY(!Action("viewEditTask")->isEnabled());  // the rows are new: nothing selected
        QCOMPARE(ReadTasks().back().status, 1);
        // The ticks counted while waiting make the next tick poll at once.
        WriteTasks({"#6/2/2030{+}0{+}0{+}0{+}Added{+}{+}9"}, true);
        dlg.OnTimer();
        QTRY_COMPARE(Model().rowCount(), 3);
    }

    void refreshPollsAndTheModelResetsOnlyOnChange() {
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9", "#6/2/2030{+}0{+}0{+}0{+}Two{+}{+}9"});
        m_pStore->WriteValue("poll", "1");
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QSignalSpy resets(&Model(), &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&Model(), &QAbstractItemModel::layoutChanged);
        Action("refresh")->trigger();
        dlg.OnTimer();
        QTest::qWait(20);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(layouts.count(), 0);

        WriteTasks({"#1/3/2030{+}0{+}1{+}0{+}Three{+}{+}9"}, true);
        QTest::keyClick(List(), Qt::Key_F5);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(Model().rowCount(), 3);
        QCOMPARE(Cell(Model(), 2, 1), QString("Complete"));
    }

    // The list shows the poll's own rows: each knows its task as the poll left it, a file
    // saved again unchanged costs the list nothing, and a changed one rebuilds it.
    void listRowsKnowTheirTasks() {
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}Later{+}{+}9",
                    "#3/10/2030{+}0{+}0{+}0{+}Dentist{+}bring card{+}12"});
        CReminderResponder responder(&Create(), Answer::Okay);
        m_pProgram->Start();
        QCOMPARE(responder.seen.size(), size_t{1});

        const std::optional<TaskRef> later = Model().TaskAt(0);
        const std::optional<TaskRef> dentist = Model().TaskAt(1);
        QVERIFY(later && dentist && !Model().TaskAt(2) && !Model().TaskAt(-1));
        QCOMPARE(later->nRecord, 1);
        QCOMPARE(later->record.title, std::string("Later"));
        // As the answer wrote it back, at the end of the file, and listed so.
        QCOMPARE(dentist->nRecord, 2);
        QCOMPARE(dentist->record.status, 1);
        QCOMPARE(dentist->record.note, std::string("bring card"));
        QCOMPARE(Cell(Model(), 1, 1), QString("Complete"));

        QSignalSpy resets(&Model(), &QAbstractItemModel::modelReset);
        Action("refresh")->trigger();
        std::filesystem::last_write_time(TaskFile(), std::filesystem::file_time_type::clock::now());
        Action("refresh")->trigger();
        QCOMPARE(resets.count(), 0);

        Select(0);
        Action("markForDeletion")->trigger();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(Cell(Model(), 0, 0), QString("03/10/2030 Dentist"));
        QCOMPARE(Cell(Model(), 1, 0), QString("06/01/2030 Later"));
        QCOMPARE(Cell(Model(), 1, 1), QString("To Delete"));
        QCOMPARE(Model().TaskAt(1)->record.status, 3);
    }

    void exitQuestion_data() {
        QTest::addColumn<int>("route");
        QTest::newRow("menu E&xit") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }
    void exitQuestion() {
        QFETCH(int, route);
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.setGeometry(120, 80, 500, 360);
        QSignalSpy ended(&dlg, &CMainDlg::ExitConfirmed);
        const auto ask = [&] {
            if (route == 0) {
                Action("exit")->trigger();
            } else if (route == 1) {
                QTest::keyClick(&dlg, Qt::Key_Escape);
            } else {
                dlg.close();
            }
        };

        CMessageBox::SetNextAnswer(QMessageBox::No);
        ask();
        QCOMPARE(CMessageBox::Count(), 1);
        QCOMPARE(CMessageBox::Last().text, QString(Str::ConfirmExit));
        QCOMPARE(CMessageBox::Last().caption, QString("Confirm"));
        QCOMPARE(CMessageBox::Last().icon, QMessageBox::Question);
        QCOMPARE(CMessageBox::Last().buttons, QMessageBox::Yes | QMessageBox::No);
        Tick()->start();
        QVERIFY(dlg.isVisible() && TrayIcon() != nullptr);
        QCOMPARE(ended.count(), 0);
        QVERIFY(!Setting("dim"));

        CMessageBox::SetNextAnswer(QMessageBox::Yes);
        ask();
        QCOMPARE(ended.count(), 1);
        const QRect frame = dlg.frameGeometry();
        QCOMPARE(Setting("dim").value_or("none"),
                 FormatDim({frame.left(), frame.top(), frame.left() + frame.width(),
                            frame.top() + frame.height()}));
        QVERIFY(!Tick()->isActive() && TrayIcon() == nullptr);
    }

    void exitQuestionIsARealBox() {
        CMainDlg& dlg = Start();
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            text = box->text();
            box->button(QMessageBox::No)->click();
        });
        dlg.OnCancel();
        QCOMPARE(text, QString(Str::ConfirmExit));
        QVERIFY(dlg.isVisible());
    }

    void placementIsRestored_data() {
        QTest::addColumn<QString>("dim");
        QTest::addColumn<QRect>("expected");  // null: the designed size and place
        QTest::newRow("stored") << "100,50,700,450" << QRect(100, 50, 600, 400);
        QTest::newRow("zero width") << "100,50,100,450" << QRect();
        QTest::newRow("20 characters") << "-1000,-1000,-100,-10" << QRect();
    }
    void placementIsRestored() {
        QFETCH(QString, dim);
        QFETCH(QRect, expected);
        m_pStore->WriteValue("dim", dim.toStdString());
        const CTaskFile file(TaskFile());
        const CPollRunner polls(file);
        const CMainDlg designed(*m_pStore, m_clock, polls, [] { return true; });
        CMainDlg& dlg = Start();
        if (expected.isNull()) {
            QCOMPARE(dlg.size(), designed.size());
        } else {
            // The outer size is kept once the frame is known.
            QTRY_COMPARE(dlg.frameGeometry(), expected);
        }
    }

    void placementIsKeptOrSavedOnExit_data() {
        QTest::addColumn<bool>("minimised");
        QTest::newRow("minimised keeps the old one") << true;
        QTest::newRow("hidden saves the last one") << false;
    }
    void placementIsKeptOrSavedOnExit() {
        QFETCH(bool, minimised);
        m_pStore->WriteValue("dim", "1,2,601,452");
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_COMPARE(dlg.frameGeometry(), QRect(1, 2, 600, 450));
        dlg.resize(500, 400);
        const QRect last = dlg.frameGeometry();
        if (minimised) {
            dlg.showMinimized();
        } else {
            dlg.OnOK();
        }
        CMessageBox::SetNextAnswer(QMessageBox::Yes);
        dlg.OnCancel();
        QCOMPARE(Setting("dim").value_or("none"),
                 minimised ? std::string("1,2,601,452")
                           : FormatDim({last.left(), last.top(), last.left() + last.width(),
                                        last.top() + last.height()}));
    }

    void listFollowsTheWindow() {
        CMainDlg& dlg = Start();
        const QRect before = List()->geometry();
        dlg.resize(dlg.size() + QSize(100, 100));
        QTRY_COMPARE(List()->geometry(), before.adjusted(0, 0, 100, 100));
    }

    void hideAndTrayDoubleClick() {
        // Hidden start-up: shown from the tray before the first tick, it stays shown.
        m_pStore->WriteValue("startup", "2");
        CMainDlg& dlg = Start();
        QVERIFY(dlg.isHidden());
        QSystemTrayIcon* tray = TrayIcon();
        emit tray->activated(QSystemTrayIcon::DoubleClick);
        dlg.OnTimer();
        QVERIFY(dlg.isVisible());
        QCOMPARE(tray->toolTip(), QString("Marmoset Task running...Double-click me to show it."));
        QVERIFY(!tray->icon().isNull());
        Tick()->start();
        Action("hide")->trigger();
        QVERIFY(dlg.isHidden());
        QVERIFY(Tick()->isActive());
        for (auto reason :
             {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick}) {
            emit tray->activated(reason);
        }
        QVERIFY(dlg.isHidden());
        emit tray->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(dlg.isVisible() && !dlg.isMinimized());
        dlg.showMinimized();
        emit tray->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(dlg.isVisible() && !dlg.isMinimized());
    }

    void windowFollowsTheTray() {
        // A tray that goes away leaves the hidden window minimised, within reach, and Hide then
        // minimises; a tray that comes back takes the window at the next Hide.
        CMainDlg& dlg = Start();
        dlg.OnOK();
        QVERIFY(dlg.isHidden());
        m_bTrayShown = false;
        dlg.OnTimer();
        QVERIFY(dlg.isVisible() && dlg.isMinimized());
        dlg.showNormal();
        dlg.OnOK();
        QVERIFY(dlg.isVisible() && dlg.isMinimized());
        m_bTrayShown = true;
        dlg.OnTimer();
        QVERIFY(dlg.isVisible() && dlg.isMinimized());
        dlg.OnOK();
        QVERIFY(dlg.isHidden());
        QVERIFY(TrayIcon() != nullptr);

        // A Hidden start without a tray minimises; a tray that comes takes the window at Hide.
        m_pStore->WriteValue("startup", "2");
        CMainDlg& hiddenStart = Start(false);
        QTRY_VERIFY(hiddenStart.isVisible() && hiddenStart.isMinimized());
        m_bTrayShown = true;
        hiddenStart.OnTimer();
        QVERIFY(hiddenStart.isVisible() && hiddenStart.isMinimized());
        hiddenStart.OnOK();
        QVERIFY(hiddenStart.isHidden());
    }

    void startupModes_data() {
        QTest::addColumn<QString>("startup");  // empty: not stored
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("minimised");
        QTest::newRow("1 minimised") << "1" << true << true << true;
        QTest::newRow("2 hidden") << "2" << true << false << false;
        QTest::newRow("2 without a tray minimises") << "2" << false << true << true;
        QTest::newRow("3 normal") << "3" << true << true << false;
        QTest::newRow("7 normal") << "7" << true << true << false;
        QTest::newRow("letters normal") << "ab" << true << true << false;
        QTest::newRow("missing normal") << "" << true << true << false;
    }
    void startupModes() {
        QFETCH(QString, startup);
        QFETCH(bool, tray);
        QFETCH(bool, visible);
        QFETCH(bool, minimised);
        if (!startup.isEmpty()) {
            m_pStore->WriteValue("startup", startup.toStdString());
        }
        CMainDlg& dlg = Start(tray);
        // A minimised start shows the window first and minimises it once it is on screen.
        QTRY_COMPARE(dlg.isMinimized(), minimised);
        for (int tick = 0; tick < 2; ++tick) {
            QCOMPARE(dlg.isVisible(), visible);
            QCOMPARE(dlg.isMinimized(), minimised);
            dlg.OnTimer();
        }
    }

    void secondCopyBringsTheWindowForward() {
        CMainDlg& trayDlg = Start(true);
        trayDlg.OnOK();
        trayDlg.BringToFront();
        QVERIFY(trayDlg.isHidden());

        // Without a tray, Hide minimises and a second copy shows the window again.
        CMainDlg& plainDlg = Start(false);
        plainDlg.OnOK();
        QVERIFY(plainDlg.isVisible() && plainDlg.isMinimized());
        plainDlg.BringToFront();
        QVERIFY(plainDlg.isVisible() && !plainDlg.isMinimized());

        // Asked while start-up reminders wait, it comes forward once they are answered.
        m_pStore->WriteValue("startup", "2");
        WriteTasks({"#3/10/2030{+}0{+}0{+}0{+}Dentist{+}{+}12"});
        CMainDlg& early = Create(false);
        CReminderResponder responder(&early, Answer::Okay);
        bool bShownEarly = true;
        responder.onOpen = [&] {
            early.BringToFront();
            bShownEarly = early.isVisible();
        };
        m_pProgram->Start();
        QVERIFY(!bShownEarly);
        QVERIFY(early.isVisible() && !early.isMinimized());
    }

    void leftoverTemporaryFileIsRemovedAtStart() {
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9"});
        QVERIFY(WriteFile("program/--temptasklist.$$$",
                          "#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9\r\n#6/2/20"));
        Start();
        QVERIFY(!QFile::exists(m_pDir->filePath("program/--temptasklist.$$$")));
        QCOMPARE(Model().rowCount(), 1);
    }

    void clockPollsOnTheHourAndAfterAJump() {
        m_pStore->WriteValue("poll", "90");
        m_clock.now = CTime::FromLocal(2030, 3, 10, 12, 59, 58);
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9"});
        CMainDlg& dlg = Start();
        WriteTasks({"#3/10/2030{+}0{+}0{+}0{+}At one{+}{+}13"}, true);

        CReminderResponder responder(&dlg, Answer::Okay);
        m_clock.now = CTime::FromLocal(2030, 3, 10, 12, 59, 59);
        dlg.OnTimer();
        QTest::qWait(20);
        QCOMPARE(Model().rowCount(), 1);
        m_clock.now = CTime::FromLocal(2030, 3, 10, 13, 0, 0);
        dlg.OnTimer();
        QTRY_COMPARE(Model().rowCount(), 2);
        QCOMPARE(responder.seen.size(), size_t{1});
        QCOMPARE(responder.seen[0].caption, QString("Now Due!"));

        // Back from a sleep: the wall clock has moved on, the steady clock has not.
        WriteTasks({"#6/3/2030{+}0{+}0{+}0{+}Three{+}{+}9"}, true);
        m_clock.now = CTime::FromLocal(2030, 3, 10, 13, 0, 1);
        dlg.OnTimer();
        QTest::qWait(20);
        QCOMPARE(Model().rowCount(), 2);
        m_clock.JumpTo(CTime::FromLocal(2030, 3, 10, 13, 20, 0));
        dlg.OnTimer();
        QTRY_COMPARE(Model().rowCount(), 3);
    }

    void outsideChangesShowWithinMoments() {
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9"});
        Start();
        QSignalSpy resets(&Model(), &QAbstractItemModel::modelReset);

        // Another program saves the way editors do: a new file renamed over the old one.
        const QString other = m_pDir->filePath("program/nkdat.new");
        QVERIFY(WriteFile(
            "program/nkdat.new",
            "#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9\r\n#6/2/2030{+}0{+}0{+}0{+}Two{+}{+}9\r\n"));
        QVERIFY(std::rename(other.toLocal8Bit().constData(), TaskFile().c_str()) == 0);
        QTRY_COMPARE_WITH_TIMEOUT(Model().rowCount(), 2, 2000);

        // Written in place, as a shell's >> does.
        WriteTasks({"#6/3/2030{+}0{+}0{+}0{+}Three{+}{+}9"}, true);
        QTRY_COMPARE_WITH_TIMEOUT(Model().rowCount(), 3, 2000);
        QCOMPARE(resets.count(), 2);

        // The program's own change is in the list at once, and calls for nothing more.
        Select(0);
        Action("markForDeletion")->trigger();
        QCOMPARE(Cell(Model(), 2, 1), QString("To Delete"));
        QCOMPARE(resets.count(), 3);
        QTest::qWait(4 * CTaskFileWatcher::kSettleMs);
        QCOMPARE(resets.count(), 3);
    }

    // Another program writes while a reminder waits: the list shows it as soon as the poll is
    // over, without a poll of its own.
    void outsideChangeWhileAReminderWaitsShowsAfterIt() {
        WriteTasks({"#3/10/2030{+}0{+}0{+}0{+}Dentist{+}{+}12"});
        CReminderResponder responder(&Create(), Answer::Okay);
        responder.onOpen = [&] { WriteTasks({"#6/2/2030{+}0{+}0{+}0{+}Added{+}{+}9"}, true); };
        m_pProgram->Start();
        QCOMPARE(responder.seen.size(), size_t{1});
        QCOMPARE(Model().rowCount(), 2);
        QCOMPARE(Cell(Model(), 0, 0), QString("06/02/2030 Added"));
        QCOMPARE(Cell(Model(), 1, 1), QString("Complete"));
        QCOMPARE(ReadTasks().size(), size_t{2});
    }

    void clockTexts() {
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(FormatClockDate(QDate(2024, 3, 5), us), QString("Tuesday March 5, 2024"));
        QCOMPARE(FormatClockTime(QTime(14, 5, 9), us), QString("2:05:09 PM "));
        const QLocale de(QLocale::German, QLocale::Germany);
        QCOMPARE(FormatClockTime(QTime(14, 5, 9), de), QString("14:05:09 "));
        QCOMPARE(FormatClockDate(QDate(2024, 3, 5), de), QString("Dienstag 5. März 2024"));
        // The weekday is shown once, wherever the locale puts it in its long date.
        const std::pair<const char*, const char*> dates[] = {{"dddd, MMMM d, yyyy", "MMMM d, yyyy"},
                                                             {"d MMMM yyyy, dddd", "d MMMM yyyy"},
                                                             {"d MMMM yyyy", "d MMMM yyyy"},
                                                             {"'dddd' d", "'dddd' d"}};
        for (const auto& [format, expected] : dates) {
            QCOMPARE(DateFormatWithoutWeekday(format), QString(expected));
        }
        const std::pair<const char*, const char*> formats[] = {{"HH:mm:ss (t)", "HH:mm:ss"},
                                                               {"t HH:mm:ss", "HH:mm:ss"},
                                                               {"HH:mm:ss, t", "HH:mm:ss"},
                                                               {"APh:mm:ss [t]", "APh:mm:ss"},
                                                               {"HH 'at' mm t", "HH 'at' mm"}};
        for (const auto& [format, expected] : formats) {
            QCOMPARE(TimeFormatWithoutZone(format), QString(expected));
        }
    }
};

QTEST_MAIN(TestMainDlg)
#include "tst_maindlg.moc"
