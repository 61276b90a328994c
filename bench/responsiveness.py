#!/usr/bin/env python3
"""How long Marmoset Task goes without answering, timed from outside.

A client connects to the program's single-copy socket over and over, sends one line and times
until the program has handled it and hung up: every round trip needs the program's event loop,
so the longest round trip is the longest time the window could not have answered a click or a
key either. Measured once the main window is shown, for two hostile task files:

  title:  one task whose title is 50 MB long, with polls every --title-poll seconds;
  many:   1,000,000 tasks with the polling interval set to 0 (a poll on every tick).

While a poll runs the program cannot answer, so round trips come in two kinds: quick ones,
between polls, and stalls, which last until the running poll ends. A stall that spans two
polls (twice the usual stall) would mean that two polls ran back to back; the report gives
the longest round trip beside the median stall (round trips over 100 ms).

    bench/responsiveness.py [--build build] [--compare OTHER_BUILD] [--seconds 30] [--change 1]

A poll skips a task file that has not changed, and only compares one saved again unchanged, so
every --change seconds (0: never) one letter of the last task's title is changed in place;
the next poll then reads, parses and shows the whole file again.

--compare runs the same cases against another build's program in the same run (for example a
build of the commit before the change). Needs Xvfb and xwininfo (packages xvfb and x11-utils).
"""
import argparse
import os
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time

from startup_idle import start_xvfb, window_viewable

USER = "bench"
STALL = 0.1  # a round trip longer than this waited on a poll
NO_ANSWER_LIMIT = 60.0  # a round trip this long counts as "never answers"


def round_trip(path, limit):
    """Seconds from connecting to the program hanging up, or None when it never did."""
    start = time.monotonic()
    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as client:
        client.settimeout(limit)
        try:
            client.connect(path)
            client.sendall(b"ping\n")
            while client.recv(64):
                pass
        except (socket.timeout, OSError):
            return None
    return time.monotonic() - start


def write_title_file(path):
    title = ("Renew the passport and book the ferry " * 1400000)[:50 * 1024 * 1024]
    with open(path, "wb") as f:
        f.write(b"#7/4/2037{+}0{+}0{+}0{+}Later{+}(none){+}6\r\n")
        f.write(f"#7/4/2037{{+}}0{{+}}0{{+}}0{{+}}{title}{{+}}(none){{+}}6\r\n".encode())


def write_many_file(path, count=1000000):
    with open(path, "wb") as f:
        lines = []
        for i in range(count):
            lines.append(f"#{i % 12 + 1}/{i % 28 + 1}/2037{{+}}0{{+}}0{{+}}0{{+}}Task number {i}"
                         f"{{+}}(none){{+}}6\r\n")
            if len(lines) == 10000:
                f.write("".join(lines).encode())
                lines = []
        f.write("".join(lines).encode())


def last_title_letter(path):
    """Offset of the last letter of the last task's title."""
    with open(path, "rb") as f:
        f.seek(max(0, os.path.getsize(path) - 4096))
        start = f.tell()
        tail = f.read()
    return start + tail.rindex(b"{+}(none)") - 1


def measure(program, write_tasks, poll, display, seconds, change):
    """Round trips over `seconds` once the window shows: longest, median, median stall, count
    and how many got no answer at all."""
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "program")
        runtime = os.path.join(tmp, "runtime")
        os.makedirs(folder)
        os.makedirs(runtime, mode=0o700)
        shutil.copy2(program, folder)
        # The chime's module goes along, as in a portable folder.
        shutil.copy2(os.path.join(os.path.dirname(program), "marmoset_sound.so"), folder)
        task_file = os.path.join(folder, "nkdat")
        write_tasks(task_file)
        ini = os.path.join(tmp, "config", "Marmoset Task", "marmoset-task.ini")
        os.makedirs(os.path.dirname(ini))
        with open(ini, "w") as f:
            f.write(f"[Software]\nShareware\\Quillnote\\2.0\\poll={poll}\n"
                    "Shareware\\Quillnote\\2.0\\sound=0\nShareware\\Quillnote\\2.0\\startup=3\n")
        env = dict(os.environ, DISPLAY=display, HOME=tmp, USER=USER,
                   XDG_CONFIG_HOME=os.path.join(tmp, "config"), XDG_RUNTIME_DIR=runtime,
                   DBUS_SESSION_BUS_ADDRESS="unix:path=" + os.path.join(tmp, "no-bus"))
        env.pop("QT_QPA_PLATFORM", None)
        path = os.path.join(runtime, f"Marmoset Task-{USER}.socket")
        proc = subprocess.Popen([os.path.join(folder, "marmoset-task")], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = time.monotonic() + 600
            while not window_viewable(display, "Marmoset Task"):
                if proc.poll() is not None or time.monotonic() > deadline:
                    raise RuntimeError("the program did not show its window")
                time.sleep(0.05)
            trips = []
            unanswered = 0
            end = time.monotonic() + seconds
            changed = time.monotonic()
            letter = last_title_letter(task_file)
            flip = 0
            while time.monotonic() < end:
                if change > 0 and time.monotonic() - changed >= change:
                    flip ^= 1
                    with open(task_file, "r+b") as f:
                        f.seek(letter)
                        f.write(b"xy"[flip:flip + 1])
                    changed = time.monotonic()
                trip = round_trip(path, NO_ANSWER_LIMIT)
                if trip is None:
                    unanswered += 1
                    trips.append(NO_ANSWER_LIMIT)
                else:
                    trips.append(trip)
                time.sleep(0.005)
            stalls = [trip for trip in trips if trip > STALL]
            return (max(trips), statistics.median(trips),
                    statistics.median(stalls) if stalls else 0.0, len(trips), unanswered)
        finally:
            proc.kill()
            proc.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--compare", default=None, help="another build to measure beside it")
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--title-poll", type=int, default=2,
                        help="polling interval for the 50 MB title (default 2 s)")
    parser.add_argument("--cases", default="title,many")
    parser.add_argument("--change", type=float, default=1.0,
                        help="change a letter of the task file this often, in seconds (0: never)")
    args = parser.parse_args()

    builds = [("this build", args.build)]
    if args.compare:
        builds.append(("compared", args.compare))
    programs = []
    for name, build in builds:
        program = os.path.abspath(os.path.join(build, "bin", "marmoset-task"))
        if not os.path.exists(program):
            sys.exit(f"{program} is missing: build the project first")
        programs.append((name, program))
    for tool in ("Xvfb", "xwininfo"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing: apt-get install xvfb x11-utils")

    cases = {
        "title": ("50 MB title, poll " + str(args.title_poll), write_title_file, args.title_poll),
        "many": ("1,000,000 tasks, poll 0", write_many_file, 0),
    }
    xvfb, display = start_xvfb()
    try:
        print(f"{'case':<26} {'program':<11} {'longest ms':>11} {'median ms':>10} "
              f"{'stall ms':>9} {'trips':>6} {'unanswered':>10}")
        for key in args.cases.split(","):
            label, write_tasks, poll = cases[key]
            for name, program in programs:
                longest, median, stall, count, unanswered = measure(program, write_tasks, poll,
                                                                    display, args.seconds,
                                                                    args.change)
                print(f"{label:<26} {name:<11} {longest * 1000:>11.0f} {median * 1000:>10.1f} "
                      f"{stall * 1000:>9.0f} {count:>6} {unanswered:>10}", flush=True)
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
