#!/usr/bin/env python3
"""Reads a .ics or .vcf file the PIM wrote with Debian's python3-icalendar and python3-vobject,
and prints what the tests check, as JSON on one line.

A calendar: per parser, each event and task with its UID, summary, DTSTAMP and times. A time
is given as written ("2026-12-08T10:00:00+01:00", a date alone "2026-12-24"), in UTC where it
has a zone, and with the TZID it names. "timezones" lists the TZIDs of the VTIMEZONEs.
A vCard file (vobject alone: python3-icalendar reads no vCards): per card its UID, FN, N, each
TEL with the TYPE values vobject read and each EMAIL. Either parser failing to read the file fails the script.
"""
import datetime
import json
import sys

import icalendar
import vobject


def moment(value, tzid):
    if isinstance(value, datetime.datetime):
        entry = {"value": value.isoformat()}
        if value.tzinfo is not None:
            entry["utc"] = value.astimezone(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")
        if tzid:
            entry["tzid"] = tzid
        return entry
    return {"value": value.isoformat()}


def icalendar_parts(text):
    calendar = icalendar.Calendar.from_ical(text)
    parts = []
    for component in calendar.walk():
        if component.name not in ("VEVENT", "VTODO"):
            continue
        part = {"kind": component.name, "uid": str(component.get("UID", "")),
                "summary": str(component.get("SUMMARY", ""))}
        for name in ("DTSTAMP", "DTSTART", "DTEND", "DUE"):
            if name in component:
                tzid = component[name].params.get("TZID")
                part[name.lower()] = moment(component.decoded(name), tzid)
        parts.append(part)
    zones = [str(zone["TZID"]) for zone in calendar.walk("VTIMEZONE")]
    return parts, zones


def vobject_parts(text):
    parts = []
    for calendar in vobject.readComponents(text):
        for component in calendar.getChildren():
            if component.name not in ("VEVENT", "VTODO"):
                continue
            part = {"kind": component.name, "uid": component.uid.value if hasattr(component, "uid") else "",
                    "summary": component.summary.value if hasattr(component, "summary") else ""}
            for name in ("dtstamp", "dtstart", "dtend", "due"):
                if hasattr(component, name):
                    line = getattr(component, name)
                    part[name] = moment(line.value, None)  # vobject takes the TZID into the time
            parts.append(part)
    return parts


def vcard_parts(text):
    cards = []
    for card in vobject.readComponents(text):
        entry = {"uid": card.uid.value if hasattr(card, "uid") else None,
                 "fn": card.fn.value if hasattr(card, "fn") else None,
                 "tel": [], "email": []}
        if hasattr(card, "n"):
            entry["n"] = str(card.n.value)
        for line in card.contents.get("tel", []):
            # The types as the reader took them: a quoted list is one type to vobject.
            entry["tel"].append({"value": line.value, "types": line.params.get("TYPE", [])})
        for line in card.contents.get("email", []):
            entry["email"].append(line.value)
        cards.append(entry)
    return cards


def main(path):
    with open(path, encoding="utf-8", newline="") as file:
        text = file.read()
    if text.lstrip().upper().startswith("BEGIN:VCARD"):
        print(json.dumps({"vobject": vcard_parts(text)}))
        return
    parts, zones = icalendar_parts(text)
    print(json.dumps({"icalendar": parts, "vobject": vobject_parts(text), "timezones": zones}))


if __name__ == "__main__":
    main(sys.argv[1])
