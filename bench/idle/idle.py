#!/usr/bin/env python3
"""Larkspur idle beside a program that only shows a tray icon, in one run and one Wine desktop.

Run through scripts/bench-idle, which puts it in the private network with the test Dovecot, a
display and the project's Wine prefix. Larkspur starts through bench_startup with a direct
connection, an empty mailbox and a check every 10 minutes; once its first check is over, the
minimal tray program (bench_tray) starts beside it. Over the same minutes, with both icons up,
it reads from Linux for each process: private memory (pages of the process alone, resident
in memory: Private_Clean + Private_Dirty of smaps_rollup) and context switches over all its
threads (voluntary and involuntary, summed over /proc/PID/task/*/status), and which system
libraries Larkspur maps that the minimal program does not. Prints a Markdown report.
"""

import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "peers"))
from peers import machine, processes, run_wine, windows_path  # noqa: E402

SETTLE_SECONDS = 10


def private_kb(pid):
    total = 0
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                total += int(line.split()[1])
    return total


def private_by_mapping(pid):
    """Private kB of each mapped file (anonymous memory as "[anonymous]"), largest first."""
    totals = {}
    name = None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            fields = line.split()
            if not fields[0].endswith(":"):
                name = os.path.basename(fields[5]) if len(fields) > 5 else "[anonymous]"
            elif fields[0] in ("Private_Clean:", "Private_Dirty:"):
                totals[name] = totals.get(name, 0) + int(fields[1])
    return sorted(totals.items(), key=lambda item: -item[1])


def context_switches(pid):
    """Switches of each thread alive now, by thread id; threads that ended are not counted."""
    switches = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                switches[task] = sum(int(line.split()[1]) for line in f if line.startswith(
                    ("voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:")))
        except OSError:
            pass
    return switches


def libraries(pid):
    found = set()
    with open(f"/proc/{pid}/maps") as f:
        for line in f:
            path = line.split(maxsplit=5)[-1].strip()
            if path.lower().endswith((".dll", ".drv", ".exe")):
                found.add(os.path.basename(path).lower())
    return found


def one(name, match):
    found = processes(match)
    if len(found) != 1:
        seen = processes(lambda c: ".exe" in c.lower())
        sys.exit(f"expected one {name}, found {found}; Windows processes: " + "; ".join(
            open(f"/proc/{pid}/cmdline", "rb").read().replace(b"\0", b" ").decode(
                errors="replace") for pid in seen))
    return found[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/mingw-x64")
    parser.add_argument("--minutes", type=float, default=3)
    parser.add_argument("--detail", type=int, default=0,
                        help="also list each program's largest private mappings")
    args = parser.parse_args()
    seconds = int(args.minutes * 60)

    subprocess.run(["wineserver", "-p"], check=True)
    run_wine(["cmd", "/c", "ver"])

    probe = subprocess.Popen(
        ["wine", "explorer", "/desktop=shell,1024x768", f"{args.build}/bin/bench_startup.exe",
         windows_path(f"{args.build}/bin/Larkspur.exe"), str(seconds + 300)],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    started = {}
    for line in probe.stdout:
        line = line.strip()
        if "=" in line:
            key, value = line.split("=", 1)
            started[key] = value
        if line == "idle_start":
            break
    if "tray_icon_ms" not in started:
        sys.exit(f"Larkspur showed no tray icon: {started}")
    subprocess.Popen(["wine", "explorer", "/desktop=shell,1024x768",
                      f"{args.build}/bin/bench_tray.exe"],
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    tray_running = lambda c: "bench_tray.exe" in c and "explorer" not in c
    for _ in range(120):
        if processes(tray_running):
            break
        time.sleep(0.5)
    time.sleep(SETTLE_SECONDS)

    larkspur = one("Larkspur", lambda c: "Larkspur.exe" in c and "bench_startup" not in c)
    tray = one("minimal tray program", tray_running)
    before = {pid: context_switches(pid) for pid in (larkspur, tray)}
    start = time.monotonic()
    time.sleep(seconds)
    minutes = (time.monotonic() - start) / 60
    rows = []
    per_thread = {}
    for name, pid in (("Larkspur.exe", larkspur), ("minimal tray program", tray)):
        after = context_switches(pid)
        rates = sorted(((after[t] - before[pid].get(t, 0)) / minutes for t in after),
                       reverse=True)
        per_thread[name] = rates
        rows.append((name, private_kb(pid), sum(rates), len(after)))
    extra = sorted(libraries(larkspur) - libraries(tray) - {"larkspur.exe"})
    detail = {name: private_by_mapping(pid)[:args.detail]
              for name, pid in (("Larkspur.exe", larkspur), ("minimal tray program", tray))}
    # bench_startup would wait out its margin; it and both programs end here.
    for pid in [larkspur, tray] + processes(lambda c: "bench_startup.exe" in c and
                                            "explorer" not in c):
        os.kill(pid, 9)
    probe.wait()

    print(f"Idle over {minutes:.1f} min with both tray icons up ({args.build}, direct "
          f"connection, an empty mailbox, a check every 10 minutes; the first check was over "
          f"before the window began).\n")
    print("| Program | private memory | context switches a minute (all threads) | threads |")
    print("|---|---:|---:|---:|")
    for name, kb, rate, threads in rows:
        print(f"| {name} | {kb / 1024:.1f} MB | {rate:.1f} | {threads} |")
    for name, rates in per_thread.items():
        print(f"\n{name}, context switches a minute by thread: "
              + ", ".join(f"{rate:.1f}" for rate in rates) + ".")
    print(f"\nLarkspur's private memory is {rows[0][1] / rows[1][1]:.2f} times the minimal "
          f"program's.\n")
    print("Libraries Larkspur maps that the minimal program does not: "
          + (", ".join(extra) if extra else "none") + ".\n")
    for name, mappings in detail.items():
        if mappings:
            print(f"Largest private mappings of {name}: " + ", ".join(
                f"{mapping} {kb} kB" for mapping, kb in mappings) + ".\n")
    print(f"Machine: {machine()}")


if __name__ == "__main__":
    main()
