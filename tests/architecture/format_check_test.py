#!/usr/bin/env python3
"""The format check: the project as it stands passes, and a file laid out otherwise is named."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
CHECK = os.path.join(SOURCE_ROOT, "tools", "check_format.py")
CLANG_FORMAT = sys.argv[1]


def run_check(root):
    return subprocess.run([sys.executable, CHECK, root, CLANG_FORMAT], capture_output=True,
                          text=True)


class Format(unittest.TestCase):
    def test_the_project_is_formatted(self):
        result = run_check(SOURCE_ROOT)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_each_file_laid_out_otherwise_is_named(self):
        # (file, its text, whether the check must refuse it)
        cases = [
            ("dsp/Good.cpp", "int Twice(int x) {\n    return 2 * x;\n}\n", False),
            ("dsp/Brace.cpp", "int Twice(int x)\n{\n    return 2 * x;\n}\n", True),
            ("base/Indent.h", "namespace a {\nint f() {\n  return 1;\n}\n} // namespace a\n",
             True),
            ("base/Version.h.in", 'inline constexpr char kV[] =  "@V@";\n', True),
            ("build-x/Ignored.cpp", "int  ignored ;\n", False),
        ]
        with tempfile.TemporaryDirectory() as root:
            shutil.copy(os.path.join(SOURCE_ROOT, ".clang-format"), root)
            for path, text, _ in cases:
                os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(root, path), "w", encoding="utf-8") as f:
                    f.write(text)
            result = run_check(root)
            self.assertEqual(result.returncode, 1)
            for path, _, refused in cases:
                with self.subTest(path=path):
                    self.assertEqual("not formatted: " + path in result.stdout, refused,
                                     result.stdout)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
