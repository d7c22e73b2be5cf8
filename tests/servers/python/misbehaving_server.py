#!/usr/bin/env python3
"""A server that breaks HTTP in one chosen way per connection, for the control's error paths.

Usage: misbehaving_server.py [--port N] [--scenario NAME] [options]

The scenario comes from --scenario, or for a request to /scenario/NAME/SIZE/FILENAME from its
path (one server can then serve a whole session with different behaviours). Downloads send SIZE
(--size otherwise) bytes of deterministic.Content(FILENAME), FILENAME being the percent-decoded
last path component when the path does not name one.

Before any request is read (--scenario only):
  close-on-accept   close right after accept
  read-then-close   read --bytes bytes (or up to EOF), then close
  read-then-reset   read --bytes bytes (or up to EOF), then reset (RST)
  stall             accept, never read nor answer

After the request head:
  early-reply       answer --status/--body without reading the request body, then close
  stall-head        read the request, never answer
  normal            200 with Content-Length, then close
  no-reason         status line "HTTP/1.1 200" without a reason phrase
  mixed-case        header names in odd case ("content-LENGTH")
  length-last       Content-Length is the last of several headers
  chunked           chunked body in chunks of varying sizes
  chunked-trailer   chunked body with chunk extensions and a trailer field
  split-head        head written in pieces --pause-ms apart, split inside the blank line too
  slow              body in 4096-byte pieces --pause-ms apart
  no-length         no Content-Length: the body ends at close
  short-close       announces SIZE, sends half of it, closes
  reset-mid-body    announces SIZE, sends half of it, resets
  stall-body        announces SIZE, sends half of it, never sends more nor closes
  extra-bytes       announces SIZE, sends SIZE + 64 bytes
  not-found         404 with an HTML body
  keep-alive        answers with Connection: keep-alive and never closes; answers every request
  huge-head         --head-bytes of filler header fields before the Content-Length
  negative-length   Content-Length: -1, then SIZE bytes and close
  enormous-length   Content-Length of 2^64, then SIZE bytes and close
  chunk-overflow    a chunk size of 2^64, then SIZE bytes and close
  endless           Content-Length of 2^40, then the content until the client closes
  endless-no-length no Content-Length, the content until the client closes
  interim-flood     "100 Continue" heads until the client closes, never a final one
  escape-status     status line "HTTP/1.1 ESC]0;PWNED BEL ESC[2J OK" (a 200 with escapes
                    in place of its code) and a header field with escapes, then SIZE bytes

Cut at a byte offset (per path only): close-at-N-NAME and reset-at-N-NAME answer as scenario
NAME does, but the connection ends after N bytes of the exchange, counting the request bytes
read and then the reply bytes sent: closed (a reset when request bytes are left unread) or
reset there. A reset waits until the client has acknowledged every byte sent before it. N may
have leading zeros, so that every offset gives a request of the same length.
"""

import argparse
import fcntl
import re
import socket
import struct
import termios
import threading
import time
import urllib.parse

import deterministic
import raw_http

BEFORE_REQUEST = ("close-on-accept", "read-then-close", "read-then-reset", "stall")
AFTER_HEAD = (
    "early-reply", "stall-head", "normal", "no-reason", "mixed-case", "length-last", "chunked",
    "chunked-trailer", "split-head", "slow", "no-length", "short-close", "reset-mid-body",
    "stall-body", "extra-bytes", "not-found", "keep-alive", "huge-head", "negative-length",
    "enormous-length", "chunk-overflow", "endless", "endless-no-length", "interim-flood",
    "escape-status",
)
CHUNK_SIZES = (1, 7, 4096, 100, 65536, 13, 1000)
NOT_FOUND_BODY = "<html><body><h1>404</h1><p>파일을 찾을 수 없습니다.</p></body></html>".encode()
CUT_SCENARIO = re.compile(r"(close|reset)-at-(\d+)-(.+)")


def stall_forever():
    threading.Event().wait()


