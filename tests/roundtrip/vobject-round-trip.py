#!/usr/bin/env python3
"""Every real vCard through import, save, reopen and the standard export, compared with what it
was, property by property, as python-vobject reads both.

    vobject-round-trip.py ZORVAN-CLI WORK-FOLDER FOLDER...

Each .vcf below the folders is imported into a new database (which saves it), the database is
opened again by the export, and each exported card is matched with the card it came from (by
UID, else by its place). A value of the input that the output lacks is printed; the exit status
is 1 when any was lost. What the export writes anew (PRODID, REV, VERSION and the forms of
types and escapes) is not compared.
"""
import base64
import os
import re
import subprocess
import sys

try:
    import vobject
except ImportError:
    print("python3-vobject is not installed: nothing is compared")
    sys.exit(77)

# Where vobject, not the program, reads the input wrongly: a 2.1 line that ends in a backslash
# goes on in the next line, which vobject takes for a property of its own.
KNOWN = {("v21_adr_multiple_line.vcf", "ADR")}

# The properties compared, and how a value is made comparable.
COMPARED = ("FN", "N", "TEL", "EMAIL", "ADR", "URL", "BDAY", "ANNIVERSARY", "CATEGORIES", "UID",
            "PHOTO", "NICKNAME", "ORG", "TITLE", "IMPP")


def digits(text):
    return re.sub(r"[^0-9+*#]", "", text)


def comparable(name, prop):
    value = prop.value
    if name == "PHOTO":
        if isinstance(value, bytes):
            return ("bytes", base64.b64encode(value).decode())
        text = str(value)
        if text.startswith("data:") and ";base64," in text:
            return ("bytes", text.split(",", 1)[1].replace(" ", ""))
        return ("uri", text)
    if name == "N":
        parts = [value.family, value.given, value.additional, value.prefix]
        return tuple(" ".join(p) if isinstance(p, list) else p for p in parts)
    if name == "ADR":
        return tuple(" ".join(p) if isinstance(p, list) else (p or "")
                     for p in (value.street, value.city, value.region, value.code, value.country))
    if name == "CATEGORIES":
        return tuple(sorted(v.strip() for v in value if v.strip()))
    if name == "ORG":
        return tuple(v for v in (value if isinstance(value, list) else [value]) if v)[:1]
    text = value if isinstance(value, str) else str(value)
    text = text.strip()
    if name == "TEL":
        return digits(text.replace("tel:", ""))
    if name in ("EMAIL", "IMPP"):
        return text.lower().replace("mailto:", "")
    if name in ("BDAY", "ANNIVERSARY"):
        return re.sub(r"T.*$", "", text).replace("-", "")[-4:] if text.startswith("--") else \
            re.sub(r"T.*$", "", text).replace("-", "")[:8]
    return text


def flat(value):
    """A value as one text without case, escapes, blanks or separators: the forms a value takes
    in a field and in another version of the format are the same text."""
    if isinstance(value, tuple):
        value = " ".join(flat(v) for v in value)
    elif isinstance(value, list):
        value = " ".join(str(v) for v in value)
    text = re.sub(r"^(sip|tel|mailto|xmpp):", "", str(value).lower())
    return re.sub(r"[\\\s,;:\-]", "", text)


# The names another program gives what the record holds in a field, and the export writes under
# a name of its own (or among the program's own lines).
FIELD_ALIASES = ("X-ANNIVERSARY", "X-MS-ANNIVERSARY", "X-EVOLUTION-ANNIVERSARY", "X-ABDATE",
                 "X-KADDRESSBOOK-X-ANNIVERSARY", "X-SPOUSE", "X-MS-SPOUSE", "X-EVOLUTION-SPOUSE",
                 "X-KADDRESSBOOK-X-SPOUSESNAME", "X-ABRELATEDNAMES", "X-CHILD", "X-CHILDREN",
                 "X-MS-CHILD", "X-MANAGER", "X-ASSISTANT", "X-MS-MANAGER", "X-MS-ASSISTANT",
                 "X-EVOLUTION-MANAGER", "X-EVOLUTION-ASSISTANT", "ANNIVERSARY", "FN", "N", "ADR",
                 "ORG", "URL", "NICKNAME", "TITLE", "X-WAB-WEDDING_ANNIVERSARY",
                 "X-WAB-SPOUSE_NAME", "X-KADDRESSBOOK-X-DEPARTMENT", "X-KADDRESSBOOK-X-OFFICE",
                 "X-KADDRESSBOOK-X-PROFESSION", "X-EVOLUTION-FILE-AS",
                 # Messaging handles, in an IP phone field as their service's URI (IMPP).
                 "X-AIM", "X-ICQ", "X-MSN", "X-YAHOO", "X-SKYPE", "X-SKYPE-USERNAME", "X-JABBER",
                 "X-GTALK", "X-GOOGLE-TALK", "X-QQ", "X-GADUGADU", "X-MS-IMADDRESS",
                 "X-GROUPWISE", "X-IRC", "X-KADDRESSBOOK-X-IMADDRESS",
                 "X-KADDRESSBOOK-X-SPOUSENAME")
