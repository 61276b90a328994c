// The main window's menus, gestures and the commands that open something, driven through the
// shared actions and real widgets over a real task file and settings file.
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QHeaderView>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>
#include <fstream>
#include <memory>

#include "info/aboutdlg.h"
#include "mainwnd/commandmenu.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "mainwnd/tasklistmodel.h"
#include "platform/settingsstore.h"
#include "platform/shell.h"
#include "prefs/settingsdlg.h"
#include "res/strings.h"
#include "tasks/taskline.h"

#include "maindlgfixture.h"

namespace {

// Runs once, on the first modal dialog of type T that opens; it must close the dialog.
template <class T>
void WhenModal(QObject* owner, std::function<void(T&)> act) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, act] {
        if (auto* dlg = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            timer->stop();
            act(*dlg);
        }
    });
    timer->start(5);
}

QStringList ItemTexts(const CCommandMenu& menu) {
    QStringList texts;
    for (QAction* action : menu.actions()) {
        texts << menu.ItemText(action);
    }
    return texts;
}

}  // namespace

// Receives what the program asks the desktop to open.
class CUrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }
};

class TestMainMenus : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pDir;
    std::unique_ptr<QSettings> m_pIni;
    std::unique_ptr<CSettingsStore> m_pStore;
    CTestClock m_clock;
    std::unique_ptr<CMainDlg> m_pDlg;

    QString ProgramDir() const { return m_pDir->filePath("program/"); }
    void WriteTasks(const std::vector<std::string>& lines) {
        std::ofstream file((ProgramDir() + "nkdat").toStdString(), std::ios::binary);
        for (const std::string& line : lines) {
            file << line << "\r\n";
        }
    }
    QStringList Titles() const {
        std::ifstream file((ProgramDir() + "nkdat").toStdString(), std::ios::binary);
        QStringList titles;
        for (std::string line; std::getline(file, line);) {
            titles << QString::fromStdString(ParseTaskLine(line).title);
        }
        return titles;
    }
    std::optional<std::string> Setting(std::string_view key) const {
        return m_pStore->ReadValue(key, 512);
    }
    CMainDlg& Start() {
        m_pDlg = std::make_unique<CMainDlg>(*m_pStore, m_clock, ProgramDir().toStdString(), true);
        m_pDlg->OnInitDialog();
        m_pDlg->m_timer.setInterval(3600 * 1000);  // the tests deliver the ticks themselves
        return *m_pDlg;
    }
    CMainActions& Actions() { return *m_pDlg->m_pActions; }
    QMenu* MenuBarPopup(const QString& title) {
        for (QAction* action : m_pDlg->m_pMenuBar->actions()) {
            if (action->text() == title) {
                return action->menu();
            }
        }
        return nullptr;
    }
    void Select(int row) {
        QTreeView* list = m_pDlg->m_pTaskList;
        list->setCurrentIndex(list->model()->index(row, 0));
    }
    QStringList Headers() const {
        QStringList headers;
        for (int column = 0; column < 3; ++column) {
            headers << m_pDlg->m_pModel->headerData(column, Qt::Horizontal).toString();
        }
        return headers;
    }
    // Through the window, as the window system delivers it, so that the click also asks for
    // the context menu.
    void RightClick(QWidget* widget, const QPoint& at) {
        QTest::mouseClick(m_pDlg->windowHandle(), Qt::RightButton, {},
                          widget->mapTo(m_pDlg.get(), at));
    }
    void ClickHeader(int column) {
        QHeaderView* header = m_pDlg->m_pTaskList->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    }
    // Runs the Settings command and answers the dialog with the given choices.
    void ChangeSettings(QRadioButton* (CSettingsDlg::*radio)() const, bool bSound, int nPoll) {
        WhenModal<CSettingsDlg>(this, [=](CSettingsDlg& dlg) {
            (dlg.*radio)()->setChecked(true);
            dlg.SoundCheck()->setChecked(bSound);
            dlg.PollSpin()->setValue(nPoll);
            dlg.OkButton()->click();
        });
        Actions().pSettings->trigger();
    }