class Download:
    """What one request asks for: scenario, size and the content's key."""

    def __init__(self, target, default_scenario, default_size):
        path = target.split(b"?", 1)[0]
        parts = path.split(b"/", 4)
        if len(parts) == 5 and parts[1] == b"scenario" and parts[3].isdigit():
            self.scenario = parts[2].decode("latin-1")
            self.size = int(parts[3])
            self.key = urllib.parse.unquote_to_bytes(parts[4])
        else:
            self.scenario = default_scenario
            self.size = default_size
            self.key = urllib.parse.unquote_to_bytes(path.rsplit(b"/", 1)[-1])
        self.content = deterministic.Content(self.key)
        self.cut = None
        cut = CUT_SCENARIO.fullmatch(self.scenario)
        if cut is not None:
            self.cut = (cut.group(1), int(cut.group(2)))
            self.scenario = cut.group(3)

    def body(self, offset=0, length=None):
        return self.content.bytes(offset, self.size - offset if length is None else length)


class ExchangeCut(Exception):
    """The connection ended at the offset a cut scenario names."""


class CutSocket:
    """A socket that ends the connection once budget bytes have been received and sent."""

    def __init__(self, sock, how, budget):
        self.sock = sock
        self.how = how
        self.budget = budget
        if budget == 0:
            self.cut()

    def __getattr__(self, name):
        return getattr(self.sock, name)

    def recv(self, size, flags=0):
        data = self.sock.recv(min(size, self.budget), flags)
        self.budget -= len(data)
        if self.budget == 0:
            self.cut()
        return data

    def sendall(self, data):
        self.sock.sendall(data[: self.budget])
        self.budget -= min(len(data), self.budget)
        if self.budget == 0:
            self.cut()

    def cut(self):
        if self.how == "reset":
            wait_until_acknowledged(self.sock)
            raw_http.reset(self.sock)
        else:
            self.sock.close()
        raise ExchangeCut()


def wait_until_acknowledged(sock, timeout=2.0):
    """Waits until the peer has acknowledged every byte sent, so a reset drops none of them."""
    deadline = time.monotonic() + timeout
    unacknowledged = struct.pack("i", 0)
    while time.monotonic() < deadline:
        if struct.unpack("i", fcntl.ioctl(sock.fileno(), termios.TIOCOUTQ, unacknowledged))[0] == 0:
            return
        time.sleep(0.0005)


def peek_request_line(sock, limit=8192):
    """The first line of the request, left unread; None when it does not come."""
    seen = b""
    while True:
        # Blocks until a byte beyond those seen has come, or the client closes.
        if len(sock.recv(len(seen) + 1, socket.MSG_PEEK | socket.MSG_WAITALL)) <= len(seen):
            return None
        seen = sock.recv(limit, socket.MSG_PEEK)
        end = seen.find(b"\r\n")
        if end >= 0:
            return seen[:end]
        if len(seen) >= limit:
            return None


