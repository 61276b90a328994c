// The poll over large task files, side by side with the floor: one plain std::getline pass over
// the same file. The window keeps one poller and shows the table each poll hands it, and so do
// these benchmarks; "allocs/poll" and "faults/poll" show what a poll asks of the heap and of
// the system once its buffers are made.
//
//   BM_GetlineFloor         the floor
//   BM_PollChangedFile      a full poll: the first task's title changes before each one
//   BM_PollTouchedFile      a poll of a file saved again unchanged (new time stamp only)
//   BM_PollUnchangedFile    a poll of a file that has not changed since the last one
//   BM_PollGrowingFile      full polls of a file that grows by a hundred tasks each time
//
// Run alone (--benchmark_filter=PollChangedFile/100000) and in the full run, where the
// 100,000-task poll follows polls of smaller files in the same process.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>

#include "heapcounter.h"
#include "reminder/taskpoller.h"
#include "reminder/tasktable.h"
#include "tasks/filestamp.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

#ifdef __linux__
#include <sys/resource.h>
#endif

namespace {

namespace fs = std::filesystem;

long MinorFaults() {
#ifdef __linux__
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
#else
    return 0;
#endif
}

// The window side of a poll: the table shown is kept, as the main window keeps it, and no
// reminder is due.
class BenchHost final : public IPollHost {
public:
    explicit BenchHost(CTime now) : m_now(now) {}
    CTime Now() override { return m_now; }
    ReminderAnswer AskReminder(const ReminderRequest&) override {
        ++m_nReminders;
        return ReminderAnswer::None;
    }
    void ShowTaskDetails(const TaskRef&) override {}
    void ShowRows(std::shared_ptr<const CTaskTable> rows) override { m_pShown = std::move(rows); }
    void ShowError(std::string_view, std::string_view) override { ++m_nErrors; }

