"""Launch overhead, memory and CPU use of the launcher under Wine.

Sets up the typical installation in the shared end-to-end prefix (through
tests/e2e/wine_env.py, which holds the prefix lock for the whole run): a
current runtime in the registry whose javaw.exe is the stand-in, the launcher
as C:\\Apps\\Tool\\Tool.exe with a four-line configuration and two jars, and
the minimal reference launcher beside it. The timing itself happens inside
Wine, in launch_timer.exe. The launcher, the reference launchers and the
timer are 32-bit ones, or 64-bit ones in the 64-bit prefix where 32-bit
programs cannot run (wine_env.run_bits()).

    python3 bench/wine_bench.py [RUNS]   # prints the results as JSON
"""

import json
import os
import shutil
import statistics
import subprocess
import sys
import zipfile

_SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
sys.path.insert(0, os.path.join(_SOURCE_DIR, 'tests', 'e2e'))

import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Tool'
BRAND_TOOL = os.environ.get('LAUNCHER_BRAND', os.path.join(
    _SOURCE_DIR, 'build', 'host', 'launcher-brand'))
JAVA_HOME = 'C:\\Java\\jre6'
CONFIG = 'vmparam -Xmx256m\naddjars lib\nmainclass tool.Main\nappname Tool\n'
RUNTIME_KEY = ('HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment')


def _prepare():
    wine_env.reset()
    wine_env.windows_version(5)
    wine_env.install_runtime(JAVA_HOME)
    wine_env.set_registry_value(RUNTIME_KEY, 'CurrentVersion', '1.6')
    wine_env.set_registry_value(RUNTIME_KEY + '\\1.6', 'JavaHome', JAVA_HOME)
    exe = wine_env.install_launcher(APP_DIR + '\\Tool.exe')
    wine_env.write_file(APP_DIR + '\\Tool.config', CONFIG)
    wine_env.write_file(APP_DIR + '\\lib\\a.jar', b'PK')
    wine_env.write_file(APP_DIR + '\\lib\\b.jar', b'PK')
    wine_env.install_build_file('min_launcher.exe', APP_DIR + '\\MinLaunch.exe')
    wine_env.install_build_file('min_launcher_idle.exe',
                                APP_DIR + '\\MinLaunchIdle.exe')
    wine_env.install_build_file('min_launcher_busy.exe',
                                APP_DIR + '\\MinLaunchBusy.exe')
    wine_env.install_build_file('launch_timer.exe', 'C:\\bench\\timer.exe')
    # One run through the box watcher applies the registry and tells the
    # command line the launcher gives the runtime, which the minimal launcher
    # is then handed.
    result = wine_env.run_launcher(exe, ['report.txt'], cwd=APP_DIR)
    if result.exit_code != 0 or result.boxes or len(result.runs) != 1:
        raise RuntimeError('the launcher did not run as expected: %r' % result)
    return result.runs[0].cmdline


def _exe_name(command_line):
    """'C:\\Apps\\Tool\\Tool.exe report.txt' -> 'tool.exe'."""
    return command_line.split(' ')[0].split('\\')[-1].lower()


def _unix_usage(exe_name):
    """(CPU ms, resident KiB) of the Wine process running exe_name, read
    from /proc on the Unix side; None when there is not exactly one."""
    found = []
    for pid in os.listdir('/proc'):
        if not pid.isdigit():
            continue
        try:
            with open('/proc/%s/cmdline' % pid, 'rb') as f:
                argv0 = f.read().split(b'\0')[0].decode('latin-1')
            if argv0.replace('/', '\\').split('\\')[-1].lower() != exe_name:
                continue
            with open('/proc/%s/stat' % pid) as f:
                stat = f.read().rsplit(')', 1)[1].split()
            with open('/proc/%s/status' % pid) as f:
                rss = [int(x.split()[1]) for x in f if x.startswith('VmRSS:')]
        except (OSError, ValueError, IndexError):
            continue
        ticks = int(stat[11]) + int(stat[12])  # utime + stime
        found.append((ticks * 1000.0 / os.sysconf('SC_CLK_TCK'),
                      rss[0] if rss else 0))
    return found[0] if len(found) == 1 else None


def _spread(values):
    values = sorted(values)
    q = statistics.quantiles(values, n=4)
    return {'runs': len(values), 'median': statistics.median(values),
            'q1': q[0], 'q3': q[2], 'min': values[0], 'max': values[-1]}


def _pin_wineserver(cpu):
    """Binds the wineserver of the running prefix (all its threads) to one
    CPU; other prefixes' servers are left alone."""
    prefix = ('WINEPREFIX=' + wine_env.wine_environment()['WINEPREFIX'])
    for pid in os.listdir('/proc'):
        try:
            # The server is wineserver32 or wineserver64 (Debian's
            # wineserver is a script that starts one of them).
            with open('/proc/%s/comm' % pid) as f:
                if not f.read().startswith('wineserver'):
                    continue
            with open('/proc/%s/environ' % pid, 'rb') as f:
                if prefix.encode() not in f.read().split(b'\0'):
                    continue
        except OSError:
            continue
        subprocess.run(['taskset', '-a', '-p', '-c', str(cpu), pid],
                       stdout=subprocess.DEVNULL, check=True)


