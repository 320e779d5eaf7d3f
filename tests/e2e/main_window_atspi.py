"""The program's main window as a screen reader reads it over AT-SPI.

Started by main_window_atspi.sh inside a session bus of the test's own, with Debian's python3 (the
one that has pyatspi). Starts the program with Qt's AT-SPI bridge on, reads the window's children in
order (role and name), checks that the memory figures offer no actions or value and are no live
region, and listens while the figures change: a new figure may rename its label, but nothing may
announce it. Ends the program on every path.
Usage: main_window_atspi.py <quorvane> <log file>
"""

import json
import os
import pwd
import re
import socket
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TITLE = "System Information Beta 0.96"
FIGURES = ("Physical Memory: ", "Free Physical Memory: ", "Locked Memory: ")
# Events by which a screen reader would speak a change without being asked.
ANNOUNCING = (
    "object:property-change:accessible-value",
    "object:value-changed",
    "object:text-changed",
    "object:announcement",
    "object:live-region-changed",
)
# A bound for the program to show up and for a figure to change, not a measure of either.
PATIENCE_S = 30


def expected_children(processor):
    """(role, name pattern) of each child of the window, in reading order; processor: the name the
    program gives it (none on a processor of no known type, as on ARM)."""
    return [
        ("image", re.escape("Information")),
        ("label", re.escape("Computer Name: " + socket.gethostname())),
        ("label", re.escape("User Name: " + pwd.getpwuid(os.geteuid()).pw_name)),
        ("label", re.escape("Processor: " + processor if processor else "Processor")),
        ("label", re.escape("System Platform: " + os.uname().sysname)),
        ("label", r"Version Info: \d+\.\d+"),
        ("label", r"Physical Memory: \d+ Kb"),
        ("label", r"Free Physical Memory: \d+ Kb"),
        ("label", r"Locked Memory: \d+ %"),
        ("text", re.escape("Settings listing")),
        ("label", re.escape("Pelvaro  https://www.pelvaro.example/")),
        ("push button", re.escape("Print Info")),
        ("push button", re.escape("Exit")),
    ]


def find_window(program):
    deadline = time.monotonic() + PATIENCE_S
    while time.monotonic() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            for window in application or []:
                if window is not None and window.name == TITLE:
                    return window
        if program.poll() is not None:
            raise SystemExit(f"FAIL: the program ended with status {program.returncode}")
        time.sleep(0.2)
    raise SystemExit(f'FAIL: no window "{TITLE}" on the accessibility bus')


def action_names(accessible):
    try:
        actions = accessible.queryAction()
    except NotImplementedError:
        return []
    return [actions.getName(index) for index in range(actions.nActions)]


def has_value(accessible):
    try:
        accessible.queryValue()
    except NotImplementedError:
        return False
    return True


def check_tree(window, processor):
    faults = []
    children = list(window)
    shown = "\n".join(f"  {child.getRoleName()}: {child.name}" for child in children)
    expected = expected_children(processor)
    if window.getRoleName() != "frame":
        faults.append(f"the window is a {window.getRoleName()}, not a frame")
    if len(children) != len(expected):
        faults.append(f"{len(children)} children, not {len(expected)}")
    for index, (child, (role, name)) in enumerate(zip(children, expected)):
        if child.getRoleName() != role or not re.fullmatch(name, child.name):
            faults.append(f"child {index} is {child.getRoleName()}: {child.name}, not {role}: {name}")
        if child.getIndexInParent() != index:
            faults.append(f"{child.name} says it is child {child.getIndexInParent()}, not {index}")
        if child.name.startswith(FIGURES):
            if action_names(child):
                faults.append(f"{child.name} offers actions: {action_names(child)}")
            if has_value(child):
                faults.append(f"{child.name} has a value")
            live = [a for a in child.getAttributes() if a.startswith(("live:", "container-live"))]
            if live:
                faults.append(f"{child.name} is a live region: {live}")
    if faults:
        faults.append("the window's children:\n" + shown)
    return faults


def check_quiet_refresh():
    """Listens over two refreshes that rename a figure's label; nothing may announce a figure."""
    renamed = {}
    announced = []
    # Memory taken and touched here, then given back, moves the free figure by far more than a
    # kilobyte at each of the next two refreshes.
    ballast = [b"\x01" * (64 << 20)]

    def heard(event):
        name = event.source.name if event.source is not None else ""
        if not name.startswith(FIGURES):
            return
        if event.type == "object:property-change:accessible-name":
            label = name.split(": ")[0]
            renamed[label] = renamed.get(label, 0) + 1
            ballast.clear()
            # A bus delivers one sender's messages in order: at a label's second new name, all that
            # the first refresh sent has been heard.
            if renamed[label] == 2:
                pyatspi.Registry.stop()
        elif str(event.type).startswith(ANNOUNCING):
            announced.append(f"{event.type} from {name}")

    pyatspi.Registry.registerEventListener(heard, "object")
    GLib.timeout_add_seconds(PATIENCE_S, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    faults = [f"announced: {event}" for event in announced]
    if max(renamed.values(), default=0) < 2:
        faults.append(f"no memory figure changed twice within {PATIENCE_S} s: {renamed}")
    return faults


def main():
    program_path, log_path = sys.argv[1], sys.argv[2]
    environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    # The processor's name depends on the program's architecture, which need not be this Python's
    # (an arm64 program under qemu-user): the program's own document tells it.
    document = subprocess.run([program_path, "--json"], check=True, capture_output=True).stdout
    processor = json.loads(document)["processor"]["name"]
    with open(log_path, "w") as log:
        program = subprocess.Popen([program_path], env=environment, stdout=log,
                                   stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    try:
        window = find_window(program)
        faults = check_tree(window, processor) + check_quiet_refresh()
    finally:
        program.terminate()
        program.wait()
    if faults:
        print("FAIL: " + "\n".join(faults), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
