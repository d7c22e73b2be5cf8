#!/usr/bin/env python3
"""Records every byte each connection sends, then answers one configurable reply and closes.

Usage: recording_server.py [--port N] [reply options] RECORD_DIR

Connection N (counted from 1 in accept order) is written as it arrives to RECORD_DIR/connection-N.bin;
RECORD_DIR/connection-N.done appears once the connection is over and the .bin file is complete.
The request ends after its head plus Content-Length bytes, or the last chunk of a chunked body,
or right after the head when it announces neither. Expect: 100-continue gets an interim 100.
"""

import argparse
import itertools
import os
import threading
import time

import raw_http


def chunked_end(data):
    """Offset just past a complete chunked body at the start of data, or None while incomplete."""
    pos = 0
    while True:
        line_end = data.find(b"\r\n", pos)
        if line_end < 0:
            return None
        size = int(data[pos:line_end].split(b";", 1)[0].strip(), 16)
        pos = line_end + 2
        if size == 0:
            while True:  # trailer fields up to an empty line
                line_end = data.find(b"\r\n", pos)
                if line_end < 0:
                    return None
                if line_end == pos:
                    return pos + 2
                pos = line_end + 2
        pos += size + 2
        if pos > len(data):
            return None


def body_complete(headers, body):
    if "chunked" in headers.get("transfer-encoding", "").lower():
        try:
            return chunked_end(body) is not None
        except ValueError:
            return True  # a broken chunk size ends the request: the reply tells the client so
    length = headers.get("content-length")
    return length is None or not length.strip().isdigit() or len(body) >= int(length)


def build_reply(args):
    if args.raw_reply_file:
        with open(args.raw_reply_file, "rb") as stream:
            return stream.read()
    if args.body_file:
        with open(args.body_file, "rb") as stream:
            body = stream.read()
    else:
        body = args.body.encode(args.charset or "utf-8")
    content_type = args.content_type + ("; charset=" + args.charset if args.charset else "")
    headers = ["Content-Type: " + content_type, *args.header, "Connection: close"]
    return raw_http.reply_bytes(args.status, body, headers, not args.no_content_length)


class RecordingHandler(raw_http.socketserver.BaseRequestHandler):
    def handle(self):
        server = self.server
        number = server.take_number(self.client_address)
        path = os.path.join(server.record_dir, "connection-%d.bin" % number)
        with open(path, "wb") as record:

            def keep(chunk):
                record.write(chunk)
                record.flush()

            complete = self.receive_request(keep)
        with open(path[: -len(".bin")] + ".done", "wb"):
            pass
        if complete:
            time.sleep(server.reply_delay)
            self.request.sendall(server.reply)

    def receive_request(self, keep):
        """Reads one whole request, passing every byte to keep; False when the client left."""
        sock = self.request
        head_and_rest = raw_http.read_head(sock, limit=64 << 20, on_data=keep)
        if head_and_rest is None:
            while chunk := sock.recv(1 << 16):  # an oversized head: record it to the end
                keep(chunk)
            return False
        head, body = head_and_rest
        _, _, headers = raw_http.parse_head(head)
        if self.server.send_continue and headers.get("expect", "").lower() == "100-continue":
            sock.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
        while not body_complete(headers, body):
            chunk = sock.recv(1 << 16)
            if not chunk:
                return False
            keep(chunk)
            body += chunk
        return True


class RecordingServer(raw_http.RawServer):
    def process_request(self, request, client_address):
        # Numbered here, in accept order, before the handler thread starts.
        with self.lock:
            self.pending_numbers[client_address] = next(self.numbers)
        super().process_request(request, client_address)

    def take_number(self, client_address):
        with self.lock:
            return self.pending_numbers.pop(client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--status", default="200 OK", help='status line after "HTTP/1.1 "')
    parser.add_argument("--body", default="done", help="reply body, encoded in --charset")
    parser.add_argument("--body-file", help="reply body bytes from a file instead of --body")
    parser.add_argument("--content-type", default="text/plain")
    parser.add_argument("--charset", help="adds ; charset=X to the type and encodes --body in X")
    parser.add_argument("--header", action="append", default=[], help='"Name: value", repeatable')
    parser.add_argument("--no-content-length", action="store_true", help="body ends at close")
    parser.add_argument("--no-continue", action="store_true", help="no interim 100 Continue")
    parser.add_argument("--reply-delay-ms", type=int, default=0)
    parser.add_argument("--raw-reply-file", help="send this file's bytes as the whole reply")
    parser.add_argument("record_dir")
    args = parser.parse_args()

    def setup(server):
        server.record_dir = os.path.abspath(args.record_dir)
        server.reply = build_reply(args)
        server.reply_delay = args.reply_delay_ms / 1000
        server.send_continue = not args.no_continue
        server.numbers = itertools.count(1)
        server.pending_numbers = {}
        server.lock = threading.Lock()

    raw_http.serve(RecordingHandler, args.port, setup, server_class=RecordingServer)


if __name__ == "__main__":
    main()
