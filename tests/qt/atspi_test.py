#!/usr/bin/python3
"""The Linux program seen from outside, as a screen reader and a keyboard see it.

Runs the real program on a private Xvfb screen, inside a private session bus
(dbus-run-session) with the AT-SPI registry, and checks either the accessibility tree
("tree"), what the top-row and keypad keys enter on US, French and German layouts
("layouts"), the history across restarts ("restart"), the history pane from the
keyboard as a screen reader hears it ("history"), or a full disk told in the title and the
entry saved once there is room ("saving": a tmpfs in a mount namespace of its own, skipped
with exit status 77 where that is refused). Every program starts on an empty
profile (XDG folders of its own). Every wait is bounded; only the processes started here
are ended, by pid.
"""
import argparse
import ctypes
import os
import re
import select
import signal
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

WAIT_SECONDS = 10
failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message, file=sys.stderr)


def pump(seconds):
    """Lets the event listeners run for a while."""
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def wait_for(what, probe, seconds=WAIT_SECONDS):
    """probe() until it gives something true; None after the bounded wait."""
    end = time.monotonic() + seconds
    while True:
        try:
            value = probe()
        except GLib.Error:
            value = None
        if value:
            return value
        if time.monotonic() > end:
            fail("timed out waiting for " + what)
            return None
        pump(0.05)


def die_with_parent():
    """Runs in each child: ends it when this script ends, however it ends."""
    pr_set_pdeathsig = 1
    ctypes.CDLL(None, use_errno=True).prctl(pr_set_pdeathsig, signal.SIGKILL)


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-noreset", "-screen", "0", "1024x768x24",
         "-nolisten", "tcp"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        preexec_fn=die_with_parent)
    os.close(write_end)
    number = b""
    end = time.monotonic() + WAIT_SECONDS
    while not number.endswith(b"\n") and time.monotonic() < end:
        ready, _, _ = select.select([read_end], [], [], 1)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip():
        stop(xvfb)
        sys.exit("Xvfb did not start")
    return xvfb, ":" + number.decode().strip()


def enter_private_session():
    """Runs this script again inside a private session bus, and exits with its status."""
    # A test runner's timeout ends this script through SIGTERM: still end what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("terminated"))
    if os.environ.get("VORLANE_ATSPI_BUS") == "private":
        return
    # The bus launcher keeps its socket in the runtime folder: one folder per run, so
    # that runs side by side do not share a bus.
    with tempfile.TemporaryDirectory(prefix="vorlane-atspi.") as runtime:
        env = dict(os.environ, VORLANE_ATSPI_BUS="private", XDG_RUNTIME_DIR=runtime,
                   XDG_CACHE_HOME=runtime, XDG_CONFIG_HOME=runtime, XDG_DATA_HOME=runtime,
                   XDG_STATE_HOME=runtime)
        inner = subprocess.run(["dbus-run-session", "--", sys.executable, *sys.argv], env=env)
    sys.exit(inner.returncode)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def enable_accessibility():
    """What a screen reader does on start: tells toolkits that somebody listens."""
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    bus.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", True))),
                  None, Gio.DBusCallFlags.NONE, 10000, None)


def read_table(path):
    """The title, the keys of each mode, and the keyboard overview: its title and its rows
    as a two-column table shows them, each group's title above the group's rows."""
    title = None
    modes = {}
    overview = {"rows": []}
    for line in subprocess.run([path], check=True, capture_output=True, text=True).stdout.splitlines():
        fields = line.split("\t")
        if fields[0] == "title":
            title = fields[1]
        elif fields[0] == "overview":
            overview["title"] = fields[1]
        elif fields[0] == "group":
            overview["rows"].append((fields[1], ""))
        elif fields[0] == "row":
            overview["rows"].append((fields[1], fields[2]))
        else:
            modes.setdefault((fields[1] == "1", fields[2] == "1"), []).append(tuple(fields[3:6]))
    return title, modes, overview


def evaluated(eval_path, text, *options):
    return subprocess.run([eval_path, *options, "--", text], capture_output=True, text=True).stdout.strip()


def app_frames(pid):
    """The program's windows, the main one first."""
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return [app.get_child_at_index(j) for j in range(app.get_child_count())]
    return []


