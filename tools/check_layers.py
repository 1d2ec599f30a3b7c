#!/usr/bin/env python3
"""Checks the layering of src/ by folder, top to bottom:

    app, cli   front ends
    pages      the keyboard test page and the settings page
    view       the keyboard view and the event log view
    ui         the window toolkit
    core       session and the subsystems (input, layouts, logging, report, settings, devices)
    base       small shared types and helpers, resource ids

A file may include only files of its own layer or a lower one, and ui/ only ui/ and base/. A portable file (outside app/
and ui/, name not ending in _win) includes no Windows header and no Windows-layer file, so the
core builds everywhere. Prints each violation and exits 1 when there is any.
"""
import pathlib
import re
import sys

BASE, CORE, UI, VIEW, PAGES, APP = range(6)
NAMES = ["base", "core", "ui", "view", "pages", "app"]
FOLDER_LAYERS = {
    "base": BASE, "resources": BASE,
    "session": CORE, "input": CORE, "layouts": CORE, "logging": CORE, "report": CORE,
    "settings": CORE, "devices": CORE,
    "ui": UI, "view": VIEW, "pages": PAGES, "app": APP, "cli": APP,
}
WINDOWS_ONLY_FOLDERS = ("app", "ui")
WINDOWS_HEADER = re.compile(r'#include <(windows|winuser|commctrl|richedit|shlobj|shellapi|shlwapi|'
                            r'setupapi|cfgmgr32|commdlg|windowsx|winioctl)\.h>', re.I)
# The toolkit knows nothing of this program's subsystems.
ONLY_FROM = {"ui": ("ui", "base")}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder(relative: str) -> str:
    return relative.split("/", 1)[0]


def layer(relative: str):
    return FOLDER_LAYERS.get(folder(relative))


def is_windows_layer(relative: str) -> bool:
    return folder(relative) in WINDOWS_ONLY_FOLDERS or relative.rsplit(".", 1)[0].endswith("_win")


def check(src: pathlib.Path) -> list:
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(src).as_posix()
        own = layer(relative)
        if own is None:
            problems.append(f"{relative}: folder {folder(relative)}/ has no layer")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        portable = not is_windows_layer(relative)
        if portable and WINDOWS_HEADER.search(text):
            problems.append(f"{relative}: uses a Windows header but does not end in _win")
        for included in INCLUDE.findall(text):
            if not (src / included).exists():
                continue  # generated or a sibling resource
            theirs = layer(included)
            if theirs is not None and theirs > own:
                problems.append(f"{relative} ({NAMES[own]}) includes {included} ({NAMES[theirs]})")
            elif folder(included) not in ONLY_FROM.get(folder(relative), (folder(included),)):
                problems.append(f"{relative} includes {included}: {folder(relative)}/ includes only "
                                f"{' and '.join(ONLY_FROM[folder(relative)])}")
            elif portable and is_windows_layer(included):
                problems.append(f"{relative} is portable but includes {included} (Windows layer)")
    return problems


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    problems = check(src)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
