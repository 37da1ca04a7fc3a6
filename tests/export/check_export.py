#!/usr/bin/python3
"""kestrelbook-export as a user runs it: the sample installation's addresses
read back by the readers of real address books (evolution-data-server's
contact library, Python's vobject and csv), and cards imported into address
files in their code pages.

Usage: check_export.py SampleExport|CsvForms|Import|PhoneCards COMMAND SAMPLE_DIR
"""

import csv
import datetime
import io
import os
import re
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


def first_difference(text, other):
    """Where two exports part: the card's name and the first unequal line of each, shortened."""
    lines, others = text.replace("\r\n ", "").split("\r\n"), other.replace("\r\n ", "").split("\r\n")
    name = ""
    for line, another in zip(lines, others):
        name = line if line.startswith("FN:") else name
        if line != another:
            return f"{name}: {line[:80]!r} against {another[:80]!r}"
    return f"{len(lines)} lines against {len(others)}"


def check(condition, message):
    if not condition:
        sys.exit("FAILED: " + message)


# The headings that each importer maps by itself, from its own lists:
# Thunderbird's exportAttributes (mailnews/addrbook/modules/AddrBookUtils.jsm)
# named by importMsgs.properties 2100-2136, and Google Contacts' "Google CSV".
THUNDERBIRD_HEADINGS = [
    "First Name", "Last Name", "Display Name", "Nickname", "Primary Email", "Secondary Email", "Screen Name",
    "Work Phone", "Home Phone", "Fax Number", "Pager Number", "Mobile Number", "Home Address", "Home Address 2",
    "Home City", "Home State", "Home ZipCode", "Home Country", "Work Address", "Work Address 2", "Work City",
    "Work State", "Work ZipCode", "Work Country", "Job Title", "Department", "Organization", "Web Page 1",
    "Web Page 2", "Birth Year", "Birth Month", "Birth Day", "Custom 1", "Custom 2", "Custom 3", "Custom 4", "Notes"]
GOOGLE_HEADINGS = (
    ["Name", "Given Name", "Additional Name", "Family Name", "Yomi Name", "Given Name Yomi", "Additional Name Yomi",
     "Family Name Yomi", "Name Prefix", "Name Suffix", "Initials", "Nickname", "Short Name", "Maiden Name",
     "Birthday", "Gender", "Location", "Billing Information", "Directory Server", "Mileage", "Occupation", "Hobby",
     "Sensitivity", "Priority", "Subject", "Notes", "Language", "Photo", "Group Membership",
     "E-mail 1 - Type", "E-mail 1 - Value"]
    + [f"Phone {i} - {part}" for i in range(1, 5) for part in ("Type", "Value")]
    + [f"Address {i} - {part}" for i in (1, 2) for part in ("Type", "Formatted", "Street", "City", "PO Box", "Region",
                                                             "Postal Code", "Country", "Extended Address")]
    + ["Organization 1 - " + part for part in ("Type", "Name", "Yomi Name", "Title", "Department", "Symbol",
                                               "Location", "Job Description")])


def sample_installation(scratch, sample):
    """The sample as drive C: of a Wine prefix, where its photo paths point."""
    drive = os.path.join(scratch, "drive")
    shutil.copytree(sample, os.path.join(drive, "kb"))
    os.makedirs(os.path.join(scratch, "prefix", "dosdevices"))
    os.symlink(drive, os.path.join(scratch, "prefix", "dosdevices", "c:"))
    env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), XDG_STATE_HOME=scratch)
    return os.path.join(drive, "kb", "Data"), env


def sample_rows(address_file):
    lines = open(address_file, "rb").read().split(b"\r\n")
    return [fields_of(line.decode("cp1252")) for line in lines[1:] if line.strip(b",")]


