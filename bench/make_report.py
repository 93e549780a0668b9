"""Runs every benchmark and writes docs/benchmarks.md (scripts/bench.sh).

    python3 bench/make_report.py [--runs N] [--skip-wine] [--skip-cache]

Host part: instruction counts of the logic with callgrind (logic_cost) and
times with Google Benchmark (logic_bench), both against the fake system.
Windows part: the executable's size, and launch time, memory and CPU use
under Wine (wine_bench.py). The startup cache on the host's real VMs
(cache_bench.py).
"""

import argparse
import datetime
import json
import os
import platform
import random
import re
import statistics
import subprocess
import sys

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
HOST = os.path.join(SOURCE, 'build', 'host')
WIN32 = os.path.join(SOURCE, 'build', 'win32')
WIN64 = os.path.join(SOURCE, 'build', 'win64')
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(SOURCE, 'tests', 'e2e'))
import wine_env  # noqa: E402

# (scenario, sizes, what one unit of size is)
SCENARIOS = [
    ('typical', [1], 'run'),
    ('lines', [1000, 10000], 'configuration line'),
    ('jars', [1000, 5000, 10000], 'jar'),
    ('includes', [10, 100, 256], 'include level'),
    ('subkeys', [500, 5000], 'registry subkey'),
]


def sh(argv, **kw):
    return subprocess.run(argv, check=True, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, **kw).stdout.decode()


def machine():
    model = cores = memory = '?'
    with open('/proc/cpuinfo') as f:
        for line in f:
            if line.startswith('model name'):
                model = line.split(':', 1)[1].strip()
                break
    cores = str(os.cpu_count())
    with open('/proc/meminfo') as f:
        for line in f:
            if line.startswith('MemTotal'):
                memory = '%.1f GiB' % (int(line.split()[1]) / 1024 / 1024)
    tools = []
    for argv in (wine_env.wine_command() + ['--version'],
                 ['i686-w64-mingw32-g++', '--version'],
                 ['g++', '--version'], ['valgrind', '--version']):
        try:
            tools.append(sh(argv).splitlines()[0])
        except (OSError, subprocess.CalledProcessError):
            pass
    return {'cpu': model, 'cores': cores, 'memory': memory,
            'kernel': platform.release(), 'tools': tools}


def callgrind(scenario, size):
    """Instructions of one run: total, in the fake, in the logic."""
    out = '/tmp/launcher-bench.callgrind.%d' % os.getpid()
    env = dict(os.environ, LD_BIND_NOW='1')  # no lazy symbol binding inside
    log = sh(['valgrind', '--tool=callgrind', '--toggle-collect=MeasuredRun',
              '--callgrind-out-file=' + out,
              os.path.join(HOST, 'logic_cost'), scenario, str(size)], env=env)
    total = int(re.search(r'Collected : (\d+)', log).group(1))
    annotate = sh(['callgrind_annotate', '--inclusive=yes', '--threshold=100',
                   out])
    os.remove(out)
    fake = 0
    for line in annotate.splitlines():
        m = re.match(r'\s*([\d,]+) \(.*?\)\s+\S*?:?(FakePlatform::\w+)\(', line)
        # Resolve is only ever called by other fake operations.
        if m and m.group(2) != 'FakePlatform::Resolve':
            fake += int(m.group(1).replace(',', ''))
    return {'total': total, 'fake': fake, 'logic': total - fake}


def google_benchmark():
    out = sh([os.path.join(HOST, 'logic_bench'), '--benchmark_format=json',
              '--benchmark_min_time=0.2', '--benchmark_repetitions=5',
              '--benchmark_report_aggregates_only=true'])
    data = json.loads(out[out.index('{'):])
    times = {}
    for b in data['benchmarks']:
        if b.get('aggregate_name') in ('median', 'stddev'):
            name = b['run_name']
            times.setdefault(name, {})[b['aggregate_name']] = b['real_time']
    return times


def sections(exe, objdump):
    info = {'bytes': os.path.getsize(exe)}
    dump = sh([objdump, '-h', exe])
    for m in re.finditer(r'^\s+\d+\s+(\.\w+)\s+([0-9a-f]+)', dump, re.M):
        info[m.group(1)] = int(m.group(2), 16)
    return info


def ms(x):
    return '%.1f' % x


def median_ratio(a, b, resamples=2000):
    """Ratio of the medians of the samples a and b, with a 95% bootstrap
    interval (fixed seed, so a report can be reproduced from its runs)."""
    rng = random.Random(1)
    ratios = sorted(
        statistics.median(rng.choices(a, k=len(a))) /
        statistics.median(rng.choices(b, k=len(b)))
        for _ in range(resamples))
    return (statistics.median(a) / statistics.median(b),
            ratios[int(0.025 * resamples)], ratios[int(0.975 * resamples) - 1])


