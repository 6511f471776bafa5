"""Reads an iCalendar file with python3-vobject and prints its events as JSON.

usage: vobject_ics.py FILE
"""
import datetime
import json
import sys

import vobject


def main():
    with open(sys.argv[1], encoding="utf-8", newline="") as f:
        cal = vobject.readOne(f.read())
    events = []
    for ev in cal.contents.get("vevent", []):
        start = ev.dtstart.value
        events.append({
            "summary": ev.summary.value,
            "allday": not isinstance(start, datetime.datetime),
            "start": start.isoformat(),
            "end": ev.dtend.value.isoformat() if "dtend" in ev.contents else "",
            "rrule": ev.rrule.value if "rrule" in ev.contents else "",
            "occurrences": [d.isoformat() for d in list(ev.getrruleset() or [])[:3]] if "rrule" in ev.contents else [],
            "categories": [c for cat in ev.contents.get("categories", []) for c in cat.value],
            "alarms": [int(a.trigger.value.total_seconds()) for a in ev.contents.get("valarm", [])],
            "location": ev.location.value if "location" in ev.contents else "",
        })
    json.dump({"version": cal.version.value, "events": events}, sys.stdout)


if __name__ == "__main__":
    main()
