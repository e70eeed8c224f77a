#!/usr/bin/env python3
"""Figures of Larkspur's count job beside its peers, in one run, against the test Dovecot.

Run through scripts/bench-peers, which puts it in the private network with the test Dovecot on
127.0.0.1:110 (mailbox "three" of three messages), a display and the project's Wine prefix.
Prints a Markdown report on standard output: per-check wall and processor time of Larkspur's
count job (many checks in one process), Python's poplib (the same dialogue, in one process),
curl (one process per check) and fetchmail --check (one process per check), each as a ratio to
Larkspur; one check waiting on a silent server; the time from start to the main form and the
tray icon and the idle processor time; the size of the executables; and the machine.
"""

import argparse
import os
import platform
import poplib
import re
import resource
import subprocess
import sys
import tempfile
import time

HOST, PORT, USER, PASSWORD = "127.0.0.1", 110, "three", "three-secret"
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def own_netns():
    return os.readlink("/proc/self/ns/net")


def processes(match):
    """Unix ids of this network's processes whose command line matches."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            if os.readlink(f"/proc/{entry}/ns/net") != own_netns():
                continue
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        if match(command):
            found.append(int(entry))
    return found


def cpu_seconds(pid):
    """User and system time of a process so far (its threads included)."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def wineserver():
    ids = processes(lambda c: os.path.basename(c.split(" ")[0]).startswith("wineserver"))
    return ids[0] if ids else None


def run_wine(arguments):
    """Output of a Windows program. Through a file, not a pipe: Wine's own background processes,
    started by the first program of a session, inherit its output and would keep a pipe open."""
    with tempfile.TemporaryFile(mode="w+") as output:
        subprocess.run(["wine"] + arguments, stdout=output, stderr=subprocess.DEVNULL)
        output.seek(0)
        return output.read()


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def larkspur(build, checks):
    server = wineserver()
    before = cpu_seconds(server)
    out = run_wine([f"{build}/bin/bench_checktime.exe", HOST, str(PORT), USER, PASSWORD,
                    str(checks)])
    server_cpu = (cpu_seconds(server) - before) * 1000 / checks
    figures = dict(re.findall(r"(\w+)=([\d.]+)", out))
    if figures.get("failures") != "0":
        sys.exit(f"Larkspur's checks failed: {out.strip()}")
    return float(figures["wall_ms"]), float(figures["cpu_ms"]), server_cpu


def poplib_checks(checks):
    def check():
        session = poplib.POP3(HOST, PORT)
        session.user(USER)
        session.pass_(PASSWORD)
        count, _ = session.stat()
        session.quit()
        if count != 3:
            sys.exit(f"poplib counted {count}")

    check()
    wall, cpu = time.perf_counter(), time.process_time()
    for _ in range(checks):
        check()
    return ((time.perf_counter() - wall) * 1000 / checks,
            (time.process_time() - cpu) * 1000 / checks)


def per_process(command, checks, accept):
    """Wall and processor time per check of a program run once per check."""
    def run():
        result = subprocess.run(command, capture_output=True, text=True)
        if not accept(result):
            sys.exit(f"{command[0]} failed: {result.returncode} {result.stdout}{result.stderr}")

    run()
    wall, cpu = time.perf_counter(), children_cpu()
    for _ in range(checks):
        run()
    return ((time.perf_counter() - wall) * 1000 / checks, (children_cpu() - cpu) * 1000 / checks)


def silent_server(build):
    server = wineserver()
    before = cpu_seconds(server)
    out = run_wine([f"{build}/bin/bench_silent_server.exe"])
    wall = float(re.search(r"wall time\s+([\d.]+)", out).group(1))
    cpu = float(re.search(r"process CPU\s+([\d.]+)", out).group(1))
    return wall, cpu, cpu_seconds(server) - before


