#!/usr/bin/python3
"""Reads an iCalendar file with python3-icalendar and prints, as JSON, what
the agenda's calendar tests compare: per VEVENT its errors, the values the
agenda models (times as UTC "…Z" when python3-icalendar knows their zone,
naive otherwise, dates as dates) and every other property and inner
component as python3-icalendar writes it again, sorted.

    read_calendar_file.py FILE
"""
import datetime
import json
import sys

import icalendar

MODELLED = {'UID', 'DTSTART', 'DTEND', 'DURATION', 'RECURRENCE-ID', 'SUMMARY', 'LOCATION',
            'DESCRIPTION', 'RRULE', 'RDATE', 'EXDATE', 'DTSTAMP'}


def moment(value):
    if isinstance(value, datetime.datetime):
        if value.tzinfo is not None and value.utcoffset() is not None:
            return value.astimezone(datetime.timezone.utc).strftime('%Y-%m-%dT%H:%M:%SZ')
        return value.strftime('%Y-%m-%dT%H:%M:%S')
    if isinstance(value, datetime.date):
        return value.strftime('%Y-%m-%d')
    if isinstance(value, tuple):  # a period: its start
        return moment(value[0])
    return str(value)


def listed(value):
    return value if isinstance(value, list) else [value]


def event_reading(event):
    out = {'errors': [str(error) for error in event.errors]}
    starts = listed(event.get('DTSTART')) if 'DTSTART' in event else []
    start = starts[0].dt if starts else None
    out['start'] = moment(start) if starts else ''
    if 'DTEND' in event:
        out['end'] = moment(listed(event['DTEND'])[0].dt)
    elif 'DURATION' in event and start is not None:
        out['end'] = moment(start + listed(event['DURATION'])[0].dt)
    else:
        out['end'] = ''
    for name in ('UID', 'SUMMARY', 'LOCATION', 'DESCRIPTION'):
        out[name.lower()] = str(listed(event[name])[0]) if name in event else ''
    out['recurrence-id'] = moment(listed(event['RECURRENCE-ID'])[0].dt) if 'RECURRENCE-ID' in event else ''
    out['rrule'] = listed(event['RRULE'])[0].to_ical().decode() if 'RRULE' in event else ''
    for name in ('RDATE', 'EXDATE'):
        dates = []
        for line in listed(event.get(name, [])):
            dates += [moment(one.dt) for one in line.dts]
        out[name.lower()] = sorted(dates)
    other = []
    for name, value in event.property_items(recursive=False, sorted=True):
        if name in ('BEGIN', 'END'):
            continue
        # The first of each modelled property is modelled; a second one is kept.
        if name in MODELLED:
            if name not in ('RDATE', 'EXDATE', 'DTSTAMP') and listed(event[name])[0] is not value:
                other.append(event.content_line(name, value).to_ical().decode())
            continue
        other.append(event.content_line(name, value).to_ical().decode())
    for component in event.subcomponents:
        other.append(component.to_ical().decode())
    out['other'] = sorted(other)
    return out


def main():
    with open(sys.argv[1], 'rb') as file:
        data = file.read()
    calendars = icalendar.Calendar.from_ical(data, multiple=True)
    events, components = [], []
    for calendar in calendars:
        for component in calendar.subcomponents:
            if component.name == 'VEVENT':
                events.append(event_reading(component))
            elif component.name != 'VTIMEZONE' and component.name not in components:
                components.append(component.name)
    json.dump({'calendars': len(calendars), 'events': events, 'components': components},
              sys.stdout, ensure_ascii=False, indent=1, sort_keys=True)


if __name__ == '__main__':
    main()
