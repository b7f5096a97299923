#!/usr/bin/env python3
"""Kartavio benchmarks: start-up, memory, idle wake-ups and typing, each beside its floor.

    python3 bench/run.py BUILD_DIR [--runs 7]

Needs an X display with a window manager (tools/bench.sh starts Xvfb and
openbox, as the tests do). Starts the stand-in site on loopback, then starts
the program and the floor program in turn, each in a fresh process, and
watches the X server with xev for the moments their windows appear. The floor
does the same start-up work with the least code: three web views loading the
program's three pages from one renderer in the program's order, two of them
not shown, the window shown once the banner page has loaded; on its first
activation a small frameless window up while it fetches the rate line and the
chart from the same host, then hidden.

- first appearance: from exec to the main window mapped.
- ready: from exec to the main window enabled. The main window is disabled
  while its please-wait window is up, so it counts as enabled when that window
  is unmapped again (or at once, if it never shows), as the program reports
  it to the root window: a window manager's frame of a short-lived window may
  be gone before its name can be read.
- memory: proportional set size of the process and all its helper processes
  (/proc/PID/smaps_rollup), two seconds after start-up is done.
- idle wake-ups: context switches of the program's main (user-interface)
  thread per second (/proc/PID/status), over the next three seconds, with
  the window shown and nobody typing.
- typing: bench_typing's QBENCHMARK figures for one key release, also with
  1 MB of text stored in txtTrans, and with the settings lock held by
  another holder (the value stays pending: no more than with the lock free).

Each start begins the day with yesterday's rate in the cache, so it fetches
the rate and the chart from the stand-in site, as the first start of a day does.
"""

import argparse
import datetime
import os
import queue
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAIN_TITLE = "Kartavio 1.00"
WAIT_TITLE = "Bitte warten"
FLOOR_TITLE = "Kartavio floor"
FLOOR_WAIT_TITLE = "Floor wait"
EVENT = re.compile(r"^(MapNotify|UnmapNotify) event.*")
WINDOW = re.compile(r"\bwindow (0x[0-9a-f]+)")


class XWatch:
    """Map and unmap events of top-level windows, time-stamped as they arrive."""

    def __init__(self):
        self.proc = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"],
                                     stdout=subprocess.PIPE, text=True)
        self.events = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        time.sleep(0.3)

    def _read(self):
        kind = None
        for line in self.proc.stdout:
            now = time.monotonic()
            match = EVENT.match(line)
            if match:
                kind = match.group(1)
                continue
            if kind:
                found = WINDOW.search(line)
                if found:
                    self.events.put((now, kind, found.group(1)))
                    kind = None

    def drain(self):
        while not self.events.empty():
            self.events.get_nowait()

    def next(self, deadline):
        left = deadline - time.monotonic()
        if left <= 0:
            return None
        try:
            return self.events.get(timeout=left)
        except queue.Empty:
            return None

    def stop(self):
        self.proc.terminate()


CHILD = re.compile(r'^\s+0x[0-9a-f]+ "(.+?)":', re.M)


def window_name(window):
    """The title of a top-level window; under a window manager the window
    mapped on the root is the manager's frame, named after the client in it."""
    result = subprocess.run(["xdotool", "getwindowname", str(int(window, 16))],
                            capture_output=True, text=True)
    name = result.stdout.strip()
    if name:
        return name
    tree = subprocess.run(["xwininfo", "-tree", "-id", window], capture_output=True, text=True)
    found = CHILD.search(tree.stdout)
    return found.group(1) if found else ""


def descendants(pid):
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append(int(entry))
        except OSError:
            pass
    found, todo = [], [pid]
    while todo:
        current = todo.pop()
        found.append(current)
        todo.extend(children.get(current, []))
    return found


