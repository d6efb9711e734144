#!/usr/bin/env python3
"""Serves a folder (on 127.0.0.1 unless told) the way IPTV servers guard their streams.

    guarded_http_server.py PORT FOLDER REQUEST_LOG [--need NAME=VALUE]...
                           [--cut BYTES] [--stall]

--need   a request without this header and value is refused with 403
         Forbidden (names ignore case, values must be exact)
--cut    each .ts answer ends after BYTES bytes, as a connection that
         drops would
--stall  every connection is accepted and never answered
--slow-first SECONDS  the first .ts request is answered only after SECONDS,
         as a loaded server answers the first viewer of a channel
--bind   the address to listen on (127.0.0.1 unless given)
--redirect PATH=URL  a request for PATH is answered with 302 Found to URL

Each request is appended to REQUEST_LOG as one JSON line: its path, its
headers (names in lower case) and the status answered.
"""
import argparse
import functools
import http.server
import json
import shutil
import threading
import time

LOCK = threading.Lock()
FIRST_ANSWERED = threading.Event()


class Handler(http.server.SimpleHTTPRequestHandler):
    options = None

    def log_message(self, format, *args):  # noqa: A002 - quiet
        pass

    def record(self, status):
        headers = {name.lower(): value for name, value in self.headers.items()}
        with LOCK, open(self.options.request_log, "a", encoding="utf-8") as log:
            log.write(json.dumps({"path": self.path, "headers": headers, "status": status}) + "\n")

    def allowed(self):
        for need in self.options.need:
            name, _, value = need.partition("=")
            if self.headers.get(name) != value:
                return False
        return True

    def do_GET(self):  # noqa: N802 - the standard library's name
        if self.options.stall:
            self.record(0)
            time.sleep(60)
            return
        for redirect in self.options.redirect:
            path, _, url = redirect.partition("=")
            if self.path == path:
                self.record(302)
                self.send_response(302)
                self.send_header("Location", url)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
        if not self.allowed():
            self.record(403)
            self.send_error(403, "Forbidden")
            return
        self.record(200)
        if self.options.slow_first and self.path.split("?")[0].endswith(".ts"):
            with LOCK:
                first = not FIRST_ANSWERED.is_set()
                FIRST_ANSWERED.set()
            if first:
                time.sleep(self.options.slow_first)
        super().do_GET()

    def copyfile(self, source, outputfile):
        if self.options.cut and self.path.split("?")[0].endswith(".ts"):
            outputfile.write(source.read(self.options.cut))
            self.close_connection = True
            return
        shutil.copyfileobj(source, outputfile)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("folder")
    parser.add_argument("request_log")
    parser.add_argument("--need", action="append", default=[])
    parser.add_argument("--cut", type=int, default=0)
    parser.add_argument("--stall", action="store_true")
    parser.add_argument("--slow-first", type=float, default=0)
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--redirect", action="append", default=[])
    options = parser.parse_args()
    Handler.options = options
    handler = functools.partial(Handler, directory=options.folder)
    server = http.server.ThreadingHTTPServer((options.bind, options.port), handler)
    server.daemon_threads = True
    server.serve_forever()


if __name__ == "__main__":
    main()
