#!/usr/bin/env python3
"""The include check: the project as it stands passes, and each kind of wrong include fails."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
CHECK = os.path.join(SOURCE_ROOT, "tools", "check_includes.py")
WIDGETS = sys.argv[1] if len(sys.argv) > 1 else ""


def run_check(root, widgets=WIDGETS):
    return subprocess.run([sys.executable, CHECK, root, widgets], capture_output=True, text=True)


class IncludeDirection(unittest.TestCase):
    def test_the_project_keeps_the_direction(self):
        result = run_check(SOURCE_ROOT)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_each_wrong_include_is_named(self):
        # (file, its text, whether the check must refuse it)
        cases = [
            ("dsp/A.cpp", '#include "engine/StreamChain.h"\n', True),
            ("engine/A.cpp", '#include "audio/internal/Channel.h"\n', True),
            ("engine/B.cpp", '#include "audio/include/bass.h"\n', False),
            ("cli/A.cpp", '#include "app/logic/KeyCommands.h"\n', True),
            ("controls/A.cpp", '#include "export/ExportRun.h"\n', True),
            ("controls/B.cpp", '#include "dsp/ReduceParams.h"\n', False),
            ("app/logic/A.cpp", "#include <QWidget>\n", True),
            ("app/logic/B.cpp", "#include <QtWidgets/QLabel>\n", True),
            ("app/widgets/A.cpp", "#include <QWidget>\n", False),
            ("app/widgets/B.cpp", '#include "app/window/TForm1.h"\n', True),
            ("base/A.h", '#include "dsp/WaveFFT.h"\n', True),
            ("tests/dsp/A.cpp", '#include "audio/internal/Channel.h"\n', False),
        ]
        with tempfile.TemporaryDirectory() as root:
            widgets = os.path.join(root, "qt", "QtWidgets")
            os.makedirs(widgets)
            open(os.path.join(widgets, "QWidget"), "w").close()
            for path, text, _ in cases:
                os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                    f.write(text)
            result = run_check(root, widgets)
            self.assertEqual(result.returncode, 1)
            for path, _, refused in cases:
                with self.subTest(path=path):
                    self.assertEqual(path + ":" in result.stdout, refused, result.stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