def day_first_date(text):
    """The date of a birthday as the sample's DATE_FORMAT=DD/MM/YYYY reads it, or year first."""
    match = re.fullmatch(r"(\d{1,2})([/.-])(\d{1,2})\2(\d{4})|(\d{4})([/.-])(\d{1,2})\6(\d{1,2})", text.strip())
    if not match:
        return None
    day, month, year = (match[1], match[3], match[4]) if match[1] else (match[8], match[7], match[5])
    try:
        return datetime.date(int(year), int(month), int(day)).timetuple()[:3]
    except ValueError:
        return None


def expected_note(row):
    birthday = "" if not row[7] or day_first_date(row[7]) else "Birthday: " + row[7]
    return "\n".join(text for text in (row[20], birthday) if text)


def ebook_contacts():
    """evolution-data-server's contact library, the parser of Evolution and GNOME Contacts."""
    import gi
    gi.require_version("EBookContacts", "1.2")
    from gi.repository import EBookContacts
    return EBookContacts


def eds_contacts(cards_text):
    texts = [text + "END:VCARD\r\n" for text in cards_text.split("END:VCARD\r\n") if text.strip()]
    return [ebook_contacts().Contact.new_from_vcard(text) for text in texts]


def eds_written(contacts):
    """The cards as evolution-data-server writes them back, as vCard 3.0."""
    vcard_30 = ebook_contacts().VCardFormat(1)
    return "".join(contact.to_string(vcard_30) + "\r\n" for contact in contacts)


def check_eds(contact, row, photo_expected):
    name = row[1]
    fields = {"full-name": name, "nickname": row[0], "categories": row[2], "home-phone": row[3], "home-fax": row[4],
              "org": row[8], "org-unit": row[9], "title": row[10], "business-phone": row[11],
              "business-fax": row[12], "email-1": row[15], "note": expected_note(row)}
    for field, value in fields.items():
        got = contact.get_property(field) or ""
        check(got == value, f"EDS {name}: {field} {got!r}, not {value!r}")
    for field, street, code in (("address-home", row[6], row[5]), ("address-work", row[14], row[13])):
        address = contact.get_property(field)
        got = (address.street, address.code) if address else ("", "")
        check(got == (street, code), f"EDS {name}: {field} {got!r}")
    date, birth = day_first_date(row[7]), contact.get_property("birth-date")
    check((birth.year, birth.month, birth.day) == date if date else birth is None, f"EDS {name}: birthday")
    photo = contact.get_property("photo")
    if photo_expected:
        check(photo is not None and photo.get_inlined()[:8] == b"\x89PNG\r\n\x1a\n", f"EDS {name}: photo")
    else:
        check(photo is None, f"EDS {name}: a photo without its file")


def check_vobject(card, row, photo_expected):
    name = row[1]
    check(card.version.value == "3.0", name + ": not a vCard 3.0")
    check(card.fn.value == name, f"FN {card.fn.value!r} for {name!r}")
    check(card.n.value.given in name and card.n.value.family and name.endswith(card.n.value.family), name + ": N")
    if row[15]:
        check(card.email.value == row[15], name + ": e-mail " + card.email.value)
    notes = [note.value for note in card.contents.get("note", [])]
    check(notes == ([expected_note(row)] if expected_note(row) else []), f"{name}: notes {notes!r}")
    tels = {(tuple(sorted(t.params.get("TYPE", []))), t.value) for t in card.contents.get("tel", [])}
    for value, types in ((row[3], ("HOME", "VOICE")), (row[4], ("FAX", "HOME")), (row[11], ("VOICE", "WORK")),
                         (row[12], ("FAX", "WORK"))):
        check(not value or (types, value) in tels, f"{name}: TEL {types} {value}")
    photos = card.contents.get("photo", [])
    if photo_expected:
        check(len(photos) == 1 and photos[0].value[:8] == b"\x89PNG\r\n\x1a\n"
              and photos[0].params.get("TYPE") == ["PNG"], name + ": photo")
    else:
        check(not photos, name + ": a photo without its file")


