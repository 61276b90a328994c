#include "app/ctaskapp.h"

#include <QSettings>
#include <QSystemTrayIcon>
#include <memory>

#include "app/singlecopyguard.h"
#include "app/taskprogram.h"
#include "calendar/ctime.h"
#include "platform/programfolders.h"
#include "platform/settingsstore.h"
#include "res/images.h"
#include "res/strings.h"

CTaskApp::CTaskApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromLatin1(Str::AppTitle));
    // The desktop matches the windows with the menu entry "marmoset-task.desktop".
    setDesktopFileName(QStringLiteral("marmoset-task"));
    // Every window of the program, the reminders and message boxes included, shows its icon.
    setWindowIcon(AppIcon());
    // The window hides into the tray and reminders close on their own; neither ends the
    // program, only the exit question does.
    setQuitOnLastWindowClosed(false);
    // The menu bar is part of the window on every desktop, also where the desktop could show
    // it in a bar of its own: the window is designed with it, and asking the desktop's message
    // bus about such a bar would hold up the first window.
    setAttribute(Qt::AA_DontUseNativeMenuBar);
}

int CTaskApp::Run() {
    // Before any setting is read or the task file touched: a second copy only asks the
    // running one to come forward.
    CSingleCopyGuard guard(CSingleCopyGuard::NameFor(QString::fromLatin1(Str::AppTitle)));
    if (!guard.TryBecomeFirst()) {
        return 0;
    }

    const std::unique_ptr<QSettings> pSettings = OpenProgramSettings();
    CSettingsStore store(*pSettings);
    const CSystemClock clock;
    CTaskProgram program(store, clock, FindProgramFolders(QCoreApplication::applicationDirPath()),
                         &QSystemTrayIcon::isSystemTrayAvailable);
    CMainDlg& window = program.Window();
    connect(&guard, &CSingleCopyGuard::ActivationRequested, &window, &CMainDlg::BringToFront);
    connect(&window, &CMainDlg::ExitConfirmed, this, [] { QCoreApplication::exit(0); });

    program.Start();
    return exec();
}
