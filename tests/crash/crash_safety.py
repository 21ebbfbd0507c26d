#!/usr/bin/env python3
"""Kills the command-line tool with SIGKILL at random moments of an import of 10,000 records, a backup, a
restore and a PDF download, then checks what a user would find: the database opens, every paper has its
authors, no half-downloaded PDF is marked local, an interrupted backup leaves no archive under its name, and an
interrupted restore leaves the old library or the complete new one, telling which.

Usage: crash_safety.py BUILD_DIR [RUNS]   (default 20 runs per scenario; loopback only)
"""
import http.server
import json
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

BUILD = os.path.abspath(sys.argv[1])
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 20
CLI = os.path.join(BUILD, "src", "cli", "varnel-cli")
RECORDS = 10000
PDF = b"%PDF-1.4\n" + bytes(random.Random(7).getrandbits(8) for _ in range(1 << 16)) * 320 + b"\n%%EOF\n"
failures = []


def cli(data, *args, check=True):
    result = subprocess.run([CLI, "--data-dir", data, *args], capture_output=True, text=True, timeout=600)
    if check and result.returncode != 0:
        raise RuntimeError(f"varnel-cli {' '.join(args)}: {result.stderr.strip()}")
    return result


def papers(data):
    return json.loads(cli(data, "papers", "--all", "--json").stdout)


def timed(data, *args):
    start = time.monotonic()
    cli(data, *args)
    return time.monotonic() - start


