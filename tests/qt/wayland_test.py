#!/usr/bin/python3
"""The Linux program on a Wayland desktop, typed at by a virtual keyboard.

Runs a headless sway, the real program on it and wtype, the virtual keyboard of on-screen
keyboards and input tools, which brings a keymap of its own with every run. The display is
read through the Wayland clipboard: Ctrl+C, then wl-paste. sway refuses to run as root, so
as root everything runs as the user that scripts/setup creates. Every wait is bounded; only
the processes started here are ended, by pid.
"""
import argparse
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WAIT_SECONDS = 10
TEST_USER = "vorlane-test"


class Session:
    def __init__(self, runtime):
        self.runtime = runtime
        self.processes = []
        self.env = {"PATH": "/usr/bin:/bin", "HOME": runtime, "XDG_RUNTIME_DIR": runtime,
                    "LC_ALL": "C.UTF-8"}
        self.prefix = ["setpriv", "--pdeathsig", "KILL"]
        if os.getuid() == 0:
            try:
                user = pwd.getpwnam(TEST_USER)
            except KeyError:
                sys.exit("no user %s: scripts/setup test creates it" % TEST_USER)
            os.chown(runtime, user.pw_uid, user.pw_gid)
            self.prefix += ["--reuid", str(user.pw_uid), "--regid", str(user.pw_gid), "--clear-groups"]

    def start(self, *command, **env):
        log = open(os.path.join(self.runtime, os.path.basename(command[0]) + ".log"), "ab")
        process = subprocess.Popen(self.prefix + list(command), env=dict(self.env, **env),
                                   stdout=log, stderr=log, stdin=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def run(self, *command):
        return subprocess.run(self.prefix + list(command), env=self.env, capture_output=True,
                              timeout=WAIT_SECONDS)

    def stop_all(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()


def wait_for(probe):
    """probe() until it gives something true; the last value after the bounded wait."""
    end = time.monotonic() + WAIT_SECONDS
    while True:
        value = probe()
        if value or time.monotonic() > end:
            return value
        time.sleep(0.1)


def start_sway(session):
    config = os.path.join(session.runtime, "config")
    with open(config, "w") as f:
        f.write("xwayland disable\n")
    session.start("sway", "-c", config, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                  WLR_RENDERER="pixman")
    sockets = lambda: [n for n in os.listdir(session.runtime)
                       if n.startswith("wayland-") and not n.endswith(".lock")]
    found = wait_for(sockets)
    if not found:
        sys.exit("sway did not start: " + open(os.path.join(session.runtime, "sway.log")).read())
    session.env["WAYLAND_DISPLAY"] = found[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--calc", required=True)
    parser.add_argument("--eval", required=True)
    parser.add_argument("--screenshots", required=True)
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    failures = []

    with tempfile.TemporaryDirectory(prefix="vorlane-wayland.") as runtime:
        session = Session(runtime)
        try:
            start_sway(session)
            # A desktop's keyboard stays: without one, the seat gains and loses a keyboard with
            # each wtype, and the first key reaches no window before it asks for the new one.
            session.start("wtype", "-s", "3600000")
            # A copy the test user can reach, wherever the build tree is.
            calc = os.path.join(runtime, "vorlane-calc")
            shutil.copy(args.calc, calc)
            session.start(calc, QT_QPA_PLATFORM="wayland")

            def clipboard():
                return session.run("wl-paste", "--no-newline").stdout.decode()

            def shown():
                session.run("wtype", "-M", "ctrl", "c", "-m", "ctrl")
                return clipboard()

            def expect_shown(text, after):
                expected = subprocess.run([args.eval, "--", text], capture_output=True,
                                          text=True).stdout.strip()
                seen = expected if wait_for(lambda: shown() == expected) else clipboard()
                print("%s -> %r" % (after, seen))
                if seen != expected:
                    failures.append("%s: display %r, expected %r" % (after, seen, expected))

            # The window is up once Ctrl+C copies its start text.
            expect_shown("0", "start")
            session.run("wtype", "12+3*4", "-k", "Return")
            expect_shown("12+3*4", "12+3*4 Return")
            session.run("wtype", "-k", "Escape")
            session.start("wl-copy", "--foreground", "7*6")
            if wait_for(lambda: clipboard() == "7*6"):
                session.run("wtype", "-M", "ctrl", "v", "-m", "ctrl", "-k", "Return")
                expect_shown("7*6", "7*6 pasted, Return")
            else:
                failures.append("wl-copy did not set the clipboard")
            session.run("wtype", "-k", "Escape", "2^10=")
            expect_shown("2^10", "2^10=")

            png = session.run("grim", "-").stdout
            if not png.startswith(b"\x89PNG"):
                failures.append("grim took no screenshot")
            os.makedirs(args.screenshots, exist_ok=True)
            with open(os.path.join(args.screenshots, "wayland-qt.png"), "wb") as f:
                f.write(png)
        finally:
            session.stop_all()
        if failures:
            for name in ["sway.log", "vorlane-calc.log"]:
                print("== " + name + "\n" + open(os.path.join(runtime, name), errors="replace").read())
    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
