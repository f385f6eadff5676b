#!/usr/bin/python3
"""The Linux program on a headless sway, typed at with wtype, a virtual keyboard with a keymap
of its own; the display read through Ctrl+C and wl-paste. sway refuses root: as root, all runs
as the user scripts/setup creates. Waits are bounded; the children die with this script."""
import argparse
import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import time

WAIT_SECONDS = 10


def wait_for(probe):
    """probe() until it gives something true, at most WAIT_SECONDS."""
    end = time.monotonic() + WAIT_SECONDS
    while not (value := probe()) and time.monotonic() < end:
        time.sleep(0.1)
    return value


def main():
    parser = argparse.ArgumentParser()
    for option in ["--calc", "--eval", "--screenshots"]:
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="vorlane-wayland.") as runtime:
        as_user = ["setpriv", "--pdeathsig", "KILL"]
        if os.getuid() == 0:
            user = pwd.getpwnam("vorlane-test")
            os.chown(runtime, user.pw_uid, user.pw_gid)
            as_user += ["--reuid", str(user.pw_uid), "--regid", str(user.pw_gid), "--clear-groups"]
        env = {"PATH": "/usr/bin:/bin", "HOME": runtime, "XDG_RUNTIME_DIR": runtime,
               "LC_ALL": "C.UTF-8"}
        started = []

        def start(*command, **more_env):
            started.append(subprocess.Popen(as_user + list(command), env=dict(env, **more_env)))

        def run(*command):
            return subprocess.run(as_user + list(command), env=env, capture_output=True,
                                  timeout=WAIT_SECONDS).stdout

        def clipboard():
            return run("wl-paste", "--no-newline").decode()

        def evaluated(text):
            return subprocess.run([args.eval, "--", text], capture_output=True,
                                  text=True).stdout.strip()

        def expect_shown(text, after):
            expect_text(evaluated(text), after)

        def expect_text(expected, after):
            def copied():
                run("wtype", "-M", "ctrl", "c", "-m", "ctrl")
                return clipboard() == expected

            seen = expected if wait_for(copied) else clipboard()
            print("%s -> %r" % (after, seen))
            if seen != expected:
                sys.exit("FAIL: %s: display %r, expected %r" % (after, seen, expected))

        try:
            with open(os.path.join(runtime, "config"), "w") as config:
                config.write("xwayland disable\n")
            start("sway", "-c", config.name, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                  WLR_RENDERER="pixman")
            sockets = wait_for(lambda: [n for n in os.listdir(runtime)
                                        if n.startswith("wayland-") and not n.endswith(".lock")])
            if not sockets:
                sys.exit("FAIL: sway did not start")
            env["WAYLAND_DISPLAY"] = sockets[0]
            # A desktop's keyboard stays. Without one the seat gains a keyboard with each wtype,
            # and its first key is gone before the window has asked for the new keyboard.
            start("wtype", "-s", "3600000")
            # A copy in the runtime folder, which the test user can reach.
            start(shutil.copy(args.calc, runtime), QT_QPA_PLATFORM="wayland")

            expect_shown("0", "start")  # the window is up once Ctrl+C copies its start text
            run("wtype", "12+3*4", "-k", "Return")
            expect_shown("12+3*4", "12+3*4 Return")
            run("wtype", "-k", "Escape")
            start("wl-copy", "--foreground", "7*6")
            wait_for(lambda: clipboard() == "7*6")
            run("wtype", "-M", "ctrl", "v", "-m", "ctrl", "-k", "Return")
            expect_shown("7*6", "7*6 pasted, Return")
            run("wtype", "-k", "Escape", "2^10=")
            expect_shown("2^10", "2^10=")

            # Editing at the caret; Ctrl+C copies the whole text while nothing is selected.
            result = evaluated("(12+4*5)")
            for keys, shown in [(["-k", "Escape", "12+34*5", *["-k", "Left"] * 3, "-k", "BackSpace"],
                                 "12+4*5"),
                                (["-k", "Home", "(", "-k", "End", ")"], "(12+4*5)"), (["="], result),
                                (["-M", "ctrl", "z", "-m", "ctrl"], "(12+4*5)"),
                                (["-M", "ctrl", "y", "-m", "ctrl"], result),
                                (["-k", "Escape", "-k", "Up"], "(12+4*5)")]:
                run("wtype", *keys)
                expect_text(shown, " ".join(keys))

            png = run("grim", "-")
            os.makedirs(args.screenshots, exist_ok=True)
            with open(os.path.join(args.screenshots, "wayland-qt.png"), "wb") as f:
                f.write(png)
            if not png.startswith(b"\x89PNG"):
                sys.exit("FAIL: grim took no screenshot")
        finally:
            for process in reversed(started):
                process.kill()
                process.wait()


if __name__ == "__main__":
    main()
