"""Runs the real launcher.exe under Wine for the end-to-end tests.

A run tests the 32- or the 64-bit launcher (run_bits(): E2E_BITS, which CTest
sets; by default 32 where 32-bit programs run, else 64). Its Wine prefix, a
32-bit one for the 32-bit launcher and a 64-bit one for the 64-bit launcher,
is made once under the build directory and reused. A test run owns it for
its whole life: it takes a file lock, starts Xvfb and a persistent
wineserver, and stops both at the end.

On a machine that cannot execute 32-bit programs (tests/e2e/wine_machine.py
decides, LAUNCHER_WINE64_ONLY=1 forces it) Wine runs through its 64-bit
loader and server directly, only the 64-bit prefix can be had, and a test
run of the 32-bit launcher ends as skipped (main()).

Typical use from a unittest module::

    import wine_env

    def setUpModule():
        wine_env.start()          # raises with a clear message when Wine,
                                  # Xvfb or the Windows build are missing
    def tearDownModule():
        wine_env.stop()

    class Test(unittest.TestCase):
        def setUp(self):
            wine_env.reset()      # removes what earlier tests created

        def test_x(self):
            wine_env.install_runtime(r'C:\\Java\\jre6')
            exe = wine_env.install_launcher(r'C:\\Apps\\Tool\\Tool.exe')
            wine_env.write_file(r'C:\\Apps\\Tool\\Tool.config',
                                'mainclass a.B\\n')
            wine_env.windows_version(5)
            r = wine_env.run_launcher(exe, ['one'], answers=['ok'],
                                      runtime_script=[(1, 0)])
            r.exit_code, r.boxes, r.stdout, r.stderr, r.runs

    if __name__ == '__main__':
        wine_env.main()           # unittest.main(), or a skip (exit 77)

Paths given to this module are Windows paths on drive C: of the prefix
('C:\\Apps\\Tool'); unix_path() maps one to the Unix side.

Registry changes (set_registry_value, delete_registry_value,
delete_registry_key, windows_version) are queued and applied by the box
watcher inside Wine just before the next launcher run, which saves a Wine
process start per change; apply_registry() applies them at once.

A 64-bit prefix: start(arch='win64') uses a second prefix (made once,
like the first) in which both builds run where 32-bit programs can:
install_launcher(path, bits=32) runs under WoW64, bits=64 natively; the box
watcher and, unless bits says otherwise, the stand-ins are the 64-bit ones.
The registry functions take view=32 or view=64 there: the 32-bit view of
HKLM\\SOFTWARE is written through its HKLM\\SOFTWARE\\Wow6432Node key, which
is where WoW64 keeps it; view=None is the 64-bit view. HKCU\\Software is
one key for both views. A 32-bit prefix has a single view; view=32 names
it, view=64 is refused.

Environment variables read by this module:
  E2E_BITS            32 or 64: the launcher this run tests (see run_bits())
  LAUNCHER_WIN32_DIR  the Windows build (launcher.exe and the test tools);
                      default: <source>/build/win32
  LAUNCHER_WIN64_DIR  the 64-bit Windows build, for arch='win64';
                      default: the folder win64 beside LAUNCHER_WIN32_DIR
  E2E_WORK_DIR        where the prefix and run files live;
                      default: <source>/build/host/e2e
  E2E_WINEDEBUG       WINEDEBUG for the Wine processes (default -all); their
                      output lands in E2E_WORK_DIR/wine-output.txt
                      (wine-output64.txt for the 64-bit prefix)
"""

import collections
import fcntl
import json
import os
import select
import shutil
import subprocess
import sys
import time
import unittest

import wine_machine

_SOURCE_DIR = os.path.abspath(
    os.path.join(os.path.dirname(__file__), '..', '..'))

TOOLS_WIN_DIR = 'C:\\e2e'
RUN_WIN_DIR = 'C:\\e2e\\run'

# Registry keys that the launcher reads; reset() empties them.
JAVASOFT_KEY = 'HKLM\\SOFTWARE\\JavaSoft'
_VERSION_KEY = 'HKCU\\Software\\Wine'
# Other builders' runtime keys (the search's "vendors" place); reset()
# removes them too.
VENDOR_KEYS = ('HKLM\\SOFTWARE\\Eclipse Adoptium',
               'HKLM\\SOFTWARE\\Microsoft\\JDK',
               'HKLM\\SOFTWARE\\Azul Systems')
