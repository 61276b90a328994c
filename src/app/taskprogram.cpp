#include "app/taskprogram.h"

#include <utility>

#include "tasks/taskfile.h"
#include "tasks/taskfilerewrite.h"

namespace {

// The settings, and the task file they name, made ready before anything reads the file.
LoadedSettings LoadSettingsAndTaskFile(CSettingsStore& store, const ProgramFolders& folders) {
    LoadedSettings loaded = LoadSettings(store, folders.taskFolder);
    // From here on every task file operation works on this file.
    g_szTaskFilePath = loaded.taskFilePath;
    if (folders.bFirstStart) {
        // An installed program's first start: an empty list rather than a missing file. A
        // failure shows at the first poll, which names the path.
        CreateFirstTaskFile(loaded.taskFilePath);
    }
    // No other copy runs, so a temporary file beside the task file is a killed rewrite's.
    RemoveLeftoverTempFile();
    return loaded;
}

}  // namespace

CTaskProgram::CTaskProgram(CSettingsStore& store, const IClock& clock,
                           const ProgramFolders& folders, std::function<bool()> isTrayAvailable)
    : m_loaded(LoadSettingsAndTaskFile(store, folders)),
      m_readAhead(std::async(std::launch::async,
                             [this, now = clock.GetCurrentTime()] { m_polls.ReadAhead(now); })),
      m_watcher(m_polls),
      m_window(store, clock, m_polls, std::move(isTrayAvailable)),
      m_commands(m_window, m_polls, store, clock, m_loaded, folders.helpFolder) {
    m_watcher.Watch(m_loaded.taskFilePath);
    // Another program changed the task file: the list follows, as after Refresh.
    QObject::connect(&m_watcher, &CTaskFileWatcher::ChangedOutside, &m_commands,
                     &CMainCommands::RefreshSoon);
}

void CTaskProgram::Start() {
    m_window.RestorePlacement();
    m_window.StartClock();
    // Reminders due now are raised here, before the window is first shown.
    m_readAhead.wait();
    m_commands.Refresh();
    m_window.ShowAtStart(m_loaded.nStartupMode);
}
