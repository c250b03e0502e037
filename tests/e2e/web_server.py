#!/usr/bin/env python3
"""Local web server for the end-to-end tests: HTTP and HTTPS on 127.0.0.1 only.

Serves files from --root, plus a few routes that real servers produce by accident:
  /stall...          accepts the request and never answers (until the server stops); so does
                     any path P for which the file P.stall exists in the root
  /echo...           answers with what it received: request line, headers, body
                     (JSON; ?format=text gives plain text)
  /cookie?a=1&b=2    sends one Set-Cookie header per query parameter
  /status/NNN        answers with that status code and a short body
  /size/N            answers with N bytes of "a"
  /redirect?to=URL   answers 302 with Location: URL

HTTPS is served twice: on --https-port with the certificate STATE_DIR/cert.pem, which the tests
make their Wine prefix trust, and on --untrusted-port with STATE_DIR/untrusted.pem, which nothing
trusts. Both are self-signed for localhost and 127.0.0.1 and made at start-up with openssl.
When all ports listen it writes "HTTP_PORT HTTPS_PORT UNTRUSTED_PORT" to STATE_DIR/ports.
"""

import argparse
import http.server
import json
import os
import signal
import socketserver
import ssl
import subprocess
import sys
import threading
import urllib.parse

STOP = threading.Event()
# A stalled request is held at most this long, so a forgotten server cannot hold a client forever.
STALL_LIMIT_SECONDS = 600


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "ZelvTestServer/1.0"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.address_string(), fmt % args))

    def _body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def _send(self, code, body, content_type="text/plain; charset=utf-8", extra=()):
        self.send_response(code)
        for name, value in extra:
            self.send_header(name, value)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def _route(self):
        url = urllib.parse.urlsplit(self.path)
        path = url.path
        if path.startswith("/stall") or self._stall_file(path):
            STOP.wait(STALL_LIMIT_SECONDS)
            self.close_connection = True
            return True
        if path.startswith("/echo"):
            body = self._body()
            if "format=text" in url.query:
                text = self.requestline + "\r\n" + str(self.headers) + body.decode("latin-1")
                self._send(200, text.encode("latin-1"))
            else:
                info = {
                    "request_line": self.requestline,
                    "method": self.command,
                    "path": self.path,
                    "version": self.request_version,
                    "headers": [[k, v] for k, v in self.headers.items()],
                    "body": body.decode("latin-1"),
                }
                self._send(200, json.dumps(info).encode("utf-8"), "application/json")
            return True
        if path.startswith("/cookie"):
            pairs = urllib.parse.parse_qsl(url.query, keep_blank_values=True)
            cookies = [("Set-Cookie", "%s=%s; Path=/" % (k, v)) for k, v in pairs]
            self._send(200, b"cookies set\n", extra=cookies)
            return True
        if path.startswith("/size/"):
            try:
                size = int(path[len("/size/"):])
            except ValueError:
                size = 0
            self._send(200, b"a" * size)
            return True
        if path.startswith("/redirect"):
            target = dict(urllib.parse.parse_qsl(url.query)).get("to", "/")
            self._send(302, b"moved\n", extra=[("Location", target)])
            return True
        if path.startswith("/status/"):
            try:
                code = int(path[len("/status/"):])
            except ValueError:
                code = 400
            self._send(code, ("status %d\n" % code).encode("ascii"))
            return True
        return False

    def _stall_file(self, path):
        relative = urllib.parse.unquote(path).lstrip("/")
        if not relative or ".." in relative.split("/"):
            return False
        return os.path.exists(os.path.join(self.directory, relative + ".stall"))

    def do_GET(self):
        if not self._route():
            super().do_GET()

    def do_HEAD(self):
        if not self._route():
            super().do_HEAD()

    def do_POST(self):
        if not self._route():
            self._body()
            self._send(405, b"method not allowed\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class TlsServer(Server):
    """Handshakes in the request's thread, so a client that stalls cannot block accepting."""

    def __init__(self, address, handler, context):
        super().__init__(address, handler)
        self.context = context

    def get_request(self):
        sock, addr = super().get_request()
        return self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), addr

    def finish_request(self, request, client_address):
        try:
            request.settimeout(30)
            request.do_handshake()
            request.settimeout(None)
        except (ssl.SSLError, OSError) as e:
            sys.stderr.write("TLS handshake with %s failed: %s\n" % (client_address[0], e))
            return
        super().finish_request(request, client_address)


def make_certificate(state_dir, name):
    cert = os.path.join(state_dir, name + ".pem")
    key = os.path.join(state_dir, name + "-key.pem")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
         "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
         "-keyout", key, "-out", cert],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--http-port", type=int, default=0)
    parser.add_argument("--https-port", type=int, default=0)
    parser.add_argument("--untrusted-port", type=int, default=0)
    args = parser.parse_args()
    os.makedirs(args.state_dir, exist_ok=True)
    root = os.path.abspath(args.root)

    def handler(*a, **kw):
        return Handler(*a, directory=root, **kw)

    servers = [
        Server(("127.0.0.1", args.http_port), handler),
        TlsServer(("127.0.0.1", args.https_port), handler, make_certificate(args.state_dir, "cert")),
        TlsServer(("127.0.0.1", args.untrusted_port), handler, make_certificate(args.state_dir, "untrusted")),
    ]
    threads = [threading.Thread(target=s.serve_forever, daemon=True) for s in servers]
    for t in threads:
        t.start()

    ports = os.path.join(args.state_dir, "ports")
    with open(ports + ".tmp", "w") as f:
        f.write(" ".join(str(s.server_address[1]) for s in servers) + "\n")
    os.replace(ports + ".tmp", ports)

    def stop(*_):
        STOP.set()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    # A bounded wait, so the signal handler gets to run between waits.
    while not STOP.wait(0.2):
        pass
    for s in servers:
        s.shutdown()
        s.server_close()


if __name__ == "__main__":
    main()
