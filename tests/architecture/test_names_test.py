#!/usr/bin/env python3
"""The test-name check: this build's names pass, and names that do not say their case fail."""
import os
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "..", "..", "tools", "check_test_names.py")
CTEST, BUILD_DIR = (sys.argv[1], sys.argv[2]) if len(sys.argv) > 2 else ("", "")


def run_check(args, listing=None):
    return subprocess.run([sys.executable, CHECK, *args], input=listing, capture_output=True,
                          text=True)


class TestNames(unittest.TestCase):
    @unittest.skipUnless(BUILD_DIR, "needs ctest and a build folder")
    def test_this_builds_names_say_their_case(self):
        result = run_check([CTEST, BUILD_DIR])
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_an_index_or_a_byte_dump_is_refused(self):
        # (name as CTest lists it, whether the check must refuse it)
        cases = [
            ("Texts/IniFloatParse.ReadsGeneralDecimalFormOnly/7", True),
            ("Sizes/RoundTrip.Inverts/16384", True),
            ("Cases/X.Y/24-byte object <58-5C D4-F0 FE-55 00-00>", True),
            ("Cases/X.Y/4-byte object <01-00 00-00>/3", True),
            ("Texts/IniFloatParse.ReadsGeneralDecimalFormOnly/ExponentWithoutDigits", False),
            ("FrameLengths/ReduceEveryLength.MatchesTheLiteralAlgorithm/N4096", False),
            ("Cases/ClockLabel.FormatsRoundedSeconds/SecondsMinus1", False),
            ("Shipped/EncoderExport.Writes/mp3_plain_q2", False),
            ("TWaveFFT.ImpulseAndConstantBlocks", False),
            ("install.InstalledTree", False),
        ]
        listing = "".join(f"  Test  #{i}: {name}\n" for i, (name, _) in enumerate(cases, 1))
        result = run_check(["-"], listing)
        self.assertEqual(result.returncode, 1)
        refused = {line.rsplit(": ", 1)[0] for line in result.stdout.splitlines()}
        for name, bad in cases:
            with self.subTest(name=name):
                self.assertEqual(name in refused, bad, result.stdout)

    def test_a_listing_without_tests_is_an_error(self):
        self.assertEqual(run_check(["-"], "Total Tests: 0\n").returncode, 2)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