def launch_table(add, title, run, names, keys):
    t = run['times']
    samples = run['samples']
    add('### %s\n' % title)
    add('| Candidate | median ms | quartiles ms | min ms | max ms |')
    add('|---|---:|---:|---:|---:|')
    for key in keys:
        x = t[key]
        add('| %s | %s | %s to %s | %s | %s |' % (
            names[key], ms(x['median']), ms(x['q1']), ms(x['q3']),
            ms(x['min']), ms(x['max'])))
    add('')
    for other, label in (('minimal', 'minimal launcher'),
                         ('minimal_idle',
                          'minimal launcher with the idle wait')):
        ratio, low, high = median_ratio(samples['launcher'], samples[other])
        add('- launcher / %s (medians): **%.2f** (95%% interval %.2f to '
            '%.2f); overhead %.1f ms' % (
                label, ratio, low, high,
                t['launcher']['median'] - t[other]['median']))
    # Each variant of the launcher against the plain one.
    for key, label, cost in (
            ('launcher_logged', 'launcher with `logFile` / without',
             'the log costs %+.1f ms'),
            ('launcher_in_process',
             'launcher with `javaInProcess` / child runtime',
             'a difference of %+.1f ms'),
            ('launcher_one_file', 'launcher carrying an archive '
             '(`launcher-brand --jar`) / without',
             'the resource lookup costs %+.1f ms')):
        ratio, low, high = median_ratio(samples[key], samples['launcher'])
        add(('- %s (medians): **%.2f** (95%% interval %.2f to %.2f); ' + cost)
            % (label, ratio, low, high,
               t[key]['median'] - t['launcher']['median']))
    add('- minimal launcher / direct start (medians): %.2f\n' % (
        t['minimal']['median'] / t['direct']['median']))


