#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Hears the page as a blind user does: Orca on a desktop of its own
(orca_desk.py), the built site served on 127.0.0.1 and opened in a fresh
profile of Debian's Chromium or Firefox ESR, the whole road walked with the
keyboard alone, and what Orca says checked step by step against the same
tables as the desktop's road (takhmin_describe), in the page's own roles.

Usage: orca_web_road.py SITE DESCRIBE BROWSER [LOCALE [PORT]]
  SITE     the built site (build-web/site)
  BROWSER  chromium (started with --force-renderer-accessibility),
           chromium-plain (as users start it, without) or firefox
  LOCALE   Orca's and the browser's locale: C.UTF-8 (default) or ar_EG.UTF-8
  PORT     where the site is served on 127.0.0.1 (default: any free port)
"""
import json
import os
import re
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import orca_desk  # noqa: E402

SITE, DESCRIBE, BROWSER = sys.argv[1:4]
LOCALE = sys.argv[4] if len(sys.argv) > 4 else "C.UTF-8"
PORT = sys.argv[5] if len(sys.argv) > 5 else "0"
HERE = os.path.dirname(os.path.abspath(__file__))
TABLES = json.loads(subprocess.run([DESCRIBE], check=True, capture_output=True).stdout)
FORMS = {form["form"]: form for form in TABLES["forms"]}
FAILURE = TABLES["failure"]
PAGE = TABLES["page"]

# Orca's own words for the page's roles, and the start of what it says when
# a page has loaded ("Focus mode" stays English in Orca 43's Arabic).
WORDS = {
    "C.UTF-8": {"window": "dialog", "alert": "alert", "push button": "push button",
                "text": "entry", "selected": "selected", "loaded": "Finished loading ",
                "list": "navigation"},
    "ar_EG.UTF-8": {"window": "حوار", "alert": "تنبيه", "push button": "زر ضغط",
                    "text": "خانة", "selected": "منتقى", "loaded": "انتهى تحميل ",
                    "list": "navigation"},
}[LOCALE]
# The list of open windows by its name in the page (the tables hold no page
# texts but the ended page's).
with open(os.path.join(SITE, "index.html"), encoding="utf-8") as page:
    WINDOWS_LIST = re.search(r'<nav id="taskbar" aria-label="([^"]*)"', page.read())[1]
# The browser's address bar, by the page's address in it, whatever the
# browser calls the bar.
ADDRESS = re.compile(r".*\b127\.0\.0\.1:\d+\b.*")
# F6 from the address bar goes round the browser's other places back into the
# page: Firefox goes straight there; Chromium first to its tabs and, started
# as root (without its sandbox), to the bar that warns of that.
BACK_INTO_PAGE = ["F6"] * (1 if BROWSER == "firefox" else 3 if os.geteuid() == 0 else 2)


def caption(form, control):
    return next(c["text"] for c in FORMS[form]["controls"] if c["name"] == control)


def window(form):
    # Orca says a window's role after its title without a full stop.
    return [f"{FORMS[form]['title']} {WORDS['window']}"]


def alert(title, text, ok):
    """A window that is an alert, as the focus reaches its button: read once,
    its role and title, then its title and text."""
    return [f"{WORDS['alert']} {title}", f"{title} {text}", f"{ok} {WORDS['push button']}."]


def warning(form):
    return alert(FORMS[form]["title"], caption(form, "Label1"), caption(form, "Command1"))


def button(form, name):
    return [f"{caption(form, name)} {WORDS['push button']}."]


def box(form, name, text):
    """A focused text box: its label and role, then its whole text."""
    row = next(c for c in FORMS[form]["controls"] if c["name"] == name)
    said = f"{caption(form, row['label'])} {WORDS['text']}"
    return [f"{said} {text} {WORDS['selected']}." if text else f"{said}."]


def entry(form):
    """A window's entry in the list of open windows, with the list."""
    return [f"{WORDS['list']} {WINDOWS_LIST}", f"{FORMS[form]['title'].strip()} {WORDS['push button']}."]


def announced(form, *values):
    """The core's one message after a click: each announced control's
    caption and the value written into it, joined with an Arabic comma."""
    parts = [f"{caption(form, a['caption'])} {v}" for a, v in zip(FORMS[form]["announce"], values)]
    return [(chr(0x60C) + " ").join(parts)]


