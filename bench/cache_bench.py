"""The startup cache's benchmark (make_report.py): on each real VM of the
host, the time from the start to the application's first line, by the
launcher's own code in process (build/host/cache_start), without the cache
and from the second start with it; what the first start costs; the size of
the file.

The application (bench/java/SwingPanel.java) builds a Swing panel of some
2,000 classes and prints "ready". Starts with and without the cache take
turns, so that a change of the machine's load falls on both.
"""

import glob
import os
import shutil
import statistics
import subprocess
import tempfile
import time

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
DRIVER = os.path.join(SOURCE, 'build', 'host', 'cache_start')


def vms():
    """Each real libjvm.so once, with its runtime's home."""
    found = {}
    for library in glob.glob('/usr/lib/jvm/*/lib/server/libjvm.so'):
        found.setdefault(os.path.realpath(library), library)
    return sorted(found)


def version(home):
    with open(os.path.join(home, 'release')) as f:
        for line in f:
            if line.startswith('JAVA_VERSION='):
                return line.split('=', 1)[1].strip().strip('"')
    return '?'


def start(library, folder, cache):
    """Seconds to the first line and to the end of one start."""
    began = time.perf_counter()
    process = subprocess.Popen([DRIVER, library, folder,
                                'on' if cache else 'off'],
                               stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    line = process.stdout.readline()
    first = time.perf_counter() - began
    process.stdout.read()
    code = process.wait()
    if line != b'ready\n' or code != 0:
        raise RuntimeError('%s: %r, exit code %d' % (library, line, code))
    return first, time.perf_counter() - began


def cache_files(folder):
    return glob.glob(os.path.join(folder, 'local', '*', 'StartupCache', '*.*'))


def run(runs):
    results = []
    for library in vms():
        home = os.path.dirname(os.path.dirname(os.path.dirname(library)))
        folder = tempfile.mkdtemp(prefix='cache-bench-')
        try:
            bin_dir = os.path.join(home, 'bin')
            subprocess.run([os.path.join(bin_dir, 'javac'), '-d',
                            os.path.join(folder, 'classes'),
                            os.path.join(SOURCE, 'bench', 'java',
                                         'SwingPanel.java')], check=True)
            subprocess.run([os.path.join(bin_dir, 'jar'), 'cf',
                            os.path.join(folder, 'app.jar'), '-C',
                            os.path.join(folder, 'classes'), '.'], check=True)
            start(library, folder, False)  # the disk's cache warmed
            first = start(library, folder, True)
            files = [f for f in cache_files(folder)
                     if f.endswith(('.jsa', '.aot'))]
            without, with_cache = [], []
            for _ in range(runs):
                without.append(start(library, folder, False))
                with_cache.append(start(library, folder, True))
            results.append({
                'runtime': version(home),
                'file': os.path.basename(files[0]) if files else None,
                'size': os.path.getsize(files[0]) if files else 0,
                'first_start': first,
                'without': [w[0] * 1000 for w in without],
                'with': [w[0] * 1000 for w in with_cache],
                'end_without': statistics.median(w[1] for w in without),
            })
        finally:
            shutil.rmtree(folder, ignore_errors=True)
    return results


if __name__ == '__main__':
    for r in run(10):
        print(r['runtime'], r['file'], r['size'],
              statistics.median(r['without']), statistics.median(r['with']),
              r['first_start'])
