#!/usr/bin/env python3
"""What the scope's ticks cost over the link to a window in another process.

    python3 bench/python/scope_link.py [RUN_DIR] [SECONDS]

Starts "korvex --servo-only" in RUN_DIR (default build/run) on a free
loopback port and connects to it twice, once as a console alone and once as
a window does (asking for the ticks with UI_SCOPE), for SECONDS each
(default 10). Prints the bytes a second received, the SERVO_SCOPE messages
and ticks a second, and the servo process's share of a core meanwhile.
"""
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile
import time

UI_SCOPE = 27
SERVO_SCOPE = 17
SAMPLE_BYTES = 4 * (5 + 4 * 6 + 2 * 7 + 6)


def process_seconds(pid):
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def listen(port, pid, ask, seconds):
    link = socket.create_connection(("127.0.0.1", port))
    if ask:
        link.sendall(struct.pack(">HHi", 8, UI_SCOPE, 1))
    link.settimeout(0.1)
    start, cpu = time.time(), process_seconds(pid)
    received, pending, messages, ticks = 0, b"", 0, 0
    while time.time() - start < seconds:
        try:
            data = link.recv(65536)
        except socket.timeout:
            continue
        received += len(data)
        pending += data
        while len(pending) >= 4:
            length, kind = struct.unpack(">HH", pending[:4])
            if len(pending) < length:
                break
            if kind == SERVO_SCOPE:
                messages += 1
                ticks += (length - 4) // SAMPLE_BYTES
            pending = pending[length:]
    elapsed = time.time() - start
    share = 100 * (process_seconds(pid) - cpu) / elapsed
    link.close()
    return received / elapsed, messages / elapsed, ticks / elapsed, share


def main():
    run = sys.argv[1] if len(sys.argv) > 1 else "build/run"
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    # Its standard error goes to a file: a pipe nobody reads would stall it.
    err = tempfile.TemporaryFile(mode="w+")
    servo = subprocess.Popen(["./korvex", "--servo-only", "--listen", "127.0.0.1:0"], cwd=run,
                             stdout=subprocess.DEVNULL, stderr=err)
    try:
        port = None
        deadline = time.time() + 20
        while port is None:
            if servo.poll() is not None or time.time() > deadline:
                sys.exit("the servo did not start")
            time.sleep(0.1)
            err.seek(0)
            found = re.search(r"listening on [\d.]+:(\d+)", err.read())
            port = int(found.group(1)) if found else None
        for name, ask in (("console alone", False), ("window", True)):
            rate, messages, ticks, share = listen(port, servo.pid, ask, seconds)
            print(f"{name:14s} {rate / 1000:7.1f} kB/s  {messages:5.1f} scope messages/s  "
                  f"{ticks:5.0f} ticks/s  servo process {share:4.1f} % of a core")
            time.sleep(2.5)  # the relay notices the peer gone
    finally:
        servo.terminate()
        servo.wait(10)


if __name__ == "__main__":
    main()
