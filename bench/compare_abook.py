#!/usr/bin/env python3
"""Callvista side by side with abook, Debian's terminal address book.

Both programs get the same people (a fixed seed): a .CVA document for
Callvista, as Callvista itself saves it, and abook's own file with the same
entries in the same order. Each program runs as a whole process, again and
again, the runs of both interleaved so that the machine's load falls on both
alike:

- Callvista on Xvfb (no window manager), as `callvista-first-paint FILE`: the program itself,
  ended by a probe at the first paint of its list, which reports the time,
  its CPU time and its memory.
- abook in tmux, under a small relay that starts it on a terminal of its own,
  passes its output on to the tmux pane and notes the moment the first
  screen holds the entries.
- A minimal Qt Widgets window (a QMainWindow with a list), as the floor of
  start-up; and the same with one line of text in the list, which, unlike
  the empty one, loads the fonts (shown for context, without a verdict).

The table gives min and median of each figure and each target's ratio with
"met" or "missed".

Usage: compare_abook.py BUILD_DIR [--runs N] [--entries N]
BUILD_DIR holds bench/callvista-first-paint, bench/qt-first-paint and
app/callvista (a Release build).
"""

import argparse
import os
import pty
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

SEED = 20261209
ROWS, COLUMNS = 40, 120

FAMILIES = [
    "Smith", "Johnson", "Williams", "Brown", "Jones", "Miller", "Davis", "Garcia", "Wilson",
    "Anderson", "Taylor", "Thomas", "Moore", "Martin", "Jackson", "Thompson", "White", "Lopez",
    "Lee", "Harris", "Clark", "Lewis", "Robinson", "Walker", "Young", "Allen", "King", "Wright",
    "Scott", "Hill", "Green", "Adams", "Baker", "Nelson", "Carter", "Mitchell", "Roberts",
    "Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner", "Becker", "Schulz",
    "Hoffmann", "Schäfer", "Koch", "Bauer", "Richter", "Klein", "Wolf", "Schröder", "Neumann",
    "Dubois", "Lefèvre", "Moreau", "Laurent", "Simon", "Michel", "Garnier", "Rousseau",
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci",
    "García", "Fernández", "González", "Rodríguez", "López", "Martínez", "Sánchez", "Pérez",
    "Nowak", "Kowalski", "Wiśniewski", "Wójcik", "Kowalczyk", "Kamiński", "Lewandowski",
    "Jansen", "de Vries", "van den Berg", "van Dijk", "Bakker", "Visser", "Smit", "de Jong",
    "Andersson", "Johansson", "Karlsson", "Nilsson", "Eriksson", "Larsson", "Olsen", "Hansen",
    "Nielsen", "Østergaard", "Ó Briain", "O'Brien", "Murphy", "Kelly", "Walsh", "Byrne",
    "Novák", "Svoboda", "Dvořák", "Horváth", "Nagy", "Tóth", "Popescu", "Ionescu", "Yılmaz",
    "Kaya", "Demir", "Papadopoulos", "Nakamura", "Tanaka", "Suzuki", "Kim", "Park", "Nguyen",
]
GIVEN = [
    "Anna", "Ben", "Carla", "David", "Eva", "Frank", "Greta", "Hans", "Ines", "Jan", "Karin",
    "Lars", "Maria", "Nils", "Olga", "Paul", "Rita", "Sven", "Tina", "Uwe", "Vera", "Walter",
    "Zoë", "Jörg", "François", "Søren", "Łucja", "José", "Ángel", "Chloé", "Mia", "Noah",
    "Emma", "Liam", "Olivia", "Lucas", "Sofia", "Leon", "Lena", "Felix", "Clara", "Max",
]


def people(count):
    """The same people every run: family name, short name, phone number."""
    rng = random.Random(SEED)
    result = []
    for _ in range(count):
        family = rng.choice(FAMILIES)
        if rng.random() < 0.15:
            family += "-" + rng.choice(FAMILIES)
        short = rng.choice(GIVEN)
        # At most 12 characters, what abook's phone column shows.
        phone = "0%d-%07d" % (rng.randint(20, 999), rng.randint(0, 9999999))
        result.append((family[:30], short[:20], phone[:20]))
    return result


def write_cva(path, entries):
    with open(path, "wb") as out:
        for entry in entries:
            for value in entry:
                out.write(value.encode("utf-8") + b"\r\n")


def read_cva(path):
    with open(path, "rb") as source:
        lines = source.read().decode("utf-8").split("\r\n")
    return [tuple(lines[i:i + 3]) for i in range(0, len(lines) - 2, 3)]


