#!/usr/bin/env python3
"""Checks the layering of src/: app, pages, view, ui, core from top to bottom.

A file may include only files of its own layer or a lower one, a core file includes no
Windows header, and every Windows-only file outside src/app and src/ui ends in _win.
Prints each violation and exits 1 when there is any.
"""
import pathlib
import re
import sys

CORE, UI, VIEW, PAGES, APP = range(5)
NAMES = ["core", "ui", "view", "pages", "app"]
PAGE_FILES = re.compile(r"^(input/keyboard_dlg_win|input/key_page_win|settings/settings_dlg_win)\.")
WINDOWS_HEADER = re.compile(r'#include <(windows|winuser|commctrl|richedit|shlobj|shellapi|shlwapi|'
                            r'setupapi|cfgmgr32|commdlg|windowsx|winioctl)\.h>', re.I)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def layer(relative: str) -> int:
    folder = relative.split("/", 1)[0]
    if folder == "app":
        return APP
    if folder == "ui":
        return UI
    if PAGE_FILES.match(relative):
        return PAGES
    stem = relative.rsplit(".", 1)[0]
    return VIEW if stem.endswith("_win") else CORE


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(src).as_posix()
        own = layer(relative)
        text = path.read_text(encoding="utf-8", errors="replace")
        folder = relative.split("/", 1)[0]
        if own == CORE and folder not in ("app", "ui") and WINDOWS_HEADER.search(text):
            problems.append(f"{relative}: uses a Windows header but does not end in _win")
        for included in INCLUDE.findall(text):
            if not (src / included).exists():
                continue  # generated or a sibling resource
            if layer(included) > own:
                problems.append(f"{relative} ({NAMES[own]}) includes {included} "
                                f"({NAMES[layer(included)]})")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
