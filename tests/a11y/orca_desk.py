# SPDX-License-Identifier: GPL-3.0-or-later
"""A private desktop with the Orca screen reader on it, for the roads that
hear the program as a blind user does (orca_road.py for the desktop program,
orca_web_road.py for the page): Xvfb, a D-Bus session, the accessibility bus
and openbox; Orca with its own settings and a debug file whose 'SPEECH
OUTPUT' lines are what it said; keys typed with xdotool; and the check of
what was heard against a road's table. Everything started here is stopped
by its process id."""
import os
import re
import signal
import subprocess
import time

# After a key, Orca's first words came within 0.4 s and its last within
# 0.8 s on an idle machine; a step is over once what it must say was heard
# and then nothing more for QUIET seconds. With both cores busy, a sanitized
# program and Orca took over 10 s for some steps: PATIENCE is only how long
# a step that goes wrong is waited for.
QUIET = 0.6
PATIENCE = 40
STARTING = 90
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)'(?: voice=\S+)? ?\{")

# Orca's own start-up refuses to run while any process of the same user is
# named "orca" (it looks with pgrep), although each desktop here has its own
# buses and Orca only ever talks to its own. So Orca's main runs under its
# usual arguments with that one check left out and its process keeps the name
# python3: two roads, or a road and the user's own Orca, never see each other.
ORCA = """import runpy, sys
sys.argv = ["orca"] + sys.argv[1:]
main = runpy.run_path("/usr/bin/orca", run_name="orca_on_its_own_bus")["main"]
main.__globals__["otherOrcas"] = lambda: []
main.__globals__["setProcessName"] = lambda name: None
sys.exit(main())
"""

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


def stop_all():
    for process in reversed(started):
        stop(process)


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


def program_env(env):
    """The environment for the program under test: only it gets the
    sanitizer check's settings. It alone is built with the sanitizers, and it
    reports where the check says, with its suppressions, as under every other
    test."""
    return dict(env, **{name: os.environ[name] for name in
                        ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS") if name in os.environ})


def locale_missing(locale):
    return locale != "C.UTF-8" and locale.lower().replace("utf-8", "utf8") not in \
        subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.lower().split()


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
        # The interpreter Orca's own script names, which has its modules.
        with open("/usr/bin/orca") as script:
            python = script.readline()[2:].split()
        self.process = start(python + ["-c", ORCA, "-u", prefs, "--debug-file", self.path],
                             env=env, log=os.path.join(work, f"orca-{run}.log"))
        self.read = 0
        # Its first words say that it is on, in its own language.
        wait_until(lambda: self.heard(0), 120, "Orca to start", self.process)
        self.read = 1

    def text(self):
        with open(self.path, "rb") as debug:
            return debug.read().decode("utf-8", "replace")

    def heard(self, since=None):
        lines = SPEECH.findall(self.text())
        return lines[self.read if since is None else since:]

    def listen(self, expected, quiet=QUIET, patience=PATIENCE):
        """Returns what Orca said since the last call, waiting until the
        expected lines were said, in order, and then `quiet` seconds of silence."""
        end = time.time() + patience
        count, quiet_since = -1, time.time()
        while time.time() < end:
            heard = self.heard()
            if len(heard) != count:
                count, quiet_since = len(heard), time.time()
            elif contains(heard, expected) and time.time() - quiet_since >= quiet:
                break
            time.sleep(0.05)
        heard = self.heard()
        self.read += len(heard)
        return heard


def plain(line):
    """A line as it sounds: without the blanks around it and the direction
    marks, which are not spoken."""
    return line.replace("\u200e", "").replace("\u200f", "").strip()


def said_as(line, want):
    """Whether a line heard is the one expected: the same text as it sounds,
    or, for a pattern, one it matches whole (a browser's own words, which
    change with its version and language)."""
    if isinstance(want, re.Pattern):
        return want.fullmatch(plain(line)) is not None
    return plain(line) == plain(want)


def contains(heard, expected):
    """Whether the expected lines occur in heard, in this order."""
    lines = iter(heard)
    return all(any(said_as(line, want) for line in lines) for want in expected)


def press(env, key):
    subprocess.run(["xdotool", "key", key], env=env, check=True)


def walk(orca, env, road, failures, before_key=None, may_repeat=lambda line: False):
    """Types each step's keys and checks that Orca said the step's lines in
    order, and nothing twice running but the lines may_repeat lets through;
    appends failed steps to failures."""
    for keys, expected in road:
        for key in keys:
            if before_key:
                before_key()
            press(env, key)
            time.sleep(0.15)
        # A step without keys waits for a program or a browser to start,
        # which a busy machine makes slow.
        heard = orca.listen(expected, patience=PATIENCE if keys else STARTING)
        # Key echoes end with a blank; anything else said twice running is
        # noise, and so is an expected line said twice in one step (a window
        # or an alert read over again).
        repeated = [a for a, b in zip(heard, heard[1:])
                    if a == b and not a.endswith(" ") and not may_repeat(a)]
        repeated += [want for want in expected
                     if not (isinstance(want, str) and may_repeat(want)) and
                     sum(said_as(line, want) for line in heard) > 1]
        if not contains(heard, expected) or repeated:
            failures.append(keys)
            print(f"FAIL after {' '.join(keys) or 'start'}:\n  expected {expected}\n  heard    {heard}")
            if not heard:
                print("FAIL: Orca hears nothing from the program any more")
                return False
        else:
            print(f"ok   {' '.join(keys) or 'start'}: {heard}")
    return True


def desktop(work, locale):
    """Xvfb, a D-Bus session, the accessibility bus and openbox; returns the
    environment of programs started on that desktop."""
    # With several X servers starting at once on a machine, the display
    # named may not answer; another server is then started.
    for attempt in range(5):
        read, write = os.pipe()
        # -noreset: by default the server resets whenever its last client
        # leaves, and drops every client whose connection is not yet set up.
        # Each xprop below is such a last client until the window manager is
        # in, so a window manager that connected just then was dropped and
        # could not open the display, the more often the busier the machine.
        # A reset also wipes the accessibility bus's address that its
        # launcher put on the root window.
        server = start(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x900x24",
                        "-nolisten", "tcp", "-noreset"],
                       pass_fds=[write], log=os.path.join(work, f"xvfb-{attempt}.log"))
        os.close(write)
        with os.fdopen(read) as display:
            number = display.readline().strip()
        answers = ["xprop", "-display", f":{number}", "-root", "_NET_SUPPORTED"]
        try:
            wait_until(lambda: number and server.poll() is None and subprocess.run(
                answers, capture_output=True).returncode == 0, 10, f"display :{number}")
            break
        except RuntimeError:
            stop(server)
    else:
        raise RuntimeError("no X server answered")
    home = os.path.join(work, "home")
    runtime = os.path.join(home, "runtime")
    os.makedirs(runtime, mode=0o700)
    env = {"PATH": os.environ["PATH"], "DISPLAY": f":{number}", "HOME": home,
           "XDG_RUNTIME_DIR": runtime, "XDG_CONFIG_HOME": os.path.join(home, "config"),
           "XDG_DATA_HOME": os.path.join(home, "data"), "XDG_CACHE_HOME": os.path.join(home, "cache"),
           "LANG": locale, "LC_ALL": locale, "LANGUAGE": "", "QT_QPA_PLATFORM": "xcb"}
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
