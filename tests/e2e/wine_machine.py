#!/usr/bin/env python3
"""Whether this machine can run 32-bit x86 programs, and so 32-bit Wine.

Debian's `wine` command starts the 32-bit loader whenever wine32 is
installed. On a kernel that cannot execute i386 programs that loader fails
with "Exec format error", for 64-bit Windows programs too. Such a machine
drives Wine through the 64-bit loader and server directly, in a 64-bit
prefix, and runs no 32-bit Windows program at all.

Everything that runs Wine asks machine() (through wine_env, or by running
this file), which decides once per process:
  LAUNCHER_WINE64_ONLY set (to anything but 0)  -> 64-bit only
  no 32-bit loader                               -> 64-bit only
  the 32-bit loader's --version fails            -> 64-bit only
  else                                           -> 32- and 64-bit

    python3 tests/e2e/wine_machine.py

prints one line that says which and why; its exit status is 0 when 32-bit
programs run here, 1 when they do not.

LAUNCHER_WINE32_LOADER names the 32-bit loader to try (default
/usr/lib/wine/wine), so that the probe's own test can hand it stand-ins.
"""

import collections
import functools
import os
import subprocess
import sys

WINE32_LOADER = '/usr/lib/wine/wine'
WINE64_LOADER = '/usr/lib/wine/wine64'
WINESERVER64 = '/usr/lib/wine/wineserver64'
FORCE_VARIABLE = 'LAUNCHER_WINE64_ONLY'
LOADER_VARIABLE = 'LAUNCHER_WINE32_LOADER'
# A loader that works answers in well under a second; one that hangs must
# not hold up every test.
_PROBE_SECONDS = 30

Machine = collections.namedtuple('Machine', 'runs_32_bit reason')
Machine.__doc__ = """What the probe found.

runs_32_bit: True when 32-bit programs (and so the `wine` command) run.
reason: one line that says why, e.g. "/usr/lib/wine/wine: Exec format error".
"""


def probe(environ=None):
    """Decides afresh from environ (default: this process's environment)."""
    environ = os.environ if environ is None else environ
    if environ.get(FORCE_VARIABLE, '') not in ('', '0'):
        return Machine(False, '%s is set' % FORCE_VARIABLE)
    loader = environ.get(LOADER_VARIABLE) or WINE32_LOADER
    if not os.path.exists(loader):
        return Machine(False, 'wine32 is not installed (no %s)' % loader)
    try:
        proc = subprocess.run([loader, '--version'], stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT,
                              timeout=_PROBE_SECONDS)
    except OSError as e:
        # ENOEXEC ("Exec format error") where the kernel has no 32-bit
        # support; EACCES and the like where the file is damaged.
        return Machine(False, '%s: %s' % (loader, e.strerror or e))
    except subprocess.TimeoutExpired:
        return Machine(False, '%s --version did not end within %d s'
                       % (loader, _PROBE_SECONDS))
    output = proc.stdout.decode('latin-1').strip()
    last = output.splitlines()[-1] if output else ''
    if proc.returncode != 0:
        return Machine(False, '%s --version failed (status %d)%s' % (
            loader, proc.returncode, ': ' + last if last else ''))
    return Machine(True, '%s runs (%s)' % (loader, last or 'no version'))


@functools.lru_cache(maxsize=None)
def machine():
    """probe() of this process's environment, made once."""
    return probe()


def summary():
    """The one line that tells which Wine this machine runs, and why."""
    m = machine()
    if m.runs_32_bit:
        return '32- and 64-bit programs run here: %s' % m.reason
    return '32-bit programs cannot run here: %s' % m.reason


if __name__ == '__main__':
    print(summary())
    sys.exit(0 if machine().runs_32_bit else 1)
