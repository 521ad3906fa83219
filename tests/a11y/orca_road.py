#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Hears the program as a blind user does: runs the Orca screen reader on a
desktop of its own (Xvfb, a D-Bus session, the accessibility bus, openbox),
walks the whole road with the keyboard alone and checks, step by step, what
Orca says, from the `SPEECH OUTPUT` lines of its debug file.

Usage: orca_road.py TAKHMIN DESCRIBE LOCALE ORDER
  LOCALE  the locale of Orca and the program, e.g. C.UTF-8 or ar_EG.UTF-8
  ORDER   orca-first, or program-first (Orca starts once the program shows)
Orca is restarted halfway in both orders. Everything started here is
stopped by its process id.
"""
import json
import os
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from orca_desk import (Orca, desktop, locale_missing, program_env, start, stop, stop_all,  # noqa: E402
                       wait_until, walk)

TAKHMIN, DESCRIBE, LOCALE, ORDER = sys.argv[1:5]
TABLES = json.loads(subprocess.run([DESCRIBE], check=True, capture_output=True).stdout)
FORMS = {form["form"]: form for form in TABLES["forms"]}
FAILURE = TABLES["failure"]

# Orca's own words, which follow its locale.
WORDS = {
    "C.UTF-8": {"frame": "frame", "push button": "push button", "text": "text",
                "alert": "alert", "notification": "notification", "selected": "selected"},
    # Orca 43 has no Arabic word for a notification.
    "ar_EG.UTF-8": {"frame": "إطار", "push button": "زر ضغط", "text": "نص", "alert": "تنبيه",
                    "notification": "notification", "selected": "منتقى"},
}[LOCALE]


def caption(form, control):
    return next(c["text"] for c in FORMS[form]["controls"] if c["name"] == control)


def window(form):
    return [f"{FORMS[form]['title']} {WORDS['frame']}."]


def alert(form):
    return [f"{WORDS['alert']} {FORMS[form]['title']}.", f"{caption(form, 'Label1')}."]


def button(form, name):
    return [f"{caption(form, name)} {WORDS['push button']}."]


def box(form, name, text):
    """A focused text box: its label and role, then its whole text."""
    row = next(c for c in FORMS[form]["controls"] if c["name"] == name)
    said = [f"{caption(form, row['label'])} {WORDS['text']}."]
    return said + ([f"{text} {WORDS['selected']}."] if text else [])


def notification(*parts):
    # Parts are joined with an Arabic comma and a blank.
    return [f"{WORDS['notification']} {(chr(0x60C) + ' ').join(parts)}."]


def answer(form, label, text):
    return f"{caption(form, label)} {text}"


# The road: (keys, what Orca must say, in this order, among all it says).
ROAD_TO_MENU = [
    ([], window("Form1") + button("Form1", "Command1")),
    (["shift+Tab"], box("Form1", "Text1", "")),
    (["3", "Tab"], button("Form1", "Command1")),
    (["space"], alert("Form8") + button("Form8", "Command1")),
    (["space"], window("Form1") + button("Form1", "Command1")),
    (["shift+Tab"], box("Form1", "Text1", "3")),
    (["2", "5", "Tab"], button("Form1", "Command1")),
    (["shift+Tab"], box("Form1", "Text1", "25")),
    (["Tab"], button("Form1", "Command1")),
    (["space"], window("Form2") + button("Form2", "Command1")),
    (["space"], window("Form6") + box("Form6", "Text1", "")),
    (["2", "0", "6", "4", "Tab"], button("Form6", "Command1")),
    (["space"], notification(answer("Form6", "Label11", "21"), answer("Form6", "Label10", "79"))),
    (["shift+Tab"], box("Form6", "Text1", "2064")),
    (["5", "0", "Tab"], button("Form6", "Command1")),
    (["space"], alert("Form7") + button("Form7", "Command1")),
    (["space"], window("Form6") + button("Form6", "Command1")),
    (["Tab", "Tab"], button("Form6", "Command3")),
    (["space"], window("Form9") + button("Form9", "Command6")),
    (["shift+Tab"], box("Form9", "Text1", "0")),
    (["5", "shift+Tab"], box("Form9", "Text2", "0")),
    (["Tab"], box("Form9", "Text1", "5")),
    (["Tab", "Tab", "Tab"], button("Form9", "Command4")),
    (["space"], [f"{WORDS['alert']} {FAILURE['title']}.", f"{FAILURE['messages']['DivisionByZero']}.",
                 f"{FAILURE['button']} {WORDS['push button']}."]),
    (["space"], window("Form9") + button("Form9", "Command4")),
    (["shift+Tab"] * 4, box("Form9", "Text2", "0")),
    (["3", "Tab", "Tab", "Tab", "Tab"], button("Form9", "Command4")),
    (["space"], notification(answer("Form9", "Label5", "1.66666666666667"))),
    (["shift+Tab", "shift+Tab"], button("Form9", "Command6")),
    (["space"], window("Form6") + button("Form6", "Command3")),
    (["shift+Tab"], button("Form6", "Command2")),
    (["space"], window("Form2") + button("Form2", "Command1")),
    (["Tab"], button("Form2", "Command2")),
    (["space"], window("Form5") + button("Form5", "Command1")),
]
# Walked after Orca has been restarted.
ROAD_OUT = [
    (["space"], window("Form2") + button("Form2", "Command1")),
    (["Tab", "Tab"], button("Form2", "Command3")),
    (["space"], window("Form3") + button("Form3", "Command1")),
    (["Tab"], button("Form3", "Command2")),
    (["space"], window("Form4") + button("Form4", "Command1")),
]

failures = []


def main():
    if locale_missing(LOCALE):
        print(f"FAIL: the locale {LOCALE} is not generated (scripts/lib/common.sh ensure_locales)")
        return 1
    # A test runner's SIGTERM still stops everything started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    with tempfile.TemporaryDirectory() as work:
        try:
            env = desktop(work, LOCALE)
            # The program must speak without being told to: nothing here
            # switches Qt's accessibility on.
            log = os.path.join(work, "program.log")
            if ORDER == "program-first":
                program = start([TAKHMIN], env=program_env(env), log=log)
                shown = ["xprop", "-root", "_NET_CLIENT_LIST"]
                wait_until(lambda: "window id" in subprocess.run(
                    shown, env=env, capture_output=True, text=True).stdout, 60, "the first window",
                    program)
                orca = Orca(work, env, 1)
                road = ROAD_TO_MENU[1:]
            else:
                orca = Orca(work, env, 1)
                program = start([TAKHMIN], env=program_env(env), log=log)
                road = ROAD_TO_MENU
            walk(orca, env, road, failures)
            stop(orca.process)
            orca = Orca(work, env, 2)
            # A restarted Orca takes the program in at its first event, and
            # says the active window then: on a busy machine that was after
            # the window change, and the window's queued activation made it
            # say it once more. That repeat is Orca's start, not the program.
            walk(orca, env, ROAD_OUT[:1], failures, may_repeat=lambda line: True)
            walk(orca, env, ROAD_OUT[1:], failures)
            subprocess.run(["xdotool", "key", "space"], env=env, check=True)
            try:
                # A sanitized program checks for leaks before it ends.
                if program.wait(60) != 0:
                    failures.append("exit status")
                    print("FAIL: the program ended with status", program.returncode)
                    print(program.said())
            except subprocess.TimeoutExpired:
                failures.append("end")
                print("FAIL: the goodbye button did not end the program")
        finally:
            stop_all()
    print(f"{LOCALE}, {ORDER}: {len(failures)} steps failed")
    return 1 if failures else 0


sys.exit(main())
