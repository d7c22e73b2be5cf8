"""Socket-level pieces of the servers that must see or send exact bytes."""

import socket
import socketserver
import struct

import common

HEAD_END = b"\r\n\r\n"


class RawServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 128


def serve(handler_class, port, setup=None, server_class=RawServer):
    """Binds a server_class for handler_class, announces its port and serves forever."""
    server = common.bind_on_free_port(lambda p: server_class((common.HOST, p), handler_class), port)
    if setup is not None:
        setup(server)
    common.announce_port(server.server_address[1])
    server.serve_forever()


def read_head(sock, received=b"", limit=1 << 20, on_data=None):
    """Reads up to the blank line after the head; returns (head, bytes after it) or None at EOF.

    on_data, when given, sees every byte received, in order.
    """
    buffer = received
    while HEAD_END not in buffer:
        if len(buffer) > limit:
            return None
        chunk = sock.recv(1 << 16)
        if not chunk:
            return None
        if on_data is not None:
            on_data(chunk)
        buffer += chunk
    head, rest = buffer.split(HEAD_END, 1)
    return head + HEAD_END, rest


def parse_head(head):
    """(method, target, headers with lower-case names) of a request head."""
    lines = head.split(b"\r\n")
    parts = lines[0].split(b" ")
    method = parts[0].decode("latin-1")
    target = parts[1] if len(parts) > 1 else b"/"
    headers = {}
    for line in lines[1:]:
        name, sep, value = line.partition(b":")
        if sep:
            headers[name.strip().lower().decode("latin-1")] = value.strip().decode("latin-1")
    return method, target, headers


def reset(sock):
    """Closes with RST instead of FIN: no lingering, unsent and unread data are dropped."""
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


def reply_bytes(status, body, headers=(), content_length=True):
    """A complete HTTP/1.1 reply; Content-Length unless told otherwise."""
    lines = ["HTTP/1.1 " + status]
    lines.extend(headers)
    if content_length:
        lines.append("Content-Length: %d" % len(body))
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1") + body
