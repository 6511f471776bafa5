"""Writes cards with python3-vobject, as another address book would: a 3.0 file built through
vobject's own objects, and a 4.0 file in the forms of RFC 6350 (tel: URIs, PREF=1, dates without
dashes, RELATED) serialised by vobject.

usage: vobject_write.py DIR
"""
import os
import sys

import vobject


def three(path):
    card = vobject.vCard()
    card.add("n").value = vobject.vcard.Name(family="Łukasiewicz", given="Jan", additional="Ignacy")
    card.add("fn").value = "Jan Ignacy Łukasiewicz"
    card.add("org").value = ["Polmin; Drohobycz", "Refinery"]
    card.add("title").value = "Pharmacist"
    tel = card.add("tel")
    tel.value = "+48 13 436 12 34"
    tel.type_param = ["WORK", "VOICE"]
    cell = card.add("tel")
    cell.value = "+48 600 100 200"
    cell.type_param = ["CELL"]
    fax = card.add("tel")
    fax.value = "+48 13 436 00 00"
    fax.type_param = ["HOME", "FAX"]
    email = card.add("email")
    email.value = "jan@lampa.example"
    email.type_param = "INTERNET"
    adr = card.add("adr")
    adr.value = vobject.vcard.Address(street="ul. Bieckiego 2", city="Krosno", code="38-400", country="Polska")
    adr.type_param = "HOME"
    card.add("bday").value = "1822-03-08"
    card.add("note").value = "Kerosene lamp, 1853.\nFirst oil well; 1854."
    card.add("categories").value = ["Inventors", "Poland"]
    card.add("url").value = "https://lampa.example"
    card.add("uid").value = "vobject-three-1"
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(card.serialize())


def four(path):
    card = vobject.vCard()
    card.add("version").value = "4.0"
    card.add("uid").value = "urn:uuid:4f1c0d52-9a5e-4c1e-8f00-000000000004"
    card.add("fn").value = "Hedy Lamarr"
    card.add("n").value = vobject.vcard.Name(family="Lamarr", given="Hedy")
    tel = card.add("tel")
    tel.value = "tel:+1-555-555-0100"
    tel.params["VALUE"] = ["uri"]
    tel.params["TYPE"] = ["cell", "voice"]
    tel.params["PREF"] = ["1"]
    work = card.add("tel")
    work.value = "tel:+1-555-555-0199"
    work.params["VALUE"] = ["uri"]
    work.params["TYPE"] = ["work"]
    card.add("bday").value = "19141109"
    card.add("anniversary").value = "19660101"
    spouse = card.add("related")
    spouse.value = "Fritz Mandl"
    spouse.params["TYPE"] = ["spouse"]
    spouse.params["VALUE"] = ["text"]
    card.add("nickname").value = "Hedwig"
    email = card.add("email")
    email.value = "hedy@example.org"
    email.params["TYPE"] = ["work"]
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(card.serialize())


if __name__ == "__main__":
    three(os.path.join(sys.argv[1], "three.vcf"))
    four(os.path.join(sys.argv[1], "four.vcf"))
