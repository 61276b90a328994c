// The main window over a real task file in a temporary program folder, a temporary settings
// file and a clock the tests set.
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "mainwnd/clocktext.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/tasklistmodel.h"
#include "platform/settingsstore.h"
#include "prefs/windowplacement.h"
#include "reminder/reminderdlg.h"
#include "res/images.h"
#include "res/strings.h"
#include "tasks/taskline.h"

namespace {

class CTestClock final : public IClock {
public:
    CTime now;
    CTime GetCurrentTime() const override { return now; }
};

enum class Answer { Okay, RemindTomorrow, Details };

// Answers every reminder dialog as it opens and notes what it showed.
class CReminderResponder : public QObject {
public:
    struct Seen {
        QString caption;
        QString title;
        int nRecord = 0;
        int bPlaySound = 0;
        bool bMainVisible = false;
        bool bArrowCursor = false;  // not the poll's wait cursor
    };

    CReminderResponder(QWidget* pMain, Answer answer) : m_pMain(pMain), m_answer(answer) {
        connect(&m_timer, &QTimer::timeout, this, &CReminderResponder::Check);
        m_timer.start(5);
    }

    std::vector<Seen> seen;
    std::function<void()> onOpen;  // runs while the dialog waits, before it is answered

private:
    void Check() {
        auto* pDlg = qobject_cast<CReminderDlg*>(QApplication::activeModalWidget());
        if (pDlg == nullptr || pDlg == m_pLast) {
            return;
        }
        m_pLast = pDlg;
        const QCursor* pCursor = QApplication::overrideCursor();
        seen.push_back({pDlg->m_szCaption, pDlg->m_szTitle, pDlg->m_nRecord, pDlg->m_bPlaySound,
                        m_pMain->isVisible(),
                        pCursor != nullptr && pCursor->shape() == Qt::ArrowCursor});
        if (onOpen) {
            onOpen();
        }
        switch (m_answer) {
            case Answer::Okay:
                pDlg->reject();
                break;
            case Answer::RemindTomorrow:
                pDlg->RemindTomorrowButton()->click();
                break;
            case Answer::Details:
                pDlg->accept();
                break;
        }
    }

    QWidget* m_pMain;
    Answer m_answer;
    QTimer m_timer;
    CReminderDlg* m_pLast = nullptr;
};

QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

}  // namespace

class TestMainDlg : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
    std::unique_ptr<QSettings> m_pIni;
    std::unique_ptr<CSettingsStore> m_pStore;
    CTestClock m_clock;
    std::unique_ptr<CMainDlg> m_pDlg;
    std::string m_strOldTz;

    std::string ProgramDir() const { return m_pDir->filePath("program/").toStdString(); }
    std::string TaskFile() const { return ProgramDir() + "nkdat"; }

    void WriteTasks(const std::vector<std::string>& lines, bool bAppend = false) {
        std::ofstream file(TaskFile(), bAppend ? std::ios::binary | std::ios::app
                                               : std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) {
            file << line << "\r\n";
        }
    }
    std::vector<TaskRecord> ReadTasks() const {
        std::ifstream file(TaskFile(), std::ios::binary);
        std::vector<TaskRecord> tasks;
        for (std::string line; std::getline(file, line);) {
            tasks.push_back(ParseTaskLine(line));
        }
        return tasks;
    }
    std::optional<std::string> Setting(std::string_view key) const {
        return m_pStore->ReadValue(key, 512);
    }

    CMainDlg& Create(bool bTray = true) {
        m_pDlg = std::make_unique<CMainDlg>(*m_pStore, m_clock, ProgramDir(), bTray);
        return *m_pDlg;
    }
    CMainDlg& Start(bool bTray = true) {
        Create(bTray).OnInitDialog();
        // The tests deliver the ticks themselves.
        m_pDlg->m_timer.setInterval(3600 * 1000);
        m_pDlg->m_timer.start();
        return *m_pDlg;
    }
    CTaskListModel& Model() { return *m_pDlg->m_pModel; }

