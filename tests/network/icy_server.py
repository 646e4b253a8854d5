#!/usr/bin/python3
"""Loopback stream server for the streaming tests: one path per behaviour.

Serves on 127.0.0.1 only, on a free port it writes to --port-file, and
stops by itself after --lifetime seconds. Every connection is bounded in
bytes and time.

Paths (the MP3 is --mp3, sent as received from an encoder):
  /live.mp3         icy-metaint 8192 when asked for metadata, a new title
                    "Loop Artist - Title N" in every block, paced at
                    --rate bytes/s
  /rawicy.mp3       a raw "ICY 200 OK" status line with the icy headers in
                    the body, metaint 8192
  /garbage          HTTP 200 and 300000 bytes of noise
  /meta255          8192 bytes of MP3, then length byte 255 and 0xff forever
                    (up to 64 MB)
  /longtitle        metaint 8192; the first block a 4080-byte title with no
                    closing quote, then proper titles
  /metaint0, /metaint-1, /metaint2g
                    those icy-metaint values, the MP3 plain
  /slow             one byte per second (30 at most)
  /midclose         the MP3 cut in the middle of a frame
  /hang             reads the request and answers nothing for 20 s
  /icy404           "ICY 404 Resource Not Found"
  /http404          HTTP 404 with an HTML page
"""
import argparse
import os
import random
import socket
import socketserver
import ssl
import sys
import threading
import time

ARGS = None
MP3 = b""
CONNECTION_SECONDS = 60


def title_block(text):
    data = text.encode("utf-8")
    data += b"\0" * ((16 - len(data) % 16) % 16)
    assert len(data) // 16 <= 255
    return bytes([len(data) // 16]) + data


def with_metadata(audio, interval, titles):
    out = bytearray()
    for n, at in enumerate(range(0, len(audio), interval)):
        piece = audio[at:at + interval]
        out += piece
        if len(piece) == interval:
            out += title_block(titles(n))
    return bytes(out)


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.settimeout(10)
        self.deadline = time.monotonic() + CONNECTION_SECONDS

    def read_request(self):
        data = b""
        while b"\r\n\r\n" not in data and len(data) < 16384 and time.monotonic() < self.deadline:
            chunk = self.request.recv(4096)
            if not chunk:
                break
            data += chunk
        head = data.split(b"\r\n\r\n")[0].decode("latin-1")
        lines = head.split("\r\n")
        path = lines[0].split(" ")[1] if len(lines[0].split(" ")) > 1 else "/"
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                k, v = line.split(":", 1)
                headers[k.strip().lower()] = v.strip()
        return path, headers

    def send(self, data, rate=None):
        step = 4096 if rate is None else max(1, rate // 20)
        start = time.monotonic()
        sent = 0
        for at in range(0, len(data), step):
            if time.monotonic() > self.deadline:
                return
            self.request.sendall(data[at:at + step])
            sent += len(data[at:at + step])
            if rate:
                ahead = sent / rate - (time.monotonic() - start)
                if ahead > 0:
                    time.sleep(min(ahead, 1.0))

    def header(self, status="HTTP/1.0 200 OK", extra=()):
        lines = [status, "Content-Type: audio/mpeg", "icy-name: Loop FM", "icy-br: 128"] + list(extra)
        self.request.sendall(("\r\n".join(lines) + "\r\n\r\n").encode("latin-1"))

    def handle(self):
        try:
            path, headers = self.read_request()
            self.serve(path, headers)
        except (OSError, ssl.SSLError):
            pass

    def serve(self, path, headers):
        wants_meta = headers.get("icy-metadata") == "1"
        live_titles = lambda n: "StreamTitle='Loop Artist - Title %d';StreamUrl='';" % (n + 1)
        if path in ("/live.mp3", "/rawicy.mp3"):
            extra = ["icy-metaint: 8192"] if wants_meta else []
            body = with_metadata(MP3, 8192, live_titles) if wants_meta else MP3
            if path == "/rawicy.mp3":
                self.header("ICY 200 OK", extra)
            else:
                self.header(extra=extra)
            self.send(body, ARGS.rate)
        elif path == "/garbage":
            self.header()
            rnd = random.Random(19)
            self.send(bytes(rnd.getrandbits(8) for _ in range(300000)))
        elif path == "/meta255":
            self.header(extra=["icy-metaint: 8192"])
            self.send(MP3[:8192])
            block = b"\xff" * 65536
            for _ in range(1024):
                if time.monotonic() > self.deadline:
                    break
                self.request.sendall(block)
        elif path == "/longtitle":
            self.header(extra=["icy-metaint: 8192"])
            unclosed = "StreamTitle='" + "x" * (4080 - 13)

            def titles(n):
                return unclosed if n == 0 else "StreamTitle='Proper Title %d';" % n
            self.send(with_metadata(MP3, 8192, titles))
        elif path in ("/metaint0", "/metaint-1", "/metaint2g"):
            value = {"/metaint0": "0", "/metaint-1": "-1", "/metaint2g": str(2 ** 31)}[path]
            self.header(extra=["icy-metaint: " + value])
            self.send(MP3)
        elif path == "/slow":
            self.header()
            for b in MP3[:30]:
                if time.monotonic() > self.deadline:
                    break
                self.request.sendall(bytes([b]))
                time.sleep(1)
        elif path == "/midclose":
            self.header()
            self.send(MP3[:len(MP3) // 2 + 100])
        elif path == "/hang":
            end = time.monotonic() + 20
            while time.monotonic() < end:
                time.sleep(0.1)
        elif path == "/icy404":
            self.request.sendall(b"ICY 404 Resource Not Found\r\nicy-notice1: gone\r\n\r\n")
        elif path == "/http404":
            self.request.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html>gone</html>")
        else:
            self.request.sendall(b"HTTP/1.0 400 Bad Request\r\n\r\n")


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


class TlsServer(Server):
    def get_request(self):
        sock, addr = super().get_request()
        return self.context.wrap_socket(sock, server_side=True), addr


def main():
    global ARGS, MP3
    p = argparse.ArgumentParser()
    p.add_argument("--mp3", required=True)
    p.add_argument("--port-file", required=True)
    p.add_argument("--lifetime", type=float, default=300)
    p.add_argument("--rate", type=int, default=32000)
    p.add_argument("--cert", help="PEM with certificate and key: serve TLS")
    ARGS = p.parse_args()
    with open(ARGS.mp3, "rb") as f:
        MP3 = f.read()
    server = (TlsServer if ARGS.cert else Server)(("127.0.0.1", 0), Handler)
    if ARGS.cert:
        server.context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        server.context.load_cert_chain(ARGS.cert)
    tmp = ARGS.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(tmp, ARGS.port_file)
    threading.Timer(ARGS.lifetime, server.shutdown).start()
    server.serve_forever(poll_interval=0.2)


if __name__ == "__main__":
    main()