def find_frame(pid):
    frames = app_frames(pid)
    return frames[0] if frames else None


def descendants(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


class Window:
    def __init__(self, frame):
        self.frame = frame
        self.keys = [n for n in descendants(frame) if n.get_role() == Atspi.Role.PUSH_BUTTON]
        texts = [n for n in descendants(frame) if "Text" in n.get_interfaces()]
        self.display = texts[0] if len(texts) == 1 else None
        if self.display is None:
            fail("expected one text object, found %d" % len(texts))

    def key_table(self):
        """Name, description and the press action's key binding (what to type) of each key."""
        return [(k.get_name(), k.get_description(), Atspi.Action.get_key_binding(k, 0))
                for k in self.keys]

    def shown(self):
        return Atspi.Text.get_text(self.display, 0, Atspi.Text.get_character_count(self.display))

    def press(self, name):
        for key in self.keys:
            if key.get_name() == name:
                Atspi.Action.do_action(key, 0)
                return
        fail("no key named " + name)

    def expect_shown(self, expected, after):
        if wait_for("display %r after %s" % (expected, after), lambda: self.shown() == expected) is None:
            fail("display shows %r after %s, expected %r" % (self.shown(), after, expected))


def check_tree(args, pid, display):
    title, modes, overview = read_table(args.table)
    frame = wait_for("the frame", lambda: find_frame(pid))
    if frame is None:
        return
    if frame.get_role() != Atspi.Role.FRAME:
        fail("window role is %s, not frame" % frame.get_role_name())
    if frame.get_name() != title:
        fail("frame named %r, not %r" % (frame.get_name(), title))
    window = Window(frame)
    if window.display is None:
        return
    print("frame %r: %d push buttons, display %s %r" % (
        frame.get_name(), len(window.keys), window.display.get_role_name(), window.shown()))
    if window.display.get_state_set().contains(Atspi.StateType.EDITABLE):
        fail("the display is editable")

    heard = []

    def hear(event):
        if event.source == window.display or event.source.get_role() == window.display.get_role():
            heard.append((event.type, event.any_data if isinstance(event.any_data, str) else None,
                          event.source.get_name()))

    listener = Atspi.EventListener.new(hear)
    listener.register("object:text-changed:insert")
    listener.register("object:property-change:accessible-name")

    # The modes in the order the presses reach them: (second, radians).
    steps = [(None, (False, True)), ("2nd", (True, True)), ("Rad", (True, False)),
             ("2nd", (False, False)), ("Deg", (False, True))]
    for press, mode in steps:
        if press:
            window.press(press)
        if wait_for("keys of mode %s" % (mode,), lambda: window.key_table() == modes[mode]) is None:
            fail("mode %s: keys %s" % (mode, window.key_table()))
    for name, description, binding in window.key_table()[:10]:
        print("  push button %r: %r, keys %r" % (name, description, binding))

    for name in ["2", "+", "3"]:
        window.press(name)
    window.expect_shown("2+3", "2 + 3")
    heard.clear()
    window.press("=")
    result = evaluated(args.eval, "2+3")
    window.expect_shown(result, "=")
    announced = lambda kind: any(t.startswith(kind) and (data == result or name == result)
                                 for t, data, name in heard)
    if not wait_for("the result announced", lambda: announced("object:text-changed:insert")):
        fail("no text-changed event with %r: %s" % (result, heard))
    if not wait_for("the new name announced", lambda: announced("object:property-change:accessible-name")):
        fail("no name-changed event with %r: %s" % (result, heard))
    listener.deregister("object:text-changed:insert")
    listener.deregister("object:property-change:accessible-name")
    check_overview(overview, pid, display)


def check_overview(overview, pid, display):
    """F1 opens a frame of its own whose table reads every row of the overview."""
    env = dict(os.environ, DISPLAY=display)
    focus_window(env, pid)
    subprocess.run(["xdotool", "key", "F1"], env=env, check=True, timeout=WAIT_SECONDS)
    frame = wait_for("a frame %r" % overview["title"], lambda: [
        f for f in app_frames(pid) if f.get_name() == overview["title"] and f.get_role() == Atspi.Role.FRAME])
    tables = [n for n in descendants(frame[0]) if "Table" in n.get_interfaces()] if frame else []
    rows = [tuple(Atspi.Table.get_accessible_at(tables[0], r, c).get_name() for c in range(2))
            for r in range(Atspi.Table.get_n_rows(tables[0]))] if tables else []
    if rows != overview["rows"]:
        fail("the overview reads %s, expected %s" % (rows, overview["rows"]))
    print("overview: %d rows" % len(rows))


def focus_window(env, pid):
    """Gives the program's window the keyboard focus."""
    for wid in subprocess.run(["xdotool", "search", "--sync", "--pid", str(pid)], env=env,
                              capture_output=True, text=True, timeout=WAIT_SECONDS).stdout.split():
        subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=env, timeout=WAIT_SECONDS,
                       stderr=subprocess.DEVNULL)