class MisbehavingHandler(raw_http.socketserver.BaseRequestHandler):
    def handle(self):
        options = self.server.options
        if options.scenario in BEFORE_REQUEST:
            self.before_request(options.scenario)
            return
        # Only a cut needs the path before any byte is read; the peek leaves the bytes queued.
        line = peek_request_line(self.request)
        parts = line.split(b" ") if line is not None else []
        cut = Download(parts[1], options.scenario, options.size).cut if len(parts) > 1 else None
        try:
            if cut is not None:
                self.request = CutSocket(self.request, *cut)
            self.serve_requests()
        except ExchangeCut:
            pass

    def serve_requests(self):
        options = self.server.options
        sock = self.request
        received = b""
        while True:
            head_and_rest = raw_http.read_head(sock, received)
            if head_and_rest is None:
                return
            head, received = head_and_rest
            method, target, headers = raw_http.parse_head(head)
            download = Download(target, options.scenario, options.size)
            if download.scenario == "early-reply":
                self.send(self.simple_reply(options.status, options.body.encode()))
                return
            received = self.skip_body(headers, received)
            if download.scenario == "stall-head":
                stall_forever()
            if not self.answer(download, method == "HEAD"):
                return

    def before_request(self, scenario):
        sock = self.request
        if scenario == "stall":
            stall_forever()
        remaining = self.server.options.bytes
        while scenario != "close-on-accept" and remaining > 0:
            chunk = sock.recv(min(remaining, 1 << 16))
            if not chunk:
                break
            remaining -= len(chunk)
        if scenario == "read-then-reset":
            raw_http.reset(sock)

    def skip_body(self, headers, received):
        """Reads and drops a request body announced by Content-Length; returns what follows."""
        length = int(headers.get("content-length", "0") or 0)
        while len(received) < length:
            chunk = self.request.recv(1 << 16)
            if not chunk:
                break
            received += chunk
        return received[length:]

    def send(self, data):
        try:
            self.request.sendall(data)
            return True
        except OSError:
            return False

    @staticmethod
    def simple_reply(status, body, content_type="text/plain"):
        headers = ["Content-Type: " + content_type, "Connection: close"]
        return raw_http.reply_bytes(status, body, headers)

    def answer(self, download, head_only):
        """Sends the scenario's answer; True when the connection is to serve another request."""
        size = download.size
        scenario = download.scenario
        options = self.server.options
        octets = "Content-Type: application/octet-stream"
        body = None
        head = None
        if scenario == "normal":
            head = ["HTTP/1.1 200 OK", octets, "Content-Length: %d" % size, "Connection: close"]
        elif scenario == "no-reason":
            head = ["HTTP/1.1 200", octets, "Content-Length: %d" % size, "Connection: close"]
        elif scenario == "mixed-case":
            head = ["HTTP/1.1 200 OK", "content-TYPE: application/octet-stream",
                    "content-LENGTH: %d" % size, "CONNECTION: close"]
        elif scenario == "length-last":
            head = ["HTTP/1.1 200 OK", octets, "Connection: close", "Server: misbehaving",
                    "Cache-Control: no-cache", "Content-Length: %d" % size]
        elif scenario in ("negative-length", "enormous-length"):
            length = "-1" if scenario == "negative-length" else str(1 << 64)
            head = ["HTTP/1.1 200 OK", octets, "Content-Length: " + length, "Connection: close"]
        elif scenario == "huge-head":
            filler = "X-Filler-%06d: " + "f" * 1000
            count = max(1, options.head_bytes // 1018)
            head = ["HTTP/1.1 200 OK", octets, *(filler % i for i in range(count)),
                    "Content-Length: %d" % size, "Connection: close"]
        elif scenario == "no-length":
            head = ["HTTP/1.1 200 OK", octets, "Connection: close"]
        elif scenario == "not-found":
            html = "Content-Type: text/html; charset=utf-8"
            head = ["HTTP/1.1 404 Not Found", html, "Content-Length: %d" % len(NOT_FOUND_BODY),
                    "Connection: close"]
            body = b"" if head_only else NOT_FOUND_BODY
        if head is not None:
            if body is None:
                body = b"" if head_only else download.body()
            self.send(self.encode_head(head) + body)
            return False
        return self.answer_in_parts(download, head_only)

    @staticmethod
    def encode_head(lines):
        return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")

    def answer_in_parts(self, download, head_only):
        size = download.size
        scenario = download.scenario
        pause = self.server.options.pause_ms / 1000
        half = size // 2
        octets = "Content-Type: application/octet-stream"
        announced = self.encode_head(
            ["HTTP/1.1 200 OK", octets, "Content-Length: %d" % size, "Connection: close"]
        )
        if scenario in ("chunked", "chunked-trailer"):
            return self.send_chunked(download, scenario == "chunked-trailer", head_only)
        if scenario == "chunk-overflow":
            head = ["HTTP/1.1 200 OK", octets, "Transfer-Encoding: chunked", "Connection: close"]
            self.send(self.encode_head(head) + b"%x\r\n" % (1 << 64) + download.body())
            return False
        if scenario == "split-head":
            pieces = [b"HTTP/1.1 2", b"00 OK\r", b"\nContent-Type: application/oc",
                      b"tet-stream\r\nContent-Length: %d\r\nConnection: close\r\n" % size,
                      b"\r", b"\n"]
            for piece in pieces:
                if not self.send(piece):
                    return False
                time.sleep(pause)
            self.send(b"" if head_only else download.body())
            return False
        if scenario == "slow":
            if not self.send(announced) or head_only:
                return False
            for offset in range(0, size, 4096):
                time.sleep(pause)
                if not self.send(download.body(offset, min(4096, size - offset))):
                    return False
            return False
        if scenario in ("short-close", "reset-mid-body", "stall-body"):
            self.send(announced + (b"" if head_only else download.body(0, half)))
            if scenario == "reset-mid-body":
                time.sleep(pause)  # lets the half reach the client before the RST drops it
                raw_http.reset(self.request)
            elif scenario == "stall-body":
                stall_forever()
            return False
        if scenario in ("endless", "endless-no-length", "interim-flood"):
            self.send_endlessly(download, scenario)
            return False
        if scenario == "escape-status":
            head = ["HTTP/1.1 \x1b]0;PWNED\x07\x1b[2J OK", octets, "Content-Length: %d" % size,
                    "X-Title: \x1b[31mred\x9b0m", "Connection: close"]
            self.send(self.encode_head(head) + (b"" if head_only else download.body()))
            return False
        if scenario == "extra-bytes":
            self.send(announced + (b"" if head_only else download.body(0, size + 64)))
            return False
        if scenario == "keep-alive":
            head = ["HTTP/1.1 200 OK", octets, "Content-Length: %d" % size,
                    "Connection: keep-alive"]
            return self.send(self.encode_head(head) + (b"" if head_only else download.body()))
        self.send(self.simple_reply("400 Bad Request", b"unknown scenario " + scenario.encode()))
        return False

    def send_endlessly(self, download, scenario):
        octets = "Content-Type: application/octet-stream"
        if scenario == "interim-flood":
            interims = b"HTTP/1.1 100 Continue\r\n\r\n" * 1024
            while self.send(interims):
                pass
            return
        length = ["Content-Length: %d" % (1 << 40)] if scenario == "endless" else []
        if not self.send(self.encode_head(["HTTP/1.1 200 OK", octets, *length, "Connection: close"])):
            return
        offset = 0
        while self.send(download.content.bytes(offset, 1 << 16)):
            offset += 1 << 16

    def send_chunked(self, download, with_trailer, head_only):
        head = ["HTTP/1.1 200 OK", "Content-Type: application/octet-stream",
                "Transfer-Encoding: chunked", "Connection: close"]
        if with_trailer:
            head.append("Trailer: X-Checksum")
        out = [self.encode_head(head)]
        offset = 0
        for index in range(1 << 30):
            if head_only or offset >= download.size:
                break
            length = min(CHUNK_SIZES[index % len(CHUNK_SIZES)], download.size - offset)
            size_text = b"%x" % length if index % 2 else b"%X" % length
            extension = b";n=%d" % index if with_trailer else b""
            out.append(size_text + extension + b"\r\n" + download.body(offset, length) + b"\r\n")
            offset += length
        out.append(b"0\r\nX-Checksum: none\r\n\r\n" if with_trailer else b"0\r\n\r\n")
        self.send(b"".join(out))
        return False


def main():
    parser = argparse.ArgumentParser(
        description=__doc__.splitlines()[0], formatter_class=argparse.RawDescriptionHelpFormatter,
        epilog="\n".join(__doc__.splitlines()[2:]),
    )
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument(
        "--scenario", default="normal", choices=BEFORE_REQUEST + AFTER_HEAD, metavar="NAME"
    )
    parser.add_argument("--bytes", type=int, default=0, help="for read-then-close/reset")
    parser.add_argument("--size", type=int, default=1000, help="body size without a /scenario path")
    parser.add_argument("--status", default="413 Payload Too Large", help="for early-reply")
    parser.add_argument("--body", default="too large", help="for early-reply")
    parser.add_argument("--pause-ms", type=int, default=50)
    parser.add_argument("--head-bytes", type=int, default=1 << 20, help="for huge-head")
    options = parser.parse_args()

    def setup(server):
        server.options = options

    raw_http.serve(MisbehavingHandler, options.port, setup)


if __name__ == "__main__":
    main()
