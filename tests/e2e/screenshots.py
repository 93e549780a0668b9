#!/usr/bin/env python3
"""Takes pictures of the launcher's message boxes for the user guide.

The real launcher.exe runs under Wine on the Xvfb display that wine_env
starts; it is started directly (not through the box watcher, which would
answer each box at once), the box is found by its caption with xdotool,
captured with ImageMagick's import, and then answered so that the launcher
ends.

    python3 tests/e2e/screenshots.py OUTPUT_DIR

writes one PNG per entry of SHOTS into OUTPUT_DIR (scripts/screenshots.sh
uses docs/images). take_all() is what the CTest check runs. The launcher is
the 32-bit one, or the 64-bit one where 32-bit programs cannot run
(wine_env.run_bits()); their boxes look the same.
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Tool'
EXE = APP_DIR + '\\Tool.exe'
CONFIG = APP_DIR + '\\Tool.config'
HOME = 'C:\\Java\\jre6'
JAVAW = HOME + '\\bin\\javaw.exe'
JRE_KEY = 'HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment'
STANDIN_SCRIPT = wine_env.TOOLS_WIN_DIR + '\\standin_script.txt'
# Wine draws the caption bar's close button with this font, which it does
# not find outside the prefix's Fonts folder.
MARLETT_SOURCE = '/usr/share/wine/fonts/marlett.ttf'
MARLETT = 'C:\\windows\\Fonts\\marlett.ttf'


class Shot:
    """One picture: how to set the scene and which box to capture.

    name: file name of the PNG.
    caption: caption of the box to capture.
    config: the content of Tool.config.
    args: the launcher's arguments.
    registry: list of (key, name, value) to write.
    runtime_script: list of (exit_code, delay_ms) for the stand-in runtime.
    key: the key that answers the captured box ('Return' or 'n').
    exit_code: the launcher's expected exit code.
    """

    def __init__(self, name, caption, config, args=(), registry=(),
                 runtime_script=(), key='Return', exit_code=0):
        self.name = name
        self.caption = caption
        self.config = config
        self.args = list(args)
        self.registry = list(registry)
        self.runtime_script = list(runtime_script)
        self.key = key
        self.exit_code = exit_code


SHOTS = [
    # The application ends with exit code 1 at once.
    Shot('early-failure.png', 'Error',
         'mainclass tool.Main\njavapath %s\n' % JAVAW,
         runtime_script=[(1, 0)]),
    # javaVersion names an update that is not installed; answered No.
    Shot('download-question.png', 'Java Runtime Environment Not Found',
         'appname Tool\nmainclass tool.Main\njavaVersion 1.6.0_99\n',
         registry=[(JRE_KEY + '\\1.6.0_17', 'JavaHome', HOME)],
         key='n', exit_code=5),
    # No javapath and no runtime in the registry.
    Shot('no-java-installation.png', 'Error!', 'mainclass tool.Main\n'),
    # Debug mode: the earlier boxes are answered, the last one captured.
    Shot('debug-command-line.png', 'Command Line is',
         'vmparam -Xmx256m\naddjars lib\nmainclass tool.Main\n'
         'javapath %s\n' % JAVAW,
         args=['-d', 'report.txt']),
]


class ShotFailed(RuntimeError):
    """A box did not appear, or the launcher did not end as expected."""


def _x(argv, env, check=True):
    """Runs an X client on wine_env's display and returns its output."""
    proc = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=30)
    if check and proc.returncode != 0:
        raise ShotFailed('%s failed (%d): %s' % (
            ' '.join(argv), proc.returncode,
            proc.stderr.decode('latin-1', 'replace')))
    return proc.stdout.decode('latin-1', 'replace')


def _visible_windows(env):
    """(window id, name) of every visible named window on the display."""
    ids = _x(['xdotool', 'search', '--onlyvisible', '--name', '.'], env,
             check=False).split()
    windows = []
    for wid in ids:
        name = _x(['xdotool', 'getwindowname', wid], env, check=False)
        windows.append((wid, name.rstrip('\n')))
    return windows


def _answer(wid, key, env):
    _x(['xdotool', 'windowfocus', '--sync', wid], env, check=False)
    _x(['xdotool', 'key', key], env, check=False)


