#!/usr/bin/env python3
"""Changes or deletes one calendar or address-book resource through python3-caldav's client, as
another program would: reads it, sets the given properties on its event, task or card (read with
python3-icalendar or python3-vobject) and stores it again over the version it read.

  caldav_edit_resource.py <resource-url> <user> <password> NAME=VALUE...
  caldav_edit_resource.py <resource-url> <user> <password> --delete

Prints, as JSON on one line, the X-LUMORA-* properties the resource held before the change.
"""

import json
import sys

import caldav
import icalendar
import vobject


def marks_of(properties):
    return {name.upper(): str(value) for name, value in properties if name.upper().startswith("X-LUMORA-")}


def edited_calendar(text, changes):
    calendar = icalendar.Calendar.from_ical(text)
    item = next(c for c in calendar.walk() if c.name in ("VEVENT", "VTODO"))
    before = marks_of(item.property_items(recursive=False))
    for name, value in changes:
        item.pop(name, None)
        item.add(name, value)
    return before, calendar.to_ical().decode()


def edited_card(text, changes):
    card = vobject.readOne(text)
    before = {name.upper(): str(lines[0].value) for name, lines in card.contents.items()
              if name.upper().startswith("X-LUMORA-")}
    for name, value in changes:
        key = name.lower()
        if key in card.contents:
            del card.contents[key]
        card.add(key).value = value
    return before, card.serialize()


def main():
    url, user, password = sys.argv[1:4]
    client = caldav.DAVClient(url, username=user, password=password)
    response = client.request(url, "GET")
    if response.status != 200:
        sys.exit("GET %s answered %s" % (url, response.status))
    text = response.raw if isinstance(response.raw, str) else response.raw.decode()
    etag = response.headers.get("ETag")
    if sys.argv[4:] == ["--delete"]:
        answer = client.request(url, "DELETE", headers={"If-Match": etag})
        print(json.dumps({}))
        sys.exit(0 if answer.status in (200, 204) else "DELETE answered %s" % answer.status)
    changes = [argument.split("=", 1) for argument in sys.argv[4:]]
    card = text.lstrip().upper().startswith("BEGIN:VCARD")
    before, changed = (edited_card if card else edited_calendar)(text, changes)
    content_type = "text/vcard; charset=utf-8" if card else "text/calendar; charset=utf-8"
    answer = client.put(url, changed, {"Content-Type": content_type, "If-Match": etag})
    if answer.status not in (200, 201, 204):
        sys.exit("PUT answered %s" % answer.status)
    print(json.dumps(before))


if __name__ == "__main__":
    main()