# What each key press enters on each layout: the X keycode (with modifiers; Escape by
# name, as xdotool reads a single digit as a key name), then the text the display shows
# afterwards; "=" stands for the evaluation of the text before it.
LAYOUTS = {
    "us": [("Escape", "0"), ("10", "1"), ("shift+11", "12"), ("shift+17", "12*"), ("12", "12*3"),
           ("21", "=")],
    "fr": [("Escape", "0"), ("14", "("), ("10", "(1"), ("shift+14", "(15"), ("15", "(15-"),
           ("shift+12", "(15-3"), ("20", "(15-3)"), ("ctrl+25", "(15-3"), ("shift+19", "(15-30"),
           ("21", "=")],
    "de": [("Escape", "0"), ("10", "1"), ("shift+16", "1/"), ("11", "1/2"), ("shift+19", "="),
           ("Escape", "0"), ("11", "2"), ("59", "2."), ("14", "2.5"), ("86", "2.5+"), ("87", "2.5+1"),
           ("91", "2.5+1."), ("84", "2.5+1.5"), ("ctrl+29", "2.5+1."), ("36", "=")],
    # Ctrl+Z on a layout of no Latin letters: the key of the next layout's Z.
    "ru,us": [("Escape", "0"), ("10", "1"), ("11", "12"), ("ctrl+52", "1"), ("21", "=")],
}
KEYPAD_CHECK = [("Escape", "0"), ("87", "1"), ("91", "1."), ("84", "1.5")]


def check_icon(window_ids, env):
    """The window manager is given the icon in the sizes title bars and task bars use (Qt
    leaves out what would pass the X server's request size, 256 x 256 here)."""
    sizes = set()
    for wid in window_ids:
        out = subprocess.run(["xprop", "-id", wid, "_NET_WM_ICON"], env=env, capture_output=True,
                             text=True, timeout=WAIT_SECONDS).stdout
        sizes |= set(re.findall(r"Icon \((\d+) x (\d+)\)", out))
    missing = {(str(n), str(n)) for n in (16, 24, 32, 48, 64, 128)} - sizes
    if missing:
        fail("window icon sizes %s lack %s" % (sorted(sizes), sorted(missing)))


def check_layouts(args, pid, display):
    frame = wait_for("the frame", lambda: find_frame(pid))
    if frame is None:
        return
    window = Window(frame)
    if window.display is None:
        return
    env = dict(os.environ, DISPLAY=display)
    xdotool = lambda *a: subprocess.run(["xdotool", *a], env=env, check=True, timeout=WAIT_SECONDS)
    window_id = subprocess.run(["xdotool", "search", "--sync", "--pid", str(pid)], env=env,
                               capture_output=True, text=True, timeout=WAIT_SECONDS).stdout.split()
    check_icon(window_id, env)
    xdotool("key", "Num_Lock")
    for layout, presses in LAYOUTS.items():
        subprocess.run(["setxkbmap", "-display", display, layout], check=True, timeout=WAIT_SECONDS)
        focus_window(env, pid)
        before = "0"
        seen = []
        for key, expected in presses + KEYPAD_CHECK:
            if expected == "=":
                expected = evaluated(args.eval, before)
            xdotool("key", "--clearmodifiers", key)
            window.expect_shown(expected, "%s key %s" % (layout, key))
            before = window.shown()
            seen.append("%s→%s" % (key, before))
        print("%s: %s" % (layout, " ".join(seen)))


