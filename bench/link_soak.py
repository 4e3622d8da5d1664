#!/usr/bin/env python3
"""Soak and fault sweep of the reader link, through pellucard-cli and its socket reader.

soak:  full phone book reads, writes and card backups against `pellucard-cli simulate --profile
       realistic` (a report every millisecond, repeats queued in the socket while the host is
       away), with the command line tool stopped (SIGSTOP) at random moments for 10-500 ms,
       optionally beside CPU-bound neighbours. Prints runs, link retries, failures and wrong
       results per kind of run.
sweep: `info`, `backup`, `phonebook read` and `restore`, each run once per acknowledgement with
       that one acknowledgement lost; every run must either give what a clean run gives or exit
       1 with a message. Prints, per command, the positions that succeeded, failed honestly and
       went wrong.

Neither is part of the test run. The exit status is 1 when a run went wrong (wrong data with
exit 0, or an exit status other than 0 and 1) or, in the soak, failed.

    bench/link_soak.py --runs 500 --load 2
    bench/link_soak.py --sweep-only
"""
import argparse
import json
import os
import random
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
from collections import Counter
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]


def small_card(path, phone_book, sms):
    """The demo card with a smaller phone book and message store, so that a run is short."""
    image = json.loads((ROOT / "data/cards/demo.json").read_text(encoding="utf-8"))
    for file in image["files"]:
        if file["path"].endswith("6F3A"):
            file["record_count"] = phone_book
            file["records"] = file["records"][:phone_book]
        if file["path"].endswith("6F3C"):
            file["record_count"] = sms
            file["records"] = file["records"][:sms]
    path.write_text(json.dumps(image, indent=1), encoding="utf-8")