def killed(data, delay, *args):
    """Starts the tool, kills it after delay seconds (if it is still running); True when it was killed."""
    process = subprocess.Popen([CLI, "--data-dir", data, *args], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        process.wait(timeout=delay)
        return False
    except subprocess.TimeoutExpired:
        process.send_signal(signal.SIGKILL)
        process.wait()
        return True


def fail(scenario, run, text):
    failures.append(f"{scenario} run {run}: {text}")


def write_ris(path):
    with open(path, "w", encoding="utf-8") as out:
        for i in range(RECORDS):
            out.write(f"TY  - JOUR\r\nT1  - Paper {i} on friction\r\nJO  - Journal {i % 50}\r\nPY  - {1990 + i % 30}\r\n"
                      f"VL  - {i % 90}\r\nAU  - Ivanov{i}, Ivan\r\nAU  - Petrov, Petr\r\nER  - \r\n\r\n")


def check_library(scenario, run, data, expect_counts):
    try:
        listed = papers(data)
    except Exception as error:  # the database must open
        fail(scenario, run, f"the library does not open: {error}")
        return None
    if len(listed) not in expect_counts:
        fail(scenario, run, f"{len(listed)} papers, expected one of {sorted(expect_counts)}")
    for paper in listed:
        if not paper.get("Authors"):
            fail(scenario, run, f"paper {paper.get('ID')} has no authors")
            break
    return listed


def scenario_import(work, ris):
    full = timed(os.path.join(work, "probe-import"), "import", ris)
    kills = 0
    for run in range(RUNS):
        data = os.path.join(work, f"import{run}")
        cli(data, "init")
        kills += killed(data, random.uniform(0.05, full), "import", ris)
        check_library("import", run, data, {0, RECORDS})
        shutil.rmtree(data)
    return full, kills


def scenario_backup(work, library):
    archive = os.path.join(work, "probe.vbk")
    full = timed(library, "backup", archive)
    os.remove(archive)
    kills = 0
    for run in range(RUNS):
        target = os.path.join(work, f"backup{run}.vbk")
        kills += killed(library, random.uniform(0.05, full), "backup", target)
        if os.path.exists(target):
            try:
                with zipfile.ZipFile(target) as done:
                    names = done.namelist()
                if sum(name.endswith(".ris") for name in names) != RECORDS:
                    fail("backup", run, f"an archive under the name with {len(names)} entries")
            except zipfile.BadZipFile:
                fail("backup", run, "a damaged archive under the chosen name")
            os.remove(target)
        for left in os.listdir(work):  # a partial file beside it may stay, but never under the name
            if left.startswith(f"backup{run}.vbk") and left != f"backup{run}.vbk":
                os.remove(os.path.join(work, left))
    return full, kills


def scenario_restore(work, archive):
    probe = os.path.join(work, "probe-restore")
    cli(probe, "init")
    full = timed(probe, "restore", archive, "--yes")
    kills = 0
    for run in range(RUNS):
        data = os.path.join(work, f"restore{run}")
        cli(data, "init")
        small = os.path.join(work, "small.ris")
        with open(small, "w") as out:
            out.write("TY  - JOUR\r\nT1  - Kept paper\r\nJO  - Old\r\nAU  - Old, One\r\nER  - \r\n")
        cli(data, "import", small)
        kills += killed(data, random.uniform(0.05, full), "restore", archive, "--yes")
        warning = cli(data, "stats").stderr
        listed = check_library("restore", run, data, {0, 1, RECORDS})
        if listed is None:
            continue
        told = "did not finish" in warning
        complete = len(listed) == RECORDS and not told
        old = len(listed) == 1 and listed[0]["Title"] == "Kept paper" and not told
        interrupted = told and os.path.exists(os.path.join(data, "Database", "varnel.bak"))
        if not (complete or old or interrupted):
            fail("restore", run, f"{len(listed)} papers, warning {'shown' if told else 'not shown'}")
        shutil.rmtree(data)
    return full, kills


class SlowSite(http.server.BaseHTTPRequestHandler):
    """A publisher's article page, its citation form and a PDF sent slowly."""

    def log_message(self, *args):
        pass

    def answer(self, body, kind="text/html"):
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        port = self.server.server_address[1]
        if self.path.startswith("/science/article/pii/"):
            key = self.path.rsplit("/", 1)[1]
            self.answer((f'<a pdfurl="http://127.0.0.1:{port}/pdf/{key}.pdf" class=b>\n<div class="icon_exportarticlesci_dir" '
                         f'title="Export citation"><a href="/science?_ob=DownloadURL&_acct=C0&_eidkey={key}&zone=x">').encode())
        elif self.path.startswith("/science?"):
            key = self.path.split("_eidkey=")[1].split("&")[0]
            self.answer(f"<input type=hidden name=md5 value={key}>".encode())
        elif self.path.startswith("/pdf/"):
            self.send_response(200)
            self.send_header("Content-Type", "application/pdf")
            self.send_header("Content-Length", str(len(PDF)))
            self.end_headers()
            try:
                for at in range(0, len(PDF), 1 << 18):
                    self.wfile.write(PDF[at:at + (1 << 18)])
                    time.sleep(0.02)
            except (BrokenPipeError, ConnectionResetError):
                pass
        else:
            self.send_error(404)

    def do_POST(self):
        length = int(self.headers.get("Content-Length", 0))
        body = self.rfile.read(length).decode()
        key = body.split("md5=")[1].split("&")[0]
        self.answer(f"TY  - JOUR\r\nT1  - Fetched {key}\r\nJO  - Wear\r\nAU  - Ivanov, Ivan\r\nER  - \r\n".encode(), "text/plain")


def scenario_download(work):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), SlowSite)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port = server.server_address[1]
    kills = 0
    full = None
    for run in range(RUNS + 1):
        data = os.path.join(work, f"download{run}")
        cli(data, "init")
        with open(os.path.join(data, "varnel.ini"), "a") as ini:
            ini.write(f"\r\n[Web]\r\nScienceDirect=127.0.0.1:{port}\r\n[Options]\r\nCheckForUpdates=0\r\n")
        address = f"http://127.0.0.1:{port}/science/article/pii/S{run}"
        if full is None:  # the first run measures the whole fetch
            full = timed(data, "fetch", address)
            continue
        kills += killed(data, random.uniform(0.05, full), "fetch", address)
        listed = check_library("download", run, data, {0, 1})
        for paper in listed or []:
            if paper.get("Local"):
                path = os.path.join(data, "Library", paper["Folder"], paper["FileName"] + paper["Ext"])
                with open(path, "rb") as file:
                    if file.read() != PDF:
                        fail("download", run, "a PDF marked local is not the whole file")
        shutil.rmtree(data)
    server.shutdown()
    return full, kills


def main():
    work = tempfile.mkdtemp(prefix="varnel-crash-")
    os.environ["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="varnel-runtime-")
    try:
        ris = os.path.join(work, "records.ris")
        write_ris(ris)
        library = os.path.join(work, "library")
        cli(library, "import", ris)
        archive = os.path.join(work, "library.vbk")
        cli(library, "backup", archive)
        print(f"{'scenario':10} {'runs':>5} {'killed':>7} {'full run s':>11}")
        for name, run in (("import", lambda: scenario_import(work, ris)), ("backup", lambda: scenario_backup(work, library)),
                          ("restore", lambda: scenario_restore(work, archive)), ("download", lambda: scenario_download(work))):
            full, kills = run()
            print(f"{name:10} {RUNS:5} {kills:7} {full:11.2f}", flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print("FAIL:", failure)
    print("no fault found" if not failures else f"{len(failures)} faults")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
