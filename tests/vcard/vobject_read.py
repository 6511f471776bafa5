"""Reads vCard files with python3-vobject and prints what it finds as JSON, one object a card.

usage: vobject_read.py FILE...
"""
import json
import sys

import vobject


def values(card, name):
    return card.contents.get(name, [])


def params(line, name):
    return [v.lower() for v in line.params.get(name, [])]


def main():
    cards = []
    for path in sys.argv[1:]:
        with open(path, encoding="utf-8", newline="") as f:
            for card in vobject.readComponents(f.read()):
                n = card.n.value if "n" in card.contents else None
                cards.append({
                    "version": card.version.value if "version" in card.contents else "",
                    "uid": card.uid.value if "uid" in card.contents else "",
                    "fn": card.fn.value,
                    "n": [n.family, n.given, n.additional, n.prefix, n.suffix] if n else [],
                    "org": card.org.value if "org" in card.contents else [],
                    "title": card.title.value if "title" in card.contents else "",
                    "note": card.note.value if "note" in card.contents else "",
                    "bday": card.bday.value if "bday" in card.contents else "",
                    "categories": card.categories.value if "categories" in card.contents else [],
                    "tel": [[t.value, params(t, "TYPE")] for t in values(card, "tel")],
                    "email": [e.value for e in values(card, "email")],
                    "url": [u.value for u in values(card, "url")],
                    "adr": [[a.value.box, a.value.street, a.value.city, a.value.region, a.value.code,
                             a.value.country, params(a, "TYPE")] for a in values(card, "adr")],
                })
    json.dump(cards, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main()
