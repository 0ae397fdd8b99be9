#!/usr/bin/python3
"""A phone writing to a CalDAV server behind the program's back: python3-icalendar
for the events and tasks and urllib for the requests, nothing of the program's own.

    calendar_phone.py get URL                   prints the object
    calendar_phone.py list URL                  prints "href etag" of every member
    calendar_phone.py find URL UID              prints the URL of the member with that UID
    calendar_phone.py put URL FILE              the object of FILE as a new member
    calendar_phone.py set URL PROP VALUE        sets PROP of the event or task (If-Match)
    calendar_phone.py move URL RECID START      moves one occurrence of a series
                                                ("20270112T090000" to "20270112T140000")
    calendar_phone.py done URL YYYYMMDD         marks the task done on that day
    calendar_phone.py delete URL                deletes the member
Exits 1 on an HTTP error (its status on standard error), 3 on 412.
"""
import base64
import datetime
import sys
import urllib.error
import urllib.parse
import urllib.request
import xml.etree.ElementTree as ElementTree

import icalendar


def send(method, url, body=None, headers=None):
    request = urllib.request.Request(url, data=body, method=method, headers=headers or {})
    login = base64.b64encode(b"kesp:phone").decode()
    request.add_header("Authorization", "Basic " + login)
    try:
        with urllib.request.urlopen(request, timeout=30) as answer:
            return answer.headers.get("ETag", ""), answer.read()
    except urllib.error.HTTPError as error:
        print(f"{method} {url}: {error.code}", file=sys.stderr)
        sys.exit(3 if error.code == 412 else 1)


def put(url, calendar, etag):
    condition = {"If-Match": etag} if etag else {"If-None-Match": "*"}
    headers = {"Content-Type": "text/calendar; charset=utf-8", **condition}
    send("PUT", url, calendar.to_ical(), headers)


def first(calendar, name):
    for component in calendar.walk(name):
        if "RECURRENCE-ID" not in component:
            return component
    return None


def main():
    command, url, *values = sys.argv[1:]
    if command == "get":
        sys.stdout.write(send("GET", url)[1].decode())
    elif command in ("list", "find"):
        propfind = b'<propfind xmlns="DAV:"><prop><getetag/></prop></propfind>'
        _, body = send("PROPFIND", url, propfind, {"Depth": "1", "Content-Type": "application/xml"})
        for response in ElementTree.fromstring(body).iter("{DAV:}response"):
            etag = response.find(".//{DAV:}getetag")
            href = response.find("{DAV:}href").text
            if etag is None or not etag.text or href.endswith("/"):
                continue
            if command == "list":
                print(href, etag.text)
                continue
            member = urllib.parse.urljoin(url, href)
            calendar = icalendar.Calendar.from_ical(send("GET", member)[1])
            if any(str(c.get("UID")) == values[0] for c in calendar.subcomponents):
                print(member)
    elif command == "put":
        with open(values[0], "rb") as file:
            put(url, icalendar.Calendar.from_ical(file.read()), "")
    elif command == "delete":
        send("DELETE", url)
    else:
        etag, body = send("GET", url)
        calendar = icalendar.Calendar.from_ical(body)
        if command == "set":
            component = first(calendar, "VEVENT") or first(calendar, "VTODO")
            component.pop(values[0], None)
            component.add(values[0], values[1])
        elif command == "move":
            series = first(calendar, "VEVENT")
            start = series.decoded("DTSTART")
            length = series.decoded("DTEND") - start
            zone = start.tzinfo
            original = datetime.datetime.strptime(values[0], "%Y%m%dT%H%M%S")
            moved = datetime.datetime.strptime(values[1], "%Y%m%dT%H%M%S")
            occurrence = icalendar.Event()
            occurrence.add("UID", series["UID"])
            occurrence.add("DTSTAMP", datetime.datetime.now(datetime.timezone.utc))
            occurrence.add("RECURRENCE-ID", original.replace(tzinfo=zone))
            occurrence.add("DTSTART", moved.replace(tzinfo=zone))
            occurrence.add("DTEND", moved.replace(tzinfo=zone) + length)
            occurrence.add("SUMMARY", series["SUMMARY"])
            calendar.add_component(occurrence)
        elif command == "done":
            task = first(calendar, "VTODO")
            for name in ("STATUS", "COMPLETED", "PERCENT-COMPLETE"):
                task.pop(name, None)
            task.add("STATUS", "COMPLETED")
            day = datetime.datetime.strptime(values[0], "%Y%m%d")
            task.add("COMPLETED", day.replace(hour=10, tzinfo=datetime.timezone.utc))
        put(url, calendar, etag)


main()
