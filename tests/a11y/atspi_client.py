#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Walks the running program from outside, through AT-SPI, the way a screen
reader such as Orca sees it: reads the tree of every window against the
window tables, types into text boxes and presses buttons through the
accessibility interfaces only, reads the answers back, and listens for the
events that announce alerts and changed answers.

Usage: atspi_client.py TABLES_JSON [--no-seat]
  TABLES_JSON  the output of takhmin_describe
  --no-seat    the display server has no seat (weston's headless one), so no
               window is ever activated, which is when Orca reads an alert
               out; there the alert is only seen to show
"""
import json
import os
import sys
import time

import pyatspi
from gi.repository import GLib

TABLES = json.load(open(sys.argv[1], encoding="utf-8"))
FORMS = {form["form"]: form for form in TABLES["forms"]}
FAILURE = TABLES["failure"]
ROLE_OF_KIND = {"label": "label", "text box": "text", "push button": "push button"}
ALERT_EVENT = "object:state-changed:showing" if "--no-seat" in sys.argv[2:] else "window:activate"

events = []
failures = []
passed = []


def on_event(event):
    try:
        events.append((event.type, event.source.getRoleName(), event.source.name,
                       event.any_data))
    except Exception:  # the source may be gone already
        pass


for kind in ("object:property-change:accessible-name", "object:text-changed:insert",
             "window:activate", "object:state-changed:showing"):
    pyatspi.Registry.registerEventListener(on_event, kind)
# The registry knows of every listener now: the program may start.
if "TAKHMIN_LISTENING" in os.environ:
    open(os.environ["TAKHMIN_LISTENING"], "w").close()


def pump(seconds=0.2):
    end = time.time() + seconds
    context = GLib.MainContext.default()
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    else:
        passed.append(what)
    return condition


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        child = desktop.getChildAtIndex(i)
        if child is not None and child.name == "takhmin":
            return child
    return None


def showing_windows():
    app = application()
    if app is None:
        return []
    found = []
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if window is not None and window.getState().contains(pyatspi.STATE_SHOWING):
            found.append(window)
    return found


def wait_window(name, role, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        pump(0.05)
        for window in showing_windows():
            if window.name == name and window.getRoleName() == role:
                return window
    return None


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def descendants(accessible):
    for kid in children(accessible):
        yield kid
        yield from descendants(kid)


def text_of(accessible):
    if accessible.getRoleName() == "text":
        text = accessible.queryText()
        return text.getText(0, text.characterCount)
    return accessible.name


def read_window(form_name, current=None):
    """Finds the window of a form, checks its whole tree against the tables
    (or, for captions a handler has changed, against `current`) and returns
    its controls by name."""
    form = FORMS[form_name]
    role = "alert" if form["alert"] else "frame"
    window = wait_window(form["title"], role)
    if not check(window is not None, f"{form_name} is announced as a {role} named by its title"):
        return None
    kids = children(window)
    check(len(kids) == len(form["controls"]), f"{form_name} exposes all its controls")
    controls = {}
    captions = {c["name"]: c["text"] for c in form["controls"]}
    captions.update(current or {})
    for row, kid in zip(form["controls"], kids):
        controls[row["name"]] = kid
        expected_role = ROLE_OF_KIND[row["kind"]]
        check(kid.getRoleName() == expected_role,
              f"{form_name}.{row['name']} has the role {expected_role}")
        if row["kind"] == "text box":
            check(kid.name == captions[row["label"]],
                  f"{form_name}.{row['name']} is named after {row['label']}")
            check("EditableText" in pyatspi.utils.listInterfaces(kid),
                  f"{form_name}.{row['name']} can be set from outside")
        else:
            check(kid.name == captions[row["name"]], f"{form_name}.{row['name']} reads its caption")
    return controls


def press(controls, name):
    action = controls[name].queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))
    pump(0.3)


def type_into(controls, name, text):
    controls[name].queryEditableText().setTextContents(text)
    pump(0.1)


def saw(event_prefix, role, name=None, data=None, seconds=30):
    """Whether such an event came; on a busy machine it may still be on its
    way, so it is waited for."""
    end = time.time() + seconds
    while True:
        if any(kind.startswith(event_prefix) and source_role == role
               and (name is None or source_name == name) and (data is None or any_data == data)
               for kind, source_role, source_name, any_data in events):
            return True
        if time.time() >= end:
            return False
        pump(0.05)


def main():
    end = time.time() + 20
    while application() is None and time.time() < end:
        time.sleep(0.1)
    if not check(application() is not None, "the program is on the accessibility bus"):
        return 1

    form1 = read_window("Form1")
    type_into(form1, "Text1", "3")
    # Orca speaks a box's text run by run; a run of length 0 lost the "3".
    check(list(form1["Text1"].queryText().getAttributeRun(0)[1:]) == [0, 1],
          "a text box's attribute run covers its whole text")
    press(form1, "Command1")
    form8 = read_window("Form8")
    check(form8 is not None and saw(ALERT_EVENT, "alert", FORMS["Form8"]["title"]),
          f"the age warning is announced as an alert when it appears ({ALERT_EVENT})")
    press(form8, "Command1")
    form1 = read_window("Form1")
    check(text_of(form1["Text1"]) == "3", "the refused age is still there to correct")

    type_into(form1, "Text1", "\u0662\u0665")  # 25 in Arabic-Indic digits
    press(form1, "Command1")
    form2 = read_window("Form2")
    press(form2, "Command2")
    form5 = read_window("Form5")
    press(form5, "Command1")
    form2 = read_window("Form2")
    press(form2, "Command1")

    form6 = read_window("Form6")
    type_into(form6, "Text1", "2064")
    events.clear()
    press(form6, "Command1")
    check(text_of(form6["Label12"]) == "79" and text_of(form6["Label13"]) == "21",
          "the answers read 79 and 21")
    check(saw("object:property-change:accessible-name", "label", "79"),
          "the second number is announced when it changes")
    check(saw("object:property-change:accessible-name", "label", "21"),
          "the first number is announced when it changes")
    type_into(form6, "Text1", "5")
    press(form6, "Command1")
    form7 = read_window("Form7")
    press(form7, "Command1")

    form6 = read_window("Form6", {"Label12": "79", "Label13": "21"})
    press(form6, "Command3")
    form9 = read_window("Form9")
    type_into(form9, "Text1", "5")
    type_into(form9, "Text2", "0")
    press(form9, "Command4")
    message = wait_window(FAILURE["title"], "alert")
    check(message is not None, "a failed step is announced as an alert")
    if message is not None:
        texts = [kid.name for kid in descendants(message)]
        check(FAILURE["messages"]["DivisionByZero"] in texts + [message.description],
              "the alert says that division by zero is impossible")
        check(FAILURE["button"] in texts, "the alert has its Arabic OK button")
    type_into(form9, "Text2", "3")
    events.clear()
    press(form9, "Command4")
    check(text_of(form9["Text3"]) == "1.66666666666667", "the calculator result reads back")
    check(saw("object:text-changed:insert", "text", form9["Text3"].name),
          "the calculator result is announced when it changes")
    press(form9, "Command6")

    press(form6, "Command2")
    form2 = read_window("Form2")
    press(form2, "Command3")
    form3 = read_window("Form3")
    press(form3, "Command2")
    form4 = read_window("Form4")
    press(form4, "Command1")
    end = time.time() + 10
    while application() is not None and time.time() < end:
        pump(0.1)
    check(application() is None, "the goodbye button ends the program")

    print(f"{len(passed)} passed, {len(failures)} failed")
    return 1 if failures else 0


sys.exit(main())