    std::shared_ptr<const CTaskTable> m_pShown;
    int m_nReminders = 0;
    int m_nErrors = 0;

private:
    CTime m_now;
};

// The hour every poll classifies against: none of the tasks is due yet.
CTime PollTime() {
    return CTime::FromLocal(2026, 6, 14, 10, 25);
}

// Task files in a folder of their own, removed at the end of the run: spread over the coming
// years with a mix of advance notice, recurrences and statuses, and an empty line now and then.
class BenchFiles {
public:
    BenchFiles() {
        m_dir = fs::temp_directory_path() /
                ("marmoset-bench-poll-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    ~BenchFiles() {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    BenchFiles(const BenchFiles&) = delete;
    BenchFiles& operator=(const BenchFiles&) = delete;

    // The task file of count tasks under name, written on first use.
    CTaskFile Use(const std::string& name, int count) {
        const fs::path path = m_dir / (name + std::to_string(count));
        if (m_written.insert({path.string(), true}).second) {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            Append(out, 0, count);
        }
        return CTaskFile(path.string());
    }

    static void Append(std::ostream& out, int from, int count) {
        for (int i = from; i < from + count; ++i) {
            const int status = i % 7 == 0 ? 1 : (i % 11 == 0 ? 3 : 0);
            const int recurrence = i % 5 == 0 ? 31 + i % 7 : i % 3;
            out << FormatTaskLine(2030 + i % 8, 1 + i % 12, 1 + i % 28, i % 4 == 0 ? i % 31 : 0,
                                  status, recurrence, "Task number " + std::to_string(i),
                                  i % 2 == 0 ? "(none)" : "Something to remember about it",
                                  1 + i % 24);
            if (i % 100 == 99) {
                out << "\r\n";
            }
        }
    }

private:
    fs::path m_dir;
    std::map<std::string, bool> m_written;
};

BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

// Gives the task file a new modification time (its change time becomes now), as a save that
// leaves the content as it was would.
void Touch(const CTaskFile& file, int nTimes) {
    const auto when = fs::file_time_type::clock::now() - std::chrono::hours(1) +
                      std::chrono::microseconds(nTimes);
    fs::last_write_time(file.Path(), when);
}

// Changes the first task's title in place, from "Task" to "task" and back.
void ChangeFirstTitle(const CTaskFile& taskFile, int nTimes) {
    std::fstream file(taskFile.Path(), std::ios::binary | std::ios::in | std::ios::out);
    std::string start(200, '\0');
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    file.clear();
    file.seekp(static_cast<std::streamoff>(start.find("ask number") - 1));
    file.put(nTimes % 2 == 0 ? 'T' : 't');
}

// Waits until the task file's last change lies clearly behind, as it does for a file the
// user saved minutes ago; a poll trusts the stamp of a file changed just before it only later.
void LetTheFileSettle(const CTaskFile& taskFile) {
    std::FILE* file = std::fopen(taskFile.Path().c_str(), "rb");
    FileStamp stamp;
    const bool bStamped = file != nullptr && ReadFileStamp(file, stamp);
    if (file != nullptr) {
        (void)std::fclose(file);
    }
    if (!bStamped) {
        return;
    }
    const std::int64_t settled =
        std::max(stamp.modifiedNs, stamp.changedNs) + CPollSkipRule::kRacyNs + 100'000'000;
    const std::int64_t now = SystemFileClock().NowNs();
    if (settled > now) {
        std::this_thread::sleep_for(std::chrono::nanoseconds(settled - now));
    }
}

void ReportHeap(benchmark::State& state, std::size_t allocations, long faults) {
    const auto polls = static_cast<double>(state.iterations());
    state.counters["allocs/poll"] = static_cast<double>(allocations) / polls;
    state.counters["faults/poll"] = static_cast<double>(faults) / polls;
}

void BM_GetlineFloor(benchmark::State& state) {
    const CTaskFile taskFile = Files().Use("tasks", static_cast<int>(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        std::ifstream file(taskFile.Path(), std::ios::binary);
        std::string line;
        int lines = 0;
        while (std::getline(file, line)) {
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Full polls, each after a change of the file made by change(n).
template <typename Change>
void PollAfterChanges(benchmark::State& state, const Change& change) {
    const int count = static_cast<int>(state.range(0));
    const CTaskFile file = Files().Use("tasks", count);
    CTaskPoller poller(file);
    BenchHost host(PollTime());
    poller.Poll(host);
    int nChanges = 0;
    std::size_t allocations = 0;
    long faults = 0;
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        change(file, ++nChanges);
        const std::size_t allocationsBefore = heapcounter::Allocations();
        const long faultsBefore = MinorFaults();
        state.ResumeTiming();

        benchmark::DoNotOptimize(poller.Poll(host));

        state.PauseTiming();
        allocations += heapcounter::Allocations() - allocationsBefore;
        faults += MinorFaults() - faultsBefore;
        if (poller.LastPollSkipped() || host.m_pShown->size() != static_cast<size_t>(count) ||
            host.m_nReminders != 0 || host.m_nErrors != 0) {
            state.SkipWithError("the poll did not read and list every task");
            break;
        }
        state.ResumeTiming();
    }
    ChangeFirstTitle(file, 0);
    ReportHeap(state, allocations, faults);
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_PollChangedFile(benchmark::State& state) {
    PollAfterChanges(state, ChangeFirstTitle);
}

void BM_PollTouchedFile(benchmark::State& state) {
    PollAfterChanges(state, Touch);
}

void BM_PollUnchangedFile(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const CTaskFile file = Files().Use("tasks", count);
    LetTheFileSettle(file);
    CTaskPoller poller(file);
    BenchHost host(PollTime());
    poller.Poll(host);
    const std::size_t allocationsBefore = heapcounter::Allocations();
    const long faultsBefore = MinorFaults();
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(poller.Poll(host));
    }
    ReportHeap(state, heapcounter::Allocations() - allocationsBefore, MinorFaults() - faultsBefore);
    if (!poller.LastPollSkipped() || host.m_pShown->size() != static_cast<size_t>(count)) {
        state.SkipWithError("the poll read the unchanged file");
    }
}

// Full polls of a file that grows by 100 tasks before each one, from the size given.
void BM_PollGrowingFile(benchmark::State& state) {
    int count = static_cast<int>(state.range(0));
    const CTaskFile file = Files().Use("growing", count);
    CTaskPoller poller(file);
    BenchHost host(PollTime());
    poller.Poll(host);
    std::size_t allocations = 0;
    long faults = 0;
    std::int64_t polled = 0;
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        {
            std::ofstream out(file.Path(), std::ios::binary | std::ios::app);
            BenchFiles::Append(out, count, 100);
        }
        count += 100;
        const std::size_t allocationsBefore = heapcounter::Allocations();
        const long faultsBefore = MinorFaults();
        state.ResumeTiming();

        benchmark::DoNotOptimize(poller.Poll(host));

        state.PauseTiming();
        allocations += heapcounter::Allocations() - allocationsBefore;
        faults += MinorFaults() - faultsBefore;
        polled += count;
        if (host.m_pShown->size() != static_cast<size_t>(count)) {
            state.SkipWithError("the poll did not list every task");
            break;
        }
        state.ResumeTiming();
    }
    ReportHeap(state, allocations, faults);
    state.counters["tasks at end"] = count;
    state.SetItemsProcessed(polled);
}

BENCHMARK(BM_GetlineFloor)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollChangedFile)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollTouchedFile)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollUnchangedFile)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PollGrowingFile)->Arg(100000)->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