private slots:
    void initTestCase() {
        const char* tz = std::getenv("TZ");
        m_strOldTz = tz != nullptr ? tz : "";
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void cleanupTestCase() {
        setenv("TZ", m_strOldTz.c_str(), 1);
        tzset();
    }
    void init() {
        m_pDir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(m_pDir->filePath("program")));
        m_pIni =
            std::make_unique<QSettings>(m_pDir->filePath("settings.ini"), QSettings::IniFormat);
        m_pStore = std::make_unique<CSettingsStore>(*m_pIni);
        m_pStore->WriteValue("sound", "2");  // anything but 1 is silent
        m_clock.now = CTime::FromLocal(2030, 3, 10, 12, 30);
        CMessageBox::ResetRecord();
        WriteTasks({});
    }
    void cleanup() {
        m_pDlg.reset();
        m_pStore.reset();
        m_pIni.reset();
        m_pDir.reset();
    }

    void firstPollFillsTheList() {
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}Future task{+}{+}9",
                    "#1/5/2030{+}0{+}1{+}2{+}Done task{+}{+}6",
                    "#2/1/2030{+}0{+}3{+}33{+}Trash{+}{+}6",
                    "#4/1/2030{+}0{+}0{+}1{+}Bill{+}note{+}6"});
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
        QCOMPARE(Model().rowCount(), 4);
        const QList<QPixmap> images = StatusImages();
        for (int r = 0; r < 4; ++r) {
            QCOMPARE(Cell(Model(), r, 0), rows[r].text);
            QCOMPARE(Cell(Model(), r, 1), rows[r].status);
            QCOMPARE(Cell(Model(), r, 2), rows[r].recurrence);
            const QPixmap shown =
                Model().data(Model().index(r, 0), Qt::DecorationRole).value<QPixmap>();
            QCOMPARE(shown.toImage(), images[rows[r].image].toImage());
        }

        // The window as designed: title, icon, menus holding only working commands, columns.
        QCOMPARE(dlg.windowTitle(), QString("Marmoset Task"));
        QVERIFY(!dlg.windowIcon().isNull());
        QStringList menus;
        for (QAction* pMenu : dlg.m_pMenuBar->actions()) {
            QStringList items;
            for (QAction* pItem : pMenu->menu()->actions()) {
                items << pItem->text();
            }
            menus << pMenu->text() + ": " + items.join(" | ");
        }
        const QStringList expected = {
            "&File: &Settings |  | E&xit\tEsc",
            QString("&Edit: Keep As &New | &Insert Duplicate |  | &Mark For Deletion | ") +
                "Delete Selection\tDel |  | Delete All &Marked Tasks | Delete All &Past Tasks",
            QString("&Sort: By &Date (Descending) | By D&ate (Ascending) | By &Status | ") +
                "By &Recurrence",
            "&Tools: &Compact Database | S&ystem Calendar",
            "&Window: &Hide | &Refresh\tF5",
            "&Help: &About | &Help Index\tF1"};
        QCOMPARE(menus, expected);
        QHeaderView* header = dlg.m_pTaskList->header();
        QCOMPARE(Model().headerData(2, Qt::Horizontal).toString(), QString("Recurrence"));
        QCOMPARE(header->sectionSize(0), 240);
        QCOMPARE(header->sectionSize(2), 80);
        // The status column is 80 pixels unless the font needs more for "Today/Unread".
        QVERIFY(header->sectionSize(1) >= 80);
        QVERIFY(header->sectionSize(1) >
                dlg.m_pTaskList->fontMetrics().horizontalAdvance(QString("Today/Unread")));
        QCOMPARE(dlg.m_pDateLabel->text(), FormatClockDate(QDate(2030, 3, 10), QLocale::system()));
        QCOMPARE(dlg.m_pTimeLabel->text(), FormatClockTime(QTime(12, 30), QLocale::system()));
    }

    void missingTaskFileIsReported() {
        QVERIFY(QFile::remove(QString::fromStdString(TaskFile())));
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Start();
        QCOMPARE(CMessageBox::Last().text, QString("Task file not found."));
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
        m_pDlg->OnInitDialog();

        QCOMPARE(responder.seen.size(), size_t{1});
        const CReminderResponder::Seen& seen = responder.seen.front();
        QVERIFY(!seen.bMainVisible);
        QCOMPARE(seen.caption, QString("Now Due!"));
        QCOMPARE(seen.title, QString("Dentist"));
        QCOMPARE(seen.nRecord, 2);
        QCOMPARE(seen.bPlaySound, 2);
        QVERIFY(seen.bArrowCursor);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(m_pDlg->isVisible());
        QVERIFY(m_pDlg->m_timer.isActive() && m_pDlg->m_timer.interval() == 1000);
        QCOMPARE(Cell(Model(), 1, 1), QString("Today/Unread"));

        const std::vector<TaskRecord> tasks = ReadTasks();
        QCOMPARE(tasks.size(), size_t{2});
        QCOMPARE(tasks[1].title, std::string("Dentist"));
        QCOMPARE(tasks[1].note, std::string("bring card"));
        QCOMPARE(tasks[1].dueDay, storedDay);
        QCOMPARE(tasks[1].status, storedStatus);
    }

    void tickCountsToTheIntervalAndPolls() {
        m_pStore->WriteValue("poll", "3");
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9"});
        CMainDlg& dlg = Start();
        WriteTasks({"#6/2/2030{+}0{+}0{+}0{+}Two{+}{+}9"}, true);

        m_clock.now = CTime::FromLocal(2030, 3, 10, 12, 31, 5);
        dlg.OnTimer();
        QCOMPARE(dlg.m_pTimeLabel->text(), FormatClockTime(QTime(12, 31, 5), QLocale::system()));
        dlg.OnTimer();
        QCOMPARE(dlg.m_nTickCount, 2);
        QCOMPARE(Model().rowCount(), 1);
        dlg.OnTimer();
        QCOMPARE(dlg.m_nTickCount, 0);
        QCOMPARE(Model().rowCount(), 2);
        QCOMPARE(dlg.m_bPolling, 0);
        QCOMPARE(dlg.windowTitle(), QString("Polling tasks..."));
        QTRY_COMPARE(dlg.windowTitle(), QString("Marmoset Task"));
    }

    void tickDuringARunningPollStartsNoOther_data() {
        QTest::addColumn<bool>("fromTick");
        QTest::newRow("poll started by the tick") << true;
        QTest::newRow("poll started by Refresh") << false;
    }
    void tickDuringARunningPollStartsNoOther() {
        QFETCH(bool, fromTick);
        m_pStore->WriteValue("poll", "2");
        CMainDlg& dlg = Start();
        WriteTasks(
            {"#6/1/2030{+}0{+}0{+}0{+}Later{+}{+}9", "#3/10/2030{+}0{+}0{+}0{+}Dentist{+}{+}12"});

        CReminderResponder responder(&dlg, Answer::Okay);
        int nExtraReminders = 0;
        std::vector<int> flags;  // m_bPolling before and after the ticks, then the tick count
        responder.onOpen = [&] {
            // A second poll would raise the same reminder again inside this one.
            QTimer::singleShot(50, &responder, [&] {
                if (auto* p = qobject_cast<CReminderDlg*>(QApplication::activeModalWidget())) {
                    ++nExtraReminders;
                    p->reject();
                }
            });
            flags.push_back(dlg.m_bPolling);
            for (int i = 0; i < 3; ++i) {
                dlg.OnTimer();
            }
            dlg.OnRefresh();
            flags.push_back(dlg.m_bPolling);
            flags.push_back(dlg.m_nTickCount);
        };
        if (fromTick) {
            dlg.OnTimer();
            dlg.OnTimer();
        } else {
            dlg.OnRefresh();
        }
        QCOMPARE(responder.seen.size(), size_t{1});
        QCOMPARE(nExtraReminders, 0);
        const int polling = fromTick ? 1 : 0;
        QCOMPARE(flags, std::vector<int>({polling, polling, 3}));
        QCOMPARE(dlg.m_bPolling, 0);
        QCOMPARE(Model().rowCount(), 2);
        // The ticks counted while waiting make the next tick poll at once.
        dlg.OnTimer();
        QCOMPARE(dlg.m_nTickCount, 0);
        QCOMPARE(ReadTasks().back().status, 1);
    }

    void refreshPollsAndTheModelResetsOnlyOnChange() {
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}One{+}{+}9", "#6/2/2030{+}0{+}0{+}0{+}Two{+}{+}9"});
        m_pStore->WriteValue("poll", "1");
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QSignalSpy resets(&Model(), &QAbstractItemModel::modelReset);
        QSignalSpy layouts(&Model(), &QAbstractItemModel::layoutChanged);
        dlg.OnRefresh();
        dlg.OnTimer();
        QCOMPARE(resets.count(), 0);
        QCOMPARE(layouts.count(), 0);

        WriteTasks({"#1/3/2030{+}0{+}1{+}0{+}Three{+}{+}9"}, true);
        dlg.m_bPolling = 1;  // a timer-driven poll is running
        dlg.OnRefresh();
        QCOMPARE(Model().rowCount(), 2);
        dlg.m_bPolling = 0;
        QTest::keyClick(dlg.m_pTaskList, Qt::Key_F5);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(Model().rowCount(), 3);
        QCOMPARE(Cell(Model(), 2, 1), QString("Complete"));
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
        dlg.setGeometry(120, 80, 500, 360);
        QSignalSpy ended(&dlg, &CMainDlg::ExitConfirmed);
        const auto ask = [&] {
            if (route == 0) {
                dlg.m_pActions->pExit->trigger();
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
        QVERIFY(dlg.isVisible() && dlg.m_timer.isActive() && dlg.m_pTrayIcon != nullptr);
        QCOMPARE(ended.count(), 0);
        QVERIFY(!Setting("dim"));

        CMessageBox::SetNextAnswer(QMessageBox::Yes);
        ask();
        QCOMPARE(ended.count(), 1);
        const QRect frame = dlg.frameGeometry();
        QCOMPARE(Setting("dim").value_or("none"),
                 FormatDim({frame.left(), frame.top(), frame.left() + frame.width(),
                            frame.top() + frame.height()}));
        QVERIFY(!dlg.m_timer.isActive() && dlg.m_pTrayIcon == nullptr);
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
        const CMainDlg designed(*m_pStore, m_clock, ProgramDir(), true);
        CMainDlg& dlg = Start();
        if (expected.isNull()) {
            QCOMPARE(dlg.size(), designed.size());
        } else {
            QCOMPARE(dlg.frameGeometry(), expected);
        }
    }

    void placementIsKeptOrSavedOnExit_data() {
        QTest::addColumn<bool>("minimised");
        QTest::newRow("minimised keeps the old one") << true;
        QTest::newRow("hidden saves the last one") << false;
    }
    void placementIsKeptOrSavedOnExit() {
        QFETCH(bool, minimised);
        m_pStore->WriteValue("dim", "1,2,301,202");
        CMainDlg& dlg = Start();
        dlg.resize(400, 300);
        const QRect last = dlg.frameGeometry();
        if (minimised) {
            dlg.showMinimized();
        } else {
            dlg.OnOK();
        }
        CMessageBox::SetNextAnswer(QMessageBox::Yes);
        dlg.OnCancel();
        QCOMPARE(Setting("dim").value_or("none"),
                 minimised ? std::string("1,2,301,202")
                           : FormatDim({last.left(), last.top(), last.left() + last.width(),
                                        last.top() + last.height()}));
    }

    void listFollowsTheWindow() {
        CMainDlg& dlg = Start();
        const QRect before = dlg.m_pTaskList->geometry();
        dlg.resize(dlg.size() + QSize(100, 100));
        QCOMPARE(dlg.m_pTaskList->geometry(), before.adjusted(0, 0, 100, 100));
    }

    void hideAndTrayDoubleClick() {
        // Hidden start-up: shown from the tray before the first tick, it stays shown.
        m_pStore->WriteValue("startup", "2");
        CMainDlg& dlg = Start();
        QVERIFY(dlg.isHidden());
        dlg.OnTrayNotify(QSystemTrayIcon::DoubleClick);
        dlg.OnTimer();
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.m_pTrayIcon->toolTip(),
                 QString("Marmoset Task running...Double-click me to show it."));
        QVERIFY(!dlg.m_pTrayIcon->icon().isNull());
        dlg.m_pActions->pHide->trigger();
        QVERIFY(dlg.isHidden());
        QVERIFY(dlg.m_timer.isActive());
        for (auto reason :
             {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick}) {
            dlg.OnTrayNotify(reason);
        }
        QVERIFY(dlg.isHidden());
        dlg.OnTrayNotify(QSystemTrayIcon::DoubleClick);
        QVERIFY(dlg.isVisible() && !dlg.isMinimized());
        dlg.showMinimized();
        dlg.OnTrayNotify(QSystemTrayIcon::DoubleClick);
        QVERIFY(dlg.isVisible() && !dlg.isMinimized());
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
        early.OnInitDialog();
        QVERIFY(!bShownEarly);
        QVERIFY(early.isVisible() && !early.isMinimized());
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