def write_abook(path, entries):
    with open(path, "w", encoding="utf-8") as out:
        out.write("# abook addressbook file\n\n[format]\nprogram=abook\nversion=0.6.1\n\n")
        for number, (family, short, phone) in enumerate(entries):
            out.write("[%d]\nname=%s %s\nphone=%s\n\n" % (number, family, short, phone))


def status_kb(pid, field):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith(field):
                return int(line.split()[1])
    return -1


def relay(out_path, marker, command):
    """Runs inside the tmux pane: starts `command` on a terminal of its own,
    passes what it writes on to the pane, and writes to out_path the time
    from start to the marker's appearance and the memory then."""
    import fcntl
    import struct
    import termios
    size = os.get_terminal_size(sys.stdout.fileno())
    start = time.monotonic_ns()
    pid, fd = pty.fork()
    if pid == 0:
        fcntl.ioctl(0, termios.TIOCSWINSZ, struct.pack("HHHH", size.lines, size.columns, 0, 0))
        os.execvp(command[0], command)
    seen = b""
    needle = marker.encode("utf-8")
    while True:
        try:
            chunk = os.read(fd, 65536)
        except OSError:
            chunk = b""
        if not chunk:
            result = "failed: the program ended before its first screen"
            break
        os.write(sys.stdout.fileno(), chunk)
        seen += chunk
        if needle in seen:
            wall = time.monotonic_ns() - start
            result = "wall_ns=%d rss_kb=%d hwm_kb=%d" % (
                wall, status_kb(pid, "VmRSS:"), status_kb(pid, "VmHWM:"))
            break
    # Killed, so that nothing is saved on the way out.
    try:
        os.kill(pid, signal.SIGKILL)
        os.waitpid(pid, 0)
    except OSError:
        pass
    with open(out_path + ".part", "w") as out:
        out.write(result + "\n")
    os.rename(out_path + ".part", out_path)