def startup_and_idle(build, idle_seconds):
    """Start-up times and the idle processor time of Larkspur.exe in a Wine desktop."""
    probe = subprocess.Popen(
        ["wine", "explorer", "/desktop=shell,1024x768", f"{build}/bin/bench_startup.exe",
         windows_path(f"{build}/bin/Larkspur.exe"), str(idle_seconds)],
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    result = {}
    program = server = None
    for line in probe.stdout:
        line = line.strip()
        if "=" in line:
            key, value = line.split("=", 1)
            result[key] = value
        elif line == "idle_start":
            program = processes(lambda c: "Larkspur.exe" in c and "bench_startup" not in c)
            program = program[0] if program else None
            server = wineserver()
            start = (time.perf_counter(), cpu_seconds(program) if program else 0,
                     cpu_seconds(server))
        elif line == "idle_end" and program:
            wall = time.perf_counter() - start[0]
            result["idle_wall"] = wall
            result["idle_cpu"] = cpu_seconds(program) - start[1]
            result["idle_server_cpu"] = cpu_seconds(server) - start[2]
        if line == "idle_end":
            break  # the pipe itself may stay open (see run_wine)
    probe.wait()
    return result


def version(command, pattern):
    found = re.search(pattern, subprocess.run(command, capture_output=True, text=True).stdout)
    return found.group(1) if found else "?"


def machine():
    model = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo")
                  if l.startswith("model name")), "unknown")
    memory = next(l.split(":", 1)[1].strip() for l in open("/proc/meminfo")
                  if l.startswith("MemTotal"))
    debian = open("/etc/debian_version").read().strip()
    wine = run_wine(["--version"]).strip()
    curl = version(["curl", "--version"], r"curl (\S+)")
    fetchmail = version(["fetchmail", "--version"], r"release ([\d.]+)")
    return (f"{model}, {os.cpu_count()} cores (shared with other work), {memory} of memory; "
            f"Debian {debian}, Linux {platform.release()}; {wine} (wine64); "
            f"Python {platform.python_version()}; "
            f"curl {curl}; fetchmail {fetchmail}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/mingw-x64")
    parser.add_argument("--shipped", default="build/mingw-i686")
    parser.add_argument("--checks", type=int, default=200)
    parser.add_argument("--idle", type=int, default=60)
    args = parser.parse_args()

    # One server for the whole run, so that its processor time can be read around each part, with
    # Wine's background processes started before any output is read.
    subprocess.run(["wineserver", "-p"], check=True)
    run_wine(["cmd", "/c", "ver"])
    load_before = os.getloadavg()

    wall, cpu, server_per_check = larkspur(args.build, args.checks)
    rows = [("Larkspur count job (one process)", wall, cpu)]
    rows.append(("Python poplib (one process)",) + poplib_checks(args.checks))
    # -I: STAT answers one line, not a list that curl would wait for.
    rows.append(("curl -I -X STAT pop3:// (a process a check)",) + per_process(
        ["curl", "-s", "-I", "-u", f"{USER}:{PASSWORD}", "-X", "STAT", f"pop3://{HOST}/"],
        args.checks, lambda r: r.returncode == 0))
    home = tempfile.mkdtemp()
    rc = os.path.join(home, ".fetchmailrc")
    with open(rc, "w") as f:
        f.write(f'set no syslog\npoll {HOST} protocol POP3 port {PORT} user "{USER}" '
                f'password "{PASSWORD}" sslproto ""\n')
    os.chmod(rc, 0o600)
    rows.append(("fetchmail --check (a process a check)",) + per_process(
        ["fetchmail", "--check", "--fetchmailrc", rc, "--idfile", os.path.join(home, "ids")],
        args.checks, lambda r: r.returncode == 0 and "3 messages" in r.stdout + r.stderr))

    silent = silent_server(args.build)
    start = startup_and_idle(args.build, args.idle)
    load_after = os.getloadavg()

    base_wall, base_cpu = rows[0][1], rows[0][2]
    print(f"Checks per client: {args.checks}, after one that is not counted; "
          f"mailbox of 3 messages on the test Dovecot, 127.0.0.1:110.\n")
    print("| Client | wall ms/check | CPU ms/check | wall ratio | CPU ratio |")
    print("|---|---:|---:|---:|---:|")
    for name, wall, cpu in rows:
        print(f"| {name} | {wall:.2f} | {cpu:.2f} | {wall / base_wall:.2f} | "
              f"{cpu / base_cpu:.2f} |")
    print(f"\nWine's server spent {server_per_check:.2f} ms of CPU per Larkspur check besides "
          f"(work Windows does in its kernel).\n")
    print(f"One check on a silent server, TimeOut 10 s: {silent[1] * 1000:.0f} ms CPU over "
          f"{silent[0]:.2f} s ({100 * silent[1] / silent[0]:.2f}% of one core); Wine's server "
          f"{silent[2] * 1000:.0f} ms.\n")
    print(f"Start of Larkspur.exe (x64 build, Wine desktop with a taskbar) to its hidden main "
          f"form: {float(start.get('main_form_ms', 'nan')):.0f} ms; to its tray icon: "
          + (f"{float(start['tray_icon_ms']):.0f} ms" if "tray_icon_ms" in start
             else "no tray icon yet") + ".\n")
    if "idle_cpu" in start:
        print(f"Idle over {start['idle_wall']:.0f} s after start-up settled: Larkspur.exe "
              f"{start['idle_cpu'] * 1000:.0f} ms CPU ({100 * start['idle_cpu'] / start['idle_wall']:.3f}% "
              f"of one core); Wine's server {start['idle_server_cpu'] * 1000:.0f} ms "
              f"(it also serves Wine's own desktop).\n")
    for label, path in (("i686 (shipped)", f"{args.shipped}/bin/Larkspur.exe"),
                        ("x86_64 (tests)", f"{args.build}/bin/Larkspur.exe")):
        if os.path.exists(path):
            print(f"Larkspur.exe {label}: {os.path.getsize(path):,} bytes")
    print(f"\nMachine: {machine()}")
    print(f"Load average (1, 5, 15 min) at the start {load_before[0]:.2f}, {load_before[1]:.2f}, "
          f"{load_before[2]:.2f}; at the end {load_after[0]:.2f}, {load_after[1]:.2f}, "
          f"{load_after[2]:.2f}.")


if __name__ == "__main__":
    main()
