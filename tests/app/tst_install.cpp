// The program as installed: where it keeps its task file and finds its help page, and the
// autostart entry that "Start when I log in" writes.

#include <QCheckBox>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "mainwnd/maindlgfixture.h"
#include "platform/autostart.h"
#include "platform/programfolders.h"
#include "prefs/settingsdlg.h"
#include "res/strings.h"

namespace {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// desktop-file-validate's verdict on an entry: empty when valid.
QString ValidationErrors(const QString& path) {
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {path});
    if (!validate.waitForFinished(10000)) {
        return QStringLiteral(
            "desktop-file-validate did not run; scripts/install-deps.sh "
            "installs it");
    }
    const QString output = QString::fromLocal8Bit(validate.readAll());
    return validate.exitCode() == 0 ? QString() : output + QStringLiteral(" (failed)");
}

}  // namespace

class TestInstall : public CMainDlgFixture {
    Q_OBJECT

    QString Home() const { return m_pDir->filePath("home"); }
    QString Prefix() const { return m_pDir->filePath("prefix"); }

    // The Settings dialog, opened from the window and handled by act once it shows.
    void InSettings(CMainDlg& dlg, const std::function<void(CSettingsDlg&)>& act) {
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            if (auto* pSettings = qobject_cast<CSettingsDlg*>(QApplication::activeModalWidget())) {
                timer.stop();
                act(*pSettings);
            }
        });
        timer.start(5);
        dlg.findChild<QAction*>("settings")->trigger();
    }