class Bench:
    def __init__(self, build, work):
        self.build = build
        self.work = work
        self.probe = os.path.join(build, "bench", "callvista-first-paint")
        self.qt_probe = os.path.join(build, "bench", "qt-first-paint")
        self.program = os.path.join(build, "app", "callvista")
        self.env = dict(os.environ, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8", HOME=work)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.processes = []
        self.tmux = ["tmux", "-L", "callvista-bench-%d" % os.getpid(), "-f", "/dev/null"]

    def start_display(self):
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp", "-noreset"], pass_fds=[write],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(xvfb)
        os.close(write)
        number = os.read(read, 64).decode().strip()
        # Kept open: Xvfb may write the rest of its line later, and a closed
        # pipe would end it.
        self.display_pipe = read
        if not number:
            sys.exit("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number
        self.wait(lambda: subprocess.run(["xprop", "-root"], env=self.env,
                                         capture_output=True).returncode == 0,
                  "Xvfb did not answer")

    def start_tmux(self):
        # A tmux server ends with its last session, and a client that comes
        # while it ends fails with "server exited unexpectedly". Each abook
        # run is a session that ends, so one idle session keeps the server
        # up from the first run to the last.
        subprocess.run(self.tmux + ["new-session", "-d", "-s", "keeper", "sleep", "infinity"],
                       check=True, env=self.env)

    def stop(self):
        subprocess.run(self.tmux + ["kill-server"], capture_output=True)
        for process in reversed(self.processes):
            process.terminate()
            process.wait()

    @staticmethod
    def wait(test, failure, seconds=60):
        deadline = time.monotonic() + seconds
        while not test():
            if time.monotonic() > deadline:
                sys.exit(failure)
            time.sleep(0.05)

    def save_through_callvista(self, path):
        """Opens the document in Callvista and saves it with Ctrl+S, so that
        it is exactly what the program saves: in list order."""
        before = os.stat(path).st_mtime_ns
        program = subprocess.Popen([self.program, path], env=self.env, cwd=self.work,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        xdotool = lambda *args: subprocess.run(["xdotool"] + list(args), env=self.env,
                                               capture_output=True, text=True)
        self.wait(lambda: xdotool("search", "--onlyvisible", "--name", "people").stdout.strip(),
                  "Callvista did not open the people")
        window = xdotool("search", "--onlyvisible", "--name", "people").stdout.split()[-1]
        # No window manager: the focus is given to the window directly, and
        # the keys go where the focus is.
        xdotool("windowfocus", "--sync", window)
        xdotool("key", "ctrl+s")
        self.wait(lambda: os.stat(path).st_mtime_ns != before, "Callvista did not save")
        xdotool("key", "ctrl+x")
        program.wait(timeout=20)

    def callvista_run(self, executable, *args):
        start = time.monotonic_ns()
        done = subprocess.run([executable] + list(args), env=self.env, cwd=self.work,
                              capture_output=True, text=True, timeout=30)
        fields = dict(item.split("=") for item in done.stdout.split())
        if "first_paint_ns" not in fields:
            sys.exit("%s ended without a first paint: %s" % (executable, done.stderr))
        return {"wall": (int(fields["first_paint_ns"]) - start) / 1e6,
                "cpu": int(fields["cpu_us"]) / 1e3,
                "rss": int(fields["rss_kb"]) / 1024, "hwm": int(fields["hwm_kb"]) / 1024,
                "rows": int(fields["rows"])}

    def abook_run(self, datafile, marker):
        out = os.path.join(self.work, "abook.result")
        if os.path.exists(out):
            os.remove(out)
        command = [sys.executable, os.path.abspath(__file__), "--relay", out, marker, "--",
                   "abook", "--datafile", datafile]
        subprocess.run(self.tmux + ["new-session", "-d", "-x", str(COLUMNS), "-y", str(ROWS),
                                    "-e", "HOME=" + self.work, "-e", "LC_ALL=C.UTF-8"]
                       + command, check=True, env=self.env)
        self.wait(lambda: os.path.exists(out), "abook did not show its first screen")
        with open(out) as result:
            text = result.read()
        if not text.startswith("wall_ns="):
            sys.exit("abook: " + text)
        fields = dict(item.split("=") for item in text.split())
        return {"wall": int(fields["wall_ns"]) / 1e6, "rss": int(fields["rss_kb"]) / 1024,
                "hwm": int(fields["hwm_kb"]) / 1024}


def summary(runs, key):
    values = [run[key] for run in runs]
    return min(values), statistics.median(values)


def main():
    if len(sys.argv) > 1 and sys.argv[1] == "--relay":
        relay(sys.argv[2], sys.argv[3], sys.argv[5:])
        return
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build")
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--entries", type=int, default=32767)
    options = parser.parse_args()
    for tool in ("Xvfb", "xdotool", "xprop", "tmux", "abook"):
        if not shutil.which(tool):
            sys.exit("compare_abook.py needs %s" % tool)

    work = tempfile.mkdtemp(prefix="callvista-abook-")
    bench = Bench(os.path.abspath(options.build), work)
    try:
        bench.start_display()
        bench.start_tmux()
        cva = os.path.join(work, "people.CVA")
        empty_cva = os.path.join(work, "empty.CVA")
        write_cva(cva, people(options.entries))
        write_cva(empty_cva, [])
        bench.save_through_callvista(cva)
        saved = read_cva(cva)
        if len(saved) != options.entries:
            sys.exit("the saved document holds %d entries, not %d" % (len(saved), options.entries))
        abook_people = os.path.join(work, "people")
        abook_empty = os.path.join(work, "empty")
        write_abook(abook_people, saved)
        write_abook(abook_empty, [])
        # The first screen is whole when the phone number of a line near its
        # foot shows; the number is unique among the lines above it.
        row = ROWS - 10
        while any(entry[2] == saved[row][2] for entry in saved[:row]):
            row -= 1
        people_marker = saved[row][2]

        load = os.getloadavg()
        kinds = {
            "callvista": lambda: bench.callvista_run(bench.probe, cva),
            "callvista_empty": lambda: bench.callvista_run(bench.probe),
            "qt": lambda: bench.callvista_run(bench.qt_probe),
            "qt_text": lambda: bench.callvista_run(bench.qt_probe, "text"),
            "abook": lambda: bench.abook_run(abook_people, people_marker),
            "abook_empty": lambda: bench.abook_run(abook_empty, "Home Phone"),
        }
        runs = {kind: [] for kind in kinds}
        for kind, run in kinds.items():
            run()  # warms the file cache and the libraries
        for _ in range(options.runs):
            for kind, run in kinds.items():
                runs[kind].append(run())
        load_after = os.getloadavg()
    finally:
        bench.stop()
        shutil.rmtree(work, ignore_errors=True)

    for result in runs["callvista"]:
        if result["rows"] != options.entries:
            sys.exit("Callvista painted %d lines, not %d" % (result["rows"], options.entries))

    def ratio_line(what, ours, theirs, limit, unit):
        met = ours[0] <= limit * theirs[0] and ours[1] <= limit * theirs[1]
        print("| %-44s | %8.1f / %8.1f %-3s | %8.1f / %8.1f %-3s | %5.2f x / %5.2f x | <= %.2f x | %s |"
              % (what, ours[0], ours[1], unit, theirs[0], theirs[1], unit,
                 ours[0] / theirs[0], ours[1] / theirs[1], limit, "met" if met else "missed"))
        return met

    print("\nCallvista and abook on the same %d people, %d runs each, interleaved"
          % (options.entries, options.runs))
    print("Load average before: %.2f %.2f %.2f, after: %.2f %.2f %.2f (on %d cores)"
          % (load + load_after + (os.cpu_count(),)))
    print("Figures are min / median.\n")
    print("| %-44s | %-25s | %-25s | %-19s | %-9s | %s |"
          % ("", "Callvista", "peer", "ratio", "target", "verdict"))
    print("|%s|%s|%s|%s|%s|%s|" % ("-" * 46, "-" * 27, "-" * 27, "-" * 21, "-" * 11, "-" * 8))
    verdicts = []
    verdicts.append(ratio_line("Open: command -> list drawn (abook)",
                               summary(runs["callvista"], "wall"), summary(runs["abook"], "wall"),
                               1.0, "ms"))
    ours_added = [a["rss"] - b["rss"] for a, b in zip(runs["callvista"], runs["callvista_empty"])]
    theirs_added = [a["rss"] - b["rss"] for a, b in zip(runs["abook"], runs["abook_empty"])]
    verdicts.append(ratio_line("Memory added by the entries, RSS (abook)",
                               (min(ours_added), statistics.median(ours_added)),
                               (min(theirs_added), statistics.median(theirs_added)), 1.0, "MiB"))
    print("| %-44s | %8.1f / %8.1f MiB | %8.1f / %8.1f MiB | %-19s | %-9s | %s |"
          % ("Memory after opening, RSS (abook)", *summary(runs["callvista"], "rss"),
             *summary(runs["abook"], "rss"), "", "", "-"))
    verdicts.append(ratio_line("Start-up, empty: wall (minimal Qt window)",
                               summary(runs["callvista_empty"], "wall"), summary(runs["qt"], "wall"),
                               1.25, "ms"))
    verdicts.append(ratio_line("Start-up, empty: CPU time (minimal Qt window)",
                               summary(runs["callvista_empty"], "cpu"), summary(runs["qt"], "cpu"),
                               1.25, "ms"))
    verdicts.append(ratio_line("Start-up, empty: peak RSS (minimal Qt window)",
                               summary(runs["callvista_empty"], "hwm"), summary(runs["qt"], "hwm"),
                               1.25, "MiB"))
    print("| %-44s | %8.1f / %8.1f ms  | %8.1f / %8.1f ms  | %5.2f x / %5.2f x | %-9s | %s |"
          % ("Start-up: wall (Qt window, one line of text)", *summary(runs["callvista_empty"], "wall"),
             *summary(runs["qt_text"], "wall"),
             summary(runs["callvista_empty"], "wall")[0] / summary(runs["qt_text"], "wall")[0],
             summary(runs["callvista_empty"], "wall")[1] / summary(runs["qt_text"], "wall")[1], "", "-"))
    print("| %-44s | %8.1f / %8.1f ms  | %8.1f / %8.1f ms  | %5.2f x / %5.2f x | %-9s | %s |"
          % ("Start-up: CPU (Qt window, one line of text)", *summary(runs["callvista_empty"], "cpu"),
             *summary(runs["qt_text"], "cpu"),
             summary(runs["callvista_empty"], "cpu")[0] / summary(runs["qt_text"], "cpu")[0],
             summary(runs["callvista_empty"], "cpu")[1] / summary(runs["qt_text"], "cpu")[1], "", "-"))
    print("\nOther figures, min / median: Callvista with the people, CPU time %.1f / %.1f ms, "
          "peak RSS %.1f / %.1f MiB; empty, RSS %.1f / %.1f MiB; abook empty, RSS %.1f / %.1f MiB; "
          "abook, start to its empty screen %.1f / %.1f ms"
          % (*summary(runs["callvista"], "cpu"), *summary(runs["callvista"], "hwm"),
             *summary(runs["callvista_empty"], "rss"), *summary(runs["abook_empty"], "rss"),
             *summary(runs["abook_empty"], "wall")))
    print("%d of %d targets met" % (sum(verdicts), len(verdicts)))


if __name__ == "__main__":
    main()
