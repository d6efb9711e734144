#!/usr/bin/env python3
"""Serves a folder over HTTPS on 127.0.0.1 with a given certificate.

    https_test_server.py PORT FOLDER CERT KEY [PATH=URL]...

Each PATH=URL answers a request for PATH with 302 Found to URL.
"""
import functools
import http.server
import ssl
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    redirects = {}

    def log_message(self, format, *args):  # noqa: A002 - quiet
        pass

    def do_GET(self):  # noqa: N802 - the standard library's name
        if self.path in self.redirects:
            self.send_response(302)
            self.send_header("Location", self.redirects[self.path])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        super().do_GET()


def main():
    port, folder, cert, key = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    Handler.redirects = dict(arg.split("=", 1) for arg in sys.argv[5:])
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    # The handshake runs in each request's thread, so a client that connects
    # and says nothing (the tests' "is it up yet" probe) holds up no one.
    server.socket = context.wrap_socket(server.socket, server_side=True,
                                        do_handshake_on_connect=False)
    server.serve_forever()


if __name__ == "__main__":
    main()
