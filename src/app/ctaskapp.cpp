#include "app/ctaskapp.h"

#include <QSettings>
#include <QSystemTrayIcon>
#include <memory>

#include "app/singlecopyguard.h"
#include "calendar/ctime.h"
#include "mainwnd/maindlg.h"
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
    CMainDlg dlg(store, clock, FindProgramFolders(QCoreApplication::applicationDirPath()),
                 QSystemTrayIcon::isSystemTrayAvailable());
    connect(&guard, &CSingleCopyGuard::ActivationRequested, &dlg, &CMainDlg::BringToFront);
    connect(&dlg, &CMainDlg::ExitConfirmed, this, [] { QCoreApplication::exit(0); });

    dlg.OnInitDialog();
    return exec();
}