def _wait_for_box(shot, proc, env, timeout=60):
    """Waits for the box with shot.caption, answering every other box with
    Return on the way; returns the window id."""
    answered = {}  # window id -> when it was last answered
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for wid, name in _visible_windows(env):
            if name == shot.caption:
                return wid
            # A box that comes before the one wanted (debug mode). A key
            # sent while the box is still being set up is lost; a box still
            # there a second later is answered again.
            if time.monotonic() - answered.get(wid, -10) > 1:
                time.sleep(0.2)
                _answer(wid, 'Return', env)
                answered[wid] = time.monotonic()
        if proc.poll() is not None:
            raise ShotFailed('the launcher ended (%d) before showing "%s"'
                             % (proc.returncode, shot.caption))
        time.sleep(0.2)
    raise ShotFailed('no box "%s" within %d seconds' % (shot.caption, timeout))


def _capture(wid, path, env):
    # The box gets the focus and a moment to paint (without a window
    # manager Wine still draws its caption bar as inactive).
    _x(['xdotool', 'windowfocus', '--sync', wid], env, check=False)
    time.sleep(0.7)
    tmp = path + '.tmp.png'
    # -strip and no date chunks: the same box gives the same bytes.
    _x(['import', '-window', wid, '-strip',
        '-define', 'png:exclude-chunks=date,time', tmp], env)
    os.replace(tmp, path)


def _set_scene(shot):
    wine_env.reset()
    wine_env.install_runtime(HOME)
    wine_env.install_launcher(EXE)
    # The download question's Yes would start the URL handler; one beside
    # the launcher is found first.
    wine_env.install_standin(APP_DIR + '\\rundll32.exe')
    wine_env.write_file(CONFIG, shot.config)
    for name in ('a.jar', 'b.jar'):
        wine_env.write_file(APP_DIR + '\\lib\\' + name, b'PK\x05\x06' +
                            bytes(18))
    if os.path.exists(MARLETT_SOURCE):
        with open(MARLETT_SOURCE, 'rb') as f:
            wine_env.write_file(MARLETT, f.read())
    for key, name, value in shot.registry:
        wine_env.set_registry_value(key, name, value)
    wine_env.windows_version(5)
    wine_env.apply_registry()
    with open(wine_env.unix_path(STANDIN_SCRIPT), 'w') as f:
        for code, delay_ms in shot.runtime_script:
            f.write('%d %d\n' % (code, delay_ms))


def take(shot, out_dir):
    """Sets the scene, runs the launcher, captures shot's box into
    out_dir/shot.name, answers it and checks that the launcher ended with
    the expected code. Returns the PNG's path."""
    _set_scene(shot)
    # wine_env keeps the Wine environment (prefix, display) in its session.
    env = dict(wine_env._current().env)
    env['STANDIN_SCRIPT'] = STANDIN_SCRIPT
    env['STANDIN_LOG'] = wine_env.RUN_WIN_DIR + '\\standin.log'
    proc = subprocess.Popen(
        wine_env.wine_command() + [EXE] + shot.args, env=env,
        cwd=wine_env.unix_path(APP_DIR), stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    path = os.path.join(out_dir, shot.name)
    try:
        wid = _wait_for_box(shot, proc, env)
        _capture(wid, path, env)
        _answer(wid, shot.key, env)
        try:
            code = proc.wait(60)
        except subprocess.TimeoutExpired:
            raise ShotFailed('the launcher did not end after "%s" was '
                             'answered' % shot.caption)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
    if code != shot.exit_code:
        raise ShotFailed('the launcher ended with %d after "%s", not %d'
                         % (code, shot.caption, shot.exit_code))
    return path


def take_all(out_dir):
    """Takes every picture of SHOTS into out_dir; wine_env must be started.
    Returns the paths."""
    os.makedirs(out_dir, exist_ok=True)
    paths = [take(shot, out_dir) for shot in SHOTS]
    wine_env.reset()
    return paths


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: %s OUTPUT_DIR\n' % argv[0])
        return 2
    if not wine_env.runs_32_bit():
        print('Pictures of the 64-bit launcher (%s).'
              % wine_env.wine_machine.summary())
    wine_env.start()
    try:
        for path in take_all(argv[1]):
            print(path)
    finally:
        wine_env.stop()
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
