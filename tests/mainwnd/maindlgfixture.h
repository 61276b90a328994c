#pragma once

// The program with its main window over a real task file in a temporary program folder, a
// temporary settings file and a clock the tests set: the fixture every main-window test
// program shares, offscreen or on a real desktop. Tests reach the window as a user does: its
// widgets and actions by name, its message boxes through preset answers.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/taskprogram.h"
#include "editor/taskeditdlg.h"
#include "mainwnd/commandmenu.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/tasklistmodel.h"
#include "mainwnd/tasklistview.h"
#include "platform/settingsstore.h"
#include "reminder/reminderdlg.h"
#include "tasks/taskline.h"

// A wall clock the tests set, and a steady clock that follows it unless a test makes the wall
// clock jump (moves it without the steady clock).
class CTestClock final : public IClock {
public:
    CTime now;
    std::int64_t nJumpedMs = 0;
    CTime GetCurrentTime() const override { return now; }
    std::int64_t GetSteadyMilliseconds() const override { return now.GetTime() * 1000 - nJumpedMs; }
    void JumpTo(CTime to) {
        nJumpedMs += (to.GetTime() - now.GetTime()) * 1000;
        now = to;
    }
};

enum class Answer { Okay, RemindTomorrow, Details };

// Answers every reminder dialog as it opens and notes what it showed.
class CReminderResponder : public QObject {
public:
    struct Seen {
        QString caption;
        QString title;
        int bPlaySound = 0;
        bool bMainVisible = false;
        bool bArrowCursor = false;  // not the poll's wait cursor
        bool bMainEnabled = true;
    };

    CReminderResponder(QWidget* pMain, Answer answer) : m_pMain(pMain), m_answer(answer) {
        connect(&m_timer, &QTimer::timeout, this, &CReminderResponder::Check);
        m_timer.start(5);
    }

    std::vector<Seen> seen;
    std::function<void()> onOpen;  // runs while the dialog waits, before it is answered
    int nDetailsViews = 0;         // task views opened by "Details...", closed with OK

private:
    void Check() {
        if (auto* pView = qobject_cast<CTaskEditDlg*>(QApplication::activeModalWidget())) {
            ++nDetailsViews;
            pView->OkButton()->click();
            return;
        }
        auto* pDlg = qobject_cast<CReminderDlg*>(QApplication::activeModalWidget());
        if (pDlg == nullptr || pDlg == m_pLast) {
            return;
        }
        m_pLast = pDlg;
        const QCursor* pCursor = QApplication::overrideCursor();
        seen.push_back(
            {pDlg->m_szCaption, pDlg->m_szTitle, pDlg->m_bPlaySound, m_pMain->isVisible(),
             pCursor != nullptr && pCursor->shape() == Qt::ArrowCursor, m_pMain->isEnabled()});
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

inline QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

class CMainDlgFixture : public QObject {
protected:
    std::unique_ptr<QTemporaryDir> m_pDir;
    std::unique_ptr<QSettings> m_pIni;
    std::unique_ptr<CSettingsStore> m_pStore;
    CTestClock m_clock;
    std::unique_ptr<CTaskProgram> m_pProgram;
    std::string m_strOldTz;

    std::string ProgramDir() const { return m_pDir->filePath("program/").toStdString(); }
    std::string TaskFile() const { return ProgramDir() + "nkdat"; }

    // The task file as bytes, and as lines that each get CR LF.
    void WriteContent(const std::string& content, bool bAppend = false) {
        std::ofstream(TaskFile(), std::ios::binary | (bAppend ? std::ios::app : std::ios::trunc))
            << content;
    }
    void WriteTasks(const std::vector<std::string>& lines, bool bAppend = false) {
        std::string content;
        for (const std::string& line : lines) {
            content += line + "\r\n";
        }
        WriteContent(content, bAppend);
    }
    std::string Content() const {
        std::ifstream file(TaskFile(), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    std::vector<TaskRecord> ReadTasks() const {
        std::ifstream file(TaskFile(), std::ios::binary);
        std::vector<TaskRecord> tasks;
        for (std::string line; std::getline(file, line);) {
            tasks.push_back(ParseTaskLine(line));
        }
        return tasks;
    }
    // Any other file, by its name in the temporary folder or its full path; makes its folder.
    bool WriteFile(const QString& name, const QByteArray& content) const {
        const QString path = QDir(m_pDir->path()).filePath(name);
        QFile file(path);
        return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
               file.write(content) == content.size();
    }
    std::optional<std::string> Setting(std::string_view key) const {
        return m_pStore->ReadValue(key, 512);
    }

    // The program in the temporary program folder, put together but not started.
    CMainDlg& Create(bool bTray = true) { return Create(PortableFolders(ProgramDir()), bTray); }
    CMainDlg& Create(const ProgramFolders& folders, bool bTray = true) {
        m_pProgram.reset();
        m_pProgram =
            std::make_unique<CTaskProgram>(*m_pStore, m_clock, folders, [bTray] { return bTray; });
        return Window();
    }
    // Starts it, up to its tray icon; the tests then deliver the ticks themselves
    // (CMainDlg::OnTimer).
    CMainDlg& Start(bool bTray = true) {
        Create(bTray);
        m_pProgram->Start();
        Tick()->stop();
        if (!QTest::qWaitFor([this] { return TrayIcon() != nullptr; })) {
            qWarning("the program started without its tray icon");
        }
        return Window();
    }
    CMainDlg& Window() { return m_pProgram->Window(); }

    // The window's parts, by name.
    QTimer* Tick() { return Find<QTimer>("tick"); }
    CTaskListView* List() { return Find<CTaskListView>("taskList"); }
    CTaskListModel& Model() { return *qobject_cast<CTaskListModel*>(List()->model()); }
    QLabel* DateText() { return Find<QLabel>("dateText"); }
    QLabel* TimeText() { return Find<QLabel>("timeText"); }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    QMenuBar* MenuBar() { return Window().findChild<QMenuBar*>(); }
    CCommandMenu* ContextMenu() { return Find<CCommandMenu>("contextMenu"); }
    QSystemTrayIcon* TrayIcon() { return Window().findChild<QSystemTrayIcon*>(); }
    template <class T>
    T* Find(const char* name) {
        T* found = Window().findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("the window has no %s", name);
        }
        return found;
    }

    QStringList Headers() {
        QStringList headers;
        for (int column = 0; column < 3; ++column) {
            headers << Model().headerData(column, Qt::Horizontal).toString();
        }
        return headers;
    }
    // Selects a whole row, as a click on it does.
    void Select(int row) {
        List()->selectionModel()->select(
            Model().index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // Called by each test program's initTestCase, cleanupTestCase, init and cleanup slots (a
    // program that keeps one window for all its tests calls Init and Cleanup once).
    void InitTestCase(const char* zone = "UTC") {
        const char* tz = std::getenv("TZ");
        m_strOldTz = tz != nullptr ? tz : "";
        setenv("TZ", zone, 1);
        tzset();
    }
    void CleanupTestCase() {
        setenv("TZ", m_strOldTz.c_str(), 1);
        tzset();
    }
    void Init() {
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
    void Cleanup() {
        m_pProgram.reset();
        m_pStore.reset();
        m_pIni.reset();
        m_pDir.reset();
    }
};