ROAD = [
    ([], window("Form1") + button("Form1", "Command1")),
    (["shift+Tab"], box("Form1", "Text1", "")),
    (["3", "Tab"], button("Form1", "Command1")),
    (["space"], warning("Form8")),
    (["space"], window("Form1") + button("Form1", "Command1")),
    (["shift+Tab"], box("Form1", "Text1", "3")),
    (["2", "5", "Tab"], button("Form1", "Command1")),
    (["space"], window("Form2") + button("Form2", "Command1")),
    (["space"], window("Form6") + box("Form6", "Text1", "")),
    (["2", "0", "6", "4", "Tab"], button("Form6", "Command1")),
    (["space"], announced("Form6", "21", "79")),
    (["shift+Tab"], box("Form6", "Text1", "2064")),
    (["5", "0", "Tab"], button("Form6", "Command1")),
    (["space"], warning("Form7")),
    (["space"], window("Form6") + button("Form6", "Command1")),
    (["Tab", "Tab"], button("Form6", "Command3")),
    (["space"], window("Form9") + button("Form9", "Command6")),
    (["shift+Tab"], box("Form9", "Text1", "0")),
    (["5", "shift+Tab"], box("Form9", "Text2", "0")),
    (["Tab"], box("Form9", "Text1", "5")),
    (["Tab", "Tab", "Tab"], button("Form9", "Command4")),
    (["space"], alert(FAILURE["title"], FAILURE["messages"]["DivisionByZero"], FAILURE["button"])),
    (["space"], window("Form9") + button("Form9", "Command4")),
    (["shift+Tab"] * 4, box("Form9", "Text2", "0")),
    (["3", "Tab", "Tab", "Tab", "Tab"], button("Form9", "Command4")),
    (["space"], announced("Form9", "1.66666666666667")),
    # F6 and Shift+F6 over every stop while the puzzle and the calculator are
    # open: each window, to the control that had its focus, the list (at the
    # active window's entry), the browser's address bar and back.
    (["shift+F6"], window("Form6") + button("Form6", "Command3")),
    (["F6"], window("Form9") + button("Form9", "Command4")),
    (["F6"], entry("Form9")),
    (["F6"], [ADDRESS]),
    (BACK_INTO_PAGE, entry("Form9")),
    (["shift+F6"], window("Form9") + button("Form9", "Command4")),
    (["shift+F6"], window("Form6") + button("Form6", "Command3")),
    (["shift+F6"], entry("Form6")),
    (["F6"], [ADDRESS]),
    (["shift+F6"], entry("Form6")),
    (["shift+F6"], window("Form9") + button("Form9", "Command4")),
    (["shift+Tab", "shift+Tab"], button("Form9", "Command6")),
    (["space"], window("Form6") + button("Form6", "Command3")),
    (["shift+Tab"], button("Form6", "Command2")),
    (["space"], window("Form2") + button("Form2", "Command1")),
    (["Tab"], button("Form2", "Command2")),
    (["space"], window("Form5") + button("Form5", "Command1")),
    (["space"], window("Form2") + button("Form2", "Command1")),
    (["Tab", "Tab"], button("Form2", "Command3")),
    (["space"], window("Form3") + button("Form3", "Command1")),
    (["Tab"], button("Form3", "Command2")),
    (["space"], window("Form4") + button("Form4", "Command1")),
    # The program ends: the page says so, and offers to start again.
    (["space"], [f"{PAGE['restart']} {WORDS['push button']}.", PAGE["ended"]]),
]


def browser(work, env, url):
    profile = os.path.join(work, "profile")
    os.makedirs(profile)
    env = dict(env)
    if BROWSER.startswith("chromium"):
        os.makedirs(os.path.join(profile, "Default"))
        # Or Orca reads "Translate this page?" first.
        with open(os.path.join(profile, "Default", "Preferences"), "w") as prefs:
            json.dump({"translate": {"enabled": False}}, prefs)
        command = ["/usr/bin/chromium", f"--user-data-dir={profile}", "--no-first-run",
                   "--no-default-browser-check", "--password-store=basic"]
        if BROWSER == "chromium":
            command.append("--force-renderer-accessibility")
        # Chromium's sandbox refuses to run as root.
        if os.geteuid() == 0:
            command.append("--no-sandbox")
    else:
        with open(os.path.join(profile, "user.js"), "w") as prefs:
            for name, value in [("browser.shell.checkDefaultBrowser", "false"),
                                ("browser.startup.homepage_override.mstone", '"ignore"'),
                                ("startup.homepage_welcome_url", '""'),
                                ("browser.aboutwelcome.enabled", "false"),
                                ("datareporting.policy.dataSubmissionEnabled", "false"),
                                ("toolkit.telemetry.reportingpolicy.firstRun", "false"),
                                ("browser.translations.enable", "false"),
                                ("browser.translations.automaticallyPopup", "false"),
                                ("browser.newtab.preload", "false"),
                                ("browser.sessionstore.resume_from_crash", "false"),
                                ("app.update.auto", "false")]:
                prefs.write(f'user_pref("{name}", {value});\n')
        command = ["/usr/bin/firefox-esr", "--no-remote", "--new-instance", "--profile", profile]
        env["GNOME_ACCESSIBILITY"] = "1"
    return orca_desk.start(command + [url], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    failures = []
    with tempfile.TemporaryDirectory() as work:
        try:
            env = orca_desk.desktop(work, LOCALE)
            server = orca_desk.start(["node", os.path.join(HERE, "..", "..", "web", "serve.mjs"),
                                      SITE, PORT], stdout=subprocess.PIPE, text=True)
            url = server.stdout.readline().split()[-1]
            print("serving", url)
            orca = orca_desk.Orca(work, env, 1)
            browser(work, env, url)
            # Chromium started without its accessibility flag reports one
            # load as finished twice, 0.8 s apart, and Orca says so each time.
            # Every other line still may not repeat.
            orca_desk.walk(orca, env, ROAD, failures, may_repeat=lambda line: (
                BROWSER == "chromium-plain" and line.startswith(WORDS["loaded"])))
            print("\n".join(orca.heard()))
        finally:
            if os.environ.get("KEEP_DEBUG"):
                subprocess.run(["cp", "-r", work, os.environ["KEEP_DEBUG"]])
            orca_desk.stop_all()
    print(f"{BROWSER} in {LOCALE}: {len(failures)} steps failed")
    return 1 if failures else 0


sys.exit(main())