def report(args):
    lines = []
    add = lines.append
    m = machine()
    now = datetime.datetime.now(datetime.timezone.utc)
    add('# Benchmarks\n')
    add('Measured %s on %s, %s cores, %s memory (Linux %s).  ' % (
        now.strftime('%Y-%m-%d %H:%M UTC'), m['cpu'], m['cores'], m['memory'],
        m['kernel']))
    add('Tools: %s.\n' % '; '.join(m['tools']))
    add('Reproduce with `scripts/bench.sh` (installs valgrind and Google '
        'Benchmark when missing, builds build/host, build/win32 and '
        'build/win64, runs everything and rewrites this file). This file '
        'came from: `%s`.\n' % ' '.join(['scripts/bench.sh'] + sys.argv[1:]))

    # --- executable size
    add('## Executable size\n')
    add('| Executable | Bytes | KiB | code (.text) | resources (.rsrc) |')
    add('|---|---:|---:|---:|---:|')
    for label, d, objdump in (
            ('32-bit', WIN32, 'i686-w64-mingw32-objdump'),
            ('64-bit', WIN64, 'x86_64-w64-mingw32-objdump')):
        exe = os.path.join(d, 'launcher.exe')
        if os.path.exists(exe):
            s = sections(exe, objdump)
            add('| %s `%s` | %d | %.1f | %d | %d |' % (
                label, os.path.relpath(exe, SOURCE), s['bytes'],
                s['bytes'] / 1024, s.get('.text', 0), s.get('.rsrc', 0)))
    add('')

    # --- launch under Wine
    if not args.skip_wine:
        import wine_bench
        compare = [c.split('=', 1) for c in args.compare]
        w = wine_bench.run(args.runs, launchers=compare)
        one_cpu = wine_bench.run(args.runs, launchers=compare, cpu=0,
                                 read_memory=False)
        add('## Launch overhead under Wine\n')
        add('Time from CreateProcess of the candidate to its end, measured '
            'inside Wine with QueryPerformanceCounter by `launch_timer.exe`; '
            'the candidates take turns, %d timed runs each after two warm-up '
            'rounds. The stand-in runtime exits at once. Child command line: '
            '`%s`. Timed: the %d-bit launcher, stand-ins and timer (%s).\n'
            % (args.runs, w['child_command_line'], w['bits'], w['wine']))
        add('On both CPUs the times fall into two groups some 25 ms apart, '
            'for every candidate, the stand-in alone included, and a median '
            'can land on either side. Traces (WINEDEBUG=+timestamp) place '
            'the difference in each process\'s start, where Wine asks the '
            'wineserver a few hundred registry questions while it looks for '
            'its time zone: sometimes that takes 2 ms, sometimes 25 ms. Bound '
            'to one CPU (the wineserver, the timer and everything it starts, '
            'through `taskset`) the quartiles lie a few milliseconds apart, '
            'so the timing runs twice: on both '
            'CPUs, as the machine is, and on one CPU, where the comparison is '
            'repeatable. The ratios come with a 95% interval (bootstrap of '
            'the runs, 2,000 resamples).\n')
        names = {
            'direct': 'stand-in runtime started directly',
            'minimal': 'minimal launcher (CreateProcessA + wait)',
            'minimal_idle': 'minimal launcher + WaitForInputIdle (USER32)',
            'launcher': 'launcher, typical configuration',
            'launcher_logged': 'launcher, typical configuration and logFile',
            'launcher_in_process': 'launcher, typical configuration, '
                                   'javaInProcess (stand-in jvm.dll)',
            'launcher_one_file': 'launcher branded with --jar, typical '
                                 'configuration',
        }
        for name, path in compare:
            names[name] = 'launcher build "%s", typical configuration' % name
        keys = ['direct', 'minimal', 'minimal_idle', 'launcher',
                'launcher_logged', 'launcher_in_process',
                'launcher_one_file'] + [
            name for name, _ in compare]
        for title, run in (('Both CPUs', w), ('One CPU', one_cpu)):
            launch_table(add, title, run, names, keys)
        add('The launcher does more than the minimal one before it starts '
            'the application: it reads its configuration, lists `lib`, '
            'reads the registry and builds the command line. It keeps off its '
            'path what would cost more: USER32.DLL (the idle wait and the '
            'message boxes) is loaded only when needed, and the idle wait '
            'needs it only for an application that still runs after half a '
            'second, so a stand-in that exits at once never loads it; the '
            'registry calls come from KERNEL32, so ADVAPI32.DLL (and the two '
            'DLLs it brings) is not loaded either. The minimal launcher with '
            'WaitForInputIdle shows what USER32 would cost.\n')
        add("With `javaInProcess` the launcher starts no second process: the stand-in `jvm.dll` loads into the launcher, whose start is the only one, so it ends well under the child runtime and under the minimal launcher too. A launcher branded with `--jar` looks up one resource of its own image (FindResourceA, no DLL) and never reads the archive: on one CPU it costs nothing measurable. With `logFile` the launcher also makes two pipes and two reader threads for the application's output, within the log's cost.\n")
        add('## Memory and CPU while the application runs (Wine)\n')
        add('Read while the stand-in runtime sleeps (4 s): one second after '
            'the start and again two seconds later. Working set: '
            'GetProcessMemoryInfo inside Wine; resident set and CPU time '
            '(user + system): /proc of the Wine process on the Unix side. '
            'GetProcessTimes inside Wine is shown too, but Wine answers it '
            'for another process with a figure that does not move, as the '
            'spinning control shows; the /proc reading does move for it. '
            'By the first reading the launcher has made its idle wait, so it '
            'holds USER32 like the minimal launcher with WaitForInputIdle.\n')
        add('| Candidate | working set KiB | resident KiB | CPU ms at 1 s | '
            'CPU ms at 3 s | GetProcessTimes ms at 1 s / 3 s | at 3 s |')
        add('|---|---:|---:|---:|---:|---:|---|')
        names['busy_control'] = ('control: minimal launcher that polls for '
                                 'the end')
        for key in keys[1:] + ['busy_control']:
            if key not in w['memory']:
                continue  # timed only
            x = w['memory'][key]
            add('| %s | %d | %s | %s | %s | %.0f / %.0f | %s |' % (
                names[key], x['working_set'] // 1024,
                x.get('unix_rss_kib', '?'),
                x.get('unix_cpu_ms_before', '?'),
                x.get('unix_cpu_ms_after', '?'),
                x['cpu_ms_before'], x['cpu_ms_after'], x['state']))
        add('')

    # --- the startup cache on the host's VMs
    if not args.skip_cache:
        import cache_bench
        add('## Startup cache (host, real VMs)\n')
        add('Time from the start to the application\'s first line, by the '
            'launcher\'s own code with the VM in process '
            '(`build/host/cache_start`, bench/cache_bench.py): '
            'bench/java/SwingPanel.java builds a Swing panel (some 2,000 '
            'classes) and prints "ready". %d starts without the cache and %d '
            'with it (from the second start on), taking turns; the first '
            'start makes the file, and its time runs to its end, since that '
            'is when the file is written (Java 25: recorded, then assembled '
            'by the runtime\'s java command). Ratios with a 95%% interval '
            '(bootstrap, 2,000 resamples).\n' % (args.runs_cache,
                                                  args.runs_cache))
        add('| Runtime | file | no cache ms | with the cache ms | ratio | '
            'goal | first start ms (to the end; without the cache) | '
            'file MB |')
        add('|---|---|---:|---:|---:|---:|---:|---:|')
        goals = {'25': 0.60, '17': 0.85}
        for r in cache_bench.run(args.runs_cache):
            feature = r['runtime'].split('.')[0]
            ratio, low, high = median_ratio(r['with'], r['without'])
            add('| %s | `%s` | %.0f | %.0f | **%.2f** (%.2f to %.2f) | %s | '
                '%.0f (%.0f) | %.1f |' % (
                    r['runtime'], r['file'], statistics.median(r['without']),
                    statistics.median(r['with']), ratio, low, high,
                    ('at most %.2f' % goals[feature]) if feature in goals
                    else '-', r['first_start'][1] * 1000,
                    r['end_without'] * 1000, r['size'] / 1e6))
        add('')

    # --- logic on the host
    add('## Cost of the logic (host build, fake system)\n')
    add('The logic runs against `FakePlatform` (tests/fake_platform.h); '
        'the fake is prepared outside the measured part. Instruction counts '
        'are from `valgrind --tool=callgrind --toggle-collect=MeasuredRun '
        'build/host/logic_cost SCENARIO N` with LD_BIND_NOW=1; "fake" is the '
        'inclusive count of the FakePlatform operations (std::map lookups '
        'with case-insensitive keys, copies of listings and file contents), '
        '"logic" is the rest. Scenarios: typical = the whole run for '
        '`vmparam -Xmx256m`, `addjars lib` (2 jars), `mainclass tool.Main`, '
        '`appname Tool`, registry current runtime; lines = reading a '
        'configuration of N lines (comments, vmparam, addjar, a $APPDATA '
        'reference, argument, in turn); jars = an addjars line over N jars; '
        'includes = N files each including the next; subkeys = the '
        'update-level choice among N version subkeys (it writes four trace '
        'lines per subkey).\n')
    add('| Scenario | N | instructions | in fake | in logic | logic per unit '
        '| time (median) |')
    add('|---|---:|---:|---:|---:|---:|---:|')
    gb = google_benchmark()
    bench_names = {'typical': 'BM_Typical', 'lines': 'BM_Lines',
                   'jars': 'BM_Jars', 'includes': 'BM_Includes',
                   'subkeys': 'BM_Subkeys'}
    growth = []
    for scenario, sizes, unit in SCENARIOS:
        per_unit = []
        for size in sizes:
            c = callgrind(scenario, size)
            per_unit.append(c['logic'] / size)
            g = gb.get('%s/%d' % (bench_names[scenario], size), {})
            per = ('%.0f per %s' % (c['logic'] / size, unit)
                   if size > 1 else '')
            time = ('%.1f µs' % g['median']) if 'median' in g else '-'
            add('| %s | %d | %s | %s | %s | %s | %s |' % (
                scenario, size, format(c['total'], ','),
                format(c['fake'], ','), format(c['logic'], ','), per, time))
        if len(sizes) > 1:
            growth.append('%s %.2f (N %d to %d)' % (
                scenario, per_unit[-1] / per_unit[0], sizes[0], sizes[-1]))
    add('\nLogic per unit at the largest N over that at the smallest (1.00 is '
        'linear growth): %s.\n' % '; '.join(growth))
    add('Times are Google Benchmark medians of 5 repetitions '
        '(`build/host/logic_bench`), fake included, new fake and settings '
        'per iteration (not timed).\n')
    return '\n'.join(lines) + '\n'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--runs', type=int, default=60)
    parser.add_argument('--skip-wine', action='store_true')
    parser.add_argument('--skip-cache', action='store_true')
    parser.add_argument('--runs-cache', type=int, default=10)
    parser.add_argument('--compare', action='append', default=[],
                        metavar='NAME=EXE',
                        help='another launcher.exe to time beside this one')
    parser.add_argument('--output',
                        default=os.path.join(SOURCE, 'docs', 'benchmarks.md'))
    args = parser.parse_args()
    text = report(args)
    history = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                           'history.md')
    if os.path.exists(history):
        with open(history) as f:
            text += '\n' + f.read()
    with open(args.output, 'w') as f:
        f.write(text)
    print(text)


if __name__ == '__main__':
    main()