GENDERS = {"x-gender": None, "x-wab-gender": None}


def found(key, value, have, anywhere):
    if value in have.get(key, []):
        return True
    if key == "PHOTO":
        # vobject reads a photo folded the way of 2.1 only up to its first line: the photo
        # written must begin with what it read.
        kind, text = value
        return any(v[0] == kind and v[1].startswith(text.rstrip("=")[:-4])
                   for v in have.get("PHOTO", []))
    if key in ("X-GENDER", "X-WAB-GENDER"):
        return "GENDER" in have or "X-GENDER" in have or "X-TAVORIN-GENDER" in have
    if key in FIELD_ALIASES or key in ("TEL", "EMAIL", "X-SIP", "IMPP"):
        text = flat(value)
        return bool(text) and any(text in v for v in anywhere)
    return False


def properties(card):
    out = {}
    for child in card.getChildren():
        name = child.name.upper()
        if name.startswith("X-") and name not in ("X-ABLABEL",):
            key = name
        elif name in COMPARED:
            key = name
        else:
            continue
        try:
            value = comparable(name, child) if not name.startswith("X-") else str(child.value)
        except Exception:  # a value vobject cannot read as its type
            value = str(child.value)
        if value in ("", (), None) or (isinstance(value, tuple) and not any(value)):
            continue
        out.setdefault(key, []).append(value)
    return out


def read_cards(path):
    with open(path, "rb") as f:
        data = f.read()
    for encoding in ("utf-8", "utf-16", "cp1250"):
        try:
            text = data.decode(encoding)
            break
        except UnicodeDecodeError:
            continue
    try:
        return list(vobject.readComponents(text, ignoreUnreadable=True))
    except Exception:
        return None


def main():
    cli, work, folders = sys.argv[1], sys.argv[2], sys.argv[3:]
    lost = 0
    files = 0
    for folder in folders:
        if not os.path.isdir(folder):
            continue
        for root, _, names in sorted(os.walk(folder)):
            for name in sorted(names):
                if not name.endswith(".vcf"):
                    continue
                source = os.path.join(root, name)
                before = read_cards(source)
                if not before:
                    continue  # vobject itself cannot read it: nothing to compare against
                files += 1
                db = os.path.join(work, "round.zvd")
                out = os.path.join(work, "round.vcf")
                for p in (db, out):
                    if os.path.exists(p):
                        os.remove(p)
                run = subprocess.run([cli, "import", "--from-other", source, db],
                                     capture_output=True, text=True)
                if run.returncode != 0:
                    print(f"{source}: import failed: {run.stderr.strip()}")
                    lost += 1
                    continue
                subprocess.run([cli, "export", "--to-other", "--read-only", db, out], check=True,
                               capture_output=True)
                after = read_cards(out) or []
                by_uid = {}
                for card in after:
                    if hasattr(card, "uid"):
                        by_uid[str(card.uid.value)] = card
                for i, card in enumerate(before):
                    if card.name.upper() != "VCARD":
                        continue
                    uid = str(card.uid.value) if hasattr(card, "uid") else None
                    match = by_uid.get(uid) if uid else (after[i] if i < len(after) else None)
                    if match is None:
                        print(f"{source} card {i}: not in the export")
                        lost += 1
                        continue
                    have = properties(match)
                    anywhere = [flat(v) for values in have.values() for v in values]
                    for key, values in properties(card).items():
                        for value in values:
                            if (name, key) in KNOWN:
                                continue
                            if not found(key, value, have, anywhere):
                                print(f"{source} card {i}: {key} {str(value)[:80]!r} lost")
                                lost += 1
    print(f"{files} files compared, {lost} values lost")
    return 1 if lost or not files else 0


if __name__ == "__main__":
    sys.exit(main())
