#!/usr/bin/env python3
"""Writes seed inputs for the tag fuzzers: one directory per target under the
given folder (default build/fuzz/seeds-tags). Run before fuzzing:
  fuzz/tags/make_seeds.py build/fuzz/seeds-tags
  build/fuzz/fuzzers/fuzz_tags_id3v2 corpus/ build/fuzz/seeds-tags/fuzz_tags_id3v2
"""
import os
import struct
import sys


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def unsync(b):
    out = bytearray()
    for i, c in enumerate(b):
        out.append(c)
        if c == 0xFF and (i + 1 == len(b) or b[i + 1] >= 0xE0 or b[i + 1] == 0):
            out.append(0)
    return bytes(out)


def frame(major, fid, data, flags2=0):
    size = struct.pack(">I", len(data)) if major == 3 else syncsafe(len(data))
    return fid + size + bytes([0, flags2]) + data


def id3v2(major, frames, flags=0, footer=False):
    body = b"".join(frames)
    if major == 3 and flags & 0x80:
        body = unsync(body)
    head = b"ID3" + bytes([major, 0, flags]) + syncsafe(len(body))
    tail = b"3DI" + bytes([major, 0, flags]) + syncsafe(len(body)) if footer else b""
    return head + body + tail


def ape(version, items, header=False):
    raw = b"".join(struct.pack("<II", len(v), f) + k + b"\0" + v for k, v, f in items)
    size = len(raw) + 32

    def block(extra):
        flags = (1 << 31 if header else 0) | extra
        return b"APETAGEX" + struct.pack("<IIII", version, size, len(items), flags) + bytes(8)

    return (block(1 << 29) if header else b"") + raw + block(0)


def id3v1(title=b"Title", track=7, genre=17):
    rec = bytearray(128)
    rec[0:3] = b"TAG"
    rec[3:3 + len(title)] = title
    rec[93:97] = b"1999"
    rec[97:101] = b"Nice"
    rec[126] = track
    rec[127] = genre
    return bytes(rec)


def lyrics3(text):
    block = b"LYRICSBEGIN" + text
    return block + b"%06d" % len(block) + b"LYRICS200"


AUDIO = bytes(range(32, 96)) * 4
TXXX = b"\0replaygain_track_gain\0-6.50 dB"
v23 = id3v2(3, [frame(3, b"TIT2", b"\0Title"), frame(3, b"TCON", b"\0(17)"), frame(3, b"TXXX", TXXX),
                frame(3, b"COMM", b"\0engdesc\0text"), frame(3, b"WXXX", b"\1\xff\xfeh\0\0\0http://x")])
v24 = id3v2(4, [frame(4, b"TIT2", b"\3T\xc3\xaftle"), frame(4, b"TDRC", b"\0" + b"2004"),
                frame(4, b"TPE1", unsync(b"\0\xff\xe9"), 0x02),
                frame(4, b"TALB", b"\x42" + syncsafe(4) + b"\0Alb", 0x41)])
v23u = id3v2(3, [frame(3, b"TIT2", b"\0\xff\xe9!")], flags=0x80)
v23x = id3v2(3, [struct.pack(">IHI", 6, 0, 0), frame(3, b"TIT2", b"\0T")], flags=0x40)
v24f = AUDIO + id3v2(4, [frame(4, b"TIT2", b"\1\xff\xfeT\0")], footer=True)
apev2 = ape(2000, [(b"Title", b"T", 0), (b"Artist", b"A", 0), (b"Cover", b"\xff\xd8", 2),
                   (b"REPLAYGAIN_ALBUM_GAIN", b"+1.0 dB", 0)], header=True)
apev1 = ape(1000, [(b"Title", b"Caf\xe9", 0)])

seeds = {
    "fuzz_tags_id3v1": [AUDIO + id3v1(), id3v1(track=0, genre=255)],
    "fuzz_tags_id3v2": [v23 + AUDIO, v24 + AUDIO, v23u + AUDIO, v23x + AUDIO, v24f],
    "fuzz_tags_ape": [AUDIO + apev2, AUDIO + apev1 + id3v1(), AUDIO + apev2 + lyrics3(b"IND00003110") + id3v1()],
    "fuzz_tags_format_ex": [b"\xff[%artist% - ]%title%", b"\x20%track%. [%album%[ (%year%)]] %%%[%]",
                            b"\x05%genre%%filename%.%fileext% %filepath%"],
    "fuzz_tags_reader": [bytes([p]) + v23 + AUDIO + apev2 + id3v1() for p in (0x30, 0x32, 0x14)],
}

root = sys.argv[1] if len(sys.argv) > 1 else "build/fuzz/seeds-tags"
for target, inputs in seeds.items():
    os.makedirs(os.path.join(root, target), exist_ok=True)
    for i, data in enumerate(inputs):
        with open(os.path.join(root, target, "seed%d" % i), "wb") as f:
            f.write(data)