_SOFTWARE_KEY = 'HKLM\\SOFTWARE\\'
_WINDOWS_VERSIONS = {5: 'winxp', 6: 'win7'}
# What main() exits with for a run that cannot happen on this machine; CTest
# reports it as skipped (SKIP_RETURN_CODE).
SKIP_STATUS = 77
# The prefix's ready marker: what made the prefix. One that the 64-bit
# loader made alone lacks the WoW64 parts and is made again where 32-bit
# programs run.
_MADE_WITH_WOW64 = 'ok\n'
_MADE_WITHOUT_WOW64 = 'ok, made by the 64-bit loader alone\n'


class EnvironmentMissing(RuntimeError):
    """Wine, Xvfb or the Windows build is not available."""


Box = collections.namedtuple(
    'Box', 'caption text buttons icon answer')
Box.__doc__ = """One message box as the watcher saw it.

caption, text: the box's caption and full text.
buttons: tuple of the buttons present, among 'ok', 'cancel', 'y', 'n', ...
icon: 'icon' when the box shows an icon (the launcher's error boxes),
    'none' for a plain box. Which icon cannot be seen from outside.
answer: the button the watcher pressed.
"""

Run = collections.namedtuple('Run', 'cmdline argv cwd title exe stdhandles')
Run.__doc__ = """One start of the stand-in runtime.

cmdline: its raw GetCommandLineA(); argv: list as its C runtime split it;
cwd: its current directory; title: its STARTUPINFO title or None;
exe: its own module path; stdhandles: whether its STARTUPINFO gave it
standard handles.
"""


class Result:
    """What one launcher run produced.

    exit_code: the launcher's full 32-bit exit code (unsigned), or None when
        it could not be started or was killed after the timeout.
    boxes: list of Box, in the order they appeared.
    stdout, stderr: the launcher's output, bytes decoded as Latin-1, line
        ends as written (CRLF from the C runtime's text mode).
    runs: list of Run, one per start of the stand-in runtime.
    vm_runs: list of dicts, one per VM the stand-in jvm.dll created (see
        tests/e2e/standin_jvm.cc for their fields).
    timed_out: True when the watcher had to kill the launcher.
    start_error: the Windows error code when the launcher did not start.
    events: the watcher's raw event list (for diagnostics).
    """

    def __init__(self, events, stdout, stderr, runs, vm_runs=()):
        self.events = events
        self.stdout = stdout
        self.stderr = stderr
        self.runs = runs
        self.vm_runs = list(vm_runs)
        self.boxes = [
            Box(e['caption'], e['text'], tuple(e['buttons']), e['icon'],
                e['answer']) for e in events if e['event'] == 'box']
        self.timed_out = any(e['event'] == 'timeout' for e in events)
        self.start_error = next(
            (e['error'] for e in events if e['event'] == 'start_failed'),
            None)
        codes = [e['code'] for e in events if e['event'] == 'exit']
        self.exit_code = None if self.timed_out or not codes else codes[0]

    @property
    def captions(self):
        return [b.caption for b in self.boxes]

    def __repr__(self):
        return ('Result(exit_code=%r, boxes=%r, stdout=%r, stderr=%r, '
                'runs=%r, timed_out=%r, start_error=%r)' % (
                    self.exit_code, self.boxes, self.stdout, self.stderr,
                    self.runs, self.timed_out, self.start_error))


