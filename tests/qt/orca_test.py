#!/usr/bin/python3
"""The Linux program heard through Orca, as a blind user hears it.

Runs Orca, speech-dispatcher (its generic module writing each utterance to a file),
openbox and the real program on a private Xvfb screen and session bus, types and clicks
as a user does, and checks that what the display shows after each action is spoken.
Every wait is bounded; only the processes started here are ended, by pid.
"""
import argparse
import fcntl
import os
import re
import subprocess
import sys
import tempfile

import atspi_test as common
from atspi_test import wait_for

SPEECHD_CONF = """\
AudioOutputMethod "alsa"
AudioALSADevice "null"
AddModule "generic" "sd_generic" "generic.conf"
DefaultModule generic
DefaultLanguage "en"
"""
GENERIC_CONF = """\
GenericExecuteSynth "printf '%%s\\\\n' '$DATA' >> %s"
GenericLanguage "en" "en" "utf-8"
AddVoice "en" "MALE1" "speech-file"
DefaultVoice "speech-file"
"""


class Speech:
    """The utterances written so far; each check reads only those after its action."""

    def __init__(self, path):
        self.path = path
        self.seen = 0

    def lines(self):
        try:
            with open(self.path, encoding="utf-8", errors="replace") as f:
                return [line.strip() for line in f if line.strip()]
        except FileNotFoundError:
            return []

    def expect(self, action, wanted):
        """Waits until an utterance after the last action holds every word of `wanted`."""
        words = lambda utterance: re.findall(r"[^\s,.，。]+", utterance)
        said = lambda: [u for u in self.lines()[self.seen:] if set(wanted) <= set(words(u))]
        found = wait_for("Orca to say %s after %s" % (" ".join(wanted), action), said)
        # What the speech of the keys trails after the match belongs to this action too.
        common.pump(0.3)
        heard = self.lines()[self.seen:]
        self.seen += len(heard)
        print("%-28s Orca: %s" % (action, " | ".join(heard)))
        if not found:
            print("  expected %s" % wanted, file=sys.stderr)

    def refuse(self, action, word, seconds=2):
        """Fails if an utterance in the next seconds after the action holds `word`."""
        common.pump(seconds)
        heard = self.lines()[self.seen:]
        self.seen += len(heard)
        print("%-28s Orca: %s" % (action, " | ".join(heard)))
        if any(word in re.findall(r"[^\s,.，。]+", u) for u in heard):
            common.fail("Orca said %s after %s" % (word, action))


def start(command, env):
    return subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, preexec_fn=common.die_with_parent)


def evaluated(eval_path, text):
    return subprocess.run([eval_path, "--", text], capture_output=True, text=True).stdout.strip()


