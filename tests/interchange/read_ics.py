#!/usr/bin/env python3
"""Reads an iCalendar file with python3-icalendar and prints one line per event:
UID, summary, description, start, rule, and the days the rule gives in 2027 and 2028
(computed by dateutil, independently of the writer). Exits 77 when the parser is missing."""
import sys

try:
    import icalendar
    from dateutil import rrule
except ImportError:
    print("python3-icalendar is not installed", file=sys.stderr)
    sys.exit(77)

import datetime

with open(sys.argv[1], "rb") as f:
    calendar = icalendar.Calendar.from_ical(f.read())
if calendar.get("VERSION") != "2.0":
    sys.exit("not an iCalendar 2.0 file")
for event in calendar.walk("VEVENT"):
    start = event.decoded("DTSTART")
    end = event.decoded("DTEND")
    if type(start) is not datetime.date or end - start != datetime.timedelta(days=1):
        sys.exit("not an all-day event: %s" % event.get("UID"))
    rule = event.get("RRULE").to_ical().decode()
    days = rrule.rrulestr(rule, dtstart=datetime.datetime.combine(start, datetime.time()))
    later = [d.date().isoformat() for d in days.between(
        datetime.datetime(2027, 1, 1), datetime.datetime(2028, 12, 31), inc=True)]
    print("\t".join([str(event.get("UID")), str(event.get("SUMMARY")),
                     str(event.get("DESCRIPTION", "")), start.isoformat(), rule,
                     " ".join(later)]))
