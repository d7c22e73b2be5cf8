#!/usr/bin/env python3
"""End-to-end transfers on loopback: veldrask beside curl against one nginx started here, on
files in tmpfs. Writes every run's wall time, CPU time and peak RSS as JSON."""

import argparse
import filecmp
import grp
import json
import os
import pwd
import random
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

MIB = 1 << 20
GIB = 1 << 30
SIZES = [("1MiB", MIB), ("100MiB", 100 * MIB), ("1GiB", GIB)]
BENCH_DIR = os.path.dirname(os.path.abspath(__file__))


def log(text):
    print(text, file=sys.stderr, flush=True)


def free_port():
    """A port of 127.0.0.1 below the ephemeral range that nothing listens on."""
    for _ in range(200):
        port = random.randint(20000, 32767)
        with socket.socket() as probe:
            try:
                probe.bind(("127.0.0.1", port))
            except OSError:
                continue
            return port
    raise RuntimeError("no free port found")


def wait_for_port(port, process, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if process.poll() is not None:
            return False
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=0.2):
                return True
        except OSError:
            time.sleep(0.05)
    return False


class Nginx:
    """Debian's nginx on a free port with bench/nginx.conf.in, its prefix under work."""

    def __init__(self, work, root):
        self.prefix = os.path.join(work, "nginx")
        os.makedirs(self.prefix, exist_ok=True)
        with open(os.path.join(BENCH_DIR, "nginx.conf.in")) as template:
            self.template = template.read()
        self.root = root
        self.process = None
        self.port = None
        self.tls_port = None
        self.certificate = os.path.join(self.prefix, "tls.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                        "ec_paramgen_curve:P-256", "-nodes", "-keyout",
                        os.path.join(self.prefix, "tls.key"), "-out", self.certificate,
                        "-days", "2", "-subj", "/CN=127.0.0.1",
                        "-addext", "subjectAltName=IP:127.0.0.1"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def start(self):
        for _ in range(5):
            self.port = free_port()
            self.tls_port = free_port()
            conf = os.path.join(self.prefix, "nginx.conf")
            text = self.template
            for key, value in {"PORT": str(self.port), "TLS_PORT": str(self.tls_port),
                               "PREFIX": self.prefix,
                               "ROOT": self.root, "USER": _user(), "GROUP": _group()}.items():
                text = text.replace("@" + key + "@", value)
            with open(conf, "w") as out:
                out.write(text)
            self.process = subprocess.Popen(
                ["nginx", "-p", self.prefix, "-c", conf, "-e", os.path.join(self.prefix, "error.log")],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if wait_for_port(self.port, self.process) and wait_for_port(self.tls_port,
                                                                         self.process):
                return
            self.stop()
        raise RuntimeError("nginx did not start; see " + os.path.join(self.prefix, "error.log"))

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process = None


def _user():
    return pwd.getpwuid(os.getuid()).pw_name


def _group():
    return grp.getgrgid(os.getgid()).gr_name


def check_body_read_first(port):
    """nginx must read the whole request body before it answers an upload: an answer that
    came early would let the client's last bytes go unread and flatter its time."""
    total = 8 * MIB
    head = ("POST /upload HTTP/1.1\r\nHost: 127.0.0.1\r\n"
            "Content-Type: application/octet-stream\r\n"
            f"Content-Length: {total}\r\n\r\n").encode()
    chunk = bytes(MIB)
    with socket.create_connection(("127.0.0.1", port)) as conn:
        conn.sendall(head)
        for _ in range(total // MIB // 2):
            conn.sendall(chunk)
        conn.settimeout(1.5)
        try:
            early = conn.recv(4096)
        except socket.timeout:
            early = None
        if early is not None:
            raise RuntimeError("nginx answered before the body was complete: %r" % early[:80])
        conn.settimeout(10)
        started = time.monotonic()
        for _ in range(total // MIB // 2):
            conn.sendall(chunk)
        answer = b""
        while b"\r\n\r\nok" not in answer:
            data = conn.recv(4096)
            if not data:
                break
            answer += data
        if not answer.startswith(b"HTTP/1.1 200") or b"ok" not in answer:
            raise RuntimeError("unexpected upload answer: %r" % answer[:200])
        return time.monotonic() - started


def measure(cmd, env, stdout_path, timeout=600):
    """Runs cmd and returns its wall time, user and sys seconds and max RSS.

    cmd runs under GNU time for its max RSS: Linux keeps the high-water RSS of the image a
    process replaces at exec, so a child forked from this Python would report Python's size;
    time's own image is small (see floor()). The CPU seconds are wait4's, which count time
    and its reaped child, in microseconds rather than time's centiseconds."""
    usage_path = stdout_path + ".time"
    with open(stdout_path, "wb") as out, open(stdout_path + ".err", "wb") as err:
        started = time.perf_counter()
        child = subprocess.Popen(["/usr/bin/time", "-o", usage_path, "-f", "%M", *cmd],
                                 stdout=out, stderr=err, env=env)
        timer = threading.Timer(timeout, child.kill)
        timer.start()
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - started
        timer.cancel()
    child.returncode = os.waitstatus_to_exitcode(status)
    with open(stdout_path, "rb") as out:
        stdout = out.read(4096)
    with open(stdout_path + ".err", "rb") as err:
        stderr = err.read(4096)
    with open(usage_path) as lines:
        # A child that died of a signal gets a "Command terminated" line first.
        maxrss = int(lines.read().split()[-1])
    return {"rc": child.returncode, "wall": wall, "user": usage.ru_utime, "sys": usage.ru_stime,
            "maxrss_kib": maxrss, "stdout": stdout, "stderr": stderr}


def floor(env, out):
    """What the measurement itself shows for /bin/true: the floor under every figure."""
    runs = [measure(["true"], env, out) for _ in range(5)]
    return {"wall": min(r["wall"] for r in runs),
            "cpu": min(r["user"] + r["sys"] for r in runs),
            "maxrss_kib": min(r["maxrss_kib"] for r in runs)}


def make_file(path, size):
    """Random bytes (a 1 MiB random block repeated) on tmpfs."""
    block = os.urandom(MIB)
    with open(path, "wb") as out:
        left = size
        while left > 0:
            out.write(block[:min(left, MIB)])
            left -= MIB


class Bench:
    def __init__(self, args, work):
        self.args = args
        self.work = work
        self.root = os.path.join(work, "root")
        self.files_dir = os.path.join(self.root, "files")
        self.down_dir = os.path.join(work, "down")
        os.makedirs(self.files_dir)
        os.makedirs(self.down_dir)
        self.env = dict(os.environ)
        # OpenSSL's own trust store, as installed: a bundle named in SSL_CERT_FILE is parsed
        # whole at start (0.8 MiB more for Debian's), where the hashed folder is read an issuer
        # at a time. Some environments set it for every program.
        for name in ("SSL_CERT_FILE", "SSL_CERT_DIR"):
            self.env.pop(name, None)
        self.env["VELDRASK_REGISTRY"] = os.path.join(work, "registry")
        self.env["LC_ALL"] = "C.UTF-8"
        self.out = os.path.join(work, "stdout")
        self.nginx = Nginx(work, self.root)

    def veldrask(self, tls, *extra):
        if tls:
            return [self.args.veldrask, "--cacert", self.nginx.certificate, "--param",
                    "HostName=https://127.0.0.1", "--param", f"ServerPort={self.nginx.tls_port}",
                    *extra]
        return [self.args.veldrask, "--param", "HostName=127.0.0.1", "--param",
                f"ServerPort={self.nginx.port}", *extra]

    def curl(self, tls, url_path, *extra):
        if tls:
            return ["curl", "-sS", "--fail", "--cacert", self.nginx.certificate, *extra,
                    f"https://127.0.0.1:{self.nginx.tls_port}{url_path}"]
        return ["curl", "-sS", "--fail", *extra, f"http://127.0.0.1:{self.nginx.port}{url_path}"]

    def upload_tools(self, path, tls):
        tools = {"curl": self.curl(tls, "/upload", "-F", "file=@" + path, "-H", "Expect:")}
        if self.args.raw and not tls:
            tools["raw-sendfile"] = [self.args.raw, "upload", str(self.nginx.port), "/upload", path]
        for block in (8192, 65536):
            tools[f"veldrask-{block}"] = self.veldrask(
                tls, "--param", "ActionURL=/upload", "--param", "MaxFileSize=2047", "--param",
                f"BufferSize={block}", "--quiet", "upload", path)
        return tools

    def download_tools(self, name, size, tls):
        target = os.path.join(self.down_dir, name)
        tools = {
            "curl": self.curl(tls, f"/files/{name}", "-o", target),
            "veldrask": self.veldrask(tls, "--quiet", "download", "--to", self.down_dir,
                                      "--overwrite", f"/files/{name}:{size}"),
        }
        if self.args.raw and not tls:
            tools["raw-recv"] = [self.args.raw, "download", str(self.nginx.port), f"/files/{name}",
                                 target]
        return target, tools

    def rounds(self, size):
        return {MIB: self.args.runs_small, 100 * MIB: self.args.runs_medium,
                GIB: self.args.runs_large}[size]

    def run_rounds(self, kind, label, size, tools, before, check):
        """Runs every tool once per round, rotating which goes first."""
        names = list(tools)
        samples = {name: [] for name in names}
        for round_index in range(self.rounds(size)):
            order = names[round_index % len(names):] + names[:round_index % len(names)]
            for name in order:
                before()
                result = measure(tools[name], self.env, self.out)
                problem = check(name, result, round_index)
                if problem:
                    raise RuntimeError(f"{kind} {label} {name}: {problem}; stderr: "
                                       f"{result['stderr'][-400:]!r}")
                samples[name].append({k: result[k] for k in
                                      ("wall", "user", "sys", "maxrss_kib")})
            log(f"  {kind} {label} round {round_index + 1}: " + ", ".join(
                f"{n} {size / samples[n][-1]['wall'] / 1e6:.0f} MB/s" for n in names))
        return {"kind": kind, "size_label": label, "size": size, "samples": samples}

    def uploads(self, path, label, size, tls):
        def check(_, result, __):
            if result["rc"] != 0:
                return f"exit status {result['rc']}"
            if result["stdout"] != b"ok\n":
                return f"reply {result['stdout'][:100]!r}"
            return None
        return self.run_rounds("upload-tls" if tls else "upload", label, size,
                               self.upload_tools(path, tls), lambda: None, check)

    def downloads(self, name, label, size, tls):
        target, tools = self.download_tools(name, size, tls)
        source = os.path.join(self.files_dir, name)

        def clear():
            for entry in os.listdir(self.down_dir):
                os.remove(os.path.join(self.down_dir, entry))

        def check(_, result, round_index):
            if result["rc"] != 0:
                return f"exit status {result['rc']}"
            if not os.path.exists(target) or os.path.getsize(target) != size:
                return "downloaded file missing or of the wrong size"
            # Content once per tool; the size on every round.
            if round_index == 0 and not filecmp.cmp(source, target, shallow=False):
                return "downloaded file differs"
            return None
        result = self.run_rounds("download-tls" if tls else "download", label, size, tools,
                                 clear, check)
        clear()
        return result

    def run(self):
        self.nginx.start()
        results = {"port": self.nginx.port, "transfers": []}
        try:
            results["floor"] = floor(self.env, self.out)
            results["body_check_s"] = check_body_read_first(self.nginx.port)
            log(f"nginx on 127.0.0.1:{self.nginx.port} reads the whole body before answering")
            for label, size in SIZES:
                if label not in self.args.sizes:
                    continue
                name = f"f{label.lower()}.bin"
                path = os.path.join(self.files_dir, name)
                make_file(path, size)
                for tls in (False, True):
                    suffix = "-tls" if tls else ""
                    if "upload" + suffix in self.args.kinds:
                        results["transfers"].append(self.uploads(path, label, size, tls))
                    if "download" + suffix in self.args.kinds:
                        results["transfers"].append(self.downloads(name, label, size, tls))
                os.remove(path)
        finally:
            self.nginx.stop()
        return results


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--veldrask", required=True)
    parser.add_argument("--raw", help="bench/raw's raw_transfer: the physical limit's rows")
    parser.add_argument("--out", required=True, help="JSON file for the results")
    parser.add_argument("--sizes", default="1MiB,100MiB,1GiB")
    parser.add_argument("--kinds", default="upload,download,upload-tls,download-tls")
    parser.add_argument("--runs-small", type=int, default=15)
    parser.add_argument("--runs-medium", type=int, default=7)
    parser.add_argument("--runs-large", type=int, default=5)
    args = parser.parse_args()
    args.sizes = args.sizes.split(",")
    args.kinds = args.kinds.split(",")
    work = tempfile.mkdtemp(prefix="veldrask-bench.", dir="/dev/shm")
    try:
        results = Bench(args, work).run()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    with open(args.out, "w") as out:
        json.dump(results, out, indent=1)


if __name__ == "__main__":
    main()
