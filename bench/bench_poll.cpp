#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "reminder/poll.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

// Collects rows into a vector, as the main window does, and raises no reminder.
class BenchHost final : public IPollHost {
public:
    explicit BenchHost(CTime now) : m_now(now) {}
    CTime Now() override { return m_now; }
    ReminderAnswer AskReminder(const ReminderRequest&) override { return ReminderAnswer::None; }
    void ShowTaskDetails(const TaskRef&) override {}
    void BeginRows(std::size_t count) override { m_rows.reserve(count); }
    void AddRow(TaskRow row) override { m_rows.push_back(std::move(row)); }
    void ShowError(std::string_view, std::string_view) override {}

    std::vector<TaskRow> m_rows;

private:
    CTime m_now;
};

// A task file of `count` tasks spread over the coming years, none of them due yet, with a mix
// of advance notice, recurrences and statuses.
class BenchFile {
public:
    explicit BenchFile(int count) {
        m_path = std::filesystem::temp_directory_path() /
                 ("marmoset-bench-" + std::to_string(count) + "-nkdat");
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        for (int i = 0; i < count; ++i) {
            const int status = i % 7 == 0 ? 1 : (i % 11 == 0 ? 3 : 0);
            const int recurrence = i % 5 == 0 ? 31 + i % 7 : i % 3;
            out << FormatTaskLine(2030 + i % 8, 1 + i % 12, 1 + i % 28, i % 4 == 0 ? i % 31 : 0,
                                  status, recurrence, "Task number " + std::to_string(i),
                                  i % 2 == 0 ? "(none)" : "Something to remember about it",
                                  1 + i % 24);
        }
        g_szTaskFilePath = m_path.string();
    }
    ~BenchFile() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    BenchFile(const BenchFile&) = delete;
    BenchFile& operator=(const BenchFile&) = delete;

private:
    std::filesystem::path m_path;
};

void BM_PollWithoutReminder(benchmark::State& state) {
    const BenchFile file(static_cast<int>(state.range(0)));
    const CTime now = CTime::FromLocal(2026, 6, 14, 10, 25);
    for ([[maybe_unused]] auto _ : state) {
        BenchHost host(now);
        benchmark::DoNotOptimize(PollTaskFile(host));
        if (host.m_rows.size() != static_cast<std::size_t>(state.range(0))) {
            state.SkipWithError("the poll did not list every task");
        }
        benchmark::DoNotOptimize(host.m_rows.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_ReadAllTaskLines(benchmark::State& state) {
    const BenchFile file(static_cast<int>(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        std::vector<TaskLine> lines;
        benchmark::DoNotOptimize(ReadAllTaskLines(lines));
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The records alone, as the poll reads them.
void BM_ReadAllTasks(benchmark::State& state) {
    const BenchFile file(static_cast<int>(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        std::vector<TaskRecord> tasks;
        benchmark::DoNotOptimize(ReadAllTasks(tasks));
        benchmark::DoNotOptimize(tasks.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ReadAllTasks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAllTaskLines)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollWithoutReminder)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
