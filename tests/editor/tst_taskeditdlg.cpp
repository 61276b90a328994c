// The task editor through its widgets, and the main window's flows around it over a real task
// file in a temporary program folder.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>
#include <filesystem>
#include <functional>

#include "mainwnd/maindlgfixture.h"
#include "res/strings.h"
#include "tasks/taskfile.h"

namespace {

// Answers reminders with "Details..." and acts on each editor as it opens, the n-th step on the
// n-th opening. An editor past the last step, or after a failed check, is cancelled, so that a
// test fails instead of hanging.
class CDialogDriver : public QObject {
public:
    using Step = std::function<void(CTaskEditDlg&)>;
    explicit CDialogDriver(std::vector<Step> steps) : m_steps(std::move(steps)) {
        qApp->installEventFilter(this);
    }
    ~CDialogDriver() override { qApp->removeEventFilter(this); }
    std::size_t m_nOpenings = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* pDlg = qobject_cast<CTaskEditDlg*>(watched);
        if (event->type() == QEvent::Show && qobject_cast<CReminderDlg*>(watched) != nullptr) {
            QTimer::singleShot(0, watched,
                               [watched] { qobject_cast<QDialog*>(watched)->accept(); });
        } else if (event->type() == QEvent::Show && pDlg != nullptr) {
            QTimer::singleShot(0, pDlg, [this, pDlg, n = m_nOpenings++] {
                if (n < m_steps.size()) {
                    m_steps[n](*pDlg);
                }
                if (n >= m_steps.size() || QTest::currentTestFailed()) {
                    pDlg->reject();
                }
            });
        }
        return false;
    }

private:
    std::vector<Step> m_steps;
};

void Type(QSpinBox* pSpin, const QString& text) {
    pSpin->selectAll();
    QTest::keyClicks(pSpin, text);
}

void ClickOk(CTaskEditDlg& dlg) {
    dlg.OkButton()->click();
}

}  // namespace

class TestTaskEditDlg : public CMainDlgFixture {
    Q_OBJECT

private:
    TaskRef Task(int row) { return Model().TaskAt(row).value_or(TaskRef{}); }

private slots:
    void initTestCase() { InitTestCase("America/New_York"); }
    void cleanupTestCase() { CleanupTestCase(); }
    void init() {
        Init();
        m_clock.now = CTime::FromLocal(2030, 12, 31, 22);
    }
    void cleanup() { Cleanup(); }

    void modes() {
        // {Add, view only, status, caption}
        for (const auto& [bNewTask, bViewOnly, status, caption] :
             {std::tuple(true, false, 0, "Add a New Task"),
              std::tuple(false, false, 2, "Edit Task"), std::tuple(false, true, 1, "Task Details"),
              std::tuple(false, false, 3, "Task Details")}) {
            CTaskEditDlg dlg;
            dlg.m_bNewTask = bNewTask;
            dlg.m_bViewOnly = bViewOnly;
            dlg.m_nStatus = status;
            dlg.show();
            const bool bRead = QString(caption) == "Task Details";
            QCOMPARE(dlg.windowTitle(), QString(caption));
            QCOMPARE(dlg.DeleteButton()->isVisible(), QString(caption) == "Edit Task");
            QCOMPARE(dlg.CancelButton()->isVisible(), !bRead);
            QVERIFY(dlg.TitleEdit()->isReadOnly() == bRead &&
                    dlg.YearSpin()->isReadOnly() == bRead);
            QCOMPARE(dlg.RecurrenceRadio(Recurrence::Weekly)->isEnabled(), !bRead);
        }
    }

