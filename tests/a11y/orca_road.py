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
import re
import signal
import subprocess
import sys
import tempfile
import time

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

# After a key, Orca's first words came within 0.4 s and its last within
# 0.8 s on an idle machine; a step is over once what it must say was heard
# and then nothing more for QUIET seconds. With both cores busy, a sanitized
# program and Orca took over 10 s for some steps: PATIENCE is only how long
# a step that goes wrong is waited for.
QUIET = 0.6
PATIENCE = 40
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\S+)? ?\{")


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
started = []  # every process started here, stopped in reverse order


def start(command, log=None, **options):
    """Starts a process; with a log file, its output goes there, for said()."""
    if log is not None:
        options["stdout"] = open(log, "w")
        options["stderr"] = subprocess.STDOUT
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, **options)
    process.said = lambda: open(log, errors="replace").read()[-4000:] if log else ""
    started.append(process)
    return process


def stop(process, patience=3):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(patience)
        except subprocess.TimeoutExpired:
            # Orca only notices a signal when an event reaches it.
            process.kill()
            process.wait()


def wait_until(condition, seconds, what, maker=None):
    """Waits for condition(); gives up at once, with its output, if the
    process `maker` that should bring it about has ended."""
    end = time.time() + seconds
    while time.time() < end:
        if condition():
            return
        if maker is not None and maker.poll() is not None:
            raise RuntimeError(f"{what} ended with status {maker.returncode} before it was ready; "
                               f"it said: {maker.said()}")
        time.sleep(0.05)
    said = f"; it said: {maker.said()}" if maker is not None else ""
    raise RuntimeError(f"timed out waiting for {what}{said}")


class Orca:
    """One run of Orca with its own settings folder and debug file."""

    def __init__(self, work, env, run):
        prefs = os.path.join(work, "orca")
        os.makedirs(prefs, exist_ok=True)
        # The debug file is block-buffered; line buffering shows each line at once.
        with open(os.path.join(prefs, "orca-customizations.py"), "w") as out:
            out.write("import orca.debug\norca.debug.debugFile.reconfigure(line_buffering=True)\n")
        self.path = os.path.join(work, f"orca-{run}.debug")
        open(self.path, "w").close()
        # Orca will not start while another process named orca runs.
        wait_until(lambda: subprocess.run(["pgrep", "-x", "orca"], capture_output=True).returncode,
                   60, "another Orca on this machine to end")
        self.process = start(["orca", "-u", prefs, "--debug-file", self.path], env=env,
                             log=os.path.join(work, f"orca-{run}.log"))
        self.read = 0
        # Its first words say that it is on, in its own language.
        wait_until(lambda: self.heard(0), 120, "Orca to start", self.process)
        self.read = 1

    def heard(self, since=None):
        with open(self.path, "rb") as debug:
            text = debug.read().decode("utf-8", "replace")
        lines = SPEECH.findall(text)
        return lines[self.read if since is None else since:]

    def listen(self, expected):
        """Returns what Orca said since the last call, waiting until the
        expected lines were said, in order, and then QUIET seconds of silence."""
        end = time.time() + PATIENCE
        count, quiet_since = -1, time.time()
        while time.time() < end:
            heard = self.heard()
            if len(heard) != count:
                count, quiet_since = len(heard), time.time()
            elif contains(heard, expected) and time.time() - quiet_since >= QUIET:
                break
            time.sleep(0.05)
        heard = self.heard()
        self.read += len(heard)
        return heard


def contains(heard, expected):
    """Whether the expected lines occur in heard, in this order."""
    lines = iter(heard)
    return all(any(line == want for line in lines) for want in expected)


def walk(orca, env, road):
    for keys, expected in road:
        for key in keys:
            subprocess.run(["xdotool", "key", key], env=env, check=True)
            time.sleep(0.15)
        heard = orca.listen(expected)
        # Key echoes end with a blank; anything else said twice running is noise.
        repeated = [a for a, b in zip(heard, heard[1:]) if a == b and not a.endswith(" ")]
        if not contains(heard, expected) or repeated:
            failures.append(keys)
            print(f"FAIL after {' '.join(keys) or 'start'}:\n  expected {expected}\n  heard    {heard}")
            if not heard:
                print("FAIL: Orca hears nothing from the program any more")
                return
        else:
            print(f"ok   {' '.join(keys) or 'start'}: {heard}")


