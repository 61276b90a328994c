// How long the main window goes without answering while it polls a large task file. A timer
// asks for the window's attention every millisecond; the longest gap between two of its calls
// around a poll is the time the window could not have answered a click or a key. The real
// window runs over a task file in a temporary program folder, polled by Refresh:
//
//   unchanged   nothing changed since the last poll
//   touched     the file was saved again as it was (new time stamp, same content)
//   changed     one task's title changed (the list is rebuilt)
//
//   bench_window [counts] [polls]        e.g. bench_window 10000,100000,1000000 15
//
// Needs a display: run it under xvfb-run, or with QT_QPA_PLATFORM=offscreen.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/taskprogram.h"
#include "calendar/ctime.h"
#include "platform/settingsstore.h"
#include "reminder/pollskiprule.h"
#include "tasks/taskline.h"

namespace {

namespace fs = std::filesystem;

// Writes count tasks, none of them due for years, and returns where the title of the middle
// one starts.
std::streamoff WriteTasks(const std::string& path, int count) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::streamoff middleTitle = 0;
    for (int i = 0; i < count; ++i) {
        const std::string line =
            FormatTaskLine(2035 + i % 3, 1 + i % 12, 1 + i % 28, i % 4 == 0 ? i % 31 : 0,
                           i % 7 == 0 ? 1 : 0, i % 5 == 0 ? 31 + i % 7 : i % 3,
                           "Task number " + std::to_string(i), "(none)", 1 + i % 24);
        if (i == count / 2) {
            middleTitle = out.tellp() + static_cast<std::streamoff>(line.find("Task number"));
        }
        out << line;
    }
    return middleTitle;
}

// Runs the event loop for the given time while the probe notes the longest gap between its
// calls.
class CProbe {
public:
    CProbe() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            m_nLongest = std::max(m_nLongest, now - m_nLast);
            m_nLast = now;
        });
        m_clock.start();
        m_timer.start();
    }

    void Reset() {
        m_nLast = m_clock.nsecsElapsed();
        m_nLongest = 0;
    }
    double LongestMs() const { return static_cast<double>(m_nLongest) / 1e6; }

    static void Run(int ms) {
        QElapsedTimer spent;
        spent.start();
        while (spent.elapsed() < ms) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_nLast = 0;
    qint64 m_nLongest = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QStringList counts =
        (args.size() > 1 ? args[1] : QStringLiteral("10000,100000,1000000")).split(',');
    const int polls = args.size() > 2 ? args[2].toInt() : 15;

    std::printf("%9s %-10s %14s %14s %14s\n", "tasks", "file", "first poll ms", "median ms",
                "longest ms");
    for (const QString& countText : counts) {
        const int count = countText.toInt();
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/";
        const std::string taskFile = folder + "nkdat";
        const std::streamoff middleTitle = WriteTasks(taskFile, count);
        QSettings ini(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
        CSettingsStore store(ini);
        store.WriteValue(SettingKey::Poll, "3600");  // only the polls asked for here
        store.WriteValue(SettingKey::Sound, "0");
        store.WriteValue(SettingKey::Startup, "3");
        const CSystemClock clock;

        QElapsedTimer started;
        started.start();
        CTaskProgram program(store, clock, PortableFolders(folder), [] { return false; });
        program.Start();
        QAction* refresh = program.Window().findChild<QAction*>(QStringLiteral("refresh"));
        const double firstPollMs = static_cast<double>(started.nsecsElapsed()) / 1e6;
        CProbe probe;
        CProbe::Run(500);
        // A file saved this recently is read again by every poll; let it settle first.
        std::this_thread::sleep_for(std::chrono::nanoseconds(CPollSkipRule::kRacyNs));
        refresh->trigger();
        CProbe::Run(200);

        for (const char* mode : {"unchanged", "touched", "changed"}) {
            std::vector<double> stalls;
            for (int i = 0; i < polls; ++i) {
                if (std::string(mode) == "touched") {
                    fs::last_write_time(taskFile, fs::file_time_type::clock::now());
                } else if (std::string(mode) == "changed") {
                    std::fstream file(taskFile, std::ios::binary | std::ios::in | std::ios::out);
                    file.seekp(middleTitle);
                    file.put(i % 2 == 0 ? 't' : 'T');
                }
                CProbe::Run(50);
                probe.Reset();
                QTimer::singleShot(0, refresh, &QAction::trigger);
                CProbe::Run(250);
                stalls.push_back(probe.LongestMs());
            }
            std::printf("%9d %-10s %14.1f %14.1f %14.1f\n", count, mode, firstPollMs,
                        Median(stalls), *std::max_element(stalls.begin(), stalls.end()));
            (void)std::fflush(stdout);
        }
    }
    return 0;
}
