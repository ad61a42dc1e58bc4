#!/usr/bin/env python3
"""A small HTTP server on the loopback interface for the test suites.

Started by tests/support/http_server_fixture.hpp; prints "PORT <n>" on its first line once it
listens, then serves until it is terminated.

  GET  /files/<path>         the file under --root; a folder gives a listing page whose links
                             are written <A HREF="name">name</A>, with a "[To Parent Directory]"
                             link first, as web-server folder listings are
  PUT  /upload/<name>        stores the body byte for byte as --uploads/<name>; answers 201
  ANY  /status/<code>        answers with that status and the body "status <code>"
  ANY  /redirect?to=<url>    answers 302 with Location <url>  (/redirect/<code>?to= for another code)
  GET  /slow?seconds=<n>     waits n seconds (at most 30), then answers "slow done"
  ANY  /echo                 answers JSON: method, path, headers and body of the request
  GET  /bytes?count=<n>      answers n bytes of "x" (streamed, for response size limits)
  GET  /text?charset=<cs>&text=<t>   answers t encoded in charset cs, declared in Content-Type
  ANY  /xml?body=<t>         answers t as text/xml (&status=<code> for another status than 200)

With --log FILE, each request's method and path is appended to FILE as one line before it is
answered, so a test can tell that nothing reached the server.
"""

import argparse
import json
import os
import sys
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "LumoraTestServer/1.0"

    def log_message(self, format, *args):  # keep the test output clean
        pass

    # -- helpers -------------------------------------------------------------------------
    def _body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def _send(self, status, body=b"", content_type="text/plain; charset=utf-8", headers=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _route(self):
        parsed = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(parsed.query, keep_blank_values=True)
        return urllib.parse.unquote(parsed.path), query

    def _inside(self, folder, relative):
        base = os.path.realpath(folder)
        target = os.path.realpath(os.path.join(base, relative.lstrip("/")))
        return target if target == base or target.startswith(base + os.sep) else None

    # -- endpoints ------------------------------------------------------------------------
    def _files(self, relative):
        target = self._inside(self.server.root, relative)
        if target is None:
            return self._send(403, b"forbidden")
        if os.path.isdir(target):
            lines = ['<html><head><title>listing</title></head><body><pre>',
                     '<A HREF="../">[To Parent Directory]</A><br>']
            for name in sorted(os.listdir(target)):
                shown = name + ("/" if os.path.isdir(os.path.join(target, name)) else "")
                lines.append('<A HREF="%s">%s</A><br>' % (urllib.parse.quote(shown), shown))
            lines.append("</pre></body></html>")
            return self._send(200, "\n".join(lines).encode("utf-8"), "text/html; charset=utf-8")
        if not os.path.isfile(target):
            return self._send(404, b"not found")
        with open(target, "rb") as f:
            data = f.read()
        kind = "text/xml" if target.endswith(".xml") else "application/octet-stream"
        if target.endswith((".htm", ".html")):
            kind = "text/html"
        return self._send(200, data, kind)

    def _upload(self, name, body):
        target = self._inside(self.server.uploads, name)
        if target is None or target == os.path.realpath(self.server.uploads):
            return self._send(403, b"forbidden")
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(body)
        return self._send(201, b"stored")

    def _bytes(self, count):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(count))
        self.end_headers()
        chunk = b"x" * 65536
        try:
            while count > 0:
                piece = chunk[:min(count, len(chunk))]
                self.wfile.write(piece)
                count -= len(piece)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def _handle(self):
        if self.server.log:
            with open(self.server.log, "a") as log:
                log.write("%s %s\n" % (self.command, self.path))
        path, query = self._route()
        body = self._body() if self.command in ("POST", "PUT", "PATCH", "DELETE", "PROPFIND", "REPORT") else b""
        if path.startswith("/files"):
            return self._files(path[len("/files"):])
        if path.startswith("/upload/") and self.command == "PUT":
            return self._upload(path[len("/upload/"):], body)
        if path.startswith("/status/"):
            code = int(path[len("/status/"):] or 500)
            return self._send(code, ("status %d" % code).encode())
        if path.startswith("/redirect"):
            code = int(path[len("/redirect/"):] or 302) if path.startswith("/redirect/") else 302
            return self._send(code, b"moved", headers={"Location": query.get("to", ["/"])[0]})
        if path == "/slow":
            time.sleep(min(float(query.get("seconds", ["5"])[0]), 30.0))
            return self._send(200, b"slow done")
        if path == "/echo":
            answer = {"method": self.command, "path": self.path,
                      "headers": {k: v for k, v in self.headers.items()},
                      "body": body.decode("latin-1")}
            return self._send(200, json.dumps(answer).encode(), "application/json")
        if path == "/bytes":
            return self._bytes(int(query.get("count", ["0"])[0]))
        if path == "/text":
            charset = query.get("charset", ["utf-8"])[0]
            text = query.get("text", [""])[0]
            return self._send(200, text.encode(charset), "text/plain; charset=%s" % charset)
        if path == "/xml":
            status = int(query.get("status", ["200"])[0])
            return self._send(status, query.get("body", [""])[0].encode("utf-8"), "text/xml")
        return self._send(404, b"not found")

    do_GET = do_POST = do_PUT = do_DELETE = do_HEAD = do_PATCH = do_OPTIONS = _handle
    do_PROPFIND = do_REPORT = _handle


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--uploads", required=True)
    parser.add_argument("--log")
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root = args.root
    server.uploads = args.uploads
    server.log = args.log
    print("PORT %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