    void okChecksTheTitleAndTheDay() {
        CTaskEditDlg dlg;
        dlg.SetTask(ParseTaskLine("#3/4/2024{+}2{+}0{+}0{+}Dentist{+}bring card{+}24"));
        dlg.show();
        // Monday's hour 24 is Tuesday's midnight.
        QCOMPARE(dlg.AmPmStatic()->text(), QString("12 AM"));
        QCOMPARE(dlg.WeekdayStatic()->text(), QString("Tuesday"));
        dlg.TitleEdit()->clear();
        Type(dlg.MonthSpin(), "4");
        Type(dlg.DaySpin(), "31");
        Type(dlg.YearSpin(), "2046");
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::keyClick(dlg.TitleEdit(), Qt::Key_Return);
        QCOMPARE(CMessageBox::Last().text, QString(Str::TitleRequired));
        QCOMPARE(CMessageBox::Last().caption, QString("Invalid input: Try again."));
        QVERIFY(dlg.isVisible() && dlg.DaySpin()->value() == 31);

        dlg.TitleEdit()->setText("Taxes");
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        ClickOk(dlg);
        QCOMPARE(CMessageBox::Last().text, QString(Str::DayChanged));
        QVERIFY(dlg.isVisible() && dlg.DaySpin()->value() == 30);
        QCOMPARE(dlg.WeekdayStatic()->text(), QString("Tuesday"));  // 1 May 2046, at 12 AM

        // Text that is no year in range leaves the last one that was. Ctrl+Enter in the note
        // starts a line, which the task file keeps as a blank; Enter there presses OK.
        Type(dlg.YearSpin(), "1234");
        QTest::mouseClick(dlg.RecurrenceRadio(Recurrence::Weekly), Qt::LeftButton);
        QTest::keyClick(dlg.NoteEdit(), Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(dlg.NoteEdit(), Qt::Key_Return);
        QCOMPARE(CMessageBox::Count(), 2);
        QVERIFY(dlg.result() == QDialog::Accepted && dlg.m_bModified);
        QCOMPARE(FormatTaskLine(dlg.GetTask()),
                 std::string("#4/30/2046{+}2{+}0{+}32{+}Taxes{+} bring card{+}24\r\n"));
    }

    void addAppendsTheDefaultsAsTheLastTask() {
        const std::string before = "#6/1/2031{+}0{+}0{+}0{+}Later{+}(none){+}9\r\n";
        WriteContent(before);
        Start();
        QSignalSpy resets(&Model(), &QAbstractItemModel::modelReset);
        {
            const CDialogDriver cancel({[](CTaskEditDlg& d) { d.CancelButton()->click(); }});
            Action("newTask")->trigger();
        }
        QVERIFY(Content() == before && resets.count() == 0);
        const CDialogDriver ok({ClickOk});
        Action("newTask")->trigger();
        QCOMPARE(Content(), before +
                                "#1/1/2031{+}0{+}0{+}0{+}Enter a title here{+}Additional "
                                "text here..{+}6\r\n");
        QCOMPARE(Cell(Model(), Model().rowCount() - 1, 0), "01/01/2031 Enter a title here");
    }

    void failedAddOpensTheEditorAgain() {
        Start();
        const std::filesystem::path temp = CTaskFile(TaskFile()).TempPath();
        std::filesystem::create_directories(temp / "blocker");
        QString shownAgain;
        const CDialogDriver driver({[](CTaskEditDlg& d) {
                                        d.TitleEdit()->setText("Dentist");
                                        d.NoteEdit()->clear();
                                        CMessageBox::SetNextAnswer(QMessageBox::Ok);
                                        ClickOk(d);
                                    },
                                    [&](CTaskEditDlg& d) {
                                        shownAgain = d.TitleEdit()->text();
                                        std::filesystem::remove_all(temp);
                                        ClickOk(d);
                                    }});
        Action("newTask")->trigger();
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        QCOMPARE(shownAgain, QString("Dentist"));
        QCOMPARE(Content(), std::string("#1/1/2031{+}0{+}0{+}0{+}Dentist{+}(none){+}6\r\n"));
    }

    void editWritesOverTheOpenedTaskOnly() {
        std::string content;
        for (const char* title : {"One", "Two", "Three", "Four", "Five"}) {
            content += std::string("#6/1/2031{+}0{+}0{+}0{+}") + title + "{+}(none){+}9\r\n";
        }
        WriteContent(content);
        Start();
        QSignalSpy resets(&Model(), &QAbstractItemModel::modelReset);
        {
            // Nothing selected: nothing opens. Opened and closed with OK, the file stays as it
            // was, byte for byte.
            const CDialogDriver driver({ClickOk, [](CTaskEditDlg& d) {
                                            d.TitleEdit()->setText("Two and a half");
                                            ClickOk(d);
                                        }});
            Action("viewEditTask")->trigger();
            QTest::keyClick(List(), Qt::Key_E);
            QCOMPARE(driver.m_nOpenings, size_t{0});
            // A widget's double-click comes after the press and release of its first click.
            const QPoint row = List()->visualRect(Model().index(1, 0)).center();
            QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, row);
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, row);
            QVERIFY(driver.m_nOpenings == 1 && Content() == content && resets.count() == 0);
            QTest::keyClick(List(), Qt::Key_E, Qt::ShiftModifier);
        }
        QCOMPARE(Task(Model().rowCount() - 1).record.title, std::string("Two and a half"));
        QCOMPARE(Task(1).record.title, std::string("Three"));

