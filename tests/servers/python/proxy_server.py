"""Debian's tinyproxy as the tests' HTTP proxy, on 127.0.0.1.

Usage: proxy_server.py [--port N] [--connect-port N]... [--basic-auth NAME:PASSWORD] LOG

Forwards plain requests given with a whole URL and opens CONNECT tunnels, only to the ports
named by --connect-port when any is (tinyproxy answers 403 for others), and with --basic-auth
asks every request for those credentials (407 without them). LOG receives tinyproxy's log at
level Info: one "Request" line a request, naming its method and target. Prints "PORT N" once
the proxy accepts connections and runs until killed (or, as every test server, until stdin
closes).
"""

import argparse
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time

from common import HOST, bind_on_free_port, listening_socket


def config(port, log, connect_ports, basic_auth):
    lines = [
        "Port %d" % port,
        "Listen %s" % HOST,
        "Timeout 60",
        'LogFile "%s"' % log,
        "LogLevel Info",
        "MaxClients 50",
        "Allow %s" % HOST,
    ]
    lines += ["ConnectPort %d" % p for p in connect_ports]
    if basic_auth:
        lines.append("BasicAuth %s %s" % tuple(basic_auth.split(":", 1)))
    return "\n".join(lines) + "\n"


def accepts(port):
    try:
        with socket.create_connection((HOST, port), timeout=0.2):
            return True
    except OSError:
        return False


def start(port, args, folder):
    conf = os.path.join(folder, "tinyproxy.conf")
    with open(conf, "w") as out:
        out.write(config(port, os.path.abspath(args.log), args.connect_port, args.basic_auth))
    proxy = subprocess.Popen(["tinyproxy", "-d", "-c", conf], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL)
    for _ in range(200):
        if proxy.poll() is not None:
            raise OSError("tinyproxy ended at once with status %d" % proxy.returncode)
        if accepts(port):
            return proxy
        time.sleep(0.02)
    proxy.kill()
    raise OSError("tinyproxy did not listen on port %d" % port)


def stop_on_stdin_eof(proxy):
    while sys.stdin.buffer.read(4096):
        pass
    proxy.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--connect-port", type=int, action="append", default=[])
    parser.add_argument("--basic-auth")
    parser.add_argument("log")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="veldrask-proxy-") as folder:
        # A port found free by binding it once; tinyproxy binds it again at once after.
        def free(port):
            listening_socket(port).close()
            return port

        port = bind_on_free_port(free, args.port)
        proxy = start(port, args, folder)
        try:
            print("PORT %d" % port, flush=True)
            if os.environ.get("VELDRASK_EXIT_ON_STDIN_EOF") == "1":
                # tinyproxy goes with this script when the harness's end of stdin closes.
                threading.Thread(target=stop_on_stdin_eof, args=(proxy,), daemon=True).start()
            sys.exit(proxy.wait())
        finally:
            proxy.kill()


if __name__ == "__main__":
    main()
