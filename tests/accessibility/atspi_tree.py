"""Reads the running program's accessibility tree over AT-SPI and works it as
a screen-reader user would: names and roles, a key, a button's action."""
import os
import subprocess
import sys
import time

import pyatspi

PROGRAM, SONG = sys.argv[1], sys.argv[2]
TIMEOUT = 15  # seconds for each wait; the whole test stays well under 30 s
failures = []


def wait_for(what, probe):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        try:
            found = probe()
        except Exception:  # the tree is still being built
            found = None
        if found:
            return found
        time.sleep(0.1)
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(f"FAIL: gave up waiting for {what}")


def fresh(node):
    node.clear_cache()
    return node


def window_of(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            for window in app:
                if window is not None and window.name == "Velumo MP3 Ringtone Maker":
                    return window
    return None


def controls(node):
    for child in node:
        yield child
        yield from controls(child)


def named(window, name):
    return next((c for c in controls(window) if fresh(c).name == name), None)


def description(node):
    return fresh(node).description


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        failures.append(f"{node.name!r} has no Press action, only {names}")
        return
    action.doAction(names.index("Press"))


program = subprocess.Popen([PROGRAM, SONG])
try:
    window = wait_for("the main window on the accessibility bus", lambda: window_of(program.pid))
    wait_for("the song to open", lambda: named(window, "File Name: " + SONG))

    # Every control has a name and a role a screen reader announces.
    seen = set()
    for control in controls(window):
        role, name = control.getRoleName(), fresh(control).name
        seen.add((name, role))
        if not name.strip() or role == "filler":
            failures.append(f"unnamed or filler control: role {role!r}, name {name!r}")
    expected = {
        "Open": "push button", "Save": "push button", "Play": "push button", "Pause": "push button",
        "Mark start": "push button", "Mark end": "push button", "Play selected segment": "push button",
        "Extend left": "push button", "Extend right": "push button", "Minimise": "push button",
        "Close": "push button", "About": "link", "Timeline": "slider", "Status": "status bar",
        "Begin Pos: 00:00:20": "label", "End Pos: 00:00:30": "label",
    }
    for name, role in expected.items():
        if (name, role) not in seen:
            found = [r for n, r in seen if n == name]
            failures.append(f"{name!r}: expected a {role}, found {found}")

    timeline = named(window, "Timeline")
    start = "Start 00:00:20, end 00:00:30, cursor 00:00:04"
    if description(timeline) != start:
        failures.append(f"timeline reads {description(timeline)!r}, expected {start!r}")

    # A key on the focused timeline moves the cursor one second on. There is
    # no window manager on the virtual display: the window is given the
    # keyboard directly, then the screen reader moves the focus.
    subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--all", "--pid", str(program.pid),
                    "--name", "^Velumo MP3 Ringtone Maker$",
                    "windowfocus", "--sync"], check=True, timeout=TIMEOUT)
    timeline.queryComponent().grabFocus()
    wait_for("the timeline to take the focus",
             lambda: fresh(timeline).getState().contains(pyatspi.STATE_FOCUSED))
    pyatspi.Registry.generateKeyboardEvent(0xFF53, None, pyatspi.KEY_SYM)  # Right
    wait_for("the Right key to move the cursor",
             lambda: description(timeline) == "Start 00:00:20, end 00:00:30, cursor 00:00:05")

    # Mark start through its action: the label and the timeline's value follow.
    press(named(window, "Mark start"))
    wait_for("Mark start to move the selection",
             lambda: description(timeline) == "Start 00:00:05, end 00:00:30, cursor 00:00:05")
    wait_for("the Begin Pos label to follow", lambda: named(window, "Begin Pos: 00:00:05"))

    # Close through its action ends the program.
    press(named(window, "Close"))
    if program.wait(timeout=TIMEOUT) != 0:
        failures.append(f"the program ended with {program.returncode} after Close")
finally:
    if program.poll() is None:
        program.kill()
        program.wait()

for failure in failures:
    print("FAIL:", failure)
print("atspi tree:", "FAILED" if failures else "passed")
sys.exit(1 if failures else 0)