def run(args, env, speech, calc):
    xdotool = lambda *a: subprocess.run(["xdotool", *a], env=env, check=True,
                                        timeout=common.WAIT_SECONDS)
    frame = wait_for("the frame", lambda: common.find_frame(calc.pid))
    if frame is None:
        return
    speech.expect("start", [frame.get_name()])
    keys = {n.get_name(): n for n in common.descendants(frame)
            if n.get_role() == common.Atspi.Role.PUSH_BUTTON}

    results = []
    for action, presses, expression in [("2 + 3 Return", "2 plus 3 Return", "2+3"),
                                        ("7 * 8 Return", "7 asterisk 8 Return", "7*8"),
                                        ("Escape 1 / 0 Return", "Escape 1 slash 0 Return", "1/0")]:
        xdotool("key", "--delay", "100", *presses.split())
        results.append(evaluated(args.eval, expression))
        speech.expect(action, [results[-1]])

    # The mouse, at the middle of each key as AT-SPI places it on the screen.
    for name in ["9", "+", "1", "="]:
        xdotool("mousemove", "--sync", *center(keys[name]), "click", "1")
    results.append(evaluated(args.eval, "9+1"))
    speech.expect("click 9 + 1 =", [results[-1]])

    xdotool("key", "--delay", "100", "Escape", "1", "2", "plus", "3")
    speech.expect("Escape 1 2 + 3", ["3"])
    xdotool("key", "ctrl+h")
    speech.expect("Ctrl+H", ["历史记录", str(len(results))])
    xdotool("key", "F6")
    speech.expect("F6", ["历史记录"])

    # Back from the pane, the caret's moves are heard: the character at the caret.
    xdotool("key", "F6")
    common.pump(1)
    xdotool("key", "Left")
    speech.expect("F6 Left", ["3"])

    # The modes and the memory, which no text on the screen tells at once.
    # Off the key after each click: a --sync move to where the pointer already is waits forever.
    click = lambda name: xdotool("mousemove", "--sync", *center(keys[name]), "click", "1",
                                 "mousemove_relative", "--sync", "5", "5")
    for name, wanted in [("2nd", ["第二功能", "开"]), ("2nd", ["第二功能", "关"]), ("Rad", ["角度"]),
                         ("Rad", ["弧度"]), ("mc", ["存储已清除"])]:
        click(name)
        speech.expect("click " + name, wanted)
    for typed, name, memory in [("7", "m+", "7"), ("2", "m-", "7-2")]:
        xdotool("key", "--delay", "100", "Escape", typed)
        click(name)
        speech.expect("%s, click %s" % (typed, name), ["存储", evaluated(args.eval, memory)])

    # The expression line says what the text comes to, and is not heard while typing.
    lines = lambda: [n for n in common.descendants(frame) if n.get_role() == common.Atspi.Role.LABEL
                     and n.get_state_set().contains(common.Atspi.StateType.SHOWING)]
    if not lines():
        xdotool("key", "Menu", "sleep", "0.5", "key", "Up", "Return")  # 显示算式行, the last item
    line = wait_for("the expression line", lambda: lines()[0] if lines() else None)
    result = evaluated(args.eval, "12+4*5")
    xdotool("key", "--delay", "100", "Escape", "1", "2", "plus", "4", "asterisk", "5")
    if line is not None and not wait_for("the line to show %s" % result,
                                         lambda: result in line.get_name().split()):
        common.fail("the expression line says %r" % line.get_name())
    speech.refuse("12+4*5, the line on", result)
    xdotool("key", "Return")
    speech.expect("Return", [result])


def center(node):
    box = node.get_extents(common.Atspi.CoordType.SCREEN)
    return str(box.x + box.width // 2), str(box.y + box.height // 2)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--calc", required=True)
    parser.add_argument("--eval", required=True)
    args = parser.parse_args()
    common.enter_private_session()

    work = tempfile.mkdtemp(prefix="vorlane-orca.", dir=os.environ["XDG_RUNTIME_DIR"])
    speech = Speech(os.path.join(work, "speech.txt"))
    os.makedirs(os.path.join(work, "speechd", "modules"))
    with open(os.path.join(work, "speechd", "speechd.conf"), "w") as f:
        f.write(SPEECHD_CONF)
    with open(os.path.join(work, "speechd", "modules", "generic.conf"), "w") as f:
        f.write(GENERIC_CONF % speech.path)
    socket = os.path.join(work, "speechd.sock")

    # Orca refuses to start while another Orca of the same user runs, as one of another
    # test run would: runs side by side (presets, developers) take their turns.
    turn = open(os.path.join(tempfile.gettempdir(), "vorlane-orca-%d.lock" % os.getuid()), "w")
    fcntl.flock(turn, fcntl.LOCK_EX)

    xvfb, display = common.start_xvfb()
    env = dict(os.environ, DISPLAY=display, LC_ALL="C.UTF-8", QT_QPA_PLATFORM="xcb",
               SPEECHD_ADDRESS="unix_socket:" + socket)
    env.pop("WAYLAND_DISPLAY", None)
    started = []
    try:
        started.append(start(["openbox", "--sm-disable"], env))
        started.append(start(["speech-dispatcher", "--run-single", "--timeout", "0",
                              "--config-dir", os.path.join(work, "speechd"),
                              "--log-dir", work, "--communication-method", "unix_socket",
                              "--socket-path", socket], env))
        wait_for("speech-dispatcher", lambda: os.path.exists(socket))
        common.enable_accessibility()
        started.append(start(["orca"], env))
        speech.expect("Orca starts", ["Screen", "reader", "on"])
        calc = start([args.calc], env)
        started.append(calc)
        run(args, env, speech, calc)
    finally:
        for process in reversed(started):
            common.stop(process)
        common.stop(xvfb)
    if common.failures:
        sys.exit("%d failures" % len(common.failures))
    print("passed")


if __name__ == "__main__":
    main()
