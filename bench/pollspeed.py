#!/usr/bin/env python3
"""The poll's speed, memory and the window's answering, side by side in one run.

Runs, one after the other on the same machine:
  bench_poll            polls of 10,000 to 1,000,000 tasks against a std::getline pass over
                        the same file, polls of files saved again unchanged and of unchanged
                        files, and the 100,000-task poll alone in a process of its own (no
                        smaller polls before it);
  bench_window          the window's longest stall while polling 100,000 tasks (under Xvfb);
  startup_idle.py       start to window and resident memory at 100,000 tasks beside bare Qt;
and prints one table of the figures with their ratios. Each bench_poll run is a process of its
own, and figures differ more between processes than within one, so it runs --runs times; a
ratio is taken within each run (the floor measured in the same process) and the median of the
runs is shown, each run itself the median of --repeat repetitions.

    bench/pollspeed.py [--build build-release] [--runs 3] [--repeat 5] [--starts 7]

Needs what bench_window and startup_idle.py need (xvfb, x11-utils).
"""
import argparse
import json
import os
import statistics
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def run_bench_poll(binary, repeat, extra):
    out = subprocess.run([binary, f"--benchmark_repetitions={repeat}", "--benchmark_format=json"]
                         + extra, capture_output=True, text=True, check=True).stdout
    times = {}
    for bench in json.loads(out)["benchmarks"]:
        if bench.get("run_type") == "iteration" and "error_occurred" not in bench:
            scale = {"ms": 1e-3, "us": 1e-6, "ns": 1e-9}[bench["time_unit"]]
            times.setdefault(bench["run_name"], []).append(bench["real_time"] * scale)
    return {name: statistics.median(values) for name, values in times.items()}


def run_window(binary, repeat):
    out = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", binary, "100000",
                          str(max(repeat * 3, 9))], capture_output=True, text=True,
                         check=True).stdout
    rows = {}
    for line in out.splitlines()[1:]:
        tasks, mode, first, median, longest = line.split()
        rows[mode] = (float(median), float(longest))
    return rows


def run_startup(build, starts):
    out = subprocess.run([sys.executable, os.path.join(HERE, "startup_idle.py"), "--build", build,
                          "--tasks", "100000", "--idle", "10", "--starts", str(starts)],
                         capture_output=True, text=True, check=True).stdout
    rows = {}
    for line in out.splitlines()[1:]:
        parts = line.split()
        name = " ".join(parts[1:-3])
        rows[name] = tuple(float(p) for p in parts[-3:])
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-release")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--starts", type=int, default=7)
    args = parser.parse_args()
    bin_dir = os.path.join(args.build, "bin")

    print(f"load before: {os.getloadavg()}", flush=True)
    poll = os.path.join(bin_dir, "bench_poll")
    fulls = [run_bench_poll(poll, args.repeat, ["--benchmark_filter=Floor|Changed|Touched|Unchanged"])
             for _ in range(args.runs)]
    # The 100,000-task poll with no other poll before it in its process.
    alones = [run_bench_poll(poll, args.repeat,
                             ["--benchmark_filter=GetlineFloor/100000$|PollChangedFile/100000$"])
              for _ in range(args.runs)]
    window = run_window(os.path.join(bin_dir, "bench_window"), args.repeat)
    startup = run_startup(args.build, args.starts)
    print(f"load after: {os.getloadavg()}", flush=True)

    def median(runs, name):
        return statistics.median(run[name] for run in runs)

    def ratio(runs, count):
        return statistics.median(run[f"BM_PollChangedFile/{count}"] / run[f"BM_GetlineFloor/{count}"]
                                 for run in runs)

    ms = 1e3
    rows = [
        ("Poll of 100,000 tasks against std::getline (after smaller polls)",
         f"{median(fulls, 'BM_PollChangedFile/100000') * ms:.2f} ms vs "
         f"{median(fulls, 'BM_GetlineFloor/100000') * ms:.2f} ms", f"{ratio(fulls, 100000):.2f}x"),
        ("Poll of 100,000 tasks against std::getline (no other poll before it)",
         f"{median(alones, 'BM_PollChangedFile/100000') * ms:.2f} ms vs "
         f"{median(alones, 'BM_GetlineFloor/100000') * ms:.2f} ms", f"{ratio(alones, 100000):.2f}x"),
        ("Poll of 1,000,000 tasks against std::getline",
         f"{median(fulls, 'BM_PollChangedFile/1000000') * ms:.1f} ms vs "
         f"{median(fulls, 'BM_GetlineFloor/1000000') * ms:.1f} ms", f"{ratio(fulls, 1000000):.2f}x"),
        ("Window not answering, poll of a changed file of 100,000 tasks",
         f"median {window['changed'][0]:.1f} ms, longest {window['changed'][1]:.1f} ms", ""),
        ("Poll of a file saved again unchanged (10,000 / 100,000 / 1,000,000 tasks)",
         " / ".join(f"{median(fulls, f'BM_PollTouchedFile/{n}') * ms:.2f} ms"
                    for n in (10000, 100000, 1000000)), ""),
        ("Poll of an unchanged file (10,000 / 100,000 / 1,000,000 tasks)",
         " / ".join(f"{median(fulls, f'BM_PollUnchangedFile/{n}') * 1e6:.1f} us"
                    for n in (10000, 100000, 1000000)), ""),
        ("Start to window at 100,000 tasks against bare Qt",
         f"{startup['marmoset-task'][0] * ms:.0f} ms vs {startup['bare Qt'][0] * ms:.0f} ms",
         f"{startup['marmoset-task'][0] / startup['bare Qt'][0]:.2f}x"),
        ("Resident memory at 100,000 tasks against bare Qt",
         f"{startup['marmoset-task'][1]:.1f} MiB vs {startup['bare Qt'][1]:.1f} MiB",
         f"{startup['marmoset-task'][1] / startup['bare Qt'][1]:.2f}x"),
    ]
    print()
    print("| Measure | Figures | Ratio |")
    print("|---|---|---|")
    for name, figures, r in rows:
        print(f"| {name} | {figures} | {r} |")


if __name__ == "__main__":
    main()
