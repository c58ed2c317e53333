#!/usr/bin/env python3
"""Writes the extension-trailer fixtures of tests/data/store from the file layout, by hand.

The records are those of three-levels.zvd with four texts in the "?" form that the code page
gives Greek, Chinese and Cyrillic letters; the trailer holds their UTF-8. The damaged files each
break one thing. Run once from the repository's top folder; the files are committed.
"""
import ctypes
import struct
import zlib
from pathlib import Path

DATA = Path("tests/data/store")
MAGIC = b"\xff\xfe\xffZVX\r\n"
XXH = ctypes.CDLL("libxxhash.so.0")
XXH.XXH64.restype = ctypes.c_uint64
XXH.XXH64.argtypes = [ctypes.c_char_p, ctypes.c_size_t, ctypes.c_uint64]

# Field places in the file record: 0 first name, 7 label.
FIRST_NAME, GENDER, LABEL = 0, 5, 7


def records_with_question_marks():
    b = (DATA / "three-levels.zvd").read_bytes()

    def replace(old, new, nth):
        start = -1
        for _ in range(nth):
            start = b.index(old, start + 1)
        return b[:start] + new + b[start + len(old):]

    b = replace(b"\x03Jan", b"\x05" + b"?" * 5, 1)  # Jan's first name: Νίκος
    b = replace(b"\x03Jan", b"\x12????? ????????????", 1)  # his label: Νίκος Παπαδόπουλος
    b = replace(b"\x03Kid", b"\x03???", 1)  # Kid's first name: 王小明
    b = replace(b"\x04Solo", b"\x05?????", 1)  # Solo's label: Бетти
    return b


TEXTS = [(1, FIRST_NAME, "Νίκος"), (1, LABEL, "Νίκος Παπαδόπουλος"), (2, FIRST_NAME, "王小明"),
         (3, LABEL, "Бетти")]


def text_payload(texts):
    out = b""
    for record, place, text in texts:
        utf8 = text.encode()
        out += struct.pack("<QII", record, place, len(utf8)) + utf8
    return out


IDENTITIES = [(0, "urn:uuid:0b6f3a52-8d1e-4c7a-9f21-5e3d7c9a1b40", "20261201T080000Z"),
              (1, "νίκος-παπαδόπουλος@example.gr", "20261208T120000Z")]


def identity_payload(identities):
    out = b""
    for record, uid, rev in identities:
        out += struct.pack("<QI", record, len(uid.encode())) + uid.encode()
        out += struct.pack("<I", len(rev)) + rev.encode()
    return out


# A 1x1 PNG, the smallest photo a card carries.
PNG = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                    "1f15c4890000000d49444154789c6360f8ffff3f0005fe02fe0def46b8"
                    "0000000049454e44ae426082")
PHOTOS = [(1, "image/png", PNG)]
PROPERTIES = [(1, ["CATEGORIES:Přátelé,Rodina", "TEL;TYPE=CELL:+30 210 1234567"]),
              (3, ["X-SOCIALPROFILE;TYPE=twitter:@betty"])]


def counted(data):
    return struct.pack("<I", len(data)) + data


def photo_payload(photos):
    return b"".join(struct.pack("<Q", r) + counted(t.encode()) + counted(b) for r, t, b in photos)


def property_payload(properties):
    return b"".join(struct.pack("<QI", r, len(lines)) + b"".join(counted(l.encode()) for l in lines)
                    for r, lines in properties)


def section(tag, payload, length=None):
    return tag + struct.pack("<Q", len(payload) if length is None else length) + payload


def trailer(records, sections, count=4, version=1, crc_delta=0):
    body = MAGIC + struct.pack("<IQQQ", version, count, XXH.XXH64(records, len(records), 0),
                               len(sections)) + sections
    return body + struct.pack("<I", (zlib.crc32(body) + crc_delta) & 0xFFFFFFFF)


def main():
    records = records_with_question_marks()
    texts = section(b"TEXT", text_payload(TEXTS))
    kept = section(b"NOTE", "Poznámka, kterou čte jen novější program".encode()) + \
        section(b"ZZZZ", b"\0\1\2")
    identities = section(b"IDEN", identity_payload(IDENTITIES))
    extras = section(b"PHOT", photo_payload(PHOTOS)) + section(b"PROP", property_payload(PROPERTIES))
    good = records + trailer(records, texts + identities + extras + kept)
    files = {
        "trailer-texts.zvd": good,
        "trailer-cut.zvd": good[:-9],
        "trailer-magic-only.zvd": records + MAGIC,
        "trailer-bad-crc.zvd": records + trailer(records, texts, crc_delta=1),
        "trailer-unknown-version.zvd": records + trailer(records, texts, version=2),
        "trailer-wrong-count.zvd": records + trailer(records, texts, count=5),
        "trailer-section-too-long.zvd":
            records + trailer(records, section(b"TEXT", text_payload(TEXTS), length=1000)),
        "trailer-other-records.zvd":
            records.replace(b"\x05?????\xff", b"\x05Sonja\xff") + trailer(records, texts),
        "trailer-text-beyond-records.zvd":
            records + trailer(records, section(b"TEXT", text_payload([(4, LABEL, "Бетти")]))),
        "trailer-identity-beyond-records.zvd":
            records + trailer(records, section(b"IDEN", identity_payload([(7, "x", "")]))),
        "trailer-identity-too-long.zvd":
            records + trailer(records, section(b"IDEN", identity_payload(IDENTITIES)[:-3])),
        "trailer-photo-beyond-records.zvd":
            records + trailer(records, section(b"PHOT", photo_payload([(4, "image/png", PNG)]))),
        "trailer-properties-too-many.zvd":
            records + trailer(records, section(b"PROP", struct.pack("<QI", 0, 1000) + counted(b"X"))),
        "trailer-text-in-a-number.zvd":
            records + trailer(records, section(b"TEXT", text_payload([(0, GENDER, "Žena")]))),
    }
    for name, data in files.items():
        (DATA / name).write_bytes(data)


if __name__ == "__main__":
    main()