        // Changed elsewhere while its editor is open: the other writer's task stands.
        const std::string other = "#7/1/2031{+}0{+}1{+}0{+}Three{+}(none){+}9\r\n";
        const CDialogDriver changed({[&](CTaskEditDlg& d) {
            d.TitleEdit()->setText("Mine");
            WriteContent(other);
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            ClickOk(d);
        }});
        Select(1);
        Action("viewEditTask")->trigger();
        QCOMPARE(Content(), other);
        QCOMPARE(CMessageBox::Last().text, QString(Str::TaskChangedMeanwhile));
        QCOMPARE(Model().rowCount(), 1);
    }

    void deleteMarksTheOpenedTask() {
        WriteContent(
            "#6/1/2031{+}0{+}0{+}0{+}One{+}(none){+}9\r\n"
            "#6/2/2031{+}0{+}0{+}0{+}Two{+}(none){+}9\r\n");
        Start();
        Select(0);
        const CDialogDriver driver({[&](CTaskEditDlg& d) {
            d.TitleEdit()->setText("Typed, then deleted");
            Select(1);
            d.DeleteButton()->click();
        }});
        Action("viewEditTask")->trigger();
        QCOMPARE(Content(), std::string("#6/2/2031{+}0{+}0{+}0{+}Two{+}(none){+}9\r\n"
                                        "#6/1/2031{+}0{+}3{+}0{+}One{+}(none){+}9\r\n"));
    }

    void detailsShowTheTaskReadOnlyThenStoreTheAnswer() {
        Start();
        WriteContent("#12/31/2030{+}0{+}0{+}0{+}Party{+}(none){+}22\r\n");
        const CDialogDriver driver({[](CTaskEditDlg& d) {
            QVERIFY(d.windowTitle() == "Task Details" && !d.CancelButton()->isVisible());
            ClickOk(d);
        }});
        QTest::keyClick(List(), Qt::Key_Return);  // Enter in the window: "Refresh list"
        QCOMPARE(driver.m_nOpenings, size_t{1});
        QCOMPARE(Content(), std::string("#12/31/2030{+}0{+}1{+}0{+}Party{+}(none){+}22\r\n"));
    }

    // A hand-edited day its month lacks: the details view corrects it and writes it back, and
    // the reminder's answer counts for the corrected task, so the reminder does not come again.
    void detailsOnADayItsMonthLacksAnswerTheCorrectedTask() {
        Start();
        WriteContent("#2/30/2030{+}0{+}0{+}0{+}Feb{+}(none){+}9\r\n");
        const CDialogDriver driver({[](CTaskEditDlg& d) {
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            ClickOk(d);
            QCOMPARE(CMessageBox::Last().text, QString(Str::DayChanged));
            QCOMPARE(d.DaySpin()->value(), 28);
            ClickOk(d);
        }});
        QTest::keyClick(List(), Qt::Key_Return);
        QCOMPARE(driver.m_nOpenings, size_t{1});
        QCOMPARE(Content(), std::string("#2/28/2030{+}0{+}1{+}0{+}Feb{+}(none){+}9\r\n"));
        QTest::keyClick(List(), Qt::Key_Return);
        QCOMPARE(driver.m_nOpenings, size_t{1});
    }
};

QTEST_MAIN(TestTaskEditDlg)
#include "tst_taskeditdlg.moc"