def pss_kib(pid):
    total = 0
    for each in descendants(pid):
        try:
            with open(f"/proc/{each}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def context_switches(pid):
    """Voluntary and involuntary context switches of the main thread so far."""
    with open(f"/proc/{pid}/status") as status:
        return sum(int(line.split()[1]) for line in status if "ctxt_switches" in line)


IDLE_SECONDS = 3.0


def stop(proc):
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    time.sleep(0.5)  # helper processes follow their parent


def yesterday_cache(cache_dir):
    os.makedirs(cache_dir, exist_ok=True)
    day = (datetime.date.today() - datetime.timedelta(days=1)).strftime("%d.%m.%Y")
    with open(os.path.join(cache_dir, "eurkurs.txt"), "wb") as cache:
        cache.write(f"1.0000|{day}|***{day}***\r\n".encode())


def one_start(watch, command, env, title, wait_title):
    """Seconds from exec to the window shown and to it enabled, the PSS then,
    and the main thread's wake-ups per second while idle after that."""
    watch.drain()
    start = time.monotonic()
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = start + 30
    shown = hidden = None
    names = {}
    waiting = False
    while shown is None or (wait_title and hidden is None):
        # Once the main window is up, the please-wait window follows at once;
        # if it does not come within a second, the window was never disabled.
        limit = shown + 1.0 if shown and wait_title and not waiting else deadline
        event = watch.next(limit)
        if event is None:
            if limit != deadline:
                hidden = shown
                break
            stop(proc)
            raise RuntimeError(f"{title}: no window within 30 s")
        when, kind, window = event
        if window not in names:
            names[window] = window_name(window)
        name = names[window]
        if kind == "MapNotify" and name.startswith(title):
            shown = when
        elif wait_title and name.startswith(wait_title):
            # A short-lived please-wait window's frame may be gone before its
            # name is read, and its map may be reported after its unmap; the
            # program's own withdraw notice names its window reliably.
            waiting = True
            if kind == "UnmapNotify":
                hidden = when
    enabled = max(shown, hidden) if hidden else shown
    time.sleep(2.0)
    memory = pss_kib(proc.pid)
    before = context_switches(proc.pid)
    time.sleep(IDLE_SECONDS)
    wakeups = (context_switches(proc.pid) - before) / IDLE_SECONDS
    stop(proc)
    return shown - start, enabled - start, memory, wakeups


def typing(build):
    # bigFile times its rows itself, at typing speed.
    figures = {}
    for function, options in (("keyRelease", ["-median", "9", "-iterations", "300"]), ("bigFile", [])):
        result = subprocess.run([os.path.join(build, "bench", "bench_typing"), function] + options,
                                env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                                capture_output=True, text=True)
        if result.returncode != 0:
            sys.exit("bench_typing failed:\n" + result.stdout + result.stderr)
        for name, value, unit in re.findall(r'"(\w+)":\s*\n\s*([0-9.,]+) (msecs|nsecs)', result.stdout):
            figures[name] = float(value.replace(",", "")) / (1e6 if unit == "nsecs" else 1)
    if len(figures) != 7:
        sys.exit("bench_typing gave " + str(sorted(figures)))
    return figures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    if not os.environ.get("DISPLAY"):
        sys.exit("run.py needs an X display; use tools/bench.sh")

    site = subprocess.Popen([os.path.join(build, "standin_site"), "--port", "0"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    port = int(site.stdout.readline().split()[1])
    host = f"127.0.0.1:{port}"
    home = tempfile.mkdtemp(prefix="kartavio-bench-")
    env = dict(os.environ, HOME=home,
               XDG_CONFIG_HOME=os.path.join(home, "config"),
               XDG_CACHE_HOME=os.path.join(home, "cache"),
               XDG_DATA_HOME=os.path.join(home, "data"),
               LANG="de_DE.UTF-8", LC_ALL="de_DE.UTF-8",
               KARTAVIO_SITE_HOST=host, KARTAVIO_PORTAL_HOST=host, KARTAVIO_SERVICE_HOST=host)
    cache_dir = os.path.join(home, "cache", "Kelvara", "Kartavio")
    watch = XWatch()
    program = [os.path.join(build, "kartavio")]
    floor = [os.path.join(build, "bench", "kartavio_floor"), f"http://{host}"]
    starts = {"kartavio": (program, MAIN_TITLE, WAIT_TITLE), "floor": (floor, FLOOR_TITLE, FLOOR_WAIT_TITLE)}
    shown = {"kartavio": [], "floor": []}
    times = {"kartavio": [], "floor": []}
    memory = {"kartavio": [], "floor": []}
    wakeups = {"kartavio": [], "floor": []}
    try:
        # One start each to warm the disk cache and the web profile; not counted.
        for name, (command, title, wait_title) in starts.items():
            yesterday_cache(cache_dir)
            one_start(watch, command, env, title, wait_title)
        for run in range(args.runs):
            for name, (command, title, wait_title) in starts.items():
                yesterday_cache(cache_dir)
                appeared, seconds, kib, idle = one_start(watch, command, env, title, wait_title)
                shown[name].append(appeared)
                times[name].append(seconds)
                memory[name].append(kib)
                wakeups[name].append(idle)
            print(f"run {run + 1}: " + ", ".join(
                f"{name} {shown[name][-1] * 1000:.0f}/{times[name][-1] * 1000:.0f} ms "
                f"{memory[name][-1] / 1024:.0f} MiB {wakeups[name][-1]:.1f}/s" for name in starts), flush=True)
    finally:
        watch.stop()
        site.terminate()
        shutil.rmtree(home, ignore_errors=True)

    keys = typing(build)
    shown_k, shown_f = statistics.median(shown["kartavio"]), statistics.median(shown["floor"])
    start_k, start_f = statistics.median(times["kartavio"]), statistics.median(times["floor"])
    mem_k, mem_f = statistics.median(memory["kartavio"]), statistics.median(memory["floor"])
    idle_k, idle_f = statistics.median(wakeups["kartavio"]), statistics.median(wakeups["floor"])

    def spread(values):
        return f"{min(values) * 1000:.0f}-{max(values) * 1000:.0f}"

    rows = [
        ("First appearance (ms)", f"{shown_k * 1000:.0f} ({spread(shown['kartavio'])})",
         f"{shown_f * 1000:.0f} ({spread(shown['floor'])})", f"{shown_k / shown_f:.2f}x",
         "<= 1.10x", shown_k / shown_f <= 1.1),
        ("Ready, median (ms)", f"{start_k * 1000:.0f} ({spread(times['kartavio'])})",
         f"{start_f * 1000:.0f} ({spread(times['floor'])})", f"{start_k / start_f:.2f}x",
         "<= 1000 ms, <= 1.10x", start_k <= 1.0 and start_k / start_f <= 1.1),
        ("Memory, PSS (MiB)", f"{mem_k / 1024:.0f}", f"{mem_f / 1024:.0f}", f"{mem_k / mem_f:.2f}x",
         "<= 1.05x", mem_k / mem_f <= 1.05),
        ("Idle wake-ups (per s)", f"{idle_k:.1f}", f"{idle_f:.1f}", "", "<= 5 per s", idle_k <= 5.0),
        ("Key release txtM (ms)", f"{keys['txtM']:.3f}", "", "", "<= 1 ms", keys["txtM"] <= 1.0),
        ("Key release txtEur (ms)", f"{keys['txtEur']:.3f}", "", "", "<= 1 ms", keys["txtEur"] <= 1.0),
        ("Key txtM, 1 MB stored (ms)", f"{keys['txtM_1MB']:.3f}", "", "", "<= 1 ms", keys["txtM_1MB"] <= 1.0),
        # Another program holds the settings lock: the value stays pending.
        ("Key txtM, lock busy (ms)", f"{keys['txtM_lockBusy']:.3f}", "", "", "<= free",
         keys["txtM_lockBusy"] <= keys["txtM"]),
        ("Key txtEur, lock busy (ms)", f"{keys['txtEur_lockBusy']:.3f}", "", "", "<= free",
         keys["txtEur_lockBusy"] <= keys["txtEur"]),
        # Another program keeps 10 MB in the file; the floor copies its bytes once.
        ("Key txtM, 10 MB other (ms)", f"{keys['txtM_10MBother']:.3f}", f"{keys['copy_10MB']:.3f}",
         f"{keys['txtM_10MBother'] / keys['copy_10MB']:.2f}x", "<= 2x", keys["txtM_10MBother"] <= 2 * keys["copy_10MB"]),
    ]
    print()
    print(f"{'Measure':<26}{'Kartavio':<20}{'Floor':<20}{'Ratio':<8}{'Goal':<22}Met")
    for name, ours, theirs, ratio, goal, met in rows:
        print(f"{name:<26}{ours:<20}{theirs:<20}{ratio:<8}{goal:<22}{'yes' if met else 'NO'}")
    print(f"\n{args.runs} runs each, {os.cpu_count()} cores, {datetime.date.today()}")


if __name__ == "__main__":
    main()
