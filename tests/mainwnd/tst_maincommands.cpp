// The task commands and sorts of the main window, run through their actions over a real task
// file, with the message boxes answered in advance.
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <map>

#include "maindlgfixture.h"
#include "res/strings.h"
#include "tasks/taskfile.h"

namespace {

const std::string kFutureTask = "#6/1/2030{+}0{+}0{+}0{+}Future{+}(none){+}9";
// Due after the tests' clock, so that Keep As New raises no reminder.
const std::string kDoneTask = "#1/5/2031{+}0{+}1{+}0{+}Done{+}note{+}6";
const std::string kMarkedTask = "#2/1/2030{+}0{+}3{+}2{+}Marked{+}(none){+}6";

}  // namespace

class TestMainCommands : public CMainDlgFixture {
    Q_OBJECT

private:
    // Title and stored status of every task line, in file order.
    QStringList Titles() const {
        QStringList titles;
        std::ifstream file(TaskFile(), std::ios::binary);
        for (std::string line; std::getline(file, line);) {
            if (IsTaskLine(line)) {
                const TaskRecord task = ParseTaskLine(line);
                titles << QString::fromStdString(task.title) + "/" + QString::number(task.status);
            }
        }
        return titles;
    }

private slots:
    void initTestCase() { InitTestCase(); }
    void cleanupTestCase() { CleanupTestCase(); }
    void init() { Init(); }
    void cleanup() { Cleanup(); }

