"""Reads a running pacequill through the AT-SPI accessibility tree, as a screen reader would.

Finds the program by its process id, reads every row of the log list and compares the cells with the records of
the log file; or finds the controls of an open dialog by accessible name.

Usage: atspi-read-tree.py <pid> list <log file>
       atspi-read-tree.py <pid> dialog <caption>
"""

import sys
import time

import gi

gi.require_version("Atspi", "2.0")
import pyatspi  # noqa: E402  (needs the Atspi version chosen above)
from gi.repository import Atspi  # noqa: E402

POLL_SECONDS = 0.2
APP_TIMEOUT = 30.0
FIND_TIMEOUT = 15.0

HEADER = b"Pacequill version 3.1 log file format"
RECORD_START = b"\xa1"
COLUMNS = ["Date", "Distance", "Time", "Notes"]

# Each dialog by its caption: the controls to find (role, name) and the labels whose labelled control to find
# (label text, role of the control). On Linux Qt names a drop-down list by its current item and a tab bar by its
# current tab; screen readers name the list through its label's relation.
DIALOGS = {
    "Pacequill Statistics": (
        [
            (pyatspi.ROLE_PAGE_TAB, "Weekly"),
            (pyatspi.ROLE_PAGE_TAB, "From/Thru"),
            (None, "Weekly totals"),
            (pyatspi.ROLE_PUSH_BUTTON, "Close"),
            (pyatspi.ROLE_PUSH_BUTTON, "Help"),
        ],
        [("Week Start:", pyatspi.ROLE_COMBO_BOX)],
    ),
    "About Pacequill": (
        [(pyatspi.ROLE_PUSH_BUTTON, "OK"), (None, "Pacequill logo"), (None, "A Logbook for Runners")],
        [],
    ),
}


STARTED = time.monotonic()


class Failure(Exception):
    pass


def say(text):
    print(f"[{time.monotonic() - STARTED:5.1f} s] {text}", flush=True)


def poll(what, timeout, probe):
    """Calls probe until it returns something other than None; fails naming what was awaited."""
    deadline = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < deadline:
        try:
            found = probe()
            if found is not None:
                return found
        except Exception as error:  # the tree changes under us while windows open and close
            last_error = error
        time.sleep(POLL_SECONDS)
    raise Failure(f"timed out waiting for {what}" + (f" (last error: {last_error})" if last_error else ""))


def log_rows(path):
    """The rows of a log file as the list shows them: four texts each, decoded from Windows-1252."""
    with open(path, "rb") as log:
        data = log.read()
    lines = data.split(b"\r\n")
    if lines[0] != HEADER:
        raise Failure(f"{path} does not start with the header line")
    rows = []
    for line in lines[1:]:
        if not line:
            continue
        if not line.startswith(RECORD_START):
            raise Failure(f"{path}: a record that does not start with 0xA1: {line!r}")
        rows.append([field.decode("cp1252") for field in line[1:].split(b"\t")])
    return rows


def find_application(pid):
    def probe():
        desktop = pyatspi.Registry.getDesktop(0)
        desktop.clear_cache()
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        return None

    return poll(f"the application with process id {pid} on the accessibility bus", APP_TIMEOUT, probe)


# Controls whose children are items or cells, not controls: each child is a D-Bus round trip, so the search
# does not go into them.
LEAF_CONTROLS = {pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TABLE,
                 pyatspi.ROLE_LIST}


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        if child.getRole() not in LEAF_CONTROLS:
            yield from descendants(child)


def outline(root, depth=0):
    """The tree under root, one line a node, for the failure report."""
    lines = []
    for child in root:
        if child is None:
            continue
        lines.append(f"{'  ' * depth}{child.getRoleName()} \"{child.name}\"")
        if child.getRole() not in LEAF_CONTROLS:
            lines.extend(outline(child, depth + 1))
    return lines


def find(root, role, name, what, timeout=FIND_TIMEOUT):
    def probe():
        root.clear_cache()
        for node in descendants(root):
            if node.name == name and (role is None or node.getRole() == role):
                return node
        return None

    try:
        return poll(what, timeout, probe)
    except Failure as failure:
        raise Failure(f"{failure}; the tree under \"{root.name}\":\n" + "\n".join(outline(root))) from None


def read_table(table_node):
    table = table_node.queryTable()
    headers = [table.getColumnHeader(column).name for column in range(table.nColumns)]
    cells = [[table.getAccessibleAt(row, column).name for column in range(table.nColumns)]
             for row in range(table.nRows)]
    return headers, cells


def check_log_list(app, expected_rows):
    log_list = find(app, None, "Log entries", "the log list named \"Log entries\"")
    headers, cells = poll(
        f"{len(expected_rows)} rows in the log list",
        FIND_TIMEOUT,
        lambda: (lambda read: read if len(read[1]) == len(expected_rows) else None)(read_table(log_list)),
    )
    if headers != COLUMNS:
        raise Failure(f"log list columns {headers}, expected {COLUMNS}")
    if cells != expected_rows:
        raise Failure(f"log list rows {cells}, expected {expected_rows}")
    say(f"log list \"{log_list.name}\" ({log_list.getRoleName()}): {len(cells)} rows read through AT-SPI")


def labelled_control(label):
    for relation in label.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR and relation.getNTargets() > 0:
            return relation.getTarget(0)
    return None


def check_dialog(app, caption):
    controls, labels = DIALOGS[caption]
    dialog = find(app, None, caption, f"the dialog \"{caption}\"")
    for role, name in controls:
        node = find(dialog, role, name, f"a control named \"{name}\" in \"{caption}\"")
        say(f"\"{caption}\": found {node.getRoleName()} \"{name}\"")
    for text, role in labels:
        label = find(dialog, pyatspi.ROLE_LABEL, text, f"the label \"{text}\" in \"{caption}\"")
        control = labelled_control(label)
        if control is None or control.getRole() != role:
            raise Failure(f"the label \"{text}\" labels no {pyatspi.Role(role)} in \"{caption}\"")
        say(f"\"{caption}\": found {control.getRoleName()} labelled \"{text}\" (showing \"{control.name}\")")


def main():
    pid = int(sys.argv[1])
    app = find_application(pid)
    # Windows open and close between the questions: every question goes to the program itself.
    app.set_cache_mask(Atspi.Cache.NONE)
    if sys.argv[2] == "list":
        check_log_list(app, log_rows(sys.argv[3]))
    else:
        check_dialog(app, sys.argv[3])
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        sys.exit(1)
