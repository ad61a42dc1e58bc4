#!/usr/bin/env python3
"""Reads one calendar or address-book server resource the PIM wrote, with Debian's
python3-icalendar and python3-vobject, and prints every property of its items as JSON on one line.

A calendar: per parser, each VEVENT and VTODO as {"kind": ..., "properties": {NAME: [values]}},
values as text with their escapes resolved. A vCard (vobject alone): per card the same map.
Names are in upper case. Either parser failing to read the file fails the script.
"""
import json
import sys

import icalendar
import vobject


def icalendar_parts(text):
    parts = []
    for component in icalendar.Calendar.from_ical(text).walk():
        if component.name not in ("VEVENT", "VTODO"):
            continue
        properties = {}
        for name, value in component.property_items(recursive=False):
            if name in ("BEGIN", "END"):
                continue
            values = value if isinstance(value, list) else [value]
            properties.setdefault(name.upper(), []).extend(v.to_ical().decode() if name in ("DTSTART", "DTEND", "DUE", "DTSTAMP") else str(v) for v in values)
        parts.append({"kind": component.name, "properties": properties})
    return parts


def vobject_properties(component):
    properties = {}
    for name, lines in component.contents.items():
        for line in lines:
            if isinstance(line, vobject.base.Component):
                continue
            properties.setdefault(name.upper(), []).append(str(line.value))
    return properties


def main(path):
    with open(path, encoding="utf-8", newline="") as file:
        text = file.read()
    if text.lstrip().upper().startswith("BEGIN:VCARD"):
        print(json.dumps({"vobject": [vobject_properties(card) for card in vobject.readComponents(text)]}))
        return
    parts = []
    for calendar in vobject.readComponents(text):
        for component in calendar.getChildren():
            if component.name in ("VEVENT", "VTODO"):
                parts.append({"kind": component.name, "properties": vobject_properties(component)})
    print(json.dumps({"icalendar": icalendar_parts(text), "vobject": parts}))


if __name__ == "__main__":
    main(sys.argv[1])
