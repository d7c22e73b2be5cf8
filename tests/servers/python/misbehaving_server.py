#!/usr/bin/env python3
"""A server that breaks HTTP in one chosen way per connection, for the control's error paths.

Usage: misbehaving_server.py [--port N] [--scenario NAME] [--case FILE] [options]

What it sends is data: scenario NAME is tests/data/scenarios/NAME.reply, and --case FILE serves
the replies of a wire case (tests/data/FORMAT.md) by request target. A request for
/scenario/NAME/SIZE/FILENAME is answered by scenario NAME, whatever else is chosen; other
requests by the case's reply for their target, else by --scenario. The content is SIZE (--size
otherwise) bytes of deterministic.Content(FILENAME), FILENAME being the percent-decoded last
path component when the path does not name one.

Cut at a byte offset (per path only): close-at-N-NAME and reset-at-N-NAME answer as scenario
NAME does, but the connection ends after N bytes of the exchange, counting the request bytes
read and then the reply bytes sent: closed (a reset when request bytes are left unread) or
reset there. A reset waits until the client has acknowledged every byte sent before it. N may
have leading zeros, so that every offset gives a request of the same length.
"""

import argparse
import fcntl
import functools
import re
import socket
import struct
import termios
import threading
import time
import urllib.parse

import raw_http
import reply_words
import wire_case

SCENARIOS = wire_case.DATA_DIR / "scenarios"
CUT_SCENARIO = re.compile(r"(close|reset)-at-(\d+)-(.+)")


def stall_forever():
    threading.Event().wait()


@functools.lru_cache(maxsize=None)
def scenario_reply(name):
    """The reply section of a scenario file; None when there is no such scenario."""
    path = SCENARIOS / (name + ".reply")
    if "/" in name or not path.is_file():
        return None
    return next(s for s in wire_case.read_sections(path) if s.kind == "reply")


def scenario_list():
    lines = []
    for path in sorted(SCENARIOS.glob("*.reply")):
        about = next(s for s in wire_case.read_sections(path) if s.kind == "scenario")
        lines.append("  %-18s %s" % (path.stem, " ".join(text for text, _ in about.lines)))
    return "\n".join(lines)


def after(reply):
    """When the reply starts: "accept", "head" or "request"."""
    for argument in reply.arguments:
        if argument.startswith("after="):
            return argument[len("after="):]
    return "request"


class Request:
    """What one request asks for: the reply that answers it, the size and the content's key."""

    def __init__(self, target, server):
        options = server.options
        path = target.split(b"?", 1)[0]
        parts = path.split(b"/", 4)
        self.cut = None
        self.reply = None
        if len(parts) == 5 and parts[1] == b"scenario" and parts[3].isdigit():
            scenario = parts[2].decode("latin-1")
            self.size = int(parts[3])
            self.key = urllib.parse.unquote_to_bytes(parts[4])
            cut = CUT_SCENARIO.fullmatch(scenario)
            if cut is not None:
                self.cut = (cut.group(1), int(cut.group(2)))
                scenario = cut.group(3)
            self.reply = scenario_reply(scenario)
            self.unknown = scenario
        else:
            self.size = options.size
            self.key = urllib.parse.unquote_to_bytes(path.rsplit(b"/", 1)[-1])
            self.reply = server.case_reply(target.decode("latin-1"))
            self.unknown = options.scenario
        self.content = wire_case.content_of(self.key)


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


def step_options(step, words):
    """A marker's NAME=VALUE options, their escapes done."""
    options = {}
    for option in step.options:
        name, equals, value = option.partition("=")
        if equals:
            options[name] = wire_case.render_bytes(value, words).decode()
    return options


