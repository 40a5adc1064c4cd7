#!/usr/bin/env python3
"""Writes examples/sample.pquil: a year of one runner's training in the current log format.

The notes carry tags ("#easy", "#tempo", "#long", "#race") and the shoes each run was run in ("@Pegasus"), as a
runner writes them; the everyday trainers are replaced at midyear, past 500 miles.

The log is Windows-1252 text: the header line, then per run the byte 0xA1, Date, Distance, Time and Notes
separated by TAB, and CR LF. Line breaks inside the notes are CR LF too. The output is the same on every run.
"""
import datetime
import random
import sys
from pathlib import Path

HEADER = b"Pacequill version 3.1 log file format\r\n"
YEAR = 2023
# Miles in one of each unit word, so that a run's time follows from its distance in that unit and its pace per mile.
MILES_PER_UNIT = {"Miles": 1.0, "Kilometers": 1 / 1.609344, "Marathons": 26.21875}

EASY_NOTES = ["Easy loop round the park #easy", "Recovery run, legs heavy #easy #recovery", "Easy with Sam #easy",
              "None", "Canal towpath, flat and quiet #easy", "Treadmill, rain all day #treadmill",
              "Early start, still dark #easy"]
WORKOUTS = [
    ("6 x 800 m at the #track, warm-up in @{trainer}, reps in @Kinvara", 5.0, 7.6),
    ("Tempo 3 miles in the middle #tempo @Kinvara", 6.0, 7.9),
    ("Hill repeats on Cedar Lane, 8 x 60 s #hills @{trainer}", 5.5, 8.6),
    ("Fartlek, lamp post to lamp post #Fartlek @Kinvara", 6.0, 8.2),
]
# The everyday trainers: the first pair is replaced by a new one from this day on.
NEW_TRAINERS_FROM = datetime.date(YEAR, 7, 1)


def hms(seconds):
    seconds = round(seconds)
    return f"{seconds // 3600:02d}:{seconds // 60 % 60:02d}:{seconds % 60:02d}"


def run(day, distance, unit, pace_per_mile, notes):
    miles = distance * MILES_PER_UNIT[unit]
    fields = [day.strftime("%Y/%m/%d"), f"{distance:g} {unit}", hms(miles * pace_per_mile * 60), notes]
    return b"\xa1" + "\t".join(fields).encode("cp1252") + b"\r\n"


def trainer(day):
    return "Pegasus-2" if day >= NEW_TRAINERS_FROM else "Pegasus"


def with_shoes(notes, day):
    """Easy notes get the everyday trainers after them; "None" stays as the editor writes an empty note."""
    return notes if notes == "None" else f"{notes} @{trainer(day)}"


def main():
    rng = random.Random(31)
    records = []
    day = datetime.date(YEAR, 1, 1)
    week_of_block = 0
    while day.year == YEAR:
        weekday = day.weekday()
        fitness = (day - datetime.date(YEAR, 1, 1)).days / 365  # paces drop as the year goes on
        easy_pace = 9.6 - 0.6 * fitness + rng.uniform(-0.2, 0.2)
        if weekday == 1:
            notes, distance, pace = WORKOUTS[week_of_block % len(WORKOUTS)]
            records.append(run(day, distance, "Miles", pace - 0.4 * fitness, notes.format(trainer=trainer(day))))
        elif weekday == 3:
            distance = rng.choice([8, 10, 12])
            records.append(run(day, distance, "Kilometers", easy_pace, with_shoes(rng.choice(EASY_NOTES), day)))
        elif weekday == 5 and rng.random() < 0.8:
            distance = round(rng.uniform(3, 5), 1)
            records.append(run(day, distance, "Miles", easy_pace, with_shoes(rng.choice(EASY_NOTES), day)))
        elif weekday == 6:
            distance = round(8 + 8 * min(fitness * 1.4, 1) + rng.uniform(-1, 1), 1)
            if distance > 12:
                notes = "Long run.\r\n#long Gel at 6 miles, water at the café"
            else:
                notes = "Long run, steady #long"
            records.append(run(day, distance, "Miles", easy_pace + 0.3, with_shoes(notes, day)))
            week_of_block += 1
        day += datetime.timedelta(days=1)

    # Races through the year, and a lazy entry without a date.
    records.append(run(datetime.date(YEAR, 4, 23), 13.1, "Miles", 7.9, "Spring half marathon – PB! #race @Vaporfly"))
    records.append(
        run(datetime.date(YEAR, 10, 8), 1, "Marathons", 8.3, "City marathon. #race @Vaporfly\r\nHit the wall at 22"))
    records.append(b"\xa1No Date\t3 Miles\t00:27:30\tForgot to note the day\r\n")

    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "examples/sample.pquil")
    out.write_bytes(HEADER + b"".join(records))


if __name__ == "__main__":
    main()
