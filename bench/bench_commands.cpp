// Each maintenance command and each sort on files of 10,000 and 100,000 tasks, against the plain
// rewrite of the same file: read all its lines, write them to the temporary file, flush it to the
// disk and rename it over the task file. Targets: a command within 1.5 times the plain rewrite, a
// sort within 2 times it. The heap counter gives the most memory an operation held at once,
// against the file's size: it must grow with the file, never by a fixed-size table.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "benchfiles.h"
#include "heapcounter.h"
#include "tasks/filesync.h"
#include "tasks/taskcommands.h"
#include "tasks/taskfile.h"
#include "tasks/taskline.h"
#include "tasks/tasksort.h"

namespace {

// The number of tasks a benchmark runs on: its last argument.
int Tasks(const benchmark::State& state) {
    return static_cast<int>(state.range(state.range(0) < 10 ? 1 : 0));
}

// Runs an operation on a fresh copy of the task file each time.
void RunOnCopy(benchmark::State& state, const std::function<int(const CTaskFile&)>& operation) {
    const std::string original = Files().Use(Tasks(state));
    const CTaskFile work((Files().Dir() / "work").string());
    const auto fileBytes = static_cast<double>(std::filesystem::file_size(original));
    double peak = 0;
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        std::filesystem::copy_file(original, work.Path(),
                                   std::filesystem::copy_options::overwrite_existing);
        const std::size_t before = heapcounter::BytesNow();
        heapcounter::ResetPeak();
        state.ResumeTiming();

        const int result = operation(work);

        state.PauseTiming();
        peak = std::max(peak, static_cast<double>(heapcounter::PeakBytes() - before));
        if (result != kDone) {
            state.SkipWithError("the operation failed");
        }
        state.ResumeTiming();
    }
    state.counters["heap/file"] = peak / fileBytes;
}

// The middle task, as a list row names it.
TaskRef MiddleTask(const benchmark::State& state) {
    const int count = Tasks(state);
    TaskFileLines file;
    (void)CTaskFile(Files().Use(count)).Load(file, MissingTaskFile::Fail);
    int nTasks = 0;
    for (const std::string_view line : file.lines) {
        if (NumberLine(line, nTasks) == count / 2) {
            return TaskRef{ParseTaskLine(line), count / 2};
        }
    }
    return {};
}

void BM_PlainRewrite(benchmark::State& state) {
    RunOnCopy(state,
              [](const CTaskFile& file) { return PlainRewrite(file) ? kDone : kCannotReplace; });
}

void BM_DeleteSelection(benchmark::State& state) {
    const TaskRef task = MiddleTask(state);
    RunOnCopy(state, [&](const CTaskFile& file) { return DeleteTask(file, task); });
}

void BM_MarkForDeletion(benchmark::State& state) {
    const TaskRef task = MiddleTask(state);
    // A task that is marked already is kept as new instead, so that there is always a change.
    const int status = task.record.status == ToInt(TaskStatus::ToDelete)
                           ? ToInt(TaskStatus::Future)
                           : ToInt(TaskStatus::ToDelete);
    RunOnCopy(state, [&](const CTaskFile& file) { return SetTaskStatus(file, task, status); });
}

void BM_InsertDuplicate(benchmark::State& state) {
    const TaskRef task = MiddleTask(state);
    RunOnCopy(state, [&](const CTaskFile& file) { return DuplicateTask(file, task); });
}

void BM_DeleteMarkedTasks(benchmark::State& state) {
    RunOnCopy(state, DeleteMarkedTasks);
}

void BM_DeletePastTasks(benchmark::State& state) {
    RunOnCopy(state, DeletePastTasks);
}

void BM_CompactDatabase(benchmark::State& state) {
    RunOnCopy(state, CompactTaskFile);
}

void BM_Sort(benchmark::State& state) {
    const auto sort = static_cast<TaskSort>(state.range(0));
    RunOnCopy(state, [sort](const CTaskFile& file) { return SortTaskFile(file, sort); });
}

}  // namespace

BENCHMARK(BM_PlainRewrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteSelection)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkForDeletion)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertDuplicate)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteMarkedTasks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeletePastTasks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompactDatabase)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sort)
    ->ArgNames({"sort", "tasks"})
    ->ArgsProduct({{static_cast<int>(TaskSort::DateDescending),
                    static_cast<int>(TaskSort::DateAscending), static_cast<int>(TaskSort::Status),
                    static_cast<int>(TaskSort::Recurrence)},
                   {10000, 100000}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