def desktop(work):
    """Xvfb, a D-Bus session, the accessibility bus and openbox; returns the
    environment of programs started on that desktop."""
    read, write = os.pipe()
    # -noreset: by default the server resets whenever its last client leaves,
    # and drops every client whose connection is not yet set up. Each xprop
    # below is such a last client until the window manager is in, so a window
    # manager that connected just then was dropped and could not open the
    # display, the more often the busier the machine. A reset also wipes the
    # accessibility bus's address that its launcher put on the root window.
    xvfb = start(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x900x24", "-nolisten", "tcp",
                  "-noreset"], pass_fds=[write], log=os.path.join(work, "xvfb.log"))
    os.close(write)
    with os.fdopen(read) as display:
        number = display.readline().strip()
    home = os.path.join(work, "home")
    runtime = os.path.join(home, "runtime")
    os.makedirs(runtime, mode=0o700)
    if not number:
        raise RuntimeError(f"Xvfb did not start; it said: {xvfb.said()}")
    env = {"PATH": os.environ["PATH"], "DISPLAY": f":{number}", "HOME": home,
           "XDG_RUNTIME_DIR": runtime, "XDG_CONFIG_HOME": os.path.join(home, "config"),
           "XDG_DATA_HOME": os.path.join(home, "data"), "XDG_CACHE_HOME": os.path.join(home, "cache"),
           "LANG": LOCALE, "LC_ALL": LOCALE, "LANGUAGE": "", "QT_QPA_PLATFORM": "xcb"}
    # Orca writes what it says to its debug file whether or not it can speak;
    # no speech server is spawned that would outlive the test.
    speechd = os.path.join(env["XDG_CONFIG_HOME"], "speech-dispatcher")
    os.makedirs(speechd)
    with open(os.path.join(speechd, "speechd.conf"), "w") as conf:
        conf.write("DisableAutoSpawn\n")
    bus = start(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=env,
                stdout=subprocess.PIPE, text=True)
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
    launcher = start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env=env,
                     log=os.path.join(work, "at-spi-bus-launcher.log"))
    has_bus = ["dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
               "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"]
    wait_until(lambda: "true" in subprocess.run(has_bus, env=env, capture_output=True,
                                                text=True).stdout, 30, "the accessibility bus",
               launcher)
    wm = start(["openbox"], env=env, log=os.path.join(work, "openbox.log"))
    # Without a window manager in charge Orca missed the first window.
    check = ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]
    wait_until(lambda: "window id" in subprocess.run(check, env=env, capture_output=True,
                                                     text=True).stdout, 30, "openbox", wm)
    return env


def main():
    if LOCALE != "C.UTF-8" and LOCALE.lower().replace("utf-8", "utf8") not in \
            subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().split():
        print(f"FAIL: the locale {LOCALE} is not generated (scripts/lib/common.sh ensure_locales)")
        return 1
    # A test runner's SIGTERM still stops everything started here.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    with tempfile.TemporaryDirectory() as work:
        try:
            env = desktop(work)
            # The program must speak without being told to: nothing here
            # switches Qt's accessibility on.
            log = os.path.join(work, "program.log")
            # Only the program gets the sanitizer check's settings: it alone is
            # built with the sanitizers, and it reports where the check says,
            # with its suppressions, as under every other test.
            program_env = dict(env, **{name: os.environ[name] for name in
                                       ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")
                                       if name in os.environ})
            if ORDER == "program-first":
                program = start([TAKHMIN], env=program_env, log=log)
                shown = ["xprop", "-root", "_NET_CLIENT_LIST"]
                wait_until(lambda: "window id" in subprocess.run(
                    shown, env=env, capture_output=True, text=True).stdout, 60, "the first window",
                    program)
                orca = Orca(work, env, 1)
                road = ROAD_TO_MENU[1:]
            else:
                orca = Orca(work, env, 1)
                program = start([TAKHMIN], env=program_env, log=log)
                road = ROAD_TO_MENU
            walk(orca, env, road)
            stop(orca.process)
            orca = Orca(work, env, 2)
            walk(orca, env, ROAD_OUT)
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
            for process in reversed(started):
                stop(process)
    print(f"{LOCALE}, {ORDER}: {len(failures)} steps failed")
    return 1 if failures else 0


sys.exit(main())
