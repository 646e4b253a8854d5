#!/usr/bin/python3
"""Update server folders for the update tests, one per case:

  <out>/<case>/update.txt, zul_exe.php (the archive), zul_exe.sig

The archive's program file is the restart probe (argument 2); signatures are
ECDSA P-256 over SHA-256, 64 bytes r || s, with the test key (argument 3).
  good       version 99.0.0.0, zul.exe and zul_French.ini, signed
  badsig     the same archive, signed over other bytes
  zipslip    "..\\..\\escaped.exe" beside zul.exe, validly signed
  bomb       zul.exe that inflates to 40 MB, validly signed
  noprogram  zul_French.ini only, validly signed
  older      version 0.9
"""
import io
import os
import sys
import zipfile

from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec, utils

out, probe_path, key_path = sys.argv[1:4]
key = serialization.load_pem_private_key(open(key_path, "rb").read(), password=None)
probe = open(probe_path, "rb").read()
NOTES = b"[99.0.0.0]\nNew things\n \n[1.0.0.1]\nOld things\n"


def sign(data):
    r, s = utils.decode_dss_signature(key.sign(data, ec.ECDSA(hashes.SHA256())))
    return r.to_bytes(32, "big") + s.to_bytes(32, "big")


def archive(entries):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in entries:
            info = zipfile.ZipInfo(name)
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
    return buf.getvalue()


def case(name, version, data, signature=None):
    folder = os.path.join(out, name)
    os.makedirs(folder, exist_ok=True)
    open(os.path.join(folder, "update.txt"), "wb").write(version + b"\0" + NOTES)
    open(os.path.join(folder, "zul_exe.php"), "wb").write(data)
    open(os.path.join(folder, "zul_exe.sig"), "wb").write(signature if signature is not None else sign(data))


good = archive([("zul.exe", probe), ("zul_French.ini", b"[Lang]\nnew=1\n")])
case("good", b"99.0.0.0", good)
case("badsig", b"99.0.0.0", good, sign(good + b"x"))
case("zipslip", b"99.0.0.0", archive([("..\\..\\escaped.exe", probe), ("zul.exe", probe)]))
case("bomb", b"99.0.0.0", archive([("zul.exe", b"\0" * (40 << 20))]))
case("noprogram", b"99.0.0.0", archive([("zul_French.ini", b"[Lang]\nnew=1\n")]))
case("older", b"0.9", good)
