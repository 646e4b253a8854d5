#!/usr/bin/python3
"""Loopback HTTP server for the update tests: serves --root read-only on
127.0.0.1 at a free port written to --port-file, and stops by itself after
--lifetime seconds. "/drop/..." serves the "good" case, except that the
archive stops after half its bytes and the connection closes."""
import argparse
import http.server
import os
import threading


class Handler(http.server.BaseHTTPRequestHandler):
    timeout = 10

    def log_message(self, *args):
        pass

    def do_GET(self):
        parts = self.path.split("?")[0].strip("/").split("/")
        if len(parts) != 2 or any(p in ("", ".", "..") for p in parts):
            self.send_error(404)
            return
        case, name = parts
        drop = case == "drop"
        path = os.path.join(ROOT, "good" if drop else case, name)
        if not os.path.isfile(path):
            self.send_error(404)
            return
        data = open(path, "rb").read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        if drop and name == "zul_exe.php":
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.wfile.write(data)


def main():
    global ROOT
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--port-file", required=True)
    p.add_argument("--lifetime", type=float, default=300)
    a = p.parse_args()
    ROOT = a.root
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    tmp = a.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(tmp, a.port_file)
    threading.Timer(a.lifetime, server.shutdown).start()
    server.serve_forever(poll_interval=0.2)


if __name__ == "__main__":
    main()
