"""Pieces shared by the Python test servers: port choice, start-up line, store paths, reports.

Every server listens on 127.0.0.1 only, on a port below 32768 (the control keeps ports in a
signed 16-bit value, so the kernel's ephemeral range is out), and prints "PORT N" as its first
line on stdout once it accepts connections.
"""

import errno
import hashlib
import json
import os
import random
import socket
import sys
import threading
import urllib.parse

HOST = "127.0.0.1"
PORT_RANGE = (20000, 32000)


def bind_on_free_port(factory, requested_port=0):
    """Calls factory(port) until it binds; a requested port is tried once."""
    if requested_port:
        return factory(requested_port)
    rng = random.Random(os.urandom(16))
    for _ in range(200):
        try:
            return factory(rng.randrange(*PORT_RANGE))
        except OSError as error:
            if error.errno != errno.EADDRINUSE:
                raise
    raise OSError(errno.EADDRINUSE, "no free port in %d-%d" % PORT_RANGE)


def listening_socket(port):
    """A socket listening on HOST:port, for servers that take an already bound socket."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    try:
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind((HOST, port))
        sock.listen(128)
    except OSError:
        sock.close()
        raise
    return sock


def announce_port(port):
    """Prints the start-up line the harness waits for and, when asked, exits with stdin."""
    print("PORT %d" % port, flush=True)
    if os.environ.get("VELDRASK_EXIT_ON_STDIN_EOF") == "1":
        # The harness holds the other end of stdin: when the test process dies, even by
        # SIGKILL, the pipe closes and the server goes with it instead of lingering.
        threading.Thread(target=_exit_on_stdin_eof, daemon=True).start()


def _exit_on_stdin_eof():
    try:
        while sys.stdin.buffer.read(4096):
            pass
    finally:
        os._exit(0)


def to_bytes(text):
    """The raw bytes behind a str a parser gave; undecodable bytes come back unchanged."""
    if isinstance(text, bytes):
        return text
    return text.encode("utf-8", "surrogateescape")


def store_name(filename_bytes):
    """The last path component of a sent file name, or None when nothing usable is left."""
    name = filename_bytes.replace(b"\\", b"/").rsplit(b"/", 1)[-1]
    if name in (b"", b".", b".."):
        return None
    return name


def store_file(store_dir, filename_bytes, content):
    """Writes content under the sent file name; returns the stored name or None."""
    name = store_name(filename_bytes)
    if name is None:
        return None
    with open(os.path.join(os.fsencode(store_dir), name), "wb") as out:
        if isinstance(content, bytes):
            out.write(content)
        else:
            while chunk := content.read(1 << 16):
                out.write(chunk)
    return name


def file_sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as stream:
        while chunk := stream.read(1 << 16):
            digest.update(chunk)
    return digest.hexdigest()


def _text_and_hex(key, value):
    raw = to_bytes(value)
    return {key: raw.decode("utf-8", "replace"), key + "_hex": raw.hex()}


def field_entry(name, value):
    return {**_text_and_hex("name", name), **_text_and_hex("value", value)}


def file_entry(store_dir, field, filename, content_type, stored):
    """Describes one stored file by what is on disk, so the report proves what was kept."""
    entry = {**_text_and_hex("field", field), **_text_and_hex("filename", filename)}
    entry["content_type"] = content_type or ""
    entry["error"] = 0
    if stored is None:
        entry.update(size=0, sha256=hashlib.sha256(b"").hexdigest(), stored="", stored_hex="")
        return entry
    path = os.path.join(os.fsencode(store_dir), stored)
    entry.update(size=os.path.getsize(path), sha256=file_sha256(path), **_text_and_hex("stored", stored))
    return entry


def report_json(server, method, path, fields, files):
    report = {"server": server, "method": method, "path": path, "fields": fields, "files": files}
    return json.dumps(report, ensure_ascii=False).encode("utf-8")


def store_path_for_target(store_dir, target):
    """Maps a request target (raw, still percent-encoded) to a file in the store, or None.

    The decoded bytes are the file name as is: a UTF-8 and a CP949 percent-encoding of the same
    Korean name reach two different files, as they would on a server with byte file names.
    """
    if isinstance(target, str):
        target = target.encode("latin-1")
    raw_path = target.split(b"?", 1)[0]
    parts = urllib.parse.unquote_to_bytes(raw_path).split(b"/")
    parts = [part for part in parts if part]
    if not parts or any(part in (b".", b"..") for part in parts):
        return None
    path = os.path.join(os.fsencode(store_dir), *parts)
    return path if os.path.isfile(path) else None


def read_request_body(rfile, headers):
    """The request body by Content-Length or chunked coding; None when neither is given."""
    if "chunked" in headers.get("Transfer-Encoding", "").lower():
        chunks = []
        while True:
            size_line = rfile.readline()
            size = int(size_line.split(b";", 1)[0].strip(), 16)
            if size == 0:
                while rfile.readline() not in (b"\r\n", b"\n", b""):
                    pass
                return b"".join(chunks)
            chunks.append(rfile.read(size))
            rfile.readline()
    length = headers.get("Content-Length")
    if length is None:
        return None
    return rfile.read(int(length))