class _Session:
    def __init__(self, arch='win32'):
        self.arch = arch
        self.win32_dir = os.environ.get(
            'LAUNCHER_WIN32_DIR', os.path.join(_SOURCE_DIR, 'build', 'win32'))
        self.win64_dir = os.environ.get(
            'LAUNCHER_WIN64_DIR',
            os.path.join(os.path.dirname(os.path.abspath(self.win32_dir)),
                         'win64'))
        self.work_dir = os.environ.get(
            'E2E_WORK_DIR', os.path.join(_SOURCE_DIR, 'build', 'host', 'e2e'))
        # Files of the 64-bit prefix carry a '64' so that both prefixes can
        # live in one work directory.
        self.suffix = '64' if arch == 'win64' else ''
        self.prefix = os.path.join(self.work_dir, 'wineprefix' + self.suffix)
        self.lock_file = None
        self.xvfb = None
        self.display = None
        self.env = None
        self.pending_registry = []
        self.registry_keys_set = set()
        # Paths created inside the prefix, one per line; kept in a file so
        # that leftovers of an interrupted run are removed too.
        self.created_list = os.path.join(
            self.work_dir, 'created-paths%s.txt' % self.suffix)

    @property
    def native_bits(self):
        return 64 if self.arch == 'win64' else 32

    def build_dir(self, bits=None):
        """The Windows build whose programs are bits-bit (default: the
        prefix's own)."""
        bits = self.native_bits if bits is None else bits
        if bits == 32:
            return self.win32_dir
        if bits == 64 and self.arch == 'win64':
            return self.win64_dir
        raise ValueError('%r-bit programs need a 64-bit prefix: '
                         "wine_env.start(arch='win64')" % bits)


_session = None


def runs_32_bit():
    """Whether this machine runs 32-bit programs (see wine_machine)."""
    return wine_machine.machine().runs_32_bit


def run_bits():
    """32 or 64: which launcher this run tests. E2E_BITS when set (CTest
    registers each test file once for each), else 32 where 32-bit programs
    run and 64 where they do not."""
    bits = os.environ.get('E2E_BITS')
    if not bits:
        return 32 if runs_32_bit() else 64
    if bits not in ('32', '64'):
        raise ValueError('E2E_BITS must be 32 or 64, not %r' % bits)
    return int(bits)


def wine_command():
    """The start of the command line that runs a Windows program in the
    running prefix, with wine_environment(): ['wine'], or the 64-bit loader
    itself where the `wine` command would pick the 32-bit one that cannot
    run."""
    return ['wine'] if runs_32_bit() else [wine_machine.WINE64_LOADER]


def _wineboot_command():
    return ['wineboot'] if runs_32_bit() else (
        [wine_machine.WINE64_LOADER, 'wineboot'])


def _wineserver_command():
    # /usr/bin/wineserver is a script that may choose the 32-bit server.
    return ['wineserver'] if runs_32_bit() else [wine_machine.WINESERVER64]


def _require_tools(win32_dir, win64_dir=None):
    if runs_32_bit():
        missing = [tool for tool in ('wine', 'wineboot', 'wineserver', 'Xvfb')
                   if shutil.which(tool) is None]
    else:
        missing = [tool for tool in (wine_machine.WINE64_LOADER,
                                     wine_machine.WINESERVER64)
                   if not os.access(tool, os.X_OK)]
        missing += [] if shutil.which('Xvfb') else ['Xvfb']
    if missing:
        raise EnvironmentMissing(
            'end-to-end tests need Wine and Xvfb (Debian packages wine, '
            'wine32, wine64, xvfb); not found: ' + ', '.join(missing))
    needed = ['launcher.exe', 'standin_java.exe', 'standin_javaw.exe',
              'boxwatch.exe']
    absent = [n for n in needed
              if not os.path.isfile(os.path.join(win32_dir, n))]
    if absent:
        raise EnvironmentMissing(
            'the Windows build in %s lacks %s; build it with '
            '"cmake -S . -B build/win32 -G Ninja '
            '-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake && '
            'cmake --build build/win32" or set LAUNCHER_WIN32_DIR'
            % (win32_dir, ', '.join(absent)))
    if win64_dir is None:
        return
    absent = [n for n in needed
              if not os.path.isfile(os.path.join(win64_dir, n))]
    if absent:
        raise EnvironmentMissing(
            'the 64-bit Windows build in %s lacks %s; build it with '
            '"cmake -S . -B build/win64 -G Ninja '
            '-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake && '
            'cmake --build build/win64" or set LAUNCHER_WIN64_DIR'
            % (win64_dir, ', '.join(absent)))


