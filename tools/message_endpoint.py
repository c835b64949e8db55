#!/usr/bin/env python3
"""A small reference endpoint for Corvanel's "one-line message" dialog.

It answers GET /cgi-bin/SoftMsg/message.cgi?Pass=...&Main=...&soft=... exactly as the
program sends it: the three fields in that order, the pass value checked, the message and
the program tag decoded byte-wise ("+" is a space, "%XX" a byte) and then as text in the
given encoding. Each accepted message is appended to the log file with a time stamp, and
the reply is the body "Successful!".

    python3 tools/message_endpoint.py --port 8080 --log messages.log

With --port 0 the system picks a free port. Either way the first line on standard output
is "listening on http://HOST:PORT/cgi-bin/SoftMsg/message.cgi", so a test can read it.
Point the program at it with CORVANEL_MESSAGE_URL set to that address.

Python 3 standard library only.
"""
import argparse
import datetime
import http.server
import sys
import threading
import urllib.parse

PATH = "/cgi-bin/SoftMsg/message.cgi"
PASS = "k4w7pz2m"
FIELDS = ("Pass", "Main", "soft")


def decode_field(value: str, encoding: str) -> str:
    raw = urllib.parse.unquote_to_bytes(value.replace("+", " "))
    return raw.decode(encoding, errors="replace")


def parse_query(query: str):
    """The three fields in their fixed order, or None when the query is not that."""
    parts = query.split("&")
    if len(parts) != len(FIELDS):
        return None
    values = []
    for part, name in zip(parts, FIELDS):
        key, sep, value = part.partition("=")
        if key != name or not sep:
            return None
        values.append(value)
    return values


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "CorvanelMessageEndpoint/1.0"
    log_lock = threading.Lock()

    def answer(self, status: int, body: str):
        data = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        path, _, query = self.path.partition("?")
        if path != PATH:
            self.answer(404, "Not Found")
            return
        fields = parse_query(query)
        if fields is None:
            self.answer(400, "Bad Request")
            return
        password, main, soft = fields
        if password != PASS:
            self.answer(403, "Forbidden")
            return
        encoding = self.server.encoding
        message = decode_field(main, encoding).replace("\r\n", "\n")
        tag = decode_field(soft, encoding)
        stamp = datetime.datetime.now().astimezone().isoformat(timespec="seconds")
        with self.log_lock, open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(f"--- {stamp} {tag}\n{message}\n")
        self.answer(200, "Successful!")

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        if not self.server.quiet:
            super().log_message(format, *args)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--host", default="127.0.0.1", help="address to listen on")
    parser.add_argument("--port", type=int, default=8080, help="port; 0 picks a free one")
    parser.add_argument("--log", required=True, help="file the messages are appended to")
    parser.add_argument("--encoding", default="utf-8",
                        help="code page the program sends in (utf-8 on Linux, e.g. cp932)")
    parser.add_argument("--quiet", action="store_true", help="no request log on stderr")
    args = parser.parse_args(argv)

    server = http.server.ThreadingHTTPServer((args.host, args.port), Handler)
    server.log_path = args.log
    server.encoding = args.encoding
    server.quiet = args.quiet
    host, port = server.server_address[:2]
    print(f"listening on http://{host}:{port}{PATH}", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