private slots:
    void initTestCase() { InitTestCase(); }
    void cleanupTestCase() { CleanupTestCase(); }
    void init() {
        Init();
        // Only this test's home: the data and autostart folders live under it.
        qputenv("XDG_DATA_HOME", QFile::encodeName(Home() + "/data"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Home() + "/config"));
        QVERIFY(QDir().mkpath(Prefix() + "/bin"));
    }
    void cleanup() { Cleanup(); }

    void portableOrInstalledByTheMarker() {
        const QString bin = Prefix() + "/bin";
        const std::string binSlash = QFile::encodeName(bin + "/").toStdString();
        QCOMPARE(FindProgramFolders(bin), PortableFolders(binSlash));

        // The install rules' marker beside the installed data.
        const QString marker = InstalledMarkerPath(bin);
        QCOMPARE(marker, Prefix() + "/share/marmoset-task/installed");
        QVERIFY(WriteFile(marker, "installed\n"));
        const std::string dataFolder =
            QFile::encodeName(Home() + "/data/Marmoset Task/").toStdString();
        const ProgramFolders installed{
            .taskFolder = dataFolder,
            .helpFolder = QFile::encodeName(Prefix() + "/share/marmoset-task/").toStdString(),
            .bFirstStart = true};
        QCOMPARE(FindProgramFolders(bin), installed);
        // Once the data folder is there, it is no longer the first start.
        QVERIFY(QDir().mkpath(Home() + "/data/Marmoset Task"));
        QVERIFY(!FindProgramFolders(bin).bFirstStart);
    }

    void firstStartMakesAnEmptyTaskFileInTheDataFolder_data() {
        QTest::addColumn<QString>("taskfile");  // the stored setting; empty: none
        QTest::addColumn<QString>("expected");  // under the data folder
        QTest::newRow("no setting") << ""
                                    << "nkdat";
        QTest::newRow("a name in a subfolder") << "lists/home.txt"
                                               << "lists/home.txt";
    }
    void firstStartMakesAnEmptyTaskFileInTheDataFolder() {
        QFETCH(QString, taskfile);
        QFETCH(QString, expected);
        if (!taskfile.isEmpty()) {
            m_pStore->WriteValue("taskfile", taskfile.toStdString());
        }
        QVERIFY(WriteFile(InstalledMarkerPath(Prefix() + "/bin"), "installed\n"));
        Create(FindProgramFolders(Prefix() + "/bin"));
        m_pProgram->Start();

        const QString path = Home() + "/data/Marmoset Task/" + expected;
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(Model().rowCount(), 0);
        // It is the file the window reads.
        QVERIFY(WriteFile(path, "#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9\r\n"));
        Action("refresh")->trigger();
        QCOMPARE(Model().rowCount(), 1);
        QCOMPARE(CMessageBox::Count(), 0);
        QCOMPARE(Setting("taskfile").value_or(""), expected.toStdString());
        QVERIFY(!QFileInfo::exists(Prefix() + "/bin/nkdat"));
    }

    void laterStartsLeaveTheTaskFileAlone() {
        QVERIFY(WriteFile(InstalledMarkerPath(Prefix() + "/bin"), "installed\n"));
        const QString data = Home() + "/data/Marmoset Task/";
        // A task file that is there is read, never replaced.
        QVERIFY(WriteFile(data + "nkdat", "#6/1/2030{+}0{+}0{+}0{+}June{+}{+}9\r\n"));
        Create(FindProgramFolders(Prefix() + "/bin"));
        m_pProgram->Start();
        QCOMPARE(Model().rowCount(), 1);
        m_pProgram.reset();

        // One that has gone since is reported, not quietly made again.
        QVERIFY(QFile::remove(data + "nkdat"));
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        Create(FindProgramFolders(Prefix() + "/bin"));
        m_pProgram->Start();
        QVERIFY(CMessageBox::Last().text.startsWith(Str::TaskFileNotFound));
        QVERIFY(!QFileInfo::exists(data + "nkdat"));
    }

    void startAtLoginWritesAndRemovesTheAutostartEntry() {
        CMainDlg& dlg = Start();
        const QString entry = Home() + "/config/autostart/marmoset-task.desktop";
        QCOMPARE(AutostartEntryPath(), entry);

        // Ticked with OK: the entry starts this very program and is valid.
        InSettings(dlg, [](CSettingsDlg& settings) {
            QVERIFY(!settings.LoginCheck()->isChecked());
            settings.LoginCheck()->setChecked(true);
            settings.OkButton()->click();
        });
        QCOMPARE(QString::fromUtf8(ReadFile(entry)),
                 AutostartEntryText(QCoreApplication::applicationFilePath()));
        QVERIFY(ReadFile(entry).contains(
            "\nExec=" + QFile::encodeName(QCoreApplication::applicationFilePath()) + "\n"));
        const QString errors = ValidationErrors(entry);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));

        // Cancel changes nothing; the box shows the entry.
        InSettings(dlg, [](CSettingsDlg& settings) {
            QVERIFY(settings.LoginCheck()->isChecked());
            settings.LoginCheck()->setChecked(false);
            settings.CancelButton()->click();
        });
        QVERIFY(QFileInfo::exists(entry));

        // Cleared with OK: the entry goes.
        InSettings(dlg, [](CSettingsDlg& settings) {
            settings.LoginCheck()->setChecked(false);
            settings.OkButton()->click();
        });
        QVERIFY(!QFileInfo::exists(entry));
        QCOMPARE(CMessageBox::Count(), 0);

        // An entry the desktop's session settings switched off counts as off, and stays until
        // the box is ticked.
        QVERIFY(WriteFile(entry,
                          "[Desktop Entry]\nType=Application\nName=Marmoset Task\n"
                          "Exec=marmoset-task\nHidden=true\n"));
        QVERIFY(!IsStartAtLoginOn());
        InSettings(dlg, [](CSettingsDlg& settings) {
            QVERIFY(!settings.LoginCheck()->isChecked());
            settings.OkButton()->click();
        });
        QVERIFY(ReadFile(entry).contains("Hidden=true"));
        QVERIFY(!SetStartAtLogin(true, "/opt/marmoset/marmoset-task"));
        QVERIFY(IsStartAtLoginOn());
        QVERIFY(ReadFile(entry).contains("\nTryExec=/opt/marmoset/marmoset-task\n"));

        // That entry starts a copy elsewhere: OK points it at this one.
        InSettings(dlg, [](CSettingsDlg& settings) {
            QVERIFY(settings.LoginCheck()->isChecked());
            settings.OkButton()->click();
        });
        QCOMPARE(QString::fromUtf8(ReadFile(entry)),
                 AutostartEntryText(QCoreApplication::applicationFilePath()));
    }

    void anEntryThatCannotBeWrittenIsReported() {
        // A file where the autostart folder should be.
        QVERIFY(WriteFile(Home() + "/config/autostart", "not a folder"));
        CMainDlg& dlg = Start();
        CMessageBox::SetNextAnswer(QMessageBox::Ok);
        InSettings(dlg, [](CSettingsDlg& settings) {
            settings.SoundCheck()->setChecked(false);
            settings.LoginCheck()->setChecked(true);
            settings.OkButton()->click();
        });
        QCOMPARE(CMessageBox::Count(), 1);
        QCOMPARE(CMessageBox::Last().text, QString(Str::StartAtLoginNotWritten) + "\n" +
                                               QDir::toNativeSeparators(AutostartEntryPath()));
        QCOMPARE(CMessageBox::Last().caption, QString("Error!"));
        // The other choices are kept all the same.
        QCOMPARE(Setting("sound").value_or(""), "0");
    }

    void execArgumentsAreQuotedAsTheRulesSay_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/marmoset-task"
                               << "/usr/bin/marmoset-task";
        QTest::newRow("blank") << "/home/me/My Programs/marmoset-task"
                               << "\"/home/me/My Programs/marmoset-task\"";
        QTest::newRow("percent") << "/opt/100%/marmoset-task"
                                 << "/opt/100%%/marmoset-task";
        QTest::newRow("quote, dollar, backslash")
            << "/tmp/a \"b\" $c\\d/marmoset-task"
            << "\"/tmp/a \\\\\"b\\\\\" \\\\$c\\\\\\\\d/marmoset-task\"";
    }
    void execArgumentsAreQuotedAsTheRulesSay() {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(ExecArgument(path), exec);
        // Whatever the path, the entry is one desktop-file-validate accepts.
        const QString entry = m_pDir->filePath("entry.desktop");
        QVERIFY(WriteFile(entry, AutostartEntryText(path).toUtf8()));
        const QString errors = ValidationErrors(entry);
        QVERIFY2(errors.isEmpty(), qPrintable(errors));
    }
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
