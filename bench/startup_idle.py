#!/usr/bin/env python3
"""Start-up and idle cost of Marmoset Task beside a bare Qt Widgets program.

Runs both programs on one Xvfb server and reports, for task files of 1,000 to 100,000 tasks:
the time from start to the main window shown (median of several starts), the resident memory
10 seconds after the window was shown and the CPU time used over the following 60 idle seconds.

    bench/startup_idle.py [--build build] [--tasks 1000,10000,100000] [--idle 60] [--starts 7] [--poll SECONDS]

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


def measure(cmd, title, env, display, settle, idle, starts):
    """Median start-to-window time over several starts; memory and idle CPU from the last."""
    with tempfile.TemporaryFile("w+") as log:
        times = []
        for _ in range(starts - 1):
            proc, shown = start_until_shown(cmd, title, env, display, log)
            times.append(shown)
            stop(proc)
        proc, shown = start_until_shown(cmd, title, env, display, log)
        times.append(shown)
        try:
            time.sleep(settle)
            rss = rss_mib(proc.pid)
            cpu_before = cpu_seconds(proc.pid)
            time.sleep(idle)
            cpu = cpu_seconds(proc.pid) - cpu_before
        finally:
            stop(proc)
        return statistics.median(times), rss, cpu


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
    for path in (program, bare):
        if not os.path.exists(path):
            sys.exit(f"{path} is missing: build the project first")
    for tool in ("Xvfb", "xwininfo"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: apt-get install xvfb x11-utils")

    xvfb, display = start_xvfb()
    try:
        print(f"{'tasks':>7} {'program':<14} {'shown s':>8} {'RSS MiB':>8} {'idle CPU s':>11}")
        for count in [int(n) for n in args.tasks.split(",")]:
            with tempfile.TemporaryDirectory() as tmp:
                folder = os.path.join(tmp, "program")
                os.makedirs(folder)
                shutil.copy2(program, folder)
                # The chime's module goes along, as in a portable folder.
                shutil.copy2(os.path.join(os.path.dirname(program), "marmoset_sound.so"), folder)
                write_task_file(os.path.join(folder, "nkdat"), count)
                env = dict(os.environ, DISPLAY=display, HOME=tmp,
                           XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                           XDG_RUNTIME_DIR=tmp, TMPDIR=tmp)
                env.pop("QT_QPA_PLATFORM", None)
                if args.poll is not None:
                    ini = os.path.join(tmp, "config", "Marmoset Task", "marmoset-task.ini")
                    os.makedirs(os.path.dirname(ini), exist_ok=True)
                    with open(ini, "w") as f:
                        f.write(f"[Software]\nShareware\\Quillnote\\2.0\\poll={args.poll}\n")
                rows = []
                for name, cmd, title in (
                        ("marmoset-task", [os.path.join(folder, "marmoset-task")], "Marmoset Task"),
                        ("bare Qt", [bare], "Bare Qt")):
                    shown, rss, cpu = measure(cmd, title, env, display, args.settle, args.idle,
                                             args.starts)
                    rows.append((shown, rss, cpu))
                    print(f"{count:>7} {name:<14} {shown:>8.3f} {rss:>8.1f} {cpu:>11.3f}", flush=True)
                (s1, r1, c1), (s2, r2, c2) = rows
                print(f"{count:>7} {'ratio':<14} {s1 / s2:>8.2f} {r1 / r2:>8.2f} "
                      f"{(c1 / c2 if c2 else (1.0 if c1 == 0 else float('inf'))):>11.2f}", flush=True)
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