def check_history(args, pid, display):
    """Names typed on the keyboard, then the history pane from the
    keyboard: F6 in, each selected entry heard as it moves, Enter enters its result."""
    frame = wait_for("the frame", lambda: find_frame(pid))
    window = Window(frame) if frame is not None else None
    if window is None or window.display is None:
        return
    env = dict(os.environ, DISPLAY=display)
    xdotool = lambda *a: subprocess.run(["xdotool", *a], env=env, check=True, timeout=WAIT_SECONDS)
    focus_window(env, pid)
    window.press("Rad")  # degrees
    entries = []
    for typed in ["sin(30", "sqrt(16)+pi", "cbrt(27)"]:
        xdotool("type", "--delay", "30", typed)
        xdotool("key", "Return")
        entries.append("%s = %s" % (typed, evaluated(args.eval, typed, "--deg")))
        window.expect_shown(entries[-1].split(" = ")[1], "typing %r" % typed)
    heard = []

    def hear(event):
        if event.detail1 == 1 and event.source.get_role() == Atspi.Role.LIST_ITEM:
            heard.append(event.source.get_name())

    listener = Atspi.EventListener.new(hear)
    listener.register("object:state-changed:focused")
    xdotool("type", "1+")
    for keys, expected in [(["ctrl+h", "F6"], entries[2]), (["Up"], entries[1])]:
        xdotool("key", *keys)
        if not wait_for("%r heard" % expected, lambda: heard and heard[-1] == expected):
            fail("after %s heard %s" % (keys, heard))
    xdotool("key", "Return")
    window.expect_shown("1+" + entries[1].split(" = ")[1], "Enter in the pane")
    listener.deregister("object:state-changed:focused")
    print("heard: %s" % heard)


