#!/usr/bin/env python3
"""The CPU veldrask uses while a server holds its transfer: a listener on 127.0.0.1 that
stalls for HOLD seconds at one point of the exchange, then closes. veldrask's CPU time is
read from /proc (every thread's schedstat) over the middle of the stall."""

import argparse
import json
import os
import random
import shutil
import socket
import subprocess
import tempfile
import threading
import time

MIB = 1 << 20


def listen_below_32768():
    """ServerPort is a 16-bit signed property, so the ephemeral range is out of reach."""
    for _ in range(200):
        try:
            return socket.create_server(("127.0.0.1", random.randint(20000, 32767)))
        except OSError:
            continue
    raise RuntimeError("no free port found")


def read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            raise ConnectionError("closed before the request head ended")
        data += chunk
    head, rest = data.split(b"\r\n\r\n", 1)
    return head.decode("latin-1"), rest


def content_length(head):
    for line in head.split("\r\n")[1:]:
        name, _, value = line.partition(":")
        if name.strip().lower() == "content-length":
            return int(value)
    return 0


class StallServer:
    """Accepts one connection and stalls: 'send' without reading anything, 'reply' after
    reading the whole request without answering, 'body' after a download's head and the first
    64 KiB of a 100 MiB body. stalled is set when the stall begins."""

    def __init__(self, mode, hold):
        self.mode = mode
        self.hold = hold
        self.listener = listen_below_32768()
        self.port = self.listener.getsockname()[1]
        self.stalled = threading.Event()
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        conn, _ = self.listener.accept()
        with conn:
            if self.mode == "reply":
                head, rest = read_head(conn)
                left = content_length(head) - len(rest)
                while left > 0:
                    chunk = conn.recv(min(left, MIB))
                    if not chunk:
                        break
                    left -= len(chunk)
            elif self.mode == "body":
                read_head(conn)
                conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                             b"Content-Length: %d\r\n\r\n" % (100 * MIB) + bytes(65536))
            self.stalled.set()
            time.sleep(self.hold)
        self.listener.close()


def cpu_seconds(pid):
    """CPU time of every thread of pid, from schedstat (nanoseconds)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[0])
        except FileNotFoundError:
            pass
    return total / 1e9


def peak_rss_kib(pid):
    """VmHWM: the high-water RSS of the image running now (not of the one it replaced)."""
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    return 0


def run_case(args, mode, work, upload_file):
    server = StallServer(mode, args.hold)
    # stderr is kept: a veldrask that fails at once must say why.
    errors = open(os.path.join(work, f"{mode}.err"), "wb")
    command = [args.veldrask, "--param", "HostName=127.0.0.1", "--param",
               f"ServerPort={server.port}", "--quiet"]
    if mode == "body":
        command += ["download", "--to", os.path.join(work, "down"), "--overwrite",
                    f"/files/held.bin:{100 * MIB}"]
    else:
        command += ["--param", "ActionURL=/upload", "--param", "MaxFileSize=2047", "--param",
                    "BufferSize=65536", "upload", upload_file]
    env = dict(os.environ, VELDRASK_REGISTRY=os.path.join(work, "registry"), LC_ALL="C.UTF-8")
    with errors:
        child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=errors, env=env)
    window = used = peak = None
    try:
        if not server.stalled.wait(30):
            with open(errors.name, "rb") as text:
                raise RuntimeError(f"{mode}: the stall never began: {text.read()[-400:]!r}")
        # Skip the first second, when veldrask may still be filling socket buffers.
        time.sleep(1)
        first, started = cpu_seconds(child.pid), time.monotonic()
        time.sleep(args.hold - 2)
        window = time.monotonic() - started
        used = cpu_seconds(child.pid) - first
        peak = peak_rss_kib(child.pid)
    finally:
        timer = threading.Timer(30, child.kill)
        timer.start()
        _, _, usage = os.wait4(child.pid, 0)
        timer.cancel()
    return {"mode": mode, "window_s": window, "cpu_s": used,
            "core_percent": 100 * used / window,
            "lifetime_cpu_s": usage.ru_utime + usage.ru_stime,
            "peak_rss_kib": peak}


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--veldrask", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--hold", type=float, default=10)
    args = parser.parse_args()
    work = tempfile.mkdtemp(prefix="veldrask-idle.", dir="/dev/shm")
    try:
        os.makedirs(os.path.join(work, "down"))
        upload_file = os.path.join(work, "held.bin")
        with open(upload_file, "wb") as out:
            out.write(os.urandom(MIB) * 100)
        results = [run_case(args, mode, work, upload_file) for mode in ("send", "reply", "body")]
    finally:
        shutil.rmtree(work, ignore_errors=True)
    with open(args.out, "w") as out:
        json.dump(results, out, indent=1)


if __name__ == "__main__":
    main()
