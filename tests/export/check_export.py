#!/usr/bin/python3
"""kestrelbook-export as a user runs it: the sample installation's addresses
read back by Python's vobject, a second reader that shares nothing with ours,
and cards imported into address files in their code pages.

Usage: check_export.py SampleExport|Import COMMAND SAMPLE_DIR
"""

import base64
import csv
import io
import os
import shutil
import subprocess
import sys
import tempfile

import vobject

TRAILER = b"," * 21 + b"\r\n"


def run(command, *arguments, env=None, stdin=None):
    result = subprocess.run([command, *arguments], capture_output=True, env=env, input=stdin, timeout=120)
    return result.returncode, result.stdout, result.stderr.decode()


def fields_of(line):
    """The fields of one address-file line, with the DOS product's quoting."""
    fields, value, quoted, i = [], "", False, 0
    while i < len(line):
        c = line[i]
        if quoted:
            if c == '"' and line[i + 1:i + 2] == '"':
                value, i = value + '"', i + 1
            elif c == '"':
                quoted = False
            else:
                value += c
        elif c == ",":
            fields.append(value)
            value = ""
        elif c == '"':
            quoted = True
        else:
            value += c
        i += 1
    return fields + [value]


def check(condition, message):
    if not condition:
        sys.exit("FAILED: " + message)


def sample_export(command, sample):
    with tempfile.TemporaryDirectory() as scratch:
        # The sample as drive C: of a Wine prefix, where its photo paths point.
        drive = os.path.join(scratch, "drive")
        shutil.copytree(sample, os.path.join(drive, "kb"))
        os.makedirs(os.path.join(scratch, "prefix", "dosdevices"))
        os.symlink(drive, os.path.join(scratch, "prefix", "dosdevices", "c:"))
        env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), XDG_STATE_HOME=scratch)
        data = os.path.join(drive, "kb", "Data")
        address_file = os.path.join(data, "Address.csv")
        original = open(address_file, "rb").read()

        status, cards_text, errors = run(command, "--code-page", "cp1252", address_file, env=env)
        check(status == 0, "export failed: " + errors)
        for line in errors.splitlines():
            check("photo left out" in line, "unexpected message: " + line)

        cards = list(vobject.readComponents(cards_text.decode("utf-8"), validate=True))
        # vobject reads PHOTO as vCard 3.0 text, which a comma ends: the data
        # URI of 4.0 is taken from vobject's content lines as they are.
        photo_uris = []
        for line, _ in vobject.base.getLogicalLines(io.StringIO(cards_text.decode("utf-8"))):
            name, _, value, _ = vobject.base.parseLine(line)
            if name == "BEGIN":
                photo_uris.append(None)
            elif name == "PHOTO":
                photo_uris[-1] = value
        lines = original.split(b"\r\n")
        rows = [fields_of(line.decode("cp1252")) for line in lines[1:] if line.strip(b",")]
        check(len(cards) == len(rows), f"{len(cards)} cards for {len(rows)} addresses")
        photos = 0
        for card, photo_uri, row in zip(cards, photo_uris, rows):
            name = row[1]
            check(card.version.value == "4.0", name + ": not a vCard 4.0")
            check(card.fn.value == name, f"FN {card.fn.value!r} for {name!r}")
            check(card.n.value.family == name.split(" ")[-1], name + ": family name " + card.n.value.family)
            if row[15]:
                check(card.email.value == row[15], name + ": e-mail " + card.email.value)
            if row[20]:
                check(row[20] in [note.value for note in card.contents.get("note", [])], name + ": note")
            photo_file = os.path.join(data, "Photos", row[16].split("\\")[-1]) if row[16] else None
            if photo_file and os.path.exists(photo_file):
                prefix, _, data_text = photo_uri.partition(",")
                png = base64.b64decode(data_text)
                check(prefix == "data:image/png;base64" and png[:8] == b"\x89PNG\r\n\x1a\n", name + ": photo")
                photos += 1
            else:
                check(photo_uri is None, name + ": a photo without its file")
        check(photos > 0, "no photo embedded")

        # Back into an address file that holds only the heading: the same rows
        # come back byte for byte, and exporting them gives the same cards.
        new_file = os.path.join(data, "New.csv")
        open(new_file, "wb").write(lines[0] + b"\r\n" + TRAILER)
        cards_file = os.path.join(scratch, "cards.vcf")
        open(cards_file, "wb").write(cards_text)
        status, _, errors = run(command, "--code-page", "cp1252", "--import", cards_file, new_file, env=env)
        check(status == 0 and errors == "", "import failed: " + errors)
        check(open(new_file, "rb").read() == original, "the imported rows differ from the sample's")
        status, again, _ = run(command, "--code-page", "cp1252", new_file, env=env)
        check(status == 0 and again == cards_text, "export, import and export again gave other cards")

        status, csv_text, _ = run(command, "--code-page", "cp1252", "--csv", address_file, env=env)
        table = list(csv.DictReader(io.StringIO(csv_text.decode("utf-8"), newline="")))
        check(status == 0 and len(table) == len(cards), "CSV rows")
        check([r["Display Name"] for r in table] == [r[1] for r in rows], "CSV names")
        check(all(r["Notes"] == row[20] for r, row in zip(table, rows) if not row[7]), "CSV notes")
    print(f"{len(cards)} cards read back by vobject, {photos} of them with their photo")


