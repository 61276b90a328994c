#pragma once

#include <functional>
#include <future>

#include "app/focusring.h"
#include "app/straykeyfilter.h"
#include "mainwnd/calendarcommands.h"
#include "mainwnd/maincommands.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/taskfilewatcher.h"
#include "platform/programfolders.h"
#include "platform/settingsstore.h"
#include "reminder/pollrunner.h"
#include "tasks/taskfile.h"

class IClock;

// One running copy of the program, put together in the order start-up needs: the keys kept in
// the windows they were pressed in and the focus shown in them, the settings, the task file (its
// place, an installed copy's first one, and what a killed rewrite left), the polls and the file
// watcher, then the window and the command controllers beside it. The application object makes it
// once the single-copy guard has let it run; tests make it the same way.
class CTaskProgram {
public:
    // store and clock must outlive the program; isTrayAvailable says whether the desktop shows
    // tray icons (CMainDlg).
    CTaskProgram(CSettingsStore& store, const IClock& clock, const ProgramFolders& folders,
                 std::function<bool()> isTrayAvailable);

    // The window's place and clock, the first poll (whose reminders come before the window
    // shows), then the tray icon and the window as the start-up mode says.
    void Start();

    CMainDlg& Window() { return m_window; }

private:
    CStrayKeyFilter m_keys;
    CFocusRing m_focusRing;
    const LoadedSettings m_loaded;
    // The one task file object: every poll, command and editor write goes through it.
    const CTaskFile m_taskFile;
    CPollRunner m_polls;
    // The first poll's reading of the task file, on a thread of its own while the window is
    // built: a large file takes about as long as the window. Done by the first poll.
    std::future<void> m_readAhead;
    CTaskFileWatcher m_watcher;
    CMainDlg m_window;
    CMainCommands m_commands;
    CCalendarCommands m_calendar;
};
