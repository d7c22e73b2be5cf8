#!/usr/bin/env python3
"""Upload server written as Flask applications usually are: request.files by field name.

Usage: flask_server.py [--port N] [--max-bytes N] STORE_DIR

POST /single   takes request.files["file_1"] (the control's first file with FilePrefix "file")
POST /any      takes every file of request.files, whatever its field name
POST /textbook takes request.files["file"], a name the control never sends: Flask answers 400
Each stores the files under their sent names in STORE_DIR and answers a JSON report. Requests
larger than --max-bytes are answered 413 by Flask itself. GET /files/NAME serves STORE_DIR
through send_from_directory, names percent-decoded as UTF-8.
"""

import argparse
import os

from flask import Flask, redirect, request, send_from_directory
import common
import werkzeug_server


def make_app(store_dir, max_bytes):
    app = Flask(__name__)
    if max_bytes:
        app.config["MAX_CONTENT_LENGTH"] = max_bytes

    def stored_report(uploads):
        fields = [common.field_entry(n, v) for n, v in request.form.items(multi=True)]
        files = []
        for field, upload in uploads:
            filename = upload.filename or ""
            stored = common.store_file(store_dir, common.to_bytes(filename), upload.stream)
            files.append(common.file_entry(store_dir, field, filename, upload.content_type, stored))
        report = common.report_json("flask", "POST", request.path, fields, files)
        return app.response_class(report, 200, content_type="application/json")

    @app.post("/single")
    def single():
        return stored_report([("file_1", request.files["file_1"])])

    @app.post("/any")
    def any_field():
        return stored_report(request.files.items(multi=True))

    @app.post("/textbook")
    def textbook():
        return stored_report([("file", request.files["file"])])

    @app.get("/files/<path:name>")
    def files(name):
        return send_from_directory(store_dir, name)

    @app.get("/moved/<int:hops>/<path:name>")
    def moved(hops, name):
        # A chain of redirects, 302 and 301 in turn, that ends at /files/NAME.
        target = f"/files/{name}" if hops <= 1 else f"/moved/{hops - 1}/{name}"
        return redirect(target, 302 if hops % 2 else 301)

    @app.get("/elsewhere/<path:name>")
    def elsewhere(name):
        # A 307 to /files/a.txt on this server under the name localhost.
        port = request.environ["SERVER_PORT"]
        return redirect(f"http://localhost:{port}/files/a.txt", 307)

    return app


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--max-bytes", type=int, default=0)
    parser.add_argument("store_dir")
    args = parser.parse_args()
    werkzeug_server.serve(make_app(os.path.abspath(args.store_dir), args.max_bytes), args.port)


if __name__ == "__main__":
    main()