def check_editing(args, pid, display):
    """The expression edited at its caret from the keyboard and the pointer; the caret and
    the selection as screen readers get them."""
    frame = wait_for("the frame", lambda: find_frame(pid))
    window = Window(frame) if frame is not None else None
    if window is None or window.display is None:
        return
    env = dict(os.environ, DISPLAY=display)
    focus_window(env, pid)
    text = window.display
    band = Atspi.Component.get_extents(text, Atspi.CoordType.SCREEN)

    def at(offset, dx=0):
        """Where the pointer goes: dx from the left edge of the character at offset."""
        box = Atspi.Text.get_character_extents(text, offset, Atspi.CoordType.SCREEN)
        return ["mousemove", "--sync", str(box.x + dx), str(band.y + band.height // 2)]

    result = evaluated(args.eval, "(12+4*5)")
    # What is done, what the display then shows, its caret and the selection.
    steps = [("12+34*5", ["type", "--delay", "30", "12+34*5"], "12+34*5", 7),
             ("Left Left Left BackSpace", ["key", "Left", "Left", "Left", "BackSpace"], "12+4*5", 3),
             ("Home ( End )", ["key", "Home", "parenleft", "End", "parenright"], "(12+4*5)", 8),
             ("Return", ["key", "Return"], result, len(result)),
             ("ctrl+z", ["key", "ctrl+z"], "(12+4*5)", 8),
             ("ctrl+y", ["key", "ctrl+y"], result, len(result)),
             ("Escape Up", ["key", "Escape", "Up"], "(12+4*5)", 8),
             ("Escape 23", ["key", "Escape", "type", "23"], "23", 2),
             ("a click at the left edge", lambda: at(0, 1 - band.x) + ["click", "1"], "23", 0),
             ("1 End +45", ["key", "1", "End", "plus", "4", "5"], "123+45", 6),
             ("a double-click on 4", lambda: at(4, 3) + ["click", "--repeat", "2", "1"], "123+45", 6,
              (4, 6)),
             ("a right-click, Escape", lambda: at(1, 3) + ["click", "3", "sleep", "0.5", "key", "Escape"],
              "123+45", 6, (4, 6)),
             ("a drag from 0 to 2", lambda: at(0) + ["mousedown", "1"] + at(1, 3) + at(2, -2) +
              ["mouseup", "1"], "123+45", 2, (0, 2))]

    def caret_and_selection():
        selected = None
        if Atspi.Text.get_n_selections(text) > 0:
            range_ = Atspi.Text.get_selection(text, 0)
            selected = (range_.start_offset, range_.end_offset)
        return Atspi.Text.get_caret_offset(text), selected

    for what, command, shown, caret, *selected in steps:
        subprocess.run(["xdotool", *(command() if callable(command) else command)], env=env,
                       check=True, timeout=WAIT_SECONDS)
        window.expect_shown(shown, what)
        expected = (caret, selected[0] if selected else None)
        if not wait_for("caret and selection %s after %s" % (expected, what),
                        lambda: caret_and_selection() == expected):
            fail("caret and selection %s after %s" % (caret_and_selection(), what))
    print("edited: %s, caret and selection %s" % (window.shown(), caret_and_selection()))


def history_items(frame):
    """The items of the shown pane; none while it is hidden."""
    lists = [n for n in descendants(frame) if n.get_role() == Atspi.Role.LIST
             and n.get_state_set().contains(Atspi.StateType.SHOWING)]
    return [lists[0].get_child_at_index(i) for i in range(lists[0].get_child_count())] if lists else []


def check_restart(args, env):
    """Entries come back after the program ends, also from two windows at once; a history
    file of random bytes is set aside, and the window starts empty."""
    xdotool = lambda *a: subprocess.run(["xdotool", *a], env=env, check=True, timeout=WAIT_SECONDS,
                                        capture_output=True, text=True).stdout.split()

    def start(profile):
        folders = dict(env, XDG_STATE_HOME=profile + "/state", XDG_CONFIG_HOME=profile + "/config")
        calc = subprocess.Popen([args.calc], env=folders, preexec_fn=die_with_parent)
        frame = wait_for("the frame", lambda: find_frame(calc.pid))
        return calc, Window(frame) if frame is not None else None

    def focus(calc):
        for wid in xdotool("search", "--sync", "--pid", str(calc.pid)):
            subprocess.run(["xdotool", "windowfocus", "--sync", wid], env=env, timeout=WAIT_SECONDS,
                           stderr=subprocess.DEVNULL)

    def type_into(calc, window, text):
        focus(calc)
        xdotool("type", "--delay", "20", text)
        window.expect_shown(evaluated(args.eval, text.split("=")[-2]), "typing " + text)

    def expect_history(calc, window, expected, what):
        """Ctrl+H, then the pane's items once they are the expected ones."""
        # Without a window manager a new window gets no focus: the keys would go to the
        # window under the pointer, which the click on an entry may have left elsewhere.
        focus(calc)
        xdotool("key", "--clearmodifiers", "ctrl+h")
        names = lambda: [i.get_name() for i in history_items(window.frame)]
        if not wait_for(what, lambda: names() == expected):
            fail("%s: history %s, expected %s" % (what, names(), expected))
        return history_items(window.frame)

    profile = tempfile.mkdtemp(dir=os.environ["XDG_RUNTIME_DIR"])
    calc, window = start(profile)
    type_into(calc, window, "2+3=7*8=")
    stop(calc)  # ended from outside: every entry was saved when it was made
    calc, window = start(profile)
    items = expect_history(calc, window, ["2+3 = 5", "7*8 = 56"], "entries after a restart")
    if items:
        box = Atspi.Component.get_extents(items[0], Atspi.CoordType.SCREEN)
        xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1")
        window.expect_shown("5", "choosing the first entry")
    stop(calc)

    profile = tempfile.mkdtemp(dir=os.environ["XDG_RUNTIME_DIR"])
    (one, first), (two, second) = start(profile), start(profile)
    type_into(one, first, "1+1=")
    type_into(two, second, "2+2=")
    stop(one)
    stop(two)
    calc, window = start(profile)
    expect_history(calc, window, ["1+1 = 2", "2+2 = 4"], "entries of two windows at once")
    stop(calc)

    profile = tempfile.mkdtemp(dir=os.environ["XDG_RUNTIME_DIR"])
    os.makedirs(profile + "/state/vorlane")
    noise = os.urandom(4096)
    with open(profile + "/state/vorlane/history", "wb") as f:
        f.write(noise)
    calc, window = start(profile)
    type_into(calc, window, "1+1=")
    expect_history(calc, window, ["1+1 = 2"], "the history on random bytes")
    stop(calc)
    folder = profile + "/state/vorlane/"
    kept = [open(folder + n, "rb").read() for n in os.listdir(folder) if n.startswith("history.bad-")]
    if kept != [noise]:
        fail("the random bytes were not kept aside: %s" % os.listdir(folder))


SKIPPED = 77


def check_saving(args, env):
    """A full disk: the title says so at "=", and once there is room again the notice goes
    and the entry is on disk within 5 s."""
    libc = ctypes.CDLL(None, use_errno=True)
    clone_newns, ms_rec, ms_private = 0x00020000, 0x4000, 1 << 18
    state = tempfile.mkdtemp(dir=os.environ["XDG_RUNTIME_DIR"])
    if (libc.unshare(clone_newns) != 0 or libc.mount(None, b"/", None, ms_rec | ms_private, None) != 0
            or libc.mount(b"tmpfs", state.encode(), b"tmpfs", 0, b"size=16k,mode=0700") != 0):
        print("skipped: no mount namespace of its own (unshare -m): " + os.strerror(ctypes.get_errno()))
        sys.exit(SKIPPED)
    os.makedirs(state + "/vorlane")
    try:
        with open(state + "/filler", "wb", buffering=0) as filler:
            while filler.write(b"x" * 4096):
                pass
    except OSError:
        pass
    calc = subprocess.Popen([args.calc], env=dict(env, XDG_STATE_HOME=state, XDG_CONFIG_HOME=state + "/c"),
                            preexec_fn=die_with_parent)
    try:
        frame = wait_for("the frame", lambda: find_frame(calc.pid))
        if frame is None:
            return
        focus_window(env, calc.pid)
        subprocess.run(["xdotool", "type", "4*4="], env=env, check=True, timeout=WAIT_SECONDS)
        Window(frame).expect_shown(evaluated(args.eval, "4*4"), "4*4=")
        if not wait_for("the notice", lambda: frame.get_name() == "Vorlane-计算器 — 历史记录无法保存：磁盘已满"):
            fail("title %r on a full disk" % frame.get_name())
        os.remove(state + "/filler")
        freed = time.monotonic()
        history = state + "/vorlane/history"
        wait_for("the entry on disk",
                 lambda: os.path.exists(history) and "4*4\t16" in open(history, encoding="utf-8").read())
        wait_for("the notice gone", lambda: frame.get_name() == "Vorlane-计算器")
        print("saved and told %.1f s after the disk had room" % (time.monotonic() - freed))
        if time.monotonic() - freed > 5:
            fail("more than 5 s")
    finally:
        stop(calc)
        libc.umount2(state.encode(), 0)


def main():
    parser = argparse.ArgumentParser()


    parser.add_argument("check", choices=["tree", "layouts", "restart", "history", "editing",
                                          "saving"])
    parser.add_argument("--calc", required=True)
    parser.add_argument("--table", required=True)
    parser.add_argument("--eval", required=True)
    args = parser.parse_args()

    enter_private_session()
    xvfb, display = start_xvfb()
    calc = None
    try:
        enable_accessibility()
        env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
        env.pop("WAYLAND_DISPLAY", None)
        if args.check == "restart":
            check_restart(args, env)
        elif args.check == "saving":
            check_saving(args, env)
        else:
            calc = subprocess.Popen([args.calc], env=env, preexec_fn=die_with_parent)
        if args.check == "tree":
            check_tree(args, calc.pid, display)
        elif args.check == "layouts":
            check_layouts(args, calc.pid, display)
        elif args.check == "history":
            check_history(args, calc.pid, display)
        elif args.check == "editing":
            check_editing(args, calc.pid, display)
    finally:
        if calc is not None:
            stop(calc)
        stop(xvfb)
    if failures:
        sys.exit("%d failures" % len(failures))
    print("passed")


if __name__ == "__main__":
    main()