class Simulator:
    """`pellucard-cli simulate` on a socket of its own, with a copy of a card image."""

    def __init__(self, cli, work, image, profile, extra=()):
        self.socket = work / "reader.sock"
        self.image = work / "card.json"
        self.image.write_bytes(image.read_bytes())
        if self.socket.exists():
            self.socket.unlink()
        self.process = subprocess.Popen(
            [cli, "simulate", "--socket", str(self.socket), "--image", str(self.image),
             "--profile", profile, *extra],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        # The socket's file appears at bind(), a moment before the server listens: wait until
        # a connection is taken (the server serves it and goes back to accepting).
        deadline = time.monotonic() + 10
        while not self.listening():
            if time.monotonic() > deadline or self.process.poll() is not None:
                raise RuntimeError("the simulator did not start")
            time.sleep(0.01)

    def listening(self):
        if not self.socket.exists():
            return False
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as probe:
            try:
                probe.connect(str(self.socket))
                return True
            except OSError:
                return False

    def stop(self):
        """Ends the simulator; returns (acknowledgements, reports sent again by the host)."""
        self.process.send_signal(signal.SIGINT)
        _, err = self.process.communicate(timeout=30)
        match = re.search(r"acknowledgements: (\d+), reports sent again by the host: (\d+)", err)
        return (int(match[1]), int(match[2])) if match else (0, 0)


def run_cli(cli, socket, args, pauses=False, timeout=600):
    """Runs the command line tool on the socket reader; with `pauses`, stops it at random."""
    process = subprocess.Popen(
        [cli, "--reader", f"socket:{socket}", "--pin", "1234", *args],
        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    stopped = []
    done = threading.Event()

    def pause_at_random():
        while not done.wait(random.uniform(0.05, 0.6)):
            pause = random.uniform(0.010, 0.500)
            try:
                os.kill(process.pid, signal.SIGSTOP)
                time.sleep(pause)
                os.kill(process.pid, signal.SIGCONT)
                stopped.append(pause)
            except ProcessLookupError:
                return

    pauser = threading.Thread(target=pause_at_random) if pauses else None
    if pauser:
        pauser.start()
    try:
        out, err = process.communicate(timeout=timeout)
    finally:
        done.set()
        if pauser:
            pauser.join()
        try:
            os.kill(process.pid, signal.SIGCONT)
        except ProcessLookupError:
            pass
    return process.returncode, out, err, stopped


def read_phone_book(cli, socket):
    code, out, err, _ = run_cli(cli, socket, ["--json", "phonebook", "read"])
    if code != 0:
        raise RuntimeError(f"a clean read failed: {err}")
    return json.loads(out)


def soak(cli, runs, load):
    neighbours = [subprocess.Popen([sys.executable, "-c", "while True: pass"])
                  for _ in range(load)]
    totals = {kind: Counter() for kind in ("read", "write", "backup")}
    started = time.monotonic()
    try:
        with tempfile.TemporaryDirectory() as folder:
            work = Path(folder)
            image = work / "small.json"
            small_card(image, phone_book=40, sms=8)
            clean = Simulator(cli, work, image, "realistic")
            expected_book = read_phone_book(cli, clean.socket)
            code, _, err, _ = run_cli(cli, clean.socket, ["backup", str(work / "clean.json")])
            clean.stop()
            if code != 0:
                raise RuntimeError(f"a clean backup failed: {err}")
            expected_backup = json.loads((work / "clean.json").read_text())
            for run in range(runs):
                kind = ("read", "write", "backup")[run % 3]
                counts = totals[kind]
                simulator = Simulator(cli, work, image, "realistic")
                if kind == "read":
                    code, out, err, stopped = run_cli(
                        cli, simulator.socket, ["--json", "phonebook", "read"], pauses=True)
                    right = code == 0 and json.loads(out) == expected_book
                elif kind == "write":
                    book = [dict(slot=row["slot"], name=f"Soak {run} {row['slot']}"[:14],
                                 number=f"+4670{run:04d}{row['slot']:03d}")
                            for row in expected_book]
                    (work / "book.json").write_text(json.dumps(book))
                    code, out, err, stopped = run_cli(
                        cli, simulator.socket, ["phonebook", "write", str(work / "book.json")],
                        pauses=True)
                    right = False
                    if code == 0:
                        back = read_phone_book(cli, simulator.socket)
                        right = [(r["name"], r["number"]) for r in back] == \
                                [(r["name"], r["number"]) for r in book]
                else:
                    target = work / "backup.json"
                    code, out, err, stopped = run_cli(
                        cli, simulator.socket, ["backup", str(target)], pauses=True)
                    right = code == 0 and json.loads(target.read_text()) == expected_backup
                _, again = simulator.stop()
                counts["runs"] += 1
                counts["pauses"] += len(stopped)
                counts["retries"] += again
                if code == 0 and not right:
                    counts["wrong"] += 1
                elif code != 0:
                    counts["failed"] += 1
                    print(f"  run {run} ({kind}) exit {code}: {err.strip()}", flush=True)
                if (run + 1) % 30 == 0:
                    print(f"  {run + 1} runs, {time.monotonic() - started:.0f} s", flush=True)
    finally:
        for neighbour in neighbours:
            neighbour.kill()
    print(f"soak: {runs} runs in {time.monotonic() - started:.0f} s, "
          f"{load} CPU-bound neighbours, load {os.getloadavg()[0]:.1f}")
    print(f"{'run':8} {'runs':>6} {'pauses':>7} {'retries':>8} {'failed':>7} {'wrong':>6}")
    bad = 0
    for kind, counts in totals.items():
        print(f"{kind:8} {counts['runs']:6} {counts['pauses']:7} {counts['retries']:8} "
              f"{counts['failed']:7} {counts['wrong']:6}")
        bad += counts["failed"] + counts["wrong"]
    return bad == 0


def sweep(cli):
    """Loses one acknowledgement at every position of four commands."""
    commands = {
        "info": ["info"],
        "backup": ["backup", "{work}/backup.json"],
        "phonebook read": ["--json", "phonebook", "read"],
        "restore": ["restore", "{work}/restore.json", "--yes"],
    }
    verdict = True
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        image = work / "small.json"
        small_card(image, phone_book=6, sms=2)
        # The backup that restore writes: the small card with its phone book changed.
        simulator = Simulator(cli, work, image, "instant")
        run_cli(cli, simulator.socket, ["backup", str(work / "before.json")])
        simulator.stop()
        changed = json.loads((work / "before.json").read_text())
        changed["phonebook"][0]["data"] = changed["phonebook"][1]["data"]
        (work / "restore.json").write_text(json.dumps(changed))

        def outcome(args):
            """What a command leaves: its output, the file it wrote, the card it changed."""
            code, out, err, _ = run_cli(cli, simulator.socket,
                                        [a.format(work=work) for a in args], timeout=120)
            acks, _ = simulator.stop()
            written = (work / "backup.json").read_text() if args[0] == "backup" and code == 0 \
                else ""
            card = json.loads(simulator.image.read_text())
            return code, (out if args[0] != "restore" else ""), written, card, err, acks

        for name, args in commands.items():
            simulator = Simulator(cli, work, image, "instant")
            code, out, written, card, err, acks = outcome(args)
            if code != 0:
                print(f"{name}: the clean run failed: {err.strip()}")
                verdict = False
                continue
            tally = Counter()
            for position in range(acks):
                (work / "backup.json").unlink(missing_ok=True)
                simulator = Simulator(cli, work, image, "instant",
                                      ["--lose-ack-at", str(position)])
                got = outcome(args)
                if got[0] == 0:
                    same = got[1:4] == (out, written, card)
                    tally["right" if same else "WRONG"] += 1
                    if not same:
                        print(f"  {name}: position {position} exit 0 with other data")
                elif got[0] == 1 and got[4].strip():
                    tally["exit 1"] += 1
                else:
                    tally["BAD EXIT"] += 1
                    print(f"  {name}: position {position} exit {got[0]}: {got[4].strip()}")
            print(f"{name:15} {acks:4} positions: {tally['right']} right, "
                  f"{tally['exit 1']} exit 1 with a message, {tally['WRONG']} wrong, "
                  f"{tally['BAD EXIT']} other exits", flush=True)
            verdict = verdict and tally["WRONG"] == 0 and tally["BAD EXIT"] == 0
    return verdict


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", default=str(ROOT / "build/default/src/cli/pellucard-cli"))
    parser.add_argument("--runs", type=int, default=60, help="soak runs (default 60)")
    parser.add_argument("--load", type=int, default=0, help="CPU-bound neighbours")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--soak-only", action="store_true")
    parser.add_argument("--sweep-only", action="store_true")
    options = parser.parse_args()
    random.seed(options.seed)
    good = True
    if not options.sweep_only:
        good = soak(options.cli, options.runs, options.load) and good
    if not options.soak_only:
        good = sweep(options.cli) and good
    return 0 if good else 1


if __name__ == "__main__":
    sys.exit(main())
