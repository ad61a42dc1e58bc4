#!/usr/bin/env python3
"""Reads a mail draft (.eml) the PIM wrote with three independent readers and prints what the
tests check, as JSON on one line.

Python's email package (policy default) gives:
  "defects": every defect it noted, as "where: defect" ("message", or "part 2 Content-Type");
  "longest_line": the longest line of the whole message in bytes, line break left out;
  "headers": Subject and X-Unsent decoded, and each address line (from, to, cc, bcc) as a list
    of {"name", "address"} with a group as {"group", "members"};
  "structure": the content types as they nest, "multipart/mixed[text/plain, application/pdf]";
  "parts": each leaf part with its type, charset, transfer encoding, disposition, file name,
    content id (without brackets), its decoded bytes in hex, and for a body text part its text;
    an HTML body also lists the encodings its markup declares ("meta_charsets", by html.parser).
ripmime and munpack (mpack) each unpack the message into a folder of their own: "ripmime" and
"munpack" list the files they saved, each {"name", "hex"}; munpack saves text with the system's
line ends (LF).
For the tests that only need the gist, it also gives "to" and "subject" as decoded text,
"unsent", the first plain and HTML bodies ("text", "html", null when there is none) and
"attachments", each {"filename", "type", "size"}. With a second argument, a folder, each
attachment is also saved there under its file name, so other readers can check it.
A reader failing on the file fails the script.
"""
import email
import email.policy
import html.parser
import json
import os
import subprocess
import sys
import tempfile


class MetaCharsets(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.charsets = []

    def handle_starttag(self, tag, attrs):
        if tag != "meta":
            return
        values = {name.lower(): value or "" for name, value in attrs}
        if "charset" in values:
            self.charsets.append(values["charset"].strip().lower())
        if values.get("http-equiv", "").lower() == "content-type" and "charset=" in values.get("content", "").lower():
            self.charsets.append(values["content"].lower().split("charset=")[1].split(";")[0].strip())


def defects_of(part, where, into):
    for defect in part.defects:
        into.append(f"{where}: {type(defect).__name__}: {defect}")
    for name, value in part.items():
        for defect in getattr(value, "defects", ()):
            into.append(f"{where} {name}: {type(defect).__name__}: {defect}")


def addresses(header):
    if header is None:
        return None
    line = []
    for group in header.groups:
        members = [{"name": a.display_name, "address": a.addr_spec} for a in group.addresses]
        if group.display_name is None:
            line.extend(members)
        else:
            line.append({"group": group.display_name, "members": members})
    return line


def structure(part):
    if part.is_multipart():
        return part.get_content_type() + "[" + ", ".join(structure(p) for p in part.iter_parts()) + "]"
    return part.get_content_type()


def leaf(part):
    payload = part.get_payload(decode=True) or b""
    entry = {
        "type": part.get_content_type(),
        "charset": part.get_param("charset"),
        "encoding": str(part.get("Content-Transfer-Encoding", "7bit")).lower(),
        "disposition": part.get_content_disposition(),
        "filename": part.get_filename(),
        "content_id": str(part.get("Content-ID", "")).strip().strip("<>") or None,
        "hex": payload.hex(),
    }
    if part.get_content_maintype() == "text" and part.get_content_disposition() is None:
        entry["text"] = part.get_content()
        if part.get_content_subtype() == "html":
            meta = MetaCharsets()
            meta.feed(entry["text"])
            entry["meta_charsets"] = meta.charsets
    return entry


def unpacked(command, folder):
    subprocess.run(command, cwd=folder, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    files = []
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as file:
            files.append({"name": os.fsdecode(name), "hex": file.read().hex()})
    return files


def gist(message, parts_folder):
    report = {"to": str(message.get("To", "")), "subject": str(message.get("Subject", "")),
              "unsent": message.get("X-Unsent") == "1", "text": None, "html": None, "attachments": []}
    for part in message.walk():
        if part.is_multipart():
            continue
        if part.is_attachment():
            data = part.get_payload(decode=True) or b""
            name = part.get_filename() or ""
            report["attachments"].append({"filename": name, "type": part.get_content_type(), "size": len(data)})
            if parts_folder:
                with open(os.path.join(parts_folder, os.path.basename(name)), "wb") as out:
                    out.write(data)
        elif part.get_content_type() == "text/plain" and report["text"] is None:
            report["text"] = part.get_content()
        elif part.get_content_type() == "text/html" and report["html"] is None:
            report["html"] = part.get_content()
    return report


def main(path, parts_folder=None):
    with open(path, "rb") as file:
        raw = file.read()
    message = email.message_from_bytes(raw, policy=email.policy.default)
    defects = []
    defects_of(message, "message", defects)
    parts = []
    for number, part in enumerate(message.walk()):
        if number > 0:
            defects_of(part, f"part {number}", defects)
        if not part.is_multipart():
            parts.append(leaf(part))
    report = gist(message, parts_folder)
    report.update({
        "defects": defects,
        "longest_line": max(len(line) for line in raw.split(b"\r\n")),
        "long_lines": [line[:200].decode("ascii", "replace") for line in raw.split(b"\r\n") if len(line) > 998],
        "bare_line_feeds": raw.replace(b"\r\n", b"").count(b"\n"),
        "headers": {
            "subject": message["subject"],
            "x-unsent": message["x-unsent"],
            "from": addresses(message["from"]),
            "to": addresses(message["to"]),
            "cc": addresses(message["cc"]),
            "bcc": addresses(message["bcc"]),
        },
        "structure": structure(message),
        "parts": parts,
    })
    with tempfile.TemporaryDirectory() as ripped, tempfile.TemporaryDirectory() as unpacked_here:
        # ripmime also writes each text body as a "textfile"; only the attachments matter here.
        report["ripmime"] = [f for f in unpacked(["ripmime", "-i", os.path.abspath(path), "-d", ripped, "--no-nameless"],
                                                 ripped) if not f["name"].startswith("textfile")]
        # munpack writes the text before an attachment as a ".desc" file beside it.
        report["munpack"] = [f for f in unpacked(["munpack", "-q", "-C", unpacked_here, os.path.abspath(path)],
                                                 unpacked_here) if not f["name"].endswith(".desc")]
    print(json.dumps(report))


if __name__ == "__main__":
    main(*sys.argv[1:3])