def _start_xvfb():
    read_fd, write_fd = os.pipe()
    proc = subprocess.Popen(
        ['Xvfb', '-displayfd', str(write_fd), '-screen', '0', '1024x768x24',
         '-nolisten', 'tcp'],
        pass_fds=(write_fd,), stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    data = b''
    deadline = time.monotonic() + 20
    while not data.endswith(b'\n'):
        left = deadline - time.monotonic()
        ready, _, _ = select.select([read_fd], [], [], max(left, 0))
        chunk = os.read(read_fd, 64) if ready else b''
        if not chunk:
            proc.kill()
            proc.wait()
            os.close(read_fd)
            raise EnvironmentMissing('Xvfb did not start')
        data += chunk
    os.close(read_fd)
    return proc, ':' + data.decode().strip()


def start(arch=None):
    """Prepares the prefix, Xvfb and wineserver; call once per test module.

    arch: 'win32' for the 32-bit prefix, 'win64' for the 64-bit one, which
    needs the 64-bit build as well; by default the prefix of run_bits().
    Raises EnvironmentMissing when Wine, Xvfb or the Windows build are not
    there, or a 32-bit prefix is asked for where 32-bit programs cannot run,
    so that the tests fail with that message.
    """
    global _session
    if arch is None:
        arch = 'win%d' % run_bits()
    if arch not in ('win32', 'win64'):
        raise ValueError('arch must be win32 or win64, not %r' % (arch,))
    if arch == 'win32' and not runs_32_bit():
        raise EnvironmentMissing('a 32-bit Wine prefix needs 32-bit programs, '
                                 'and ' + wine_machine.summary())
    if _session is not None:
        if _session.arch != arch:
            raise RuntimeError('the %s prefix is in use; stop() it first'
                               % _session.arch)
        return
    s = _Session(arch)
    _require_tools(s.win32_dir, s.win64_dir if arch == 'win64' else None)
    os.makedirs(s.work_dir, exist_ok=True)
    # Serialises test runs that share this prefix, also across ctest runs.
    s.lock_file = open(
        os.path.join(s.work_dir, 'prefix%s.lock' % s.suffix), 'w')
    fcntl.flock(s.lock_file, fcntl.LOCK_EX)
    s.xvfb, s.display = _start_xvfb()
    env = dict(os.environ)
    env.update({
        'WINEPREFIX': s.prefix,
        'WINEARCH': arch,
        'DISPLAY': s.display,
        # No Mono or Gecko installer dialogs while the prefix is made.
        'WINEDLLOVERRIDES': 'mscoree,mshtml=',
    })
    env['WINEDEBUG'] = os.environ.get('E2E_WINEDEBUG', '-all')
    env.pop('WAYLAND_DISPLAY', None)
    if not runs_32_bit():
        env['WINELOADER'] = wine_machine.WINE64_LOADER
        env['WINESERVER'] = wine_machine.WINESERVER64
    s.env = env
    _session = s
    try:
        ready_marker = os.path.join(s.prefix, '.e2e-ready')
        made = _MADE_WITH_WOW64 if runs_32_bit() else _MADE_WITHOUT_WOW64
        try:
            with open(ready_marker) as f:
                usable = f.read() in (made, _MADE_WITH_WOW64)
        except FileNotFoundError:
            usable = False
        if not usable:
            shutil.rmtree(s.prefix, ignore_errors=True)
            _run_checked(_wineboot_command() + ['-i'], 180)
            _run_checked(_wineserver_command() + ['-w'], 60)
        # A server left over from an interrupted run may still talk to a
        # display that is gone; start from a fresh one.
        subprocess.run(_wineserver_command() + ['-k'], env=s.env, timeout=30,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        # The server stays up for the whole run; it keeps its output
        # streams, so they must not be pipes that we wait on.
        subprocess.run(_wineserver_command() + ['-p'], env=s.env, timeout=30,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
        _install_tools()
        # Boxes close at once without a window manager; a crash ends the
        # process at once instead of opening the debugger.
        set_registry_value('HKCU\\Software\\Wine\\X11 Driver', 'Managed', 'N')
        set_registry_value(
            'HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug',
            'Debugger', '')
        set_registry_value(
            'HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug',
            'Auto', '1')
        if arch == 'win64':
            # WoW64 programs read the debugger setting from their own view.
            for name, value in (('Debugger', ''), ('Auto', '1')):
                set_registry_value(
                    'HKLM\\Software\\Microsoft\\Windows NT\\'
                    'CurrentVersion\\AeDebug', name, value, view=32)
        s.registry_keys_set.clear()
        apply_registry()
        if not usable:
            with open(ready_marker, 'w') as f:
                f.write(made)
    except BaseException:
        stop()
        raise


def stop():
    """Stops wineserver and Xvfb and releases the prefix."""
    global _session
    s = _session
    if s is None:
        return
    _session = None
    try:
        subprocess.run(_wineserver_command() + ['-k'], env=s.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except (OSError, subprocess.SubprocessError):
        pass
    if s.xvfb is not None:
        s.xvfb.terminate()
        try:
            s.xvfb.wait(10)
        except subprocess.TimeoutExpired:
            s.xvfb.kill()
            s.xvfb.wait()
    s.lock_file.close()


def _current():
    if _session is None:
        raise RuntimeError('wine_env.start() has not been called')
    return _session


def _run_checked(argv, timeout):
    s = _current()
    proc = subprocess.run(argv, env=s.env, cwd=s.work_dir, timeout=timeout,
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT)
    if proc.returncode != 0:
        raise EnvironmentMissing('%s failed (%d): %s' % (
            ' '.join(argv), proc.returncode,
            proc.stdout.decode('latin-1')[-2000:]))


def _copy_if_changed(src, dst):
    if (os.path.exists(dst) and
            os.path.getsize(dst) == os.path.getsize(src) and
            os.path.getmtime(dst) >= os.path.getmtime(src)):
        return
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    shutil.copy2(src, dst)


def wine_environment():
    """The environment that starts a program in the running prefix directly
    (wine_command() + [PROGRAM, ...]), without the box watcher."""
    return dict(_current().env)


def prefix_bits():
    """32 or 64: the bitness of the running prefix (and of its watcher)."""
    return _current().native_bits


def _install_tools():
    s = _current()
    _copy_if_changed(os.path.join(s.build_dir(), 'boxwatch.exe'),
                     unix_path(TOOLS_WIN_DIR + '\\boxwatch.exe'))


# --- Files -----------------------------------------------------------------

def unix_path(win_path):
    """Maps a path on the prefix's drive C: to the Unix file system."""
    s = _current()
    if len(win_path) < 2 or win_path[1] != ':' or win_path[0] not in 'cC':
        raise ValueError('not a path on drive C: %r' % win_path)
    parts = [p for p in win_path[2:].replace('/', '\\').split('\\') if p]
    return os.path.join(s.prefix, 'drive_c', *parts)


def _make_parent_dirs(path):
    """Creates missing directories and remembers the topmost one created."""
    s = _current()
    missing = []
    d = os.path.dirname(path)
    while not os.path.isdir(d):
        missing.append(d)
        d = os.path.dirname(d)
    if missing:
        _remember_created(missing[-1])
        os.makedirs(missing[0])


def _remember_created(path):
    with open(_current().created_list, 'a', encoding='utf-8') as f:
        f.write(path + '\n')


def write_file(win_path, content, newline='\r\n'):
    """Writes a file inside the prefix, creating directories as needed.

    content is a str (each '\\n' becomes newline, CRLF by default; Latin-1
    encoded) or bytes (written as they are).
    """
    s = _current()
    path = unix_path(win_path)
    if not os.path.exists(path):
        _make_parent_dirs(path)
        _remember_created(path)
    if isinstance(content, str):
        content = content.replace('\n', newline).encode('latin-1')
    with open(path, 'wb') as f:
        f.write(content)
    return win_path


def make_dir(win_path):
    """Creates a directory (and its parents) inside the prefix."""
    path = unix_path(win_path)
    if not os.path.isdir(path):
        _make_parent_dirs(os.path.join(path, 'x'))
    return win_path


def _install_copy(tool, win_path, bits=None):
    s = _current()
    source = os.path.join(s.build_dir(bits), tool)
    path = unix_path(win_path)
    if not os.path.exists(path):
        _make_parent_dirs(path)
        _remember_created(path)
    shutil.copyfile(source, path)
    return win_path


def install_launcher(win_path, bits=None):
    """Copies launcher.exe to win_path (any name); returns win_path.

    bits: 32 or 64 (default: run_bits()); bits=64 needs the 64-bit prefix.
    """
    return _install_copy('launcher.exe', win_path,
                         run_bits() if bits is None else bits)


def install_runtime(home, bits=None, version=None, base_archive=False):
    """Installs the stand-in runtime as home\\bin\\java.exe and javaw.exe.

    Returns the path of javaw.exe. Every start of either is recorded in the
    Result's runs. bits: 32 or 64 (default: the prefix's own). version: the
    JAVA_VERSION of a home\\release file; base_archive: whether the runtime
    has its base archive bin\\server\\classes.jsa (a startup cache needs it).
    """
    if version is not None:
        write_file(home + '\\release', 'JAVA_VERSION="%s"\n' % version)
    if base_archive:
        # A VM's static archive: its mark, a checksum, its format.
        write_file(home + '\\bin\\server\\classes.jsa',
                   b'\xa2\xab\x0b\xf0crc!\x13\x00\x00\x00 base archive')
    _install_copy('standin_java.exe', home + '\\bin\\java.exe', bits)
    return _install_copy('standin_javaw.exe', home + '\\bin\\javaw.exe',
                         bits)


def install_jvm(home, place='bin\\server', bits=None):
    """Installs the stand-in jvm.dll as home\\place\\jvm.dll, and the DLL it
    needs in the bin folder above place (home\\bin or home\\jre\\bin).
    Returns the path of jvm.dll. bits: 32 or 64 (default: the prefix's own).
    """
    bin_folder = home + '\\' + place.rsplit('\\', 1)[0]
    _install_copy('standin_jvmdep.dll', bin_folder + '\\standin_jvmdep.dll',
                  bits)
    return _install_copy('standin_jvm.dll', home + '\\' + place + '\\jvm.dll',
                         bits)


def install_standin(win_path, windowless=True, bits=None):
    """Installs the stand-in runtime under any name (e.g. rundll32.exe)."""
    return _install_copy(
        'standin_javaw.exe' if windowless else 'standin_java.exe', win_path,
        bits)


def build_file(name, bits):
    """The Unix path of a file of the 32- or 64-bit Windows build, whatever
    the prefix."""
    s = _current()
    return os.path.join(s.win32_dir if bits == 32 else s.win64_dir, name)


def install_build_file(name, win_path, bits=None):
    """Copies a file of the Windows build (e.g. platform_windows_test.exe)
    to win_path; returns win_path."""
    return _install_copy(name, win_path, bits)


# --- Registry --------------------------------------------------------------

def view_key(key, view=None):
    """The key as the watcher must name it to reach the given view (see the
    module's notes on the 64-bit prefix)."""
    s = _current()
    if view not in (None, 32, 64):
        raise ValueError('view must be None, 32 or 64, not %r' % (view,))
    if s.arch == 'win32':
        if view == 64:
            raise ValueError('a 32-bit prefix has no 64-bit registry view')
        return key
    if view == 32 and key.upper().startswith(_SOFTWARE_KEY):
        return key[:len(_SOFTWARE_KEY)] + 'Wow6432Node\\' + \
            key[len(_SOFTWARE_KEY):]
    return key


def set_registry_value(key, name, value, kind='sz', view=None):
    """Queues a registry write.

    key: 'HKLM\\...' or 'HKCU\\...'; name: value name ('' = default value);
    kind: 'sz', 'sz_nonul' (a string stored without its terminating NUL),
    'expand_sz' or 'dword' (value an int); view: None, 32 or 64.
    """
    s = _current()
    key = view_key(key, view)
    s.pending_registry.append(('regset', key, name, kind, str(value)))
    s.registry_keys_set.add(key)


def delete_registry_value(key, name, view=None):
    """Queues the removal of a value (a missing one is no error)."""
    _current().pending_registry.append(
        ('regdelvalue', view_key(key, view), name))


def delete_registry_key(key, view=None):
    """Queues the removal of a key and all its subkeys."""
    _current().pending_registry.append(('regdelkey', view_key(key, view)))


def windows_version(major):
    """Makes Wine report Windows major version 5 (XP) or 6 (7) from the next
    process on."""
    set_registry_value(_VERSION_KEY, 'Version', _WINDOWS_VERSIONS[major])
    _current().registry_keys_set.discard(_VERSION_KEY)


def apply_registry():
    """Applies the queued registry changes now (normally done by the next
    run_launcher)."""
    s = _current()
    if not s.pending_registry:
        return
    result = _watch(None, [], None, None, 60)
    errors = [e for e in result.events if e['event'] == 'reg']
    if errors:
        raise RuntimeError('registry changes failed: %r' % errors)


def reset():
    """Undoes what earlier tests set up: files and directories created
    through this module, the keys written with set_registry_value, the
    JavaSoft key and the VENDOR_KEYS (in both views on a 64-bit prefix);
    sets the Windows version back to 6 (Wine's default)."""
    s = _current()
    try:
        with open(s.created_list, encoding='utf-8') as f:
            created = f.read().splitlines()
    except FileNotFoundError:
        created = []
    drive_c = os.path.join(s.prefix, 'drive_c') + os.sep
    for path in reversed(created):
        if not path.startswith(drive_c):
            continue
        if os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path, ignore_errors=True)
        elif os.path.lexists(path):
            os.remove(path)
    if os.path.exists(s.created_list):
        os.remove(s.created_list)
    s.pending_registry = [
        ('regdelkey', key) for key in sorted(s.registry_keys_set)]
    s.registry_keys_set.clear()
    s.pending_registry.append(('regdelkey', JAVASOFT_KEY))
    for key in VENDOR_KEYS:
        s.pending_registry.append(('regdelkey', key))
    if s.arch == 'win64':
        for key in (JAVASOFT_KEY,) + VENDOR_KEYS:
            s.pending_registry.append(('regdelkey', view_key(key, 32)))
    windows_version(6)


# --- Running ---------------------------------------------------------------

def quote_program(path):
    """Quotes a program path for a command line when it has a space or tab."""
    return '"%s"' % path if (' ' in path or '\t' in path) else path


def quote_argument(arg):
    """Quotes one argument so that the C runtime splits it back unchanged."""
    if arg and not any(c in arg for c in ' \t\n\v"'):
        return arg
    out = '"'
    backslashes = 0
    for c in arg:
        if c == '\\':
            backslashes += 1
            continue
        if c == '"':
            out += '\\' * (2 * backslashes + 1) + '"'
        else:
            out += '\\' * backslashes + c
        backslashes = 0
    return out + '\\' * (2 * backslashes) + '"'


def command_line(program, args):
    """The Windows command line that starts program with args."""
    return ' '.join([quote_program(program)] +
                    [quote_argument(a) for a in args])


def _escape_field(text):
    return (text.replace('%', '%25').replace('\t', '%09')
            .replace('\r', '%0D').replace('\n', '%0A'))


def _read_text(win_path):
    try:
        with open(unix_path(win_path), 'rb') as f:
            return f.read().decode('latin-1')
    except FileNotFoundError:
        return ''


def _watch(cmdline, answers, cwd, env, timeout, app=None, kill_ms=None):
    s = _current()
    run_dir = unix_path(RUN_WIN_DIR)
    shutil.rmtree(run_dir, ignore_errors=True)
    os.makedirs(run_dir)
    lines = [('log', RUN_WIN_DIR + '\\events.log'),
             ('stdout', RUN_WIN_DIR + '\\stdout.txt'),
             ('stderr', RUN_WIN_DIR + '\\stderr.txt'),
             ('timeout', str(int(timeout * 1000)))]
    lines += s.pending_registry
    if cmdline is not None:
        lines.append(('cmdline', cmdline))
    if app is not None:
        lines.append(('app', app))
    if cwd is not None:
        lines.append(('cwd', cwd))
    if kill_ms is not None:
        lines.append(('kill', str(kill_ms)))
    for answer in answers:
        lines.append(('answer', answer))
    for name, value in (env or {}).items():
        lines.append(('unsetenv', name) if value is None
                     else ('env', name, value))
    with open(os.path.join(run_dir, 'request.txt'), 'wb') as f:
        for fields in lines:
            f.write(('\t'.join(_escape_field(x) for x in fields) + '\n')
                    .encode('latin-1'))
    # Wine's own output goes to a file: background Wine processes started
    # on the way inherit it, so a pipe would not reach its end.
    wine_log = os.path.join(s.work_dir, 'wine-output%s.txt' % s.suffix)
    with open(wine_log, 'wb') as log:
        proc = subprocess.run(
            wine_command() + [TOOLS_WIN_DIR + '\\boxwatch.exe',
                              RUN_WIN_DIR + '\\request.txt'],
            env=s.env, cwd=unix_path(TOOLS_WIN_DIR), timeout=timeout + 60,
            stdin=subprocess.DEVNULL, stdout=log, stderr=log)
    s.pending_registry = []
    events = [json.loads(line) for line in
              _read_text(RUN_WIN_DIR + '\\events.log').splitlines() if line]
    if not events or events[-1]['event'] != 'done':
        with open(wine_log, 'rb') as log:
            output = log.read().decode('latin-1')
        raise RuntimeError('box watcher failed (status %d): %s' % (
            proc.returncode, output[-2000:]))
    runs = [Run(**json.loads(line)) for line in
            _read_text(RUN_WIN_DIR + '\\standin.log').splitlines() if line]
    vm_runs = [json.loads(line) for line in
               _read_text(RUN_WIN_DIR + '\\standin_jvm.log').splitlines()
               if line]
    return Result(events, _read_text(RUN_WIN_DIR + '\\stdout.txt'),
                  _read_text(RUN_WIN_DIR + '\\stderr.txt'), runs, vm_runs)


def collect_runs(count, timeout=10):
    """Re-reads the stand-in log of the last run until it holds count starts
    or timeout seconds have passed; returns the list of Run.

    For stand-ins that the launcher starts without waiting for them (the
    download page's rundll32), which may log after the launcher has ended.
    """
    deadline = time.monotonic() + timeout
    while True:
        runs = [Run(**json.loads(line)) for line in
                _read_text(RUN_WIN_DIR + '\\standin.log').splitlines()
                if line]
        if len(runs) >= count or time.monotonic() > deadline:
            return runs
        time.sleep(0.1)


def run_launcher(exe, args=(), answers=(), cmdline=None, cwd=None, env=None,
                 runtime_script=None, timeout=60, kill_ms=None):
    """Runs the launcher through the box watcher and returns a Result.

    exe: Windows path of the launcher copy to run.
    args: its arguments, quoted so that its C runtime splits them back
        exactly; or cmdline: the whole raw command line (then exe only
        documents the call), passed to CreateProcessA unchanged.
    answers: answers for the boxes in order: 'y', 'n', 'ok' or 'cancel';
        boxes beyond the list get OK, or No when there is no OK button.
    cwd: the launcher's current directory (default C:\\e2e); a relative
        program path in the command line is found from there too.
    env: variables to set (value None: remove) in the launcher's
        environment, which the stand-in runtime inherits.
    runtime_script: list of (exit_code, delay_ms), one per start of the
        stand-in runtime (or VM of the stand-in jvm.dll, which also takes
        (exit_code, delay_ms, 'throw')); starts beyond the list exit 0 at
        once.
    timeout: seconds after which the watcher kills the launcher.
    kill_ms: milliseconds after which the watcher ends the launcher alone,
        as Task Manager would; the Result's events then hold a 'killed'
        event with how many of its children were alive a second later.
    """
    env = dict(env or {})
    env['STANDIN_LOG'] = RUN_WIN_DIR + '\\standin.log'
    env['STANDIN_JVM_LOG'] = RUN_WIN_DIR + '\\standin_jvm.log'
    script_path = TOOLS_WIN_DIR + '\\standin_script.txt'
    env['STANDIN_SCRIPT'] = script_path
    with open(unix_path(script_path), 'w') as f:
        for line in runtime_script or []:
            f.write(' '.join(str(x) for x in line) + '\n')
    if cmdline is None:
        cmdline = command_line(exe, list(args))
    return _watch(cmdline, list(answers), cwd, env, timeout, kill_ms=kill_ms)


def main():
    """Runs the calling test module's tests (unittest.main()); but where the
    run tests the 32-bit launcher and this machine cannot run 32-bit
    programs, prints one line why and exits with SKIP_STATUS, which CTest
    reports as skipped."""
    if run_bits() == 32 and not runs_32_bit():
        print('skipped: ' + wine_machine.summary())
        sys.exit(SKIP_STATUS)
    unittest.main()
