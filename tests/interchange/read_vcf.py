#!/usr/bin/env python3
"""Reads a vCard file with python3-vobject and prints every card as vobject understood it:
a line "BEGIN" per card, then one line per property in the card's order,
"NAME;PARAM=v1,v2;...<TAB>VALUE" with the parameters sorted by name and the value in JSON
(a string, or the list of components of N, ADR and ORG). Exits 77 when vobject is missing."""
import json
import sys

try:
    import vobject
except ImportError:
    print("python3-vobject is not installed", file=sys.stderr)
    sys.exit(77)

NAME_PARTS = ("family", "given", "additional", "prefix", "suffix")
ADDRESS_PARTS = ("box", "extended", "street", "city", "region", "code", "country")


def value_of(line):
    value = line.value
    if line.name == "N":
        return [getattr(value, part) for part in NAME_PARTS]
    if line.name == "ADR":
        return [getattr(value, part) for part in ADDRESS_PARTS]
    return value


with open(sys.argv[1], "rb") as f:
    data = f.read()
# Strictly UTF-8: a byte sequence that is not fails here.
text = data.decode("utf-8")
for card in vobject.readComponents(text, validate=True):
    print("BEGIN")
    for line in card.lines():
        params = "".join(";%s=%s" % (name, ",".join(line.params[name]))
                         for name in sorted(line.params))
        print("%s%s\t%s" % (line.name, params,
                            json.dumps(value_of(line), ensure_ascii=False)))
