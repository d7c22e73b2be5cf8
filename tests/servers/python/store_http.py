"""An http.server handler that serves the store directory; upload servers add do_POST."""

import http.server
import os

import common


class StoreRequestHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    store_dir = "."

    def send_bytes(self, status, body, content_type="application/json"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_GET(self):
        path = common.store_path_for_target(self.store_dir, self.path)
        if path is None:
            self.send_bytes(404, b"not found\n", "text/plain")
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(os.path.getsize(path)))
        self.end_headers()
        if self.command == "HEAD":
            return
        with open(path, "rb") as stream:
            while chunk := stream.read(1 << 16):
                self.wfile.write(chunk)

    do_HEAD = do_GET


def serve(handler_class, store_dir, port):
    """Binds a threading server for handler_class, announces its port and serves forever."""
    handler_class.store_dir = os.path.abspath(store_dir)

    def make(candidate):
        return http.server.ThreadingHTTPServer((common.HOST, candidate), handler_class)

    server = common.bind_on_free_port(make, port)
    server.daemon_threads = True
    common.announce_port(server.server_address[1])
    server.serve_forever()