class MisbehavingHandler(raw_http.socketserver.BaseRequestHandler):
    def handle(self):
        accepting = self.server.case_reply(None)
        if accepting is not None and after(accepting) == "accept":
            self.perform(accepting, None)
            return
        # Only a cut needs the path before any byte is read; the peek leaves the bytes queued.
        line = peek_request_line(self.request)
        parts = line.split(b" ") if line is not None else []
        cut = Request(parts[1], self.server).cut if len(parts) > 1 else None
        try:
            if cut is not None:
                self.request = CutSocket(self.request, *cut)
            self.serve_requests()
        except ExchangeCut:
            pass

    def serve_requests(self):
        received = b""
        while True:
            head_and_rest = raw_http.read_head(self.request, received)
            if head_and_rest is None:
                return
            head, received = head_and_rest
            _, target, headers = raw_http.parse_head(head)
            request = Request(target, self.server)
            if request.reply is None:
                body = b"unknown scenario " + request.unknown.encode()
                self.send([raw_http.reply_bytes("400 Bad Request", body, ["Connection: close"])])
                return
            if after(request.reply) != "head":
                received = self.skip_body(headers, received)
            if self.perform(request.reply, request) != "keep-alive":
                return

    def skip_body(self, headers, received):
        """Reads and drops a request body announced by Content-Length; returns what follows."""
        length = int(headers.get("content-length", "0") or 0)
        while len(received) < length:
            chunk = self.request.recv(1 << 16)
            if not chunk:
                break
            received += chunk
        return received[length:]

    def send(self, pieces):
        """Sends the pieces, gathered up to 64 KiB a write; False once the client has gone."""
        gathered = bytearray()
        try:
            for piece in pieces:
                for block in [piece] if isinstance(piece, bytes) else piece.blocks():
                    gathered += block
                    if len(gathered) >= wire_case.ContentRange.BLOCK:
                        self.request.sendall(bytes(gathered))
                        gathered.clear()
            if gathered:
                self.request.sendall(bytes(gathered))
            return True
        except OSError:
            return False

    def perform(self, reply, request):
        """Carries out the reply's steps; returns the word of the step that ended them."""
        words = reply_words.ReplyWords(self.server.options, request)
        steps = wire_case.split_steps(reply, "send")
        for step, pieces in zip(steps, wire_case.render_steps(reply, steps, words)):
            options = step_options(step, words)
            pause = int(options.get("pause", "0")) / 1000
            time.sleep(pause)
            if step.word == "send":
                piece = int(options.get("piece", "0"))
                runs = reply_words.in_pieces(pieces, piece) if piece else [pieces]
                for index, run in enumerate(runs):
                    if index:
                        time.sleep(pause)  # before every piece
                    if not self.send(run):
                        return "gone"
            elif step.word == "repeat":
                while self.send(pieces):
                    pass
                return "gone"
            elif step.word == "read":
                self.read(int(wire_case.render_bytes(step.options[0], words)))
            elif step.word == "reset":
                raw_http.reset(self.request)
                return "reset"
            elif step.word == "stall":
                stall_forever()
            elif step.word in ("close", "keep-alive"):
                return step.word
            else:
                reply.fail(step.number, "--- %s on the scripted network only" % step.word)
        return "close"

    def read(self, remaining):
        while remaining > 0:
            chunk = self.request.recv(min(remaining, 1 << 16))
            if not chunk:
                break
            remaining -= len(chunk)


class MisbehavingServer(raw_http.RawServer):
    def case_reply(self, target):
        """The chosen reply for a target that is no /scenario/ path (None: before any request)."""
        named, unnamed = None, None
        for reply in self.case_replies:
            words = [a for a in reply.arguments if not a.startswith("after=")]
            if words and words[0] == target:
                named = reply
            elif not words and unnamed is None:
                unnamed = reply
        return named or unnamed or scenario_reply(self.options.scenario)


def main():
    parser = argparse.ArgumentParser(
        description=__doc__.splitlines()[0], formatter_class=argparse.RawDescriptionHelpFormatter,
        epilog="\n".join(__doc__.splitlines()[2:]) + "\n\nScenarios:\n" + scenario_list(),
    )
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--scenario", default="normal", metavar="NAME")
    parser.add_argument("--case", help="a wire case whose replies answer")
    parser.add_argument("--bytes", type=int, default=0, help="%%{bytes}: for read-then-close/reset")
    parser.add_argument("--size", type=int, default=1000, help="body size without a /scenario path")
    parser.add_argument("--status", default="413 Payload Too Large", help="%%{status}: early-reply")
    parser.add_argument("--body", default="too large", help="%%{body}: for early-reply")
    parser.add_argument("--pause-ms", type=int, default=50, help="%%{pause}")
    parser.add_argument("--head-bytes", type=int, default=1 << 20, help="%%{fillers}: huge-head")
    options = parser.parse_args()
    if scenario_reply(options.scenario) is None:
        parser.error("no scenario " + options.scenario + " in " + str(SCENARIOS))
    case_replies = []
    if options.case:
        case_replies = [s for s in wire_case.read_sections(options.case) if s.kind == "reply"]

    def setup(server):
        server.options = options
        server.case_replies = case_replies

    raw_http.serve(MisbehavingHandler, options.port, setup, MisbehavingServer)


if __name__ == "__main__":
    main()
