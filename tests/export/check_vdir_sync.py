#!/usr/bin/python3
"""The sample's addresses on a CardDAV server, as a user keeps them there:
kestrelbook-export --vdir, synced by vdirsyncer to a Radicale server of the
test's own on the loopback address, then one address edited, one deleted
and one added, exported and synced again; the server must then hold exactly
the new set, with only those three cards touched.

Usage: check_vdir_sync.py COMMAND SAMPLE_DIR
"""

import http.client
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ElementTree

USER = "kb"
BOOK = f"/{USER}/addresses/"
TIMEOUT = 60
DAV = "{DAV:}"

VDIRSYNCER_CONFIG = """\
[general]
status_path = "{status}"

[pair addresses]
a = "dos_file"
b = "server"
collections = null
conflict_resolution = "a wins"
partial_sync = "revert"

[storage dos_file]
type = "filesystem"
path = "{vdir}"
fileext = ".vcf"
read_only = true

[storage server]
type = "carddav"
url = "http://127.0.0.1:{port}{book}"
username = "{user}"
password = "unused"
"""


def check(condition, message):
    if not condition:
        sys.exit("FAILED: " + message)


def run(*arguments, env=None):
    result = subprocess.run(arguments, capture_output=True, text=True, env=env, timeout=TIMEOUT,
                            stdin=subprocess.DEVNULL)
    # 3: written, with something left out (the sample has addresses whose photo file is missing).
    check(result.returncode in (0, 3), " ".join(arguments[:3]) + " failed:\n" + result.stdout + result.stderr)
    return result.stdout + result.stderr


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def request(port, method, path, body=None, headers=None):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
    try:
        connection.request(method, path, body=body, headers={"Authorization": "Basic a2I6dW51c2Vk", **(headers or {})})
        response = connection.getresponse()
        return response.status, response.read().decode()
    finally:
        connection.close()


def start_server(port, storage):
    server = subprocess.Popen(
        ["radicale", "--config", "", "--server-hosts", f"127.0.0.1:{port}", "--auth-type", "none",
         "--storage-filesystem-folder", storage],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = time.monotonic() + 15
    while time.monotonic() < deadline:
        if server.poll() is not None:
            sys.exit("FAILED: radicale did not start: " + server.stderr.read().decode())
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return server
        except OSError:
            time.sleep(0.1)
    server.kill()
    sys.exit("FAILED: radicale did not listen within 15 s")


def make_address_book(port):
    status, _ = request(port, "MKCOL", BOOK, body="""<?xml version="1.0"?>
<mkcol xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav"><set><prop>
<resourcetype><collection/><C:addressbook/></resourcetype></prop></set></mkcol>""")
    check(status == 201, f"MKCOL answered {status}")


def cards_on_server(port):
    """UID -> ETag of every card the server holds."""
    status, text = request(port, "REPORT", BOOK, headers={"Depth": "1"}, body="""<?xml version="1.0"?>
<C:addressbook-query xmlns:D="DAV:" xmlns:C="urn:ietf:params:xml:ns:carddav">
<D:prop><D:getetag/><C:address-data/></D:prop></C:addressbook-query>""")
    check(status == 207, f"REPORT answered {status}")
    cards = {}
    for response in ElementTree.fromstring(text).iter(DAV + "response"):
        etag = response.find(f".//{DAV}getetag").text
        data = response.find(".//{urn:ietf:params:xml:ns:carddav}address-data").text
        uid = re.search(r"^UID:(.*?)\r?$", data, re.M).group(1)
        check(uid not in cards, "two cards with UID " + uid)
        cards[uid] = etag
    return cards


def uid_of_name(vdir, name):
    for file in os.listdir(vdir):
        if file.endswith(".vcf") and f"\r\nFN:{name}\r\n" in open(os.path.join(vdir, file), newline="").read():
            return file[:-4]
    sys.exit(f"FAILED: no card of {name} in the vdir")


def modification_times(vdir):
    return {file: os.stat(os.path.join(vdir, file)).st_mtime_ns for file in os.listdir(vdir)}


def main(command, sample):
    with tempfile.TemporaryDirectory() as scratch:
        drive = os.path.join(scratch, "drive")
        shutil.copytree(sample, os.path.join(drive, "kb"))
        os.makedirs(os.path.join(scratch, "prefix", "dosdevices"))
        os.symlink(drive, os.path.join(scratch, "prefix", "dosdevices", "c:"))
        env = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), XDG_STATE_HOME=scratch)
        address_file = os.path.join(drive, "kb", "Data", "Address.csv")
        vdir = os.path.join(scratch, "vdir")
        port = free_port()
        config = os.path.join(scratch, "vdirsyncer.conf")
        with open(config, "w") as out:
            out.write(VDIRSYNCER_CONFIG.format(status=os.path.join(scratch, "status"), vdir=vdir, port=port,
                                               book=BOOK, user=USER))
        sync_env = dict(os.environ, VDIRSYNCER_CONFIG=config, HOME=scratch)

        server = start_server(port, os.path.join(scratch, "radicale"))
        try:
            make_address_book(port)
            run(command, "--code-page", "cp1252", "--vdir", vdir, address_file, env=env)
            run("vdirsyncer", "discover", env=sync_env)
            run("vdirsyncer", "sync", env=sync_env)
            before = cards_on_server(port)
            check(len(before) == 20, f"{len(before)} cards on the server after the first sync")

            edited, deleted = uid_of_name(vdir, "Helen Carter"), uid_of_name(vdir, "George Whitfield")
            anna = uid_of_name(vdir, "Anna Whitfield")
            lines = open(address_file, "rb").read().split(b"\r\n")
            lines = [line.replace(b"0118 496 0277", b"0118 496 0999") if line.startswith(b"Helen,") else line
                     for line in lines if not line.startswith(b"Dad,")]
            # A second Anna Whitfield: the first keeps her card.
            lines.insert(-2, b"Annie,Anna Whitfield,Friends,0161 496 0123" + b"," * 19)
            open(address_file, "wb").write(b"\r\n".join(lines))
            times = modification_times(vdir)

            exported = run(command, "--code-page", "cp1252", "--vdir", vdir, address_file, env=env)
            check("2 written, 1 removed, 18 unchanged" in exported, "second export: " + exported)
            after_times = modification_times(vdir)
            touched = {f for f in set(times) | set(after_times) if times.get(f) != after_times.get(f)}
            check(touched == {".kestrelbook-cards", edited + ".vcf", deleted + ".vcf"} | {
                  f for f in after_times if f not in times}, "files touched: " + ", ".join(sorted(touched)))
            check(uid_of_name(vdir, "Helen Carter") == edited, "the edited address got a new UID")

            second_sync = run("vdirsyncer", "sync", env=sync_env)
            print("second sync:\n" + second_sync)
            after = cards_on_server(port)
            added = set(after) - set(before)
            check(set(before) - set(after) == {deleted}, "gone from the server: " + ", ".join(set(before) - set(after)))
            check(len(added) == 1 and added != {anna}, "new on the server: " + ", ".join(added))
            check(after[edited] != before[edited], "the edited card kept its ETag")
            changed = [uid for uid in before if uid in after and after[uid] != before[uid]]
            check(changed == [edited], "cards changed on the server: " + ", ".join(changed))
        finally:
            server.terminate()
            try:
                server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
