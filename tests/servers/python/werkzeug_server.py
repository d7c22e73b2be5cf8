#!/usr/bin/env python3
"""Upload server whose multipart parser is Werkzeug's (request.form and request.files).

Usage: werkzeug_server.py [--port N] STORE_DIR

POST (any path): stores every uploaded file under its sent file name in STORE_DIR and answers a
JSON report of the fields and files. GET and HEAD serve files from STORE_DIR.
"""

import argparse
import os

from werkzeug.serving import make_server
from werkzeug.wrappers import Request, Response
from werkzeug.wsgi import wrap_file

import common


def make_app(store_dir):
    @Request.application
    def app(request):
        if request.method in ("GET", "HEAD"):
            # RAW_URI is the target as sent, before any decoding of the dev server.
            target = request.environ.get("RAW_URI") or request.environ.get("REQUEST_URI", "/")
            path = common.store_path_for_target(store_dir, target)
            if path is None:
                return Response(b"not found\n", 404, content_type="text/plain")
            response = Response(
                wrap_file(request.environ, open(path, "rb")),
                200,
                content_type="application/octet-stream",
                direct_passthrough=True,
            )
            response.content_length = os.path.getsize(path)
            return response
        if request.method != "POST":
            return Response(b"method not allowed\n", 405, content_type="text/plain")
        fields = [common.field_entry(n, v) for n, v in request.form.items(multi=True)]
        files = []
        for field, upload in request.files.items(multi=True):
            filename = upload.filename or ""
            stored = common.store_file(store_dir, common.to_bytes(filename), upload.stream)
            files.append(common.file_entry(store_dir, field, filename, upload.content_type, stored))
        report = common.report_json("werkzeug", "POST", request.path, fields, files)
        return Response(report, 200, content_type="application/json")

    return app


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("store_dir")
    args = parser.parse_args()
    serve(make_app(os.path.abspath(args.store_dir)), args.port)


def serve(app, requested_port):
    """Serves the WSGI app on requested_port (0: a free one) until killed."""
    # Bound here rather than by make_server: Werkzeug versions differ in how a taken port fails.
    listener = common.bind_on_free_port(common.listening_socket, requested_port)
    port = listener.getsockname()[1]
    server = make_server(common.HOST, port, app, threaded=True, fd=listener.fileno())
    common.announce_port(port)
    server.serve_forever()


if __name__ == "__main__":
    main()