    void selectionCommands_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("answer");  // the confirmation's answer; NoButton: none asked
        QTest::addColumn<QStringList>("after");
        const QStringList unchanged{"Future/0", "Done/1", "Marked/3"};
        QTest::newRow("delete, No") << "delete" << 1 << int(QMessageBox::No) << unchanged;
        QTest::newRow("delete, Yes")
            << "delete" << 1 << int(QMessageBox::Yes) << QStringList{"Future/0", "Marked/3"};
        QTest::newRow("Del key") << "Del" << 1 << int(QMessageBox::Yes)
                                 << QStringList{"Future/0", "Marked/3"};
        QTest::newRow("mark") << "mark" << 0 << int(QMessageBox::NoButton)
                              << QStringList{"Done/1", "Marked/3", "Future/3"};
        QTest::newRow("mark a marked task")
            << "mark" << 2 << int(QMessageBox::NoButton) << unchanged;
        QTest::newRow("keep as new") << "keep" << 1 << int(QMessageBox::NoButton)
                                     << QStringList{"Future/0", "Marked/3", "Done/0"};
        QTest::newRow("keep a new task as new")
            << "keep" << 0 << int(QMessageBox::NoButton) << unchanged;
        QTest::newRow("duplicate") << "duplicate" << 1 << int(QMessageBox::NoButton)
                                   << QStringList{"Future/0", "Done/1", "Marked/3", "Done */1"};
    }
    void selectionCommands() {
        QFETCH(QString, command);
        QFETCH(int, row);
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        WriteTasks({kFutureTask, kDoneTask, kMarkedTask});
        Start();
        const std::string before = Content();
        QSignalSpy resets(&Model(), &QAbstractItemModel::modelReset);

        // Without a selection nothing is asked and nothing changes.
        const std::map<QString, QAction*> actions = {{"delete", Action("deleteSelection")},
                                                     {"mark", Action("markForDeletion")},
                                                     {"keep", Action("keepAsNew")},
                                                     {"duplicate", Action("insertDuplicate")}};
        for (const auto& [name, action] : actions) {
            QVERIFY(!action->isEnabled());
            action->trigger();
        }
        QTest::keyClick(List(), Qt::Key_Delete);
        QCOMPARE(CMessageBox::Count(), 0);
        QCOMPARE(Content(), before);

        Select(row);
        if (answer != QMessageBox::NoButton) {
            CMessageBox::SetNextAnswer(static_cast<QMessageBox::StandardButton>(answer));
        }
        if (command == "Del") {
            QTest::keyClick(List(), Qt::Key_Delete);
        } else {
            actions.at(command)->trigger();
        }

        QCOMPARE(Titles(), after);
        if (answer != QMessageBox::NoButton) {
            QCOMPARE(CMessageBox::Count(), 1);
            QCOMPARE(CMessageBox::Last().text, QString(Str::ConfirmDeleteSelection));
            QCOMPARE(CMessageBox::Last().caption, QString("Confirm"));
        }
        // A change refreshes the list; no change leaves it, and the file, exactly as they were.
        if (after == QStringList{"Future/0", "Done/1", "Marked/3"}) {
            QCOMPARE(Content(), before);
            QCOMPARE(resets.count(), 0);
        } else {
            QCOMPARE(resets.count(), 1);
            QCOMPARE(Model().rowCount(), after.size());
        }
    }

    void rowWhoseTaskChangedWritesNothingAndRefreshes() {
        WriteTasks({kFutureTask, kDoneTask});
        Start();
        Select(0);
        // Another program renames the task after the list was made.
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}Renamed{+}(none){+}9", kDoneTask});
        const std::string before = Content();
        Action("markForDeletion")->trigger();
        QCOMPARE(Content(), before);
        QCOMPARE(Cell(Model(), 0, 0), QString("06/01/2030 Renamed"));
        QCOMPARE(CMessageBox::Count(), 0);
    }

    void bulkCommands() {
        WriteTasks({kFutureTask, "; a comment", kDoneTask, kMarkedTask, "",
                    "#1/1/2030{+}0{+}1{+}1{+}Monthly{+}x{+}6"});
        Start();
        CMessageBox::SetNextAnswer(QMessageBox::No);
        Action("deletePastTasks")->trigger();
        QCOMPARE(CMessageBox::Last().text, QString(Str::ConfirmDeletePast));
        QCOMPARE(Titles().size(), 4);

        Action("compactDatabase")->trigger();
        QCOMPARE(Content().find("\r\n\r\n"), std::string::npos);
        QVERIFY(Content().find("; a comment") != std::string::npos);

        Action("deleteMarkedTasks")->trigger();
        QCOMPARE(Titles(), (QStringList{"Future/0", "Done/1", "Monthly/1"}));
        QVERIFY(Content().find("; a comment") == std::string::npos);

        CMessageBox::SetNextAnswer(QMessageBox::Yes);
        Action("deletePastTasks")->trigger();
        QCOMPARE(Titles(), (QStringList{"Future/0", "Monthly/1"}));
        QCOMPARE(Model().rowCount(), 2);
    }

    void sortsRewriteTheFileAndMarkTheHeader_data() {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("date descending")
            << "dateDescending" << QStringList{"Task (-)", "Status", "Recurrence"}
            << QStringList{"Done/1", "Future/0", "Marked/3"};
        QTest::newRow("date ascending")
            << "dateAscending" << QStringList{"Task (+)", "Status", "Recurrence"}
            << QStringList{"Marked/3", "Future/0", "Done/1"};
        QTest::newRow("status") << "status" << QStringList{"Task", "Status !", "Recurrence"}
                                << QStringList{"Future/0", "Done/1", "Marked/3"};
        QTest::newRow("recurrence") << "recurrence" << QStringList{"Task", "Status", "Recurrence !"}
                                    << QStringList{"Done/1", "Future/0", "Marked/3"};
    }
    void sortsRewriteTheFileAndMarkTheHeader() {
        QFETCH(QString, sort);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, order);
        WriteTasks({kDoneTask, kMarkedTask, kFutureTask});
        Start();
        const std::map<QString, QAction*> actions = {
            {"dateDescending", Action("sortByDateDescending")},
            {"dateAscending", Action("sortByDateAscending")},
            {"status", Action("sortByStatus")},
            {"recurrence", Action("sortByRecurrence")}};
        actions.at(sort)->trigger();
        QCOMPARE(Titles(), order);
        QCOMPARE(Headers(), headers);
        QCOMPARE(Cell(Model(), 0, 0).section(' ', 1), order.first().section('/', 0, 0));
        // A refresh keeps the mark.
        Action("refresh")->trigger();
        QCOMPARE(Model().headerData(0, Qt::Horizontal).toString(), headers.first());
    }

    void failuresAreReported() {
        WriteTasks({kFutureTask, kDoneTask, "", kMarkedTask});
        Start();
        const std::string before = Content();
        std::filesystem::create_directories(
            std::filesystem::path(CTaskFile(TaskFile()).TempPath()) / "blocker");
        Select(1);

        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Action("markForDeletion")->trigger();
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        QCOMPARE(CMessageBox::Last().icon, QMessageBox::Critical);
        QVERIFY(CMessageBox::Last().text.startsWith(Str::ChangeNotSaved));
        QVERIFY(CMessageBox::Last().text.endsWith(Str::ReasonCannotWriteTemp));

        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Action("compactDatabase")->trigger();
        QCOMPARE(CMessageBox::Last().text, QString(Str::CompactFailed));
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Action("sortByStatus")->trigger();
        QCOMPARE(CMessageBox::Last().text, QString(Str::CouldNotOpenForSorting));
        QCOMPARE(Model().headerData(1, Qt::Horizontal).toString(), QString("Status"));
        QCOMPARE(CMessageBox::Count(), 3);
        QCOMPARE(Content(), before);
    }
};

QTEST_MAIN(TestMainCommands)
#include "tst_maincommands.moc"
