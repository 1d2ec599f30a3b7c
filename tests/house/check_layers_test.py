#!/usr/bin/env python3
"""The layer check passes a sound tree and names each fault of hand-made bad ones."""
import importlib
import pathlib
import sys
import tempfile
import unittest

TOOL = pathlib.Path(__file__).resolve().parents[2] / "tools" / "check_layers.py"
sys.path.insert(0, str(TOOL.parent))
check_layers = importlib.import_module("check_layers")


def tree(files: dict) -> tempfile.TemporaryDirectory:
    folder = tempfile.TemporaryDirectory()
    for name, text in files.items():
        path = pathlib.Path(folder.name) / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)
    return folder


SOUND = {
    "base/colour.h": "#pragma once\n",
    "session/key_test_session.h": '#include "base/colour.h"\n',
    "ui/buttons.h": '#include "base/colour.h"\n#include <windows.h>\n',
    "view/keyboard_window_win.h": '#include "ui/buttons.h"\n#include "session/key_test_session.h"\n',
    "pages/keyboard_dlg_win.h": '#include "view/keyboard_window_win.h"\n',
    "app/main_dlg.h": '#include "pages/keyboard_dlg_win.h"\n',
}


class CheckLayers(unittest.TestCase):
    def problems(self, extra: dict) -> list:
        with tree({**SOUND, **extra}) as folder:
            return check_layers.check(pathlib.Path(folder))

    def test_sound_tree_passes(self):
        self.assertEqual(self.problems({}), [])

    def test_an_include_pointing_up_fails(self):
        found = self.problems({"session/bad.cpp": '#include "pages/keyboard_dlg_win.h"\n'})
        self.assertEqual(found, ["session/bad.cpp (core) includes pages/keyboard_dlg_win.h (pages)"])

    def test_base_including_core_fails(self):
        found = self.problems({"base/bad.h": '#include "session/key_test_session.h"\n'})
        self.assertEqual(len(found), 1)
        self.assertIn("(base) includes session/key_test_session.h (core)", found[0])

    def test_the_toolkit_includes_only_itself_and_base(self):
        found = self.problems({"ui/bad.h": '#include "session/key_test_session.h"\n'})
        self.assertEqual(found, ["ui/bad.h includes session/key_test_session.h: "
                                 "ui/ includes only ui and base"])

    def test_a_windows_header_in_a_core_file_fails(self):
        found = self.problems({"input/raw.cpp": "#include <windows.h>\n",
                               "input/raw_win.cpp": "#include <windows.h>\n"})
        self.assertEqual(found, ["input/raw.cpp: uses a Windows header but does not end in _win"])

    def test_a_portable_file_including_a_windows_file_fails(self):
        found = self.problems({"pages/page_maths.cpp": '#include "ui/buttons.h"\n'})
        self.assertEqual(found, ["pages/page_maths.cpp is portable but includes ui/buttons.h "
                                 "(Windows layer)"])

    def test_a_folder_without_a_layer_fails(self):
        found = self.problems({"shell/thing.h": "#pragma once\n"})
        self.assertEqual(found, ["shell/thing.h: folder shell/ has no layer"])


if __name__ == "__main__":
    sys.exit(unittest.main())
