#!/usr/bin/env python3
"""Loopback web server for the news download tests: news_server.py ROOT PORTFILE.

/pages/NAME serves the file ROOT/NAME; /status/CODE/NAME the same file with
the status CODE; /moved/NAME redirects to /pages/NAME; /empty a page of no
bytes;
/stall/TOKEN never answers and /stall-body/TOKEN sends the headers of a long
page and no body, both after writing ROOT/TOKEN.seen. Writes "PORT
REFUSED_PORT" to PORTFILE once listening, REFUSED_PORT being a loopback port
left closed; runs until killed.
"""

import http.server
import os
import socket
import sys


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, body, length=None, code=200):
        self.send_response(code)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def stall(self, token):
        with open(os.path.join(self.server.root, os.path.basename(token) + ".seen"), "w"):
            pass
        # Until the client gives up or the server is killed.
        self.connection.settimeout(60)
        try:
            self.connection.recv(1)
        except OSError:
            pass
        self.close_connection = True

    def do_GET(self):
        kind, _, rest = self.path.partition("?")[0][1:].partition("/")
        if kind == "pages":
            try:
                with open(os.path.join(self.server.root, os.path.basename(rest)), "rb") as f:
                    self.answer(f.read())
            except OSError:
                self.send_error(404)
        elif kind == "status":
            code, _, name = rest.partition("/")
            with open(os.path.join(self.server.root, os.path.basename(name)), "rb") as f:
                self.answer(f.read(), code=int(code))
        elif kind == "moved":
            self.send_response(302)
            self.send_header("Location", "/pages/" + os.path.basename(rest))
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif kind == "empty":
            self.answer(b"")
        elif kind == "stall":
            self.stall(rest)
        elif kind == "stall-body":
            self.answer(b"", 100000)
            self.stall(rest)
        else:
            self.send_error(404)


def main():
    root, port_file = sys.argv[1], sys.argv[2]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root = root
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        refused = probe.getsockname()[1]
    with open(port_file + ".tmp", "w") as f:
        f.write("%d %d\n" % (server.server_address[1], refused))
    os.replace(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
