// Calendar export and import of 10,000 and 100,000 tasks, side by side with libical's own parse
// of the same calendar file (the floor: no exchange can read a calendar faster than libical
// does) and with the plain rewrite of the task file. Targets: an export within 2 times the
// floor; an import within 2 times the floor plus one plain rewrite. Times are real times: the
// import and the rewrite end with the file flushed to the disk. Run in New York time, so that
// every event carries a zone.

#include <benchmark/benchmark.h>
#include <libical/ical.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <string>

#include "benchfiles.h"
#include "ical/icalexport.h"
#include "ical/taskimport.h"
#include "tasks/taskfile.h"

namespace {

const CTime kNow = CTime(1803754800);

// The calendar that exporting the task file of count tasks gives, made once per size.
const std::string& CalendarOf(int count) {
    static std::map<int, std::string> calendars;
    auto [at, bNew] = calendars.try_emplace(count);
    if (bNew) {
        CalendarExport calendar;
        (void)ExportTaskFile(CTaskFile(Files().Use(count)), kNow, calendar);
        at->second = std::move(calendar.text);
    }
    return at->second;
}

int Tasks(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

void BM_LibicalParse(benchmark::State& state) {
    const std::string& text = CalendarOf(Tasks(state));
    for ([[maybe_unused]] auto _ : state) {
        icalcomponent* calendar = icalparser_parse_string(text.c_str());
        benchmark::DoNotOptimize(calendar);
        icalcomponent_free(calendar);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}

void BM_Export(benchmark::State& state) {
    const CTaskFile file(Files().Use(Tasks(state)));
    for ([[maybe_unused]] auto _ : state) {
        CalendarExport calendar;
        if (ExportTaskFile(file, kNow, calendar) != kDone) {
            state.SkipWithError("the export failed");
            break;
        }
        benchmark::DoNotOptimize(calendar.text.data());
    }
}

void BM_Import(benchmark::State& state) {
    const std::string& text = CalendarOf(Tasks(state));
    const CTaskFile work((Files().Dir() / "import").string());
    for ([[maybe_unused]] auto _ : state) {
        state.PauseTiming();
        std::ofstream(work.Path(), std::ios::binary | std::ios::trunc).close();
        state.ResumeTiming();
        const ImportReport report = ImportCalendar(work, text, kNow);
        if (!report.bImported || report.nAdded != Tasks(state)) {
            state.SkipWithError("the import failed");
            break;
        }
    }
}

void BM_PlainRewrite(benchmark::State& state) {
    const std::string original = Files().Use(Tasks(state));
    const CTaskFile work((Files().Dir() / "rewrite").string());
    std::filesystem::copy_file(original, work.Path(),
                               std::filesystem::copy_options::overwrite_existing);
    for ([[maybe_unused]] auto _ : state) {
        if (!PlainRewrite(work)) {
            state.SkipWithError("the rewrite failed");
            break;
        }
    }
}

}  // namespace

// Each size in turn, its four measures side by side.
BENCHMARK(BM_LibicalParse)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Export)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Import)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainRewrite)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    setenv("TZ", "America/New_York", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
