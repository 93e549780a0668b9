"""tests/e2e/wine_machine.py, run as scripts run it, against stand-ins for
the 32-bit loader: its one line and its exit status for a forced 64-bit
mode, a missing loader, one the kernel cannot execute, one that fails and
one that runs."""

import os
import subprocess
import sys
import tempfile
import unittest

PROBE = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', 'e2e',
                                     'wine_machine.py'))

# The loader stand-ins: file contents, written with the executable bit.
RUNS = b'#!/bin/sh\necho wine-8.0 "$@"\n'
FAILS = b'#!/bin/sh\necho "wine: could not load ntdll.so" >&2\nexit 1\n'
NOT_CODE = b'garbage'  # exec gives ENOEXEC, as for an i386 program here


class ProbeTest(unittest.TestCase):
    def test_decision_and_reason(self):
        folder = tempfile.TemporaryDirectory(prefix='wine-machine-')
        self.addCleanup(folder.cleanup)
        # (loader contents or None for none, forcing value, status, line)
        cases = [
            (RUNS, None, 0, '32- and 64-bit programs run here: {loader} '
             'runs (wine-8.0 --version)'),
            (RUNS, '0', 0, '32- and 64-bit programs run here: {loader} runs '
             '(wine-8.0 --version)'),
            (RUNS, '1', 1, '32-bit programs cannot run here: '
             'LAUNCHER_WINE64_ONLY is set'),
            (None, None, 1, '32-bit programs cannot run here: wine32 is not '
             'installed (no {loader})'),
            (NOT_CODE, None, 1, '32-bit programs cannot run here: {loader}: '
             'Exec format error'),
            (FAILS, None, 1, '32-bit programs cannot run here: {loader} '
             '--version failed (status 1): wine: could not load ntdll.so'),
        ]
        for i, (contents, force, status, line) in enumerate(cases):
            loader = os.path.join(folder.name, 'wine%d' % i)
            if contents is not None:
                with open(loader, 'wb') as f:
                    f.write(contents)
                os.chmod(loader, 0o755)
            env = dict(os.environ, LAUNCHER_WINE32_LOADER=loader)
            env.pop('LAUNCHER_WINE64_ONLY', None)
            if force is not None:
                env['LAUNCHER_WINE64_ONLY'] = force
            with self.subTest(contents=contents, force=force):
                proc = subprocess.run([sys.executable, PROBE], env=env,
                                      capture_output=True, text=True)
                self.assertEqual((status, line.format(loader=loader) + '\n',
                                  ''), (proc.returncode, proc.stdout,
                                        proc.stderr))


if __name__ == '__main__':
    unittest.main()
