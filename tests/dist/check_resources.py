#!/usr/bin/env python3
"""Reads the resource section of a built zul.exe back and checks what a
Windows user's system reads from it: exactly one application manifest, with
common controls 6, per-monitor DPI awareness, the supported systems and
asInvoker; and a complete version resource carrying the version of the
VERSION file.

    check_resources.py <zul.exe> <VERSION file>

Prints one line per failed check and exits 1 when any failed."""
import struct
import sys
import xml.etree.ElementTree as ET

RT_VERSION = 16
RT_MANIFEST = 24


def pe_resources(data):
    """{(type, name, language): bytes} of the resource directory."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, opt_size = struct.unpack_from("<H12xH", data, pe + 6)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (96 if magic == 0x10B else 112)
    rsrc_rva, _ = struct.unpack_from("<II", data, dirs + 2 * 8)
    if rsrc_rva == 0:
        return {}
    table = opt + opt_size
    spans = []
    for i in range(sections):
        vsize, va, rawsize, raw = struct.unpack_from("<8xIIII", data, table + 40 * i)
        spans.append((va, max(vsize, rawsize), raw))

    def offset(rva):
        for va, size, raw in spans:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f"RVA {rva:#x} is in no section")

    base = offset(rsrc_rva)

    def entries(at):
        named, ids = struct.unpack_from("<12xHH", data, base + at)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            if name & 0x80000000:
                length = struct.unpack_from("<H", data, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = data[start:start + 2 * length].decode("utf-16-le")
            yield name, target

    found = {}
    for rtype, t in entries(0):
        for rname, n in entries(t & 0x7FFFFFFF):
            for lang, leaf in entries(n & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                found[(rtype, rname, lang)] = data[offset(rva):offset(rva) + size]
    return found


def version_strings(blob):
    """(file version, product version, {string name: value}) of a
    VS_VERSIONINFO block."""

    def node(at):
        """(key, value bytes, wType, children) of the node at that offset."""
        length, value_length, kind = struct.unpack_from("<HHH", blob, at)
        end_key = at + 6
        while blob[end_key:end_key + 2] != b"\0\0":
            end_key += 2
        key = blob[at + 6:end_key].decode("utf-16-le")
        value_at = (end_key + 2 + 3) & ~3
        value_bytes = value_length * 2 if kind == 1 else value_length
        value = blob[value_at:value_at + value_bytes]
        children, child = [], (value_at + value_bytes + 3) & ~3
        while child < at + length:
            child_length = struct.unpack_from("<H", blob, child)[0]
            if child_length == 0:
                break
            children.append(node(child))
            child = (child + child_length + 3) & ~3
        return key, value, kind, children

    key, value, _, children = node(0)
    if key != "VS_VERSION_INFO":
        raise ValueError(f"version resource key {key!r}")
    fixed = struct.unpack_from("<13I", value, 0)
    if fixed[0] != 0xFEEF04BD:
        raise ValueError("no VS_FIXEDFILEINFO")

    def quad(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    strings = {}
    for info_key, _, _, tables in children:
        if info_key == "StringFileInfo":
            for _, _, _, entries in tables:
                for name, text, _, _ in entries:
                    strings[name] = text.decode("utf-16-le").rstrip("\0")
    return quad(fixed[2], fixed[3]), quad(fixed[4], fixed[5]), strings


def main():
    exe, version_file = sys.argv[1], sys.argv[2]
    version = open(version_file).readline().strip()
    data = open(exe, "rb").read()
    resources = pe_resources(data)
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)

    manifests = [k for k in resources if k[0] == RT_MANIFEST]
    check(len(manifests) == 1, f"expected exactly one manifest resource, found {manifests}")
    if manifests:
        key = manifests[0]
        check(key[1] == 1, f"the manifest's id is {key[1]}, not 1 (CREATEPROCESS_MANIFEST_RESOURCE_ID)")
        root = ET.fromstring(resources[key])
        ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
              "c": "urn:schemas-microsoft-com:compatibility.v1",
              "w05": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
              "w16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}
        cc = [a for a in root.iterfind(".//v1:dependentAssembly/v1:assemblyIdentity", ns)
              if a.get("name") == "Microsoft.Windows.Common-Controls"]
        check(len(cc) == 1 and cc[0].get("version") == "6.0.0.0" and cc[0].get("publicKeyToken") == "6595b64144ccf1df",
              "no dependency on Microsoft.Windows.Common-Controls 6.0.0.0")
        levels = [e.get("level") for e in root.iter() if e.tag.endswith("requestedExecutionLevel")]
        check(levels == ["asInvoker"], f"requestedExecutionLevel {levels}, expected asInvoker")
        os_ids = {e.get("Id").lower() for e in root.iterfind(".//c:application/c:supportedOS", ns)}
        for name, guid in {"Windows 7": "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                           "Windows 8": "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                           "Windows 8.1": "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                           "Windows 10 and 11": "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}.items():
            check(guid in os_ids, f"supportedOS for {name} missing")
        aware = [e.text.strip() for e in root.iterfind(".//w05:dpiAware", ns)]
        awareness = [e.text.strip() for e in root.iterfind(".//w16:dpiAwareness", ns)]
        check(aware == ["true/pm"], f"dpiAware {aware}, expected true/pm (per monitor)")
        check(bool(awareness) and awareness[0].split(",")[0].strip() == "PerMonitorV2",
              f"dpiAwareness {awareness}, expected PerMonitorV2 first")
        identity = root.find("v1:assemblyIdentity", ns)
        check(identity is not None and identity.get("version") == version,
              f"manifest assembly version {identity.get('version') if identity is not None else None}, VERSION says {version}")

    versions = [k for k in resources if k[0] == RT_VERSION]
    check(len(versions) == 1, f"expected one version resource, found {versions}")
    if versions:
        file_version, product_version, strings = version_strings(resources[versions[0]])
        check(file_version == version, f"FILEVERSION {file_version}, VERSION says {version}")
        check(product_version == version, f"PRODUCTVERSION {product_version}, VERSION says {version}")
        check(strings.get("FileVersion") == version, f"FileVersion string {strings.get('FileVersion')!r}")
        check(strings.get("ProductVersion") == version, f"ProductVersion string {strings.get('ProductVersion')!r}")
        check(strings.get("OriginalFilename") == "zul.exe", f"OriginalFilename {strings.get('OriginalFilename')!r}")
        check(strings.get("ProductName") == "ZUL", f"ProductName {strings.get('ProductName')!r}")
        for name in ("CompanyName", "FileDescription", "LegalCopyright"):
            check(bool(strings.get(name)), f"{name} missing or empty")

    for f in failures:
        print(f"{exe}: {f}")
    if not failures:
        print(f"{exe}: one manifest (common controls 6, per-monitor DPI, supportedOS, asInvoker), version {version}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