def run(runs=30, extra=(), launchers=(), cpu=None, read_memory=True):
    """extra: (name, unix path of a .exe) of further minimal launchers,
    each started with the child's command line like the minimal one;
    launchers: (name, unix path) of other builds of the launcher (an older
    one, say), each run like the launcher with the same configuration.
    cpu: a CPU number to run the whole timing on (the wineserver, the
    timer and everything it starts), or None for all of them;
    read_memory: whether to read memory and CPU use too."""
    wine_env.start()
    try:
        if cpu is not None:
            _pin_wineserver(cpu)
        child = _prepare()
        launcher = APP_DIR + '\\Tool.exe report.txt'
        minimal = APP_DIR + '\\MinLaunch.exe ' + child
        minimal_idle = APP_DIR + '\\MinLaunchIdle.exe ' + child
        # The same launcher and configuration, with a launch log.
        shutil.copyfile(wine_env.unix_path(APP_DIR + '\\Tool.exe'),
                        wine_env.unix_path(APP_DIR + '\\Logged.exe'))
        wine_env.write_file(APP_DIR + '\\Logged.config',
                            CONFIG + 'logFile Logged.log\n')
        logged = APP_DIR + '\\Logged.exe report.txt'
        # And with the VM in its own process: the stand-in jvm.dll in the
        # same runtime, whose main returns at once.
        wine_env.install_jvm(JAVA_HOME)
        shutil.copyfile(wine_env.unix_path(APP_DIR + '\\Tool.exe'),
                        wine_env.unix_path(APP_DIR + '\\InProcess.exe'))
        wine_env.write_file(APP_DIR + '\\InProcess.config',
                            CONFIG + 'javaInProcess yes\n')
        in_process = APP_DIR + '\\InProcess.exe report.txt'
        # And as a one-file build: an archive after the image, announced by
        # a resource that the launcher looks up (it never reads the archive).
        archive = os.path.join(wine_env.unix_path(APP_DIR), 'app.jar')
        with zipfile.ZipFile(archive, 'w') as z:
            z.writestr('tool/Main.class', b'classes')
        subprocess.run([BRAND_TOOL, wine_env.unix_path(APP_DIR + '\\Tool.exe'),
                        wine_env.unix_path(APP_DIR + '\\OneFile.exe'),
                        '--jar', archive], check=True)
        wine_env.write_file(APP_DIR + '\\OneFile.config', CONFIG)
        one_file = APP_DIR + '\\OneFile.exe report.txt'
        candidates = [('direct', child), ('minimal', minimal),
                      ('minimal_idle', minimal_idle), ('launcher', launcher),
                      ('launcher_logged', logged)]
        for name, path in extra:
            win = APP_DIR + '\\' + name + '.exe'
            shutil.copyfile(path, wine_env.unix_path(win))
            candidates.append((name, win + ' ' + child))
        for name, path in launchers:
            win = APP_DIR + '\\' + name + '.exe'
            shutil.copyfile(path, wine_env.unix_path(win))
            wine_env.write_file(APP_DIR + '\\' + name + '.config', CONFIG)
            candidates.append((name, win + ' report.txt'))
        timed_only = [('launcher_in_process', in_process),
                      ('launcher_one_file', one_file)]
        lines = ['%s\t%s\t%s' % (n, APP_DIR, c)
                 for n, c in candidates + timed_only]
        # The spinning control only takes part in the CPU reading.
        busy = ('busy_control', APP_DIR + '\\MinLaunchBusy.exe ' + child)
        if read_memory:
            lines += ['mem\t%s\t%s\t%s' % (n, APP_DIR, c)
                      for n, c in candidates[1:] + [busy]]
        wine_env.write_file('C:\\bench\\request.txt', '\n'.join(lines) + '\n')
        session = wine_env._current()
        exe_names = dict((n, _exe_name(c)) for n, c in candidates[1:] +
                         [busy])
        pinned = [] if cpu is None else ['taskset', '-c', str(cpu)]
        proc = subprocess.Popen(
            pinned + wine_env.wine_command() + [
                'C:\\bench\\timer.exe', 'C:\\bench\\request.txt',
                'C:\\bench\\times.txt', str(runs)],
            env=session.env, cwd=wine_env.unix_path('C:\\bench'),
            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        output = []
        unix = {}  # name -> [(cpu ms, rss KiB) at tick 1, at tick 2]
        for raw in proc.stdout:
            line = raw.decode('latin-1').rstrip('\r\n')
            output.append(line)
            fields = line.split('\t')
            if fields[0] == 'tick' and len(fields) == 3:
                unix.setdefault(fields[1], []).append(
                    _unix_usage(exe_names[fields[1]]))
        proc.wait(timeout=60)
        if proc.returncode != 0:
            raise RuntimeError('launch_timer failed: %s' %
                               '\n'.join(output)[-2000:])
        with open(wine_env.unix_path('C:\\bench\\times.txt')) as f:
            rows = [line.rstrip('\n').split('\t') for line in f if line.strip()]
        times = {}
        memory = {}
        for row in rows:
            if row[0] == 'time':
                times.setdefault(row[1], []).append(float(row[2]))
            elif row[0] == 'mem':
                memory[row[1]] = {
                    'working_set': int(row[2]), 'peak_working_set': int(row[3]),
                    'private_bytes': int(row[4]), 'cpu_ms_before': float(row[5]),
                    'cpu_ms_after': float(row[6]), 'state': row[7]}
                ticks = unix.get(row[1], [])
                if len(ticks) == 2 and None not in ticks:
                    memory[row[1]].update({
                        'unix_cpu_ms_before': ticks[0][0],
                        'unix_cpu_ms_after': ticks[1][0],
                        'unix_rss_kib': ticks[0][1]})
        wine_env.reset()
        return {'bits': wine_env.run_bits(),
                'wine': wine_env.wine_machine.summary(),
                'child_command_line': child,
                'times': {n: _spread(v) for n, v in times.items()},
                'samples': times,
                'memory': memory}
    finally:
        wine_env.stop()


if __name__ == '__main__':
    print(json.dumps(run(int(sys.argv[1]) if len(sys.argv) > 1 else 30),
                     indent=2))
