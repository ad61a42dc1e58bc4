#!/usr/bin/env python3
"""Reads a draft .eml the PIM wrote with Python's own e-mail parser, as a person's mail program
would, and prints what the tests check, as JSON on one line: the To and Subject headers as
decoded, whether it is marked unsent, the plain and HTML bodies, and each attachment's file name,
content type and size. With a second argument, a folder, each attachment is also saved there
under its file name, so other readers can check it.
"""
import email
import email.policy
import json
import os
import sys


def main(path, parts_folder=None):
    with open(path, "rb") as file:
        message = email.message_from_binary_file(file, policy=email.policy.default)
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
    print(json.dumps(report))


if __name__ == "__main__":
    main(*sys.argv[1:3])