def sample_export(command, sample):
    with tempfile.TemporaryDirectory() as scratch:
        data, env = sample_installation(scratch, sample)
        address_file = os.path.join(data, "Address.csv")
        original = open(address_file, "rb").read()
        env.pop("XDG_RUNTIME_DIR", None)  # as under cron or su: Qt says nothing of it
        status, cards_text, errors = run(command, "--code-page", "cp1252", address_file, env=env)
        check(status in (0, 3), "export failed: " + errors)
        for line in errors.splitlines():
            check("photo left out" in line, "unexpected message: " + line)
        check((status == 3) == bool(errors), "exit status " + str(status) + " for " + errors)
        export_errors = errors

        text = cards_text.decode("utf-8")
        cards = list(vobject.readComponents(text, validate=True))
        contacts = eds_contacts(text)
        rows = sample_rows(address_file)
        check(len(cards) == len(rows) == len(contacts), f"{len(cards)} cards for {len(rows)} addresses")
        photos = 0
        for card, contact, row in zip(cards, contacts, rows):
            photo_file = os.path.join(data, "Photos", row[16].split("\\")[-1]) if row[16] else None
            photo_expected = bool(photo_file and os.path.exists(photo_file))
            check_vobject(card, row, photo_expected)
            check_eds(contact, row, photo_expected)
            photos += photo_expected
        check(photos > 0, "no photo embedded")

        # Back into an address file that holds only the heading: the same rows
        # come back byte for byte, and exporting them gives the same cards.
        new_file = os.path.join(data, "New.csv")
        open(new_file, "wb").write(original.split(b"\r\n")[0] + b"\r\n" + TRAILER)
        cards_file = os.path.join(scratch, "cards.vcf")
        open(cards_file, "wb").write(cards_text)
        status, _, errors = run(command, "--code-page", "cp1252", "--import", cards_file, new_file, env=env)
        check(status == 0 and errors == "", "import failed: " + errors)
        check(open(new_file, "rb").read() == original, "the imported rows differ from the sample's")
        status, again, again_errors = run(command, "--code-page", "cp1252", new_file, env=env)
        check(status in (0, 3) and again == cards_text, "export, import and export again gave other cards: "
              + first_difference(cards_text.decode(), again.decode()) + "; messages of the first export: "
              + repr(export_errors) + ", of the second: " + repr(again_errors))

        # The same through Evolution: the cards as evolution-data-server writes them back.
        open(new_file, "wb").write(original.split(b"\r\n")[0] + b"\r\n" + TRAILER)
        open(cards_file, "wb").write(eds_written(contacts).encode())
        status, _, errors = run(command, "--code-page", "cp1252", "--import", cards_file, new_file, env=env)
        check(status == 0 and open(new_file, "rb").read() == original, "the cards Evolution writes back: " + errors)
    print(f"{len(cards)} cards read back by vobject and evolution-data-server, {photos} of them with their photo")


