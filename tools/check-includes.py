#!/usr/bin/env python3
"""Checks that every #include "..." under src/ follows the layers (see ARCHITECTURE.md):

  core:  log <- calc <- stats <- insight, and log, calc <- import; no Qt, nothing outside core/
  gui:   frame <- log <- calc, stats, insight, import <- shell; core below all of them; the document client
         (gui/log) includes no other window subsystem but the frame
  helpwire: itself and Qt only;  helpviewer: helpwire and itself;  cli: core and itself

Prints each include that breaks a rule and exits 1 if there is any."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent / "src"

CORE = {
    "log": {"log"},
    "calc": {"log", "calc"},
    "stats": {"log", "calc", "stats"},
    "insight": {"log", "calc", "stats", "insight"},
    "import": {"log", "calc", "import"},
}
GUI_FEATURE = {"frame", "log"}
GUI = {
    "frame": {"frame"},
    "log": {"frame", "log"},
    "calc": GUI_FEATURE | {"calc"},
    "stats": GUI_FEATURE | {"stats"},
    "insight": GUI_FEATURE | {"insight"},
    "import": GUI_FEATURE | {"import"},
    "shell": {"frame", "log", "calc", "stats", "insight", "import", "shell"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def resolve(layer_root, name):
    """The layer folder and subsystem that a quoted include names, looked up as the compiler would."""
    if name.startswith("helpwire/"):
        return "helpwire", None
    if name.startswith("helpviewer/"):
        return "helpviewer", None
    sub = name.split("/")[0]
    if layer_root == "gui" and (ROOT / "gui" / name).exists():
        return "gui", sub
    if (ROOT / "core" / name).exists():
        return "core", sub
    if layer_root == "cli" and (ROOT / name).exists() and sub == "cli":
        return "cli", sub
    return None, sub


def faults_of(path):
    rel = path.relative_to(ROOT)
    layer = rel.parts[0]
    sub = rel.parts[1] if len(rel.parts) > 2 else None
    text = path.read_text(encoding="utf-8", errors="replace")
    for bracket, name in INCLUDE.findall(text):
        if bracket == "<":
            if layer == "core" and re.match(r"Q|qt", name):
                yield f"{rel}: the core includes Qt <{name}>"
            continue
        if "/" not in name:
            continue  # a generated header beside the build, such as the version block
        target, target_sub = resolve(layer, name)
        if layer == "core":
            ok = target == "core" and target_sub in CORE.get(sub, set())
        elif layer == "gui":
            if sub is None:
                ok = True  # main.cpp
            elif target == "core":
                ok = True
            elif target == "helpwire":
                ok = sub == "shell"
            else:
                ok = target == "gui" and target_sub in GUI.get(sub, set())
        elif layer == "helpwire":
            ok = target == "helpwire"
        elif layer == "helpviewer":
            ok = target in ("helpwire", "helpviewer")
        elif layer == "cli":
            ok = target in ("core", "cli")
        else:
            ok = False
        if not ok:
            yield f"{rel}: includes \"{name}\" against the layers"


def main():
    faults = [f for p in sorted(ROOT.rglob("*")) if p.suffix in (".h", ".cpp") for f in faults_of(p)]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
