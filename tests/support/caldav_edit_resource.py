#!/usr/bin/env python3
"""Changes or deletes one calendar or address-book resource through python3-caldav's client, as
another program would, over the version it read: sets NAME=VALUE properties on its event, task
or card (python3-icalendar, python3-vobject), or deletes it with --delete. Prints the resource's
X-LUMORA-* properties before the change as JSON.

  caldav_edit_resource.py <resource-url> <user> <password> (NAME=VALUE... | --delete)
"""
import json
import sys

import caldav
import icalendar
import vobject


def edited(text, changes):
    if text.lstrip().upper().startswith("BEGIN:VCARD"):
        card = vobject.readOne(text)
        before = {n.upper(): str(lines[0].value) for n, lines in card.contents.items() if n.upper().startswith("X-LUMORA-")}
        for name, value in changes:
            card.contents.pop(name.lower(), None)
            card.add(name.lower()).value = value
        return before, card.serialize(), "text/vcard; charset=utf-8"
    calendar = icalendar.Calendar.from_ical(text)
    item = next(c for c in calendar.walk() if c.name in ("VEVENT", "VTODO"))
    before = {n.upper(): str(v) for n, v in item.property_items(recursive=False) if n.upper().startswith("X-LUMORA-")}
    for name, value in changes:
        item.pop(name, None)
        item.add(name, value)
    return before, calendar.to_ical().decode(), "text/calendar; charset=utf-8"


def main():
    url, user, password = sys.argv[1:4]
    client = caldav.DAVClient(url, username=user, password=password)
    response = client.request(url, "GET")
    if response.status != 200:
        sys.exit("GET %s answered %s" % (url, response.status))
    etag = response.headers.get("ETag")
    if sys.argv[4:] == ["--delete"]:
        answer = client.request(url, "DELETE", headers={"If-Match": etag})
        print("{}")
    else:
        text = response.raw if isinstance(response.raw, str) else response.raw.decode()
        before, changed, content_type = edited(text, [argument.split("=", 1) for argument in sys.argv[4:]])
        answer = client.put(url, changed, {"Content-Type": content_type, "If-Match": etag})
        print(json.dumps(before))
    if answer.status not in (200, 201, 204):
        sys.exit("the change answered %s" % answer.status)


if __name__ == "__main__":
    main()
