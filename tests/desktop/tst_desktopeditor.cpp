// The Task Editor on a real X server with a real window manager (run by on_desktop.sh), with
// the pointer and keys from the X server (xdotool): an edit whose task another program changes
// while the editor is open is not lost. With MARMOSET_SCREENSHOTS set to a folder, the screen is
// saved there at each step.
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <utility>
#include <vector>

#include "desktopfixture.h"
#include "res/strings.h"

namespace {

// Steps that run from a timer, so that they go on inside the dialogs' own event loops: each
// waits until its condition holds, then acts.
class CSteps : public QObject {
public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    explicit CSteps(std::vector<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_nDone < m_steps.size() && m_steps[m_nDone].ready()) {
                m_steps[m_nDone++].act();
            }
        });
        m_timer.start(50);
    }
    bool Done() const { return m_nDone == m_steps.size(); }
    size_t Count() const { return m_nDone; }

private:
    std::vector<Step> m_steps;
    size_t m_nDone = 0;
    QTimer m_timer;
};

template <typename Widget>
Widget* ActiveModal() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr && modal->isActiveWindow() ? qobject_cast<Widget*>(modal) : nullptr;
}

void SaveScreen(const char* name) {
    const QString folder = qEnvironmentVariable("MARMOSET_SCREENSHOTS");
    if (!folder.isEmpty()) {
        QGuiApplication::primaryScreen()->grabWindow(0).save(QDir(folder).filePath(name));
    }
}

}  // namespace

class TestDesktopEditor : public CDesktopFixture {
    Q_OBJECT

private slots:
    void initTestCase() {
        InitOnDesktop();
        WriteTasks(
            {"#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9", "#9/2/2030{+}0{+}1{+}2{+}September{+}{+}6"});
        StartOnDesktop();
    }
    void cleanupTestCase() { CleanupOnDesktop(); }

    void anEditWhoseTaskChangedUnderneathOpensAgainWithWhatWasTyped() {
        // Another program marks June complete while its editor is open.
        const std::string changed =
            "#6/1/2030{+}0{+}1{+}0{+}June{+}{+}9\r\n"
            "#9/2/2030{+}0{+}1{+}2{+}September{+}{+}6\r\n";
        QString told;
        QString reopened;
        const CSteps steps({
            {[] { return ActiveModal<CTaskEditDlg>() != nullptr; },
             [&] {
                 WriteContent(changed);
                 // The title is selected on opening: typing replaces it.
                 QVERIFY(Xdotool({"type", "--delay", "20", "Dentist at nine"}));
             }},
            {[] {
                 const CTaskEditDlg* editor = ActiveModal<CTaskEditDlg>();
                 return editor != nullptr && editor->TitleEdit()->text() == "Dentist at nine";
             },
             [] {
                 SaveScreen("editor-typed.png");
                 QVERIFY(Xdotool({"key", "Return"}));
             }},
            {[] { return ActiveModal<QMessageBox>() != nullptr; },
             [&] {
                 told = ActiveModal<QMessageBox>()->text();
                 SaveScreen("editor-task-changed.png");
                 QVERIFY(Xdotool({"key", "Return"}));
             }},
            {[] { return ActiveModal<CTaskEditDlg>() != nullptr; },
             [&] {
                 const CTaskEditDlg* editor = ActiveModal<CTaskEditDlg>();
                 reopened = editor->windowTitle() + "/" + editor->TitleEdit()->text();
                 SaveScreen("editor-opened-again.png");
                 QVERIFY(Xdotool({"key", "Return"}));
             }},
        });
        // A double-click on June, as a user opens a task.
        const QPoint row =
            List()->viewport()->mapToGlobal(List()->visualRect(Model().index(0, 0)).center());
        QVERIFY(Xdotool({"mousemove", "--sync", QString::number(row.x()), QString::number(row.y()),
                         "click", "--repeat", "2", "--delay", "80", "1"}));
        QTRY_VERIFY_WITH_TIMEOUT(steps.Done(), 20000);

        QCOMPARE(told, QString(Str::TaskChangedEditorOpensAgain));
        QCOMPARE(reopened, QString("Add a New Task/Dentist at nine"));
        // The other program's change stands, and the typed task is added beside it.
        QTRY_VERIFY(Content().starts_with(changed));
        const std::vector<TaskRecord> tasks = ReadTasks();
        QCOMPARE(tasks.size(), size_t{3});
        QCOMPARE(tasks[2].title, std::string("Dentist at nine"));
        QCOMPARE(tasks[2].status, 0);
        QTRY_COMPARE(Model().rowCount(), 3);
    }
};

QTEST_MAIN(TestDesktopEditor)
#include "tst_desktopeditor.moc"