def card(*lines):
    return ("BEGIN:VCARD\r\nVERSION:4.0\r\n" + "".join(line + "\r\n" for line in lines) + "END:VCARD\r\n").encode()


def import_into_code_pages(command, _sample):
    heading = b"Alias,Name,Category,Tel,Fax,Zip,Address,Birthday,Office,Dept,Post,Office Tel,Office Fax," \
              b"Office Zip,Office Address,Email,Photo,,,,Note,\r\n"
    cards = card("FN:Zo\u00eb \u201cQuote\u201d \u20ac5\u2122 \u0141ukasz \u2603\U0001F600",
                 "NOTE:\u0416\u0443\u043a").decode()
    with tempfile.TemporaryDirectory() as scratch:
        env = dict(os.environ, XDG_STATE_HOME=scratch, LC_ALL="en_GB.UTF-8")
        address_file = os.path.join(scratch, "Address.csv")

        def imported(*options, env=env, cards=cards):
            open(address_file, "wb").write(heading + TRAILER)
            status, _, errors = run(command, *options, "--import", "-", address_file, env=env, stdin=cards.encode())
            check(status == 0, "import failed: " + errors)
            row = open(address_file, "rb").read().split(b"\r\n")[1]
            return fields_of(row.decode("latin-1")), errors

        row, errors = imported()  # the locale's ANSI code page: Windows-1252
        check(row[1] == "Zo\xeb \x93Quote\x94 \x805\x99 ?ukasz ??", "Windows-1252 name " + repr(row[1]))
        check(row[20] == "???", "Windows-1252 note " + repr(row[20]))
        check('card 1 (Zo\u00eb \u201cQuote\u201d \u20ac5\u2122 \u0141ukasz \u2603\U0001F600), Name: "\u0141", "\u2603",'
              ' "\U0001F600" stored as "?"' in errors and "Note:" in errors, "Windows-1252 report: " + errors)

        row, errors = imported("--code-page", "cp850")
        check(row[1].startswith("Zo\x89 ?Quote? ?5? ?ukasz"), "CP850 name " + repr(row[1]))
        check('"\u20ac"' in errors, "CP850 report: " + errors)

        row, errors = imported(env=dict(env, LC_ALL="ru_RU.UTF-8"))
        check(row[20] == "\xc6\xf3\xea", "Windows-1251 note " + repr(row[20]))
        check("Note:" not in errors, "Windows-1251 report: " + errors)

        # New rows go before the trailer row, which stays the file's last line.
        open(address_file, "wb").write(b"H\r\nA\r\nLast,Line")
        status, _, errors = run(command, "--import", "-", address_file, env=env, stdin=card("FN:New"))
        check(status == 0, "import before the trailer: " + errors)
        check(open(address_file, "rb").read().split(b"\r\n")[1:4] == [b"A" + b"," * 21, b",New" + b"," * 20,
                                                                         b"Last,Line" + b"," * 20],
              "rows after an import before the trailer")

        # A broken card file or a missing address file changes nothing.
        before = open(address_file, "rb").read()
        status, _, errors = run(command, "--import", "-", address_file, env=env, stdin=b"BEGIN:VCARD\nFN Anna\n")
        check(status == 1 and "-: line 2: no colon" in errors, "broken card file: " + errors)
        check(open(address_file, "rb").read() == before, "a broken card file changed the address file")
        status, _, errors = run(command, "-o", address_file, os.path.join(scratch, ".", "Address.csv"), env=env)
        check(status == 1 and open(address_file, "rb").read() == before, "export over the address file: " + errors)
        status, _, errors = run(command, "--import", "-", address_file + ".missing", env=env, stdin=card("FN:A"))
        check(status == 1 and "File not found" in errors, "missing address file: " + errors)
    print("cards imported in Windows-1252, CP850 and Windows-1251")


if __name__ == "__main__":
    checks = {"SampleExport": sample_export, "Import": import_into_code_pages}
    checks[sys.argv[1]](sys.argv[2], sys.argv[3])
