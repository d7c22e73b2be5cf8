#!/usr/bin/env python3
"""Upload server whose multipart parser is the standard library's email package.

Usage: email_server.py [--port N] STORE_DIR

POST (any path): parses the multipart/form-data body with email.parser.BytesParser and the HTTP
policy, stores every file part under its sent file name in STORE_DIR and answers a JSON report
of the fields and files. GET and HEAD serve files from STORE_DIR.
"""

import argparse
import email.parser
import email.policy
import email.utils

import common
import store_http


class EmailUploadHandler(store_http.StoreRequestHandler):
    def do_POST(self):
        body = common.read_request_body(self.rfile, self.headers)
        if body is None:
            self.send_bytes(411, b"length required\n", "text/plain")
            return
        content_type = self.headers.get("Content-Type", "")
        if not content_type.lower().startswith("multipart/"):
            self.send_bytes(415, b"multipart body expected\n", "text/plain")
            return
        # The parser wants a whole message: the request's Content-Type becomes its only header.
        head = b"MIME-Version: 1.0\r\nContent-Type: " + content_type.encode("latin-1") + b"\r\n\r\n"
        message = email.parser.BytesParser(policy=email.policy.HTTP).parsebytes(head + body)
        fields, files = [], []
        for part in message.iter_parts():
            name = email.utils.collapse_rfc2231_value(
                part.get_param("name", "", header="content-disposition")
            )
            filename = part.get_filename()
            payload = part.get_payload(decode=True) or b""
            if filename is None:
                fields.append(common.field_entry(name, payload))
                continue
            stored = common.store_file(self.store_dir, common.to_bytes(filename), payload)
            files.append(
                common.file_entry(self.store_dir, name, filename, part.get("Content-Type"), stored)
            )
        self.send_bytes(200, common.report_json("email", "POST", self.path, fields, files))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("store_dir")
    args = parser.parse_args()
    store_http.serve(EmailUploadHandler, args.store_dir, args.port)


if __name__ == "__main__":
    main()
