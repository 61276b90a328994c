// The File menu's calendar commands, driven through their actions: the file dialog answered as
// a user answers it, the report read from the message box, the task file on disk.

#include <QFileDialog>

#include "maindlgfixture.h"

class TestCalendarCommands : public CMainDlgFixture {
    Q_OBJECT

    // Triggers the action; the file dialog that opens gets path (or is cancelled without one),
    // and the message box that follows is answered before it opens.
    void ChooseFileFor(const char* action, const QString& path) {
        if (!path.isEmpty()) {
            CMessageBox::SetNextAnswer(QMessageBox::Ok);
        }
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                timer.stop();
                if (path.isEmpty()) {
                    dialog->reject();
                    return;
                }
                dialog->selectFile(path);
                // As the dialog's own button does: its checks run first.
                static_cast<QDialog*>(dialog)->accept();
            }
        });
        timer.start(5);
        Action(action)->trigger();
    }
    QString PathOf(const char* name) const { return QDir(m_pDir->path()).filePath(name); }

private slots:
    void initTestCase() { InitTestCase("America/New_York"); }
    void cleanupTestCase() { CleanupTestCase(); }
    void init() {
        Init();
        WriteTasks({"#3/12/2030{+}2{+}0{+}0{+}Dentist{+}bring the card{+}14",
                    "#3/15/2030{+}0{+}0{+}32{+}Choir{+}(none){+}24",
                    "#2/29/2032{+}0{+}0{+}2{+}Zahnärztin{+}(none){+}6"});
    }
    void cleanup() { Cleanup(); }

    void exportThenImportGivesBackTheTasks() {
        Start();
        const std::string before = Content();
        const QString calendar = PathOf("tasks.ics");
        ChooseFileFor("exportCalendar", calendar);
        QCOMPARE(CMessageBox::Last().icon, QMessageBox::Information);
        QCOMPARE(CMessageBox::Last().caption, QStringLiteral("Export Calendar"));
        QVERIFY(CMessageBox::Last().text.endsWith(calendar));
        QFile written(calendar);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.readAll().contains("DTSTART;TZID=America/New_York:20300316T000000\r\n"));

        WriteTasks({});
        Action("refresh")->trigger();
        QCOMPARE(Model().rowCount(), 0);
        ChooseFileFor("importCalendar", calendar);
        QCOMPARE(CMessageBox::Last().icon, QMessageBox::Information);
        QCOMPARE(CMessageBox::Last().caption, QStringLiteral("Import Calendar"));
        QCOMPARE(CMessageBox::Last().text,
                 QStringLiteral("tasks.ics: 3 tasks added, 0 already there, 0 changed to fit, "
                                "0 refused."));
        QCOMPARE(Content(), before);
        // The list shows them at once.
        QCOMPARE(Model().rowCount(), 3);

        // Again: already there, the file as it was.
        ChooseFileFor("importCalendar", calendar);
        QVERIFY(CMessageBox::Last().text.contains("0 tasks added, 3 already there"));
        QCOMPARE(Content(), before);
    }

    void aFileThatCannotBeReadIsRefusedAndChangesNothing() {
        Start();
        const std::string before = Content();
        QVERIFY(WriteFile("bad.ics",
                          "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:A\r\n"
                          "DTSTART:hello\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
        ChooseFileFor("importCalendar", PathOf("bad.ics"));
        QCOMPARE(CMessageBox::Last().icon, QMessageBox::Critical);
        QCOMPARE(CMessageBox::Last().text,
                 QStringLiteral("bad.ics: nothing was imported: line 4 cannot be read: "
                                "DTSTART:hello"));
        QCOMPARE(Content(), before);

        // A calendar file that cannot be written: said so, with the path.
        ChooseFileFor("exportCalendar", PathOf("no/such/folder/tasks.ics"));
        QCOMPARE(CMessageBox::Last().icon, QMessageBox::Critical);
        QVERIFY(CMessageBox::Last().text.startsWith("The calendar file could not be written:"));
    }

    void aCancelledDialogDoesNothing() {
        Start();
        const std::string before = Content();
        for (const char* action : {"importCalendar", "exportCalendar"}) {
            ChooseFileFor(action, QString());
        }
        QCOMPARE(CMessageBox::Count(), 0);
        QCOMPARE(Content(), before);
    }
};

QTEST_MAIN(TestCalendarCommands)
#include "tst_calendarcommands.moc"
