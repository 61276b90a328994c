#include "app/taskprogram.h"

#include <string>
#include <utility>

#include "platform/programfolders.h"

namespace {

// The task file the settings name, made ready before anything reads it.
CTaskFile PrepareTaskFile(const std::string& path, bool bFirstStart) {
    CTaskFile file(path);
    if (bFirstStart) {
        // An installed program's first start: an empty list rather than a missing file. A
        // failure shows at the first poll, which names the path.
        CreateFirstTaskFile(file.Path());
    }
    // A temporary file beside the task file is a killed rewrite's; one that another program's
    // rewrite has under way is left alone, as it is looked for under the writers' lock.
    file.RemoveLeftoverTempFile();
    return file;
}

}  // namespace

CTaskProgram::CTaskProgram(CSettingsStore& store, const IClock& clock,
                           const ProgramFolders& folders, std::function<bool()> isTrayAvailable)
    : m_loaded(LoadSettings(store, folders.taskFolder)),
      m_taskFile(PrepareTaskFile(m_loaded.taskFilePath, folders.bFirstStart)),
      m_polls(m_taskFile),
      m_readAhead(std::async(std::launch::async,
                             [this, now = clock.GetCurrentTime()] { m_polls.ReadAhead(now); })),
      m_watcher(m_polls),
      m_window(store, clock, m_polls, std::move(isTrayAvailable)),
      m_commands(m_window, m_taskFile, m_polls, store, clock, m_loaded, folders.helpFolder),
      m_calendar(m_window, m_taskFile, clock, [this] { m_commands.Refresh(); }) {
    m_watcher.Watch(m_taskFile.Path());
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
