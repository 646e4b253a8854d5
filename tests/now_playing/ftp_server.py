#!/usr/bin/python3
"""Loopback FTP server for the now-playing tests (pyftpdlib): user "np",
password "secret", home --home, on 127.0.0.1 at a free port written to
--port-file; stops by itself after --lifetime seconds."""
import argparse
import os
import threading

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

p = argparse.ArgumentParser()
p.add_argument("--home", required=True)
p.add_argument("--port-file", required=True)
p.add_argument("--lifetime", type=float, default=300)
a = p.parse_args()
auth = DummyAuthorizer()
auth.add_user("np", "secret", a.home, perm="elradfmw")
FTPHandler.authorizer = auth
FTPHandler.passive_ports = None
server = FTPServer(("127.0.0.1", 0), FTPHandler)
tmp = a.port_file + ".tmp"
with open(tmp, "w") as f:
    f.write(str(server.address[1]))
os.replace(tmp, a.port_file)
threading.Timer(a.lifetime, server.close_all).start()
server.serve_forever(timeout=0.2, blocking=True)
