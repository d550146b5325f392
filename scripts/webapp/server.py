#!/usr/bin/env python3
"""The local web application that scripts/run points the client at.

    server.py --port <n> --state-dir <dir> [--media-dir <dir>]

Serves the pages of this folder on 127.0.0.1:<port>:
  /                          app.html (every server line but the refused one opens it);
                             each time it has been sent, <state-dir>/loaded receives
                             the seconds since the epoch: the client is showing the page
  /<file>                    a file of this folder
  /media/<file>              a file of the media folder: tone.mp3 (a short tone)
  POST /UpdateVersion/index  the update service: this version, so nothing is offered

<state-dir>/ready receives the port once the server listens; every request
is appended to <state-dir>/requests.log. The tone is made with sox and lame
into the media folder (default <state-dir>/media) when missing.
"""
import argparse
import http.server
import json
import mimetypes
import os
import subprocess
import time
import urllib.parse

PAGES = os.path.dirname(os.path.abspath(__file__))
# The client's own version: the update service offers nothing newer.
UPDATE_REPLY = {"Result": 0, "Data": {"version_id": "4.1", "downloadlink": ""}}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "KorvanthelWebApp/1"

    def log_message(self, fmt, *args):
        with open(os.path.join(self.server.state_dir, "requests.log"), "a", encoding="utf-8") as f:
            f.write("%s %s\n" % (time.strftime("%H:%M:%S"), fmt % args))

    def do_GET(self):
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        if path == "/":
            self.send_file(PAGES, "app.html")
            self.mark_loaded()
        elif path.startswith("/media/"):
            self.send_file(self.server.media_dir, path[len("/media/"):])
        else:
            self.send_file(PAGES, path.lstrip("/"))

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length") or 0))
        if urllib.parse.urlsplit(self.path).path == "/UpdateVersion/index":
            self.send(200, json.dumps(UPDATE_REPLY).encode("ascii"), "application/json")
        else:
            self.send(404, b"not found", "text/plain")

    def mark_loaded(self):
        marker = os.path.join(self.server.state_dir, "loaded")
        with open(marker + ".tmp", "w", encoding="ascii") as f:
            f.write("%.3f\n" % time.time())
        os.replace(marker + ".tmp", marker)

    def send_file(self, folder, name):
        full = os.path.realpath(os.path.join(folder, name))
        if not folder or not full.startswith(os.path.realpath(folder) + os.sep) or not os.path.isfile(full):
            self.send(404, b"not found", "text/plain")
            return
        with open(full, "rb") as f:
            data = f.read()
        kind = mimetypes.guess_type(full)[0] or "application/octet-stream"
        if kind.startswith("text/"):
            kind += "; charset=utf-8"
        self.send(200, data, kind)

    def send(self, status, data, kind):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(data)


def make_mp3(folder, name, *effect):
    target = os.path.join(folder, name)
    if os.path.isfile(target):
        return
    wav = target + ".wav"
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", wav] + list(effect), check=True)
    subprocess.run(["lame", "--quiet", "-b", "128", wav, target], check=True)
    os.remove(wav)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, state_dir, media_dir):
        super().__init__(("127.0.0.1", port), Handler)
        self.state_dir = state_dir
        self.media_dir = media_dir


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--media-dir", default="")
    args = parser.parse_args()
    os.makedirs(args.state_dir, exist_ok=True)
    media = args.media_dir or os.path.join(args.state_dir, "media")
    os.makedirs(media, exist_ok=True)
    make_mp3(media, "tone.mp3", "synth", "1.2", "sine", "660", "fade", "0.05", "1.2", "0.3", "vol", "0.5")
    server = Server(args.port, args.state_dir, media)
    ready = os.path.join(args.state_dir, "ready")
    with open(ready + ".tmp", "w", encoding="ascii") as f:
        f.write("%d\n" % server.server_address[1])
    os.replace(ready + ".tmp", ready)
    server.serve_forever()


if __name__ == "__main__":
    main()
