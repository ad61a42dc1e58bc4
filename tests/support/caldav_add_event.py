#!/usr/bin/env python3
"""Adds one event to a calendar through python3-caldav, a CalDAV client that is not ours.

  caldav_add_event.py <calendar-url> <user> <password> <uid> <summary>

Prints the address the event was stored at.
"""

import sys

import caldav


def main():
    url, user, password, uid, summary = sys.argv[1:6]
    client = caldav.DAVClient(url, username=user, password=password)
    calendar = client.calendar(url=url)
    event = calendar.save_event(
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Lumora tests//second client//EN\r\n"
        "BEGIN:VEVENT\r\nUID:%s\r\nDTSTAMP:20260105T090000Z\r\nDTSTART:20260110T100000Z\r\n"
        "DTEND:20260110T110000Z\r\nSUMMARY:%s\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n" % (uid, summary))
    print(event.url)


if __name__ == "__main__":
    main()
