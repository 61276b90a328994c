// Task file access on files of 1,000 to 100,000 tasks. The one-pass read should stay within
// three times the cost of merely reading the file's lines with std::getline, which reuses
// its one string just as ReadAllTasks reuses the records of the vector it is given.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

namespace fs = std::filesystem;

// Task files made once per size in a folder of their own, removed at the end of the run.
class BenchFiles {
public:
    BenchFiles() {
        m_dir = fs::temp_directory_path() /
                ("marmoset-bench-" + std::to_string(std::random_device{}()));
        fs::create_directories(m_dir);
    }
    ~BenchFiles() {
        std::error_code error;
        fs::remove_all(m_dir, error);
    }
    BenchFiles(const BenchFiles&) = delete;
    BenchFiles& operator=(const BenchFiles&) = delete;

    // Points the task file at a file of count tasks, writing it on first use.
    void Use(int count) {
        const fs::path path = m_dir / ("tasks" + std::to_string(count));
        if (m_written.insert({count, true}).second) {
            std::mt19937 random(static_cast<unsigned>(count));
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            for (int i = 1; i <= count; ++i) {
                const int month = static_cast<int>(random() % 12) + 1;
                const int day = static_cast<int>(random() % 28) + 1;
                const int recurrence = i % 5 == 0 ? 31 + i % 7 : i % 3;
                file << FormatTaskLine(1999 + i % 38, month, day, i % 31, i % 5, recurrence,
                                       "Task number " + std::to_string(i),
                                       i % 4 == 0 ? "(none)" : "Bring the list and the keys",
                                       i % 24 + 1);
                if (i % 100 == 0) {
                    file << "\r\n";
                }
            }
        }
        g_szTaskFilePath = path.string();
    }

private:
    fs::path m_dir;
    std::map<int, bool> m_written;
};

BenchFiles& Files() {
    static BenchFiles files;
    return files;
}

void BM_GetlineBaseline(benchmark::State& state) {
    Files().Use(static_cast<int>(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        std::ifstream file(g_szTaskFilePath, std::ios::binary);
        std::string line;
        int lines = 0;
        while (std::getline(file, line)) {
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
}

void BM_CountTasks(benchmark::State& state) {
    Files().Use(static_cast<int>(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        benchmark::DoNotOptimize(CountTasks());
    }
}

void BM_ReadAllTasks(benchmark::State& state) {
    Files().Use(static_cast<int>(state.range(0)));
    std::vector<TaskRecord> tasks;
    for ([[maybe_unused]] auto _ : state) {
        ReadAllTasks(tasks);
        benchmark::DoNotOptimize(tasks.data());
    }
    state.counters["tasks"] = static_cast<double>(tasks.size());
}

// The same into a new vector each time, as a caller that keeps nothing between reads does.
void BM_ReadAllTasksNewVector(benchmark::State& state) {
    Files().Use(static_cast<int>(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        std::vector<TaskRecord> tasks;
        ReadAllTasks(tasks);
        benchmark::DoNotOptimize(tasks.data());
    }
}

void BM_WriteBackMiddleTask(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Files().Use(count);
    for ([[maybe_unused]] auto _ : state) {
        // Moves the middle task to the end; the file keeps its size.
        const std::string line = ReadTaskLine(count / 2).value_or("");
        if (WriteBackTask(count / 2, line) != kDone) {
            state.SkipWithError("write-back failed");
            break;
        }
    }
}

// Every field of every task through the readers that each re-read the file.
void BM_FieldReadersAllTasks(benchmark::State& state) {
    Files().Use(static_cast<int>(state.range(0)));
    for ([[maybe_unused]] auto _ : state) {
        const int count = CountTasks();
        long long sum = 0;
        for (int n = 1; n <= count; ++n) {
            sum += DateTextYear(GetTaskDateText(n)) + GetTaskAdvanceDays(n) + GetTaskStatus(n) +
                   GetTaskRecurrence(n) + static_cast<long long>(GetTaskTitle(n).size()) +
                   static_cast<long long>(GetTaskNote(n).size()) + GetTaskHour(n);
        }
        benchmark::DoNotOptimize(sum);
    }
}

}  // namespace

BENCHMARK(BM_GetlineBaseline)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountTasks)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAllTasks)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAllTasksNewVector)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBackMiddleTask)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FieldReadersAllTasks)->Arg(1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
