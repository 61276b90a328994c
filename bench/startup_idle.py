#!/usr/bin/env python3
"""Start-up and idle cost of Marmoset Task beside a bare Qt Widgets program.

Runs the programs on one Xvfb server and reports, for task files of 1,000 to 100,000 tasks:
the time from start to the main window shown (median of several starts), the resident memory
10 seconds after the window was shown and the CPU time used over the following 60 idle seconds.
--also adds the program of another build (an older version, say) to the same run, so that two
versions are measured side by side under the same load; the starts of all programs take turns.

    bench/startup_idle.py [--build build] [--also [NAME=]BUILD] [--tasks 1000,10000,100000]
                          [--idle 60] [--settle 10] [--starts 7] [--poll SECONDS]

Needs Xvfb and xwininfo (packages xvfb and x11-utils).
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")


def start_xvfb():
    """An X server of its own and its display name."""
    # Xvfb picks a free display and names it on the pipe once it accepts connections.
    read_fd, write_fd = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x1024x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=(write_fd,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    with os.fdopen(read_fd) as ready:
        display = ":" + ready.readline().strip()
    if display == ":":
        sys.exit("Xvfb did not start")
    return xvfb, display


def window_viewable(display, title):
    out = subprocess.run(["xwininfo", "-display", display, "-name", title],
                         capture_output=True, text=True)
    return out.returncode == 0 and "IsViewable" in out.stdout


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def rss_mib(pid):
    with open(f"/proc/{pid}/statm") as f:
        return int(f.read().split()[1]) * PAGE / (1 << 20)


def start_until_shown(cmd, title, env, display, log):
    start = time.monotonic()
    proc = subprocess.Popen(cmd, env=env, stdout=log, stderr=log)
    while not window_viewable(display, title):
        if proc.poll() is not None:
            log.seek(0)
            raise RuntimeError(f"{cmd[0]} ended with code {proc.returncode}:\n{log.read()}")
        if time.monotonic() - start > 120:
            proc.kill()
            raise RuntimeError(f"{title} did not show within 120 s")
        time.sleep(0.005)
    return proc, time.monotonic() - start


def stop(proc):
    proc.kill()
    proc.wait()
    time.sleep(0.3)  # let the X server drop the window before the next start


def measure(programs, env, display, settle, idle, starts):
    """Median start-to-window time of each (cmd, title) over several starts, taken in turns so
    that a change of load meets them all alike; memory and idle CPU from the last start."""
    with tempfile.TemporaryFile("w+") as log:
        times = [[] for _ in programs]
        for _ in range(starts - 1):
            for i, (cmd, title) in enumerate(programs):
                proc, shown = start_until_shown(cmd, title, env, display, log)
                times[i].append(shown)
                stop(proc)
        results = []
        for i, (cmd, title) in enumerate(programs):
            proc, shown = start_until_shown(cmd, title, env, display, log)
            times[i].append(shown)
            try:
                time.sleep(settle)
                rss = rss_mib(proc.pid)
                cpu_before = cpu_seconds(proc.pid)
                time.sleep(idle)
                cpu = cpu_seconds(proc.pid) - cpu_before
            finally:
                stop(proc)
            results.append((statistics.median(times[i]), rss, cpu))
        return results


def write_task_file(path, count):
    with open(path, "wb") as f:
        for i in range(count):
            month = i % 12 + 1
            day = i % 28 + 1
            f.write(f"#{month}/{day}/2037{{+}}0{{+}}0{{+}}0{{+}}Task number {i}{{+}}(none){{+}}6\r\n"
                    .encode())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--also", default=None, metavar="[NAME=]BUILD",
                        help="another build whose program is measured in the same run")
    parser.add_argument("--tasks", default="1000,10000,100000")
    parser.add_argument("--idle", type=float, default=60.0)
    parser.add_argument("--settle", type=float, default=10.0)
    parser.add_argument("--starts", type=int, default=7,
                        help="starts per program for the median start-to-window time")
    parser.add_argument("--poll", type=int, default=None,
                        help="polling interval to store (default: the program's own, 90 s)")
    args = parser.parse_args()

    program = os.path.abspath(os.path.join(args.build, "bin", "marmoset-task"))
    bare = os.path.abspath(os.path.join(args.build, "bin", "bench_bare_qt"))
    builds = [("marmoset-task", program)]
    if args.also:
        name, _, folder = args.also.rpartition("=")
        builds.append((name or "other build",
                       os.path.abspath(os.path.join(folder, "bin", "marmoset-task"))))
    for path in [path for _, path in builds] + [bare]:
        if not os.path.exists(path):
            sys.exit(f"{path} is missing: build the project first")
    for tool in ("Xvfb", "xwininfo"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: apt-get install xvfb x11-utils")

    xvfb, display = start_xvfb()
    try:
        print(f"{'tasks':>7} {'program':<16} {'shown s':>8} {'RSS MiB':>8} {'idle CPU s':>11}")
        for count in [int(n) for n in args.tasks.split(",")]:
            # The runtime folder in memory, as a desktop session has it (a tmpfs): the single-copy
            # guard's lock lives there.
            shm = "/dev/shm" if os.path.isdir("/dev/shm") else None
            with tempfile.TemporaryDirectory() as tmp, tempfile.TemporaryDirectory(dir=shm) as run:
                os.chmod(run, 0o700)
                programs = []
                env = dict(os.environ, DISPLAY=display, HOME=tmp,
                           XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                           XDG_RUNTIME_DIR=run, TMPDIR=tmp)
                env.pop("QT_QPA_PLATFORM", None)
                for n, (name, path) in enumerate(builds):
                    # Each program in a folder of its own, with the chime's module beside it, as
                    # in a portable folder, and the same task file.
                    folder = os.path.join(tmp, f"program{n}")
                    os.makedirs(folder)
                    shutil.copy2(path, folder)
                    shutil.copy2(os.path.join(os.path.dirname(path), "marmoset_sound.so"), folder)
                    write_task_file(os.path.join(folder, "nkdat"), count)
                    programs.append((name, [os.path.join(folder, "marmoset-task")],
                                     "Marmoset Task"))
                programs.append(("bare Qt", [bare], "Bare Qt"))
                if args.poll is not None:
                    ini = os.path.join(tmp, "config", "Marmoset Task", "marmoset-task.ini")
                    os.makedirs(os.path.dirname(ini), exist_ok=True)
                    with open(ini, "w") as f:
                        f.write(f"[Software]\nShareware\\Quillnote\\2.0\\poll={args.poll}\n")
                rows = measure([(cmd, title) for _, cmd, title in programs], env, display,
                               args.settle, args.idle, args.starts)
                for (name, _, _), (shown, rss, cpu) in zip(programs, rows):
                    print(f"{count:>7} {name:<16} {shown:>8.3f} {rss:>8.1f} {cpu:>11.3f}",
                          flush=True)
                s2, r2, c2 = rows[-1]
                for (name, _, _), (s1, r1, c1) in zip(programs[:-1], rows[:-1]):
                    cpu_ratio = c1 / c2 if c2 else (1.0 if c1 == 0 else float("inf"))
                    print(f"{count:>7} {'ratio ' + name:<16} {s1 / s2:>8.2f} {r1 / r2:>8.2f} "
                          f"{cpu_ratio:>11.2f}", flush=True)
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