private slots:
    void init() {
        m_pDir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(m_pDir->filePath("program")));
        m_pIni =
            std::make_unique<QSettings>(m_pDir->filePath("settings.ini"), QSettings::IniFormat);
        m_pStore = std::make_unique<CSettingsStore>(*m_pIni);
        m_clock.now = CTime::FromLocal(2030, 3, 10, 12, 30);
        CMessageBox::ResetRecord();
        WriteTasks({"#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9", "#1/5/2030{+}0{+}3{+}2{+}January{+}{+}6",
                    "#9/2/2030{+}0{+}1{+}33{+}September{+}{+}6"});
    }
    void cleanup() {
        m_pDlg.reset();
        m_pStore.reset();
        m_pIni.reset();
        m_pDir.reset();
    }

    void greyingFollowsTheSelection() {
        Start();
        QMenu* edit = MenuBarPopup("&Edit");
        CCommandMenu* context = m_pDlg->m_pContextMenu;
        QAction* selectionOnly[] = {Actions().pKeepAsNew, Actions().pInsertDuplicate,
                                    Actions().pMarkForDeletion, Actions().pDeleteSelection};
        QAction* always[] = {Actions().pDeleteMarkedTasks, Actions().pDeletePastTasks,
                             Actions().pRefresh};
        for (const bool bSelected : {false, true}) {
            if (bSelected) {
                Select(1);
            }
            for (QMenu* popup : {edit, static_cast<QMenu*>(context)}) {
                popup->popup(QPoint(0, 0));
                for (QAction* action : selectionOnly) {
                    QCOMPARE(action->isEnabled(), bSelected);
                }
                for (QAction* action : always) {
                    QVERIFY(action->isEnabled());
                }
                popup->hide();
                // Closed, the keys find every command enabled again.
                QVERIFY(Actions().pDeleteSelection->isEnabled());
            }
        }
    }

    void rightClickOpensTheMenuInTheClientOnly() {
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QWidget* viewport = dlg.m_pTaskList->viewport();
        const QPoint at(40, 12);
        RightClick(viewport, at);
        QTRY_COMPARE(QApplication::activePopupWidget(), dlg.m_pContextMenu);
        CCommandMenu& menu = *dlg.m_pContextMenu;
        QCOMPARE(menu.pos(), viewport->mapToGlobal(at));
        QCOMPARE(menu.title(), QString("Menu"));
        QCOMPARE(ItemTexts(menu), QStringList({"Keep As New", "Mark For Deletion", "Refresh"}));
        QCOMPARE(menu.actions(), QList<QAction*>({Actions().pKeepAsNew, Actions().pMarkForDeletion,
                                                  Actions().pRefresh}));
        menu.hide();

        // The ground around the list is client area too; the menu bar is not.
        RightClick(dlg.m_pClient, QPoint(3, 3));
        QTRY_COMPARE(QApplication::activePopupWidget(), dlg.m_pContextMenu);
        menu.hide();
        const QPoint barEnd(dlg.m_pMenuBar->width() - 3, dlg.m_pMenuBar->height() / 2);
        RightClick(dlg.m_pMenuBar, barEnd);
        dlg.OnContextMenu(dlg.mapToGlobal(QPoint(-20, -20)));
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
    }

    void columnClicksSortAndAlternate() {
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QStringList ascending = {"January", "June", "September"};
        const QStringList descending = {"September", "June", "January"};
        const QStringList taskAsc = {"Task (+)", "Status", "Recurrence"};
        const QStringList taskDesc = {"Task (-)", "Status", "Recurrence"};

        // Three clicks on "Task": ascending, descending, ascending.
        for (const bool bAscending : {true, false, true}) {
            ClickHeader(0);
            QCOMPARE(Headers(), bAscending ? taskAsc : taskDesc);
            QCOMPARE(Titles(), bAscending ? ascending : descending);
        }
        // The Sort menu and the other headers leave the turn alone: the last click sorted
        // ascending, so the next one sorts descending.
        Actions().pSortByDateDescending->trigger();
        ClickHeader(1);
        QCOMPARE(Headers(), QStringList({"Task", "Status !", "Recurrence"}));
        QCOMPARE(Titles(), QStringList({"June", "September", "January"}));
        ClickHeader(0);
        QCOMPARE(Headers(), taskDesc);
        QCOMPARE(Titles(), descending);

        ClickHeader(2);
        QCOMPARE(Headers(), QStringList({"Task", "Status", "Recurrence !"}));
        QCOMPARE(Titles(), QStringList({"June", "January", "September"}));
        ClickHeader(0);
        QCOMPARE(Headers(), taskAsc);
        QCOMPARE(Cell(*dlg.m_pModel, 0, 0), QString("01/05/2030 January"));
    }

    void deleteKeyWithoutSelectionDoesNothing() {
        CMainDlg& dlg = Start();
        QTest::keyClick(dlg.m_pTaskList, Qt::Key_Delete);
        QCOMPARE(CMessageBox::Count(), 0);
        Select(0);
        CMessageBox::SetNextAnswer(QMessageBox::No);
        QTest::keyClick(dlg.m_pTaskList, Qt::Key_Delete);
        QCOMPARE(CMessageBox::Last().text, QString(Str::ConfirmDeleteSelection));
        QCOMPARE(Titles(), QStringList({"June", "January", "September"}));
    }

    void settingsCancelChangesNothing() {
        CMainDlg& dlg = Start();
        const int nSound = dlg.m_bSound;
        WhenModal<CSettingsDlg>(this, [](CSettingsDlg& settings) {
            QVERIFY(settings.NormalRadio()->isChecked());
            QVERIFY(settings.SoundCheck()->isChecked());
            QCOMPARE(settings.PollSpin()->value(), 90);
            settings.HiddenRadio()->setChecked(true);
            settings.SoundCheck()->setChecked(false);
            settings.PollSpin()->setValue(600);
            settings.CancelButton()->click();
        });
        Actions().pSettings->trigger();
        QCOMPARE(dlg.m_bSound, nSound);
        QCOMPARE(dlg.m_nStartupMode, kStartupDefault);
        QCOMPARE(Setting("poll"), std::optional<std::string>("90"));
        QCOMPARE(Setting("sound"), std::optional<std::string>("1"));
        QVERIFY(!Setting("startup"));
        QCOMPARE(CMessageBox::Count(), 0);
    }

    void settingsHiddenNoticeAtEveryOk() {
        CMainDlg& dlg = Start();
        for (int i = 1; i <= 2; ++i) {
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
            ChangeSettings(&CSettingsDlg::HiddenRadio, true, 90);
            QCOMPARE(CMessageBox::Count(), i);
            QCOMPARE(CMessageBox::Last().text, QString(Str::HiddenStartupNote));
            QCOMPARE(CMessageBox::Last().caption, QString("Marmoset Task"));
            QCOMPARE(CMessageBox::Last().icon, QMessageBox::Information);
        }
        QCOMPARE(Setting("startup"), std::optional<std::string>("2"));
        QCOMPARE(dlg.m_nStartupMode, kStartupHidden);
        // Hidden acts at the next start: the running window stays where it is.
        dlg.OnTimer();
        dlg.OnTimer();
        QVERIFY(dlg.isVisible());
        ChangeSettings(&CSettingsDlg::MinimizedRadio, true, 90);
        QCOMPARE(CMessageBox::Count(), 2);
        QCOMPARE(Setting("startup"), std::optional<std::string>("1"));
    }

    void settingsSoundActsAtOnceAndTheIntervalAtTheNextStart() {
        m_pStore->WriteValue("poll", "3");
        CMainDlg& dlg = Start();
        ChangeSettings(&CSettingsDlg::NormalRadio, false, 300);
        QCOMPARE(Setting("sound"), std::optional<std::string>("0"));
        QCOMPARE(Setting("startup"), std::optional<std::string>("3"));
        QCOMPARE(Setting("poll"), std::optional<std::string>("300"));

        // The next reminder, three ticks on as before, is silent.
        WriteTasks({"#3/10/2030{+}0{+}0{+}0{+}Dentist{+}{+}12"});
        CReminderResponder responder(&dlg, Answer::Okay);
        for (int tick = 0; tick < 3; ++tick) {
            dlg.OnTimer();
        }
        QCOMPARE(responder.seen.size(), size_t{1});
        QCOMPARE(responder.seen.front().bPlaySound, 0);
    }

    void aboutFromTheHelpMenuAndTheTray() {
        CMainDlg& dlg = Start();
        CCommandMenu& tray = *qobject_cast<CCommandMenu*>(dlg.m_pTrayIcon->contextMenu());
        QCOMPARE(ItemTexts(tray), QStringList({"Show", "", "&Refresh", "&About", "", "E&xit"}));
        QCOMPARE(tray.actions()[3], Actions().pAbout);
        QCOMPARE(tray.actions()[5], Actions().pExit);

        for (QAction* about : {Actions().pAbout, tray.actions()[3]}) {
            QStringList lines;
            QString caption;
            WhenModal<CAboutDlg>(this, [&](CAboutDlg& box) {
                caption = box.windowTitle();
                for (int i = 0; i < box.MemoryList()->count(); ++i) {
                    lines << box.MemoryList()->item(i)->text();
                }
                box.accept();
            });
            about->trigger();
            QCOMPARE(caption, QString("About Marmoset Task"));
            QCOMPARE(lines.size(), 3);
            QVERIFY(lines[0].startsWith("Total RAM=") && lines[0].endsWith(" MB"));
            QVERIFY(lines[1].startsWith("Free RAM=") && lines[1].endsWith(" MB"));
            QVERIFY(lines[2].startsWith("Memory utilization=") && lines[2].endsWith("%"));
        }

        // "Show" brings the hidden window back, as the double-click does.
        dlg.OnOK();
        tray.actions()[0]->trigger();
        QVERIFY(dlg.isVisible() && !dlg.isMinimized());
    }

    void helpIndexOpensThePageBesideTheProgram() {
        CMainDlg& dlg = Start();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        CUrlRecorder recorder;
        QDesktopServices::setUrlHandler("file", &recorder, "Open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler("file"); });
        const QString page = ProgramDir() + "nkindex.htm";

        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        QTest::keyClick(dlg.m_pTaskList, Qt::Key_F1);
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        QVERIFY(CMessageBox::Last().text.contains(page));
        QVERIFY(recorder.urls.isEmpty());

        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QTest::keyClick(dlg.m_pTaskList, Qt::Key_F1);
        Actions().pHelpIndex->trigger();
        QCOMPARE(recorder.urls,
                 QList<QUrl>({QUrl::fromLocalFile(page), QUrl::fromLocalFile(page)}));
        QCOMPARE(CMessageBox::Count(), 1);
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
        QVERIFY(QDir().mkpath(bin));
        qputenv("PATH", QFile::encodeName(bin));
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
        const auto install = [&](const QString& name, const QByteArray& content) {
            QFile program(bin + "/" + name);
            QVERIFY(program.open(QIODevice::WriteOnly));
            program.write(content);
            program.close();
            program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        };
        const QString record = m_pDir->filePath("started");
        const QByteArray recorder =
            "#!/bin/sh\necho \"${0##*/} $*\" >> '" + QFile::encodeName(record) + "'\n";
        install("gnome-control-center", recorder);
        install("systemsettings", recorder);

        // The running desktop's own settings come first.
        Actions().pSystemCalendar->trigger();
        QTRY_VERIFY(QFile::exists(record));
        QFile started(record);
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(started.readAll(), QByteArray("systemsettings kcm_clock\n"));
        QCOMPARE(CMessageBox::Count(), 0);

        // A program that cannot be run is named; so are the programs looked for when none is
        // installed.
        QVERIFY(QFile::remove(bin + "/gnome-control-center"));
        install("systemsettings", QByteArray("\x7f"
                                             "ELF not really",
                                             15));
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Actions().pSystemCalendar->trigger();
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        QCOMPARE(CMessageBox::Last().text,
                 QString(Str::DateTimeSettingsFailed) + "\nsystemsettings");
        QVERIFY(QFile::remove(bin + "/systemsettings"));
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Actions().pSystemCalendar->trigger();
        QVERIFY(CMessageBox::Last().text.startsWith(QString(Str::DateTimeSettingsMissing) +
                                                    "\nsystemsettings, systemsettings5, "));
        QVERIFY(CMessageBox::Last().text.contains("gnome-control-center"));
    }

    void dateTimeProgramsFollowTheDesktop() {
        const auto firstPrograms = [](const char* desktops) {
            QStringList programs;
            for (const ProgramCommand& command : DateTimeSettingsPrograms(desktops)) {
                programs << command.program;
            }
            return programs.mid(0, 3);
        };
        QCOMPARE(firstPrograms(""),
                 QStringList({"gnome-control-center", "systemsettings", "systemsettings5"}));
        QCOMPARE(firstPrograms("Budgie:GNOME"),
                 QStringList({"budgie-control-center", "gnome-control-center", "systemsettings"}));
        QCOMPARE(firstPrograms("xfce"),
                 QStringList({"time-admin", "gnome-control-center", "systemsettings"}));
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_mainmenus.moc"
