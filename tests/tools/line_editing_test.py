#!/usr/bin/python3
"""vorlane-eval on a pseudo-terminal, typed at as a person types: editing, recall, Ctrl+C,
Ctrl+D, the lines kept from one run to the next; and through a pipe none of it. Each run has
a private HOME and XDG_STATE_HOME; every wait is bounded, and a child that overstays is
killed by its process id.

    line_editing_test.py VORLANE_EVAL
"""
import fcntl
import os
import pty
import select
import signal
import stat
import subprocess
import sys
import tempfile
import termios
import time

WAIT_SECONDS = 10
UP, LEFT, CTRL_C, CTRL_D = "\x1b[A", "\x1b[D", "\x03", "\x04"
PROMPT = b"\r\n> "

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what, file=sys.stderr)


class Terminal:
    """The program with its standard streams on the terminal, as its controlling one."""

    def __init__(self, program, env):
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.execve(program, [program], env)
        self.out = b""
        self.closed = False
        self.wait_for(lambda: self.out.endswith(b"> "), "the first prompt")

    def read(self):
        """False once the program has ended, and the terminal with it."""
        if not self.closed and select.select([self.fd], [], [], 0.05)[0]:
            try:
                self.out += os.read(self.fd, 4096)
            except OSError:
                self.closed = True
        return not self.closed

    def wait_for(self, done, what):
        end = time.monotonic() + WAIT_SECONDS
        while not done():
            if time.monotonic() > end or not self.read() and not done():
                os.kill(self.pid, signal.SIGKILL)
                raise TimeoutError(f"{what}; the terminal shows {self.out!r}")

    def editing(self):
        """libedit has the terminal: the system's line discipline is off, and echoes nothing."""
        return not termios.tcgetattr(self.fd)[3] & termios.ICANON

    def type(self, keys):
        """Types keys; what the terminal shows up to the next prompt that follows a new line."""
        # The prompt may stand before libedit takes the terminal, and what is typed before
        # then the system echoes and edits.
        self.wait_for(self.editing, "libedit never took the terminal")
        start = len(self.out)
        os.write(self.fd, keys.encode())
        self.wait_for(lambda: self.out.endswith(PROMPT) and len(self.out) > start + len(PROMPT),
                      f"no prompt after {keys!r}")
        return self.out[start:-len(PROMPT)]

    def enter(self, keys):
        """Types keys and Enter; the answer, the line after the one typed."""
        return self.type(keys + "\r").split(b"\r\n")[1].decode()

    def finish(self):
        """Ctrl+D on the empty line; the exit status."""
        self.wait_for(self.editing, "libedit never took the terminal")
        os.write(self.fd, CTRL_D.encode())
        # The terminal goes when the program ends.
        self.wait_for(lambda: self.closed, "still running after Ctrl+D")
        os.close(self.fd)
        return os.waitstatus_to_exitcode(os.waitpid(self.pid, 0)[1])


def main():
    program = sys.argv[1]
    started = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="vorlane-eval-pty.") as home:
        state = os.path.join(home, "state")
        history = os.path.join(state, "vorlane", "eval_history")
        # The C locale, as a bare container has it: the tool still reads UTF-8.
        env = {"PATH": "/usr/bin:/bin", "HOME": home, "XDG_STATE_HOME": state, "TERM": "xterm",
               "LC_ALL": "C"}

        first = Terminal(program, env)
        check(first.enter("1+2") == "3", "1+2 gives 3")
        check(first.enter(UP) == "3", "Up, Enter gives 3 again")
        check(first.enter("12" + LEFT + "5") == "152", "12, Left, 5 gives 152")
        first.enter("2^10 ")  # kept as Up brings it back: without the blank
        check(first.type("99" + CTRL_C).endswith(b"^C"), "Ctrl+C is shown")
        check(first.enter("4") == "4", "Ctrl+C dropped the line and the tool goes on")
        check(first.finish() == 0, "Ctrl+D on an empty line ends with status 0")

        mode = stat.S_IMODE(os.stat(history).st_mode) if os.path.exists(history) else None
        check(mode == 0o600, f"the history file is there with mode 0600: {mode and oct(mode)}")

        # Cut off, as a crash of some other writer might leave it: read, then set aside.
        with open(history, "ab") as saved:
            saved.write(b"7*")

        second = Terminal(program, env)
        check(second.enter(UP + UP) == "1024", "a new run recalls the last run's lines")
        second.enter("\u03c0" + LEFT + "2")
        # Another program holds the lock: the lines are answered, the fault told once.
        with open(os.path.join(state, "vorlane", "lock"), "w") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            check(second.enter("5-1") == "4", "answered while the lock is held")
            check(second.enter("6-1") == "5", "answered while the lock is held")
        check(second.out.count(b"cannot be saved") == 1,
              f"an unsaved line is told once: {second.out!r}")
        second.finish()
        with open(history, "rb") as saved:
            lines = saved.read().decode().split("\n")
        # Each line as edited, the multibyte one too, and once while it repeats; the unsaved
        # ones at the end.
        check(lines == ["vorlane-eval-history 1", "1+2", "152", "2^10", "4", "2^10", "2\u03c0", "5-1", "6-1", ""],
              f"the history file: {lines}")

        folder = os.path.dirname(history)
        aside = [name for name in os.listdir(folder) if name.startswith("eval_history.bad-")]
        check(len(aside) == 1, f"the damaged file is set aside: {os.listdir(folder)}")
        for name in aside:
            with open(os.path.join(folder, name), "rb") as bad:
                check(bad.read().endswith(b"\n4\n7*"), "as it was")

        # Through a pipe: no prompt, no editing, nothing written.
        os.remove(history)
        piped = subprocess.run([program], input=b"1+2\n" + UP.encode() + b"\n", env=env,
                               capture_output=True, timeout=WAIT_SECONDS)
        check(piped.stdout == "3\n错误\n".encode(), f"a pipe gets the answers alone: {piped.stdout!r}")
        check(not os.path.exists(history), "a pipe writes no history")

    print(f"line editing: {time.monotonic() - started:.1f} s, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
