// Task file access on files of 1,000 to 100,000 tasks. The one-pass read should stay within
// three times the cost of merely reading the file's lines with std::getline, which reuses
// its one string just as ReadAllTasks reuses the records of the vector it is given.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "benchfiles.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"

namespace {

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
