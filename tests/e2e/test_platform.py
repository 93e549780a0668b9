"""Runs the Windows build's platform self-test (platform_windows_test.exe)
inside the shared Wine prefix, so that the suite covers the Win32 platform
layer on the same system the launcher is tested on: directories,
environment, files, registry, processes, clock and system version."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

SELF_TEST = 'C:\\PlatformTest\\platform_windows_test.exe'


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class PlatformSelfTest(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        wine_env.install_build_file('platform_windows_test.exe', SELF_TEST)

    def run_self_test(self, major):
        wine_env.windows_version(major)
        r = wine_env.run_launcher(SELF_TEST, [], cwd='C:\\PlatformTest',
                                  timeout=90)
        report = r.stdout + r.stderr
        self.assertFalse(r.timed_out, report)
        self.assertEqual([], r.boxes, report)
        failed = [line for line in r.stdout.split('\r\n')
                  if line.startswith('FAILED')]
        self.assertEqual([], failed, report)
        summary = re.search(r'^(\d+) checks, (\d+) failed\r?$', r.stdout,
                            re.MULTILINE)
        self.assertIsNotNone(summary, report)
        self.assertGreater(int(summary.group(1)), 0, report)
        self.assertEqual('0', summary.group(2), report)
        self.assertEqual(0, r.exit_code, report)
        return r

    def test_platform_operations_pass_as_windows_7(self):
        r = self.run_self_test(6)
        self.assertIn('note: system major version 6\r\n', r.stdout)

    def test_platform_operations_pass_as_windows_xp(self):
        r = self.run_self_test(5)
        self.assertIn('note: system major version 5\r\n', r.stdout)


if __name__ == '__main__':
    wine_env.main()
