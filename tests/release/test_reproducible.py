"""The release is reproducible: the current commit, built by the working
tree's own build folders (or, when the tree has uncommitted changes, in a
fresh clone) and again by `scripts/release.sh --verify` in a fresh clone (a
folder of another length, another umask, job count, time zone and locale,
later), gives the same zip byte for byte; and the comparison names what
differs."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE_DIR = os.path.abspath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
sys.path.insert(0, os.path.join(SOURCE_DIR, 'scripts'))
import compare_release  # noqa: E402
import pack_zip  # noqa: E402


def run(folder, umask, jobs, tz, locale, command):
    env = dict(os.environ, CMAKE_BUILD_PARALLEL_LEVEL=str(jobs), TZ=tz,
               LC_ALL=locale)
    return subprocess.run(['bash', '-c', 'umask %s && %s' % (umask, command)],
                          cwd=folder, env=env, stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=1200)


class ReproducibleReleaseTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp(prefix='release-repro-')
        self.addCleanup(shutil.rmtree, self.tmp, True)

    def test_a_rebuild_elsewhere_gives_the_same_zip(self):
        commit = subprocess.run(['git', '-C', SOURCE_DIR, 'rev-parse', 'HEAD'],
                                capture_output=True, text=True,
                                check=True).stdout.strip()
        dirty = subprocess.run(['git', '-C', SOURCE_DIR, 'status',
                                '--porcelain', '--untracked-files=no'],
                               capture_output=True, text=True,
                               check=True).stdout.strip()
        if dirty:
            # The working tree is not the commit: build the commit in a
            # clone of its own first.
            first = run(self.tmp, '077', 2, 'LINT-14', 'C',
                        'git clone -q --no-checkout %s a && cd a && '
                        'git checkout -q --detach %s && scripts/release.sh'
                        % (SOURCE_DIR, commit))
            source, dist = os.path.join(self.tmp, 'a'), 'dist'
        else:
            # The working tree's own builds, made step by step by the
            # build before the tests, against a clean build of a clone.
            dist = os.path.join(self.tmp, 'dist')
            first = run(SOURCE_DIR, '022', 4, 'LINT-14', 'C',
                        'scripts/release.sh %s' % dist)
            source = SOURCE_DIR
        self.assertEqual(0, first.returncode, first.stderr[-3000:])
        second = run(source, '077' if not dirty else '022', 2, 'PST+8',
                     'C.UTF-8', 'scripts/release.sh --verify %s' % dist)
        self.assertEqual(0, second.returncode,
                         second.stdout + second.stderr[-3000:])
        self.assertRegex(second.stdout,
                         r'^release: OK: .* what commit %s builds\n$' % commit)

    def test_the_comparison_names_the_first_difference(self):
        folder = os.path.join(self.tmp, 'top')
        os.mkdir(folder)
        for name, mode in (('a.txt', 0o600), ('b.bin', 0o644)):
            with open(os.path.join(folder, name), 'wb') as f:
                f.write(b'one\ntwo\n')
            os.chmod(os.path.join(folder, name), mode)
        zips = [os.path.join(self.tmp, '%d.zip' % i) for i in range(3)]
        pack_zip.pack(zips[0], self.tmp, 'top', 1700000000)
        os.chmod(os.path.join(folder, 'a.txt'), 0o664)  # another umask
        pack_zip.pack(zips[1], self.tmp, 'top', 1700000000)
        self.assertIsNone(compare_release.first_difference(*zips[:2]))
        with open(os.path.join(folder, 'b.bin'), 'ab') as f:
            f.write(b'three\n')
        pack_zip.pack(zips[2], self.tmp, 'top', 1700000000)
        self.assertRegex(compare_release.first_difference(zips[0], zips[2]),
                         r'^top/b\.bin differs line 3: ')
        pack_zip.pack(zips[2], self.tmp, 'top', 1700000002)
        self.assertRegex(compare_release.first_difference(zips[0], zips[2]),
                         r'^top/a\.txt: its date_time differs')


if __name__ == '__main__':
    unittest.main()