def csv_forms(command, sample):
    with tempfile.TemporaryDirectory() as scratch:
        data, env = sample_installation(scratch, sample)
        address_file = os.path.join(data, "Address.csv")
        rows = sample_rows(address_file)
        tables = {}
        for form, headings in (("--csv", THUNDERBIRD_HEADINGS), ("--csv=google", GOOGLE_HEADINGS)):
            status, csv_text, errors = run(command, "--code-page", "cp1252", form, address_file, env=env)
            check(status == 0 and errors == "", form + " failed: " + errors)
            reader = csv.reader(io.StringIO(csv_text.decode("utf-8"), newline=""))
            check(next(reader) == headings, form + ": headings other than the importer's own")
            tables[form] = [dict(zip(headings, line)) for line in reader]
            check(len(tables[form]) == len(rows), form + ": rows")
        for tb, google, row in zip(tables["--csv"], tables["--csv=google"], rows):
            name = row[1]
            date = day_first_date(row[7])
            check(tb["Display Name"] == google["Name"] == name, name + ": names")
            check(tb["Last Name"] == google["Family Name"] and tb["Last Name"] in name, name + ": family name")
            check(tb["Notes"] == google["Notes"] == expected_note(row), name + ": notes")
            check(tb["Home Phone"] == google["Phone 1 - Value"] == row[3]
                  and tb["Work Phone"] == google["Phone 3 - Value"] == row[11], name + ": telephones")
            check(tb["Fax Number"] == row[4] and tb["Custom 2"] == google["Phone 4 - Value"] == row[12], name + ": faxes")
            check(tb["Home Address"] == google["Address 1 - Street"] == row[6]
                  and tb["Home ZipCode"] == google["Address 1 - Postal Code"] == row[5], name + ": home address")
            check(tb["Work Address"] == google["Address 2 - Street"] == row[14]
                  and tb["Work ZipCode"] == google["Address 2 - Postal Code"] == row[13], name + ": work address")
            check(tb["Organization"] == google["Organization 1 - Name"] == row[8]
                  and tb["Department"] == google["Organization 1 - Department"] == row[9]
                  and tb["Job Title"] == google["Organization 1 - Title"] == row[10], name + ": office")
            check(tb["Primary Email"] == google["E-mail 1 - Value"] == row[15], name + ": e-mail")
            check(tb["Nickname"] == google["Nickname"] == row[0], name + ": alias")
            check(tb["Custom 1"] == row[2] and google["Group Membership"].startswith(row[2]), name + ": category")
            birth = (tb["Birth Year"], tb["Birth Month"], tb["Birth Day"])
            check(birth == (tuple(str(p) for p in date) if date else ("", "", "")), name + ": birthday")
            check(google["Birthday"] == ("%04d-%02d-%02d" % date if date else ""), name + ": Google birthday")
    print(f"{len(rows)} addresses in Thunderbird's and Google's CSV headings")


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
            check(status == (3 if errors else 0), "import failed: " + errors)
            row = open(address_file, "rb").read().split(b"\r\n")[1]
            return fields_of(row.decode("latin-1")), errors

        row, errors = imported()  # the locale's ANSI code page: Windows-1252
        check(row[1] == "Zo\xeb \x93Quote\x94 \x805\x99 ?ukasz ??", "Windows-1252 name " + repr(row[1]))
        check(row[20] == "???", "Windows-1252 note " + repr(row[20]))
        check('card 1 (line 1, Zo\u00eb \u201cQuote\u201d \u20ac5\u2122 \u0141ukasz \u2603\U0001F600), Name: "\u0141", "\u2603",'
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
        status, _, errors = run(command, "--import", "-", address_file, env=env, stdin=b"")
        check(status == 1 and "no cards" in errors, "empty card file: " + errors)
        check(open(address_file, "rb").read() == before, "a broken card file changed the address file")
        status, _, errors = run(command, "-o", address_file, os.path.join(scratch, ".", "Address.csv"), env=env)
        check(status == 1 and open(address_file, "rb").read() == before, "export over the address file: " + errors)
        status, _, errors = run(command, "--import", "-", address_file + ".missing", env=env, stdin=card("FN:A"))
        check(status == 1 and "Cannot open file " + address_file + ".missing: File not found" in errors,
              "missing address file: " + errors)
        status, _, errors = run(command, "--import", scratch + "/none.vcf", address_file, env=env)
        check(status == 1 and "Cannot open file " + scratch + "/none.vcf: File not found" in errors,
              "missing card file: " + errors)
        status, _, errors = run(command, "--import", scratch, address_file, env=env)
        check(status == 1 and "it is a folder" in errors, "folder as card file: " + errors)
        status, _, errors = run(command, "-o", scratch + "/no/out.vcf", address_file, env=env)
        check(status == 1 and "the folder " + scratch + "/no does not exist" in errors, "missing folder: " + errors)
        status, out, errors = run(command, "-o", "/dev/null", address_file, env=env)
        check(status == 0 and errors == "" and out == b"", "export to /dev/null: " + errors)
        check(open(address_file, "rb").read() == before, "a failed command changed the address file")
        status, _, errors = run(command, "--import", "/dev/stdin", address_file, env=env, stdin=card("FN:Piped"))
        check(status == 0 and b",Piped," in open(address_file, "rb").read(), "cards from /dev/stdin: " + errors)
    print("cards imported in Windows-1252, CP850 and Windows-1251")


def import_cards_from_phones(command, _sample):
    heading = b"Alias,Name" + b"," * 20 + b"\r\n"
    phone = (b"BEGIN:VCARD\r\nVERSION:2.1\r\n"
             b"N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Gr=C3=B6=C3=9F;Ren=C3=A9e;;;\r\n"
             b"FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Ren=C3=A9e Gr=C3=B6=C3=9F\r\n"
             b"TEL;CELL;HOME:0170 555 0100\r\n"
             b"NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Erste Zeile=0D=0Azweite Zeile, die am Zeilenende weiterge=\r\n"
             b"ht=\r\n"
             b"END:VCARD\r\n"
             b"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Base Sixty-Four\r\nNOTE;ENCODING=b:SGVsbG8gV29ybGQ=\r\nEND:VCARD\r\n"
             b"BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Nul\x00Byte \x01\x07\x1b\x7f\r\nNOTE:a\x1ab\\nRene\xcc\x81e\r\nEND:VCARD\r\n"
             b"BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Broken\r\nNOTE;ENCODING=QUOTED-PRINTABLE:50 =ZZ\r\n"
             b"AGENT:\r\nBEGIN:VCARD\r\nFN:Inner\r\nEND:VCARD\r\nEND:VCARD\r\n"
             b"BEGIN:VCARD\r\nVERSION:5.0\r\nFN:Future\r\nEND:VCARD\r\n")
    with tempfile.TemporaryDirectory() as scratch:
        address_file = os.path.join(scratch, "Address.csv")
        open(address_file, "wb").write(heading + TRAILER)
        env = dict(os.environ, XDG_STATE_HOME=scratch)
        status, _, errors = run(command, "--code-page", "cp1252", "--import", "-", address_file, env=env, stdin=phone)
        check(status == 3, f"status {status}: {errors}")
        rows = [fields_of(line) for line in open(address_file, "rb").read().decode("cp1252").split("\r\n")[1:5]]
        check(rows[0][1] == "Ren\xe9e Gr\xf6\xdf" and rows[0][3] == "0170 555 0100", "vCard 2.1 row " + repr(rows[0]))
        check(rows[0][20] == "Erste Zeile\nzweite Zeile, die am Zeilenende weitergeht", "2.1 note " + repr(rows[0][20]))
        check(rows[1][1] == "Base Sixty-Four" and rows[1][20] == "Hello World", "3.0 ENCODING=b " + repr(rows[1]))
        check(rows[2][1] == "Nul?Byte ????" and rows[2][20] == "a?b\nRen\xe9e", "control bytes " + repr(rows[2]))
        check(rows[3][1] == "Broken" and rows[3][20] == "", "broken quoted-printable " + repr(rows[3]))
        for message in ("card 3 (line 14, Nul?Byte ????)", "control character U+0000, U+0001, U+0007, U+001B, U+007F",
                        "card 4 (line 19, Broken): NOTE: its QUOTED-PRINTABLE text is broken",
                        "card 4 (line 19, Broken): the card inside it (line 24) is left out",
                        "card 5 (line 28, Future): vCard 5.0 is no version the import reads, skipped"):
            check(message in errors, "no message " + message + " in " + errors)
        check("Future" not in open(address_file, "rb").read().decode("cp1252"), "a card of version 5.0 imported")
    print("cards of vCard 2.1, 3.0 and 4.0 decoded, control bytes replaced")


if __name__ == "__main__":
    checks = {"SampleExport": sample_export, "CsvForms": csv_forms, "Import": import_into_code_pages,
              "PhoneCards": import_cards_from_phones}
    checks[sys.argv[1]](sys.argv[2], sys.argv[3])
