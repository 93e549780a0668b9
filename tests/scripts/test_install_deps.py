"""scripts/install-deps.sh against stand-ins for apt-get, dpkg-query and dpkg
that come first on PATH: each run plays a mirror in mid-sync (failing
updates), an install that fails until it is retried from the release's own
suite, or one that never succeeds, and checks what the script ran, what it
said and how it ended."""

import os
import shutil
import subprocess
import tempfile
import textwrap
import unittest

SCRIPT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..',
                                      'scripts', 'install-deps.sh'))

# Each stand-in logs its command line, then ends with the next code that the
# plan file of its verb holds (0 once the plan is used up). A failing call
# prints what apt prints in that case.
STANDIN = textwrap.dedent('''\
    #!/bin/sh
    echo "$(basename "$0") $*" >> "$STANDIN_DIR/log"
    case "$(basename "$0") $*" in
      "sudo "*) shift 0; exec "$@" ;;
      "dpkg-query "*) pkg=$(eval echo \\${$#})
        grep -qx "$pkg" "$STANDIN_DIR/installed" && printf 'install ok installed'
        exit 0 ;;
      "dpkg --print-foreign-architectures") exit 0 ;;
      "dpkg "*) exit 0 ;;
      *" update "*|*" update") verb=update ;;
      *) verb=install ;;
    esac
    plan="$STANDIN_DIR/$verb"
    code=$(head -n 1 "$plan" 2>/dev/null); sed -i 1d "$plan" 2>/dev/null
    [ "${code:-0}" -eq 0 ] && exit 0
    if [ $verb = update ]; then
      echo "Err:6 http://deb.example/debian-security bookworm-security/main i386 Packages"
      echo "  File has unexpected size (374820 != 376004). Mirror sync in progress?"
      echo "E: Some index files failed to download." >&2
    else
      echo "E: Unable to correct problems, you have held broken packages." >&2
    fi
    exit "$code"
''')

ALL = ['cmake', 'ninja-build', 'g++', 'libgtest-dev', 'python3', 'clang',
       'libclang-rt-14-dev', 'g++-mingw-w64-i686', 'g++-mingw-w64-x86-64',
       'binutils-mingw-w64-i686', 'wine', 'wine32:i386', 'wine64', 'xvfb',
       'xdotool', 'imagemagick', 'osslsigncode', 'openssl', 'bsdutils',
       'openjdk-17-jdk-headless']
MISSING = ['wine32:i386', 'openjdk-17-jdk-headless']
INSTALL = 'apt-get install -y -q --no-install-recommends ' + ' '.join(MISSING)
RETRY = 'apt-get -t bookworm ' + INSTALL[len('apt-get '):]


class InstallDepsTest(unittest.TestCase):
    def run_script(self, installed, updates, installs):
        folder = tempfile.mkdtemp(prefix='install-deps-')
        self.addCleanup(shutil.rmtree, folder)
        bin_dir = os.path.join(folder, 'bin')
        os.mkdir(bin_dir)
        for name in ('apt-get', 'dpkg-query', 'dpkg', 'sudo'):
            with open(os.path.join(bin_dir, name), 'w') as f:
                f.write(STANDIN)
            os.chmod(os.path.join(bin_dir, name), 0o755)
        for name, lines in (('installed', installed), ('update', updates),
                            ('install', installs)):
            with open(os.path.join(folder, name), 'w') as f:
                f.write(''.join('%s\n' % line for line in lines))
        with open(os.path.join(folder, 'os-release'), 'w') as f:
            f.write('NAME="Debian GNU/Linux"\nVERSION_CODENAME=bookworm\n')
        env = dict(os.environ, PATH=bin_dir + ':' + os.environ['PATH'],
                   STANDIN_DIR=folder, INSTALL_DEPS_RETRY_SECONDS='0',
                   INSTALL_DEPS_OS_RELEASE=os.path.join(folder, 'os-release'))
        done = subprocess.run(['bash', SCRIPT], env=env, capture_output=True,
                              text=True, timeout=60)
        with open(os.path.join(folder, 'log')) as f:
            ran = [line for line in f.read().splitlines()
                   if not line.startswith(('dpkg-query ', 'sudo '))]
        return done, ran

    def test_each_way_a_mirror_can_fail(self):
        some = [p for p in ALL if p not in MISSING]
        update = 'apt-get update -q'
        # A machine without the i386 architecture gets it first.
        arch = ['dpkg --print-foreign-architectures',
                'dpkg --add-architecture i386']
        cases = [
            # name, installed, update codes, install codes,
            # exit code, apt commands run, texts said (in this order)
            ('nothing missing', ALL, [], [], 0, [], []),
            ('update fails for good, install works', some, [100] * 3, [0], 0,
             arch + [update] * 3
             + [INSTALL],
             ['update failed (try 1 of 3)', 'update failed (try 2 of 3)',
              'warning: apt-get update failed 3 times; could not fetch: '
              'http://deb.example/debian-security bookworm-security/main '
              'i386 Packages', 'going on with the package lists']),
            ('update recovers, install needs the release suite', some,
             [100, 0], [100, 0], 0,
             arch + [update, update, INSTALL, RETRY],
             ['update failed (try 1 of 3)',
              'trying once more with -t bookworm, the release\'s own suite']),
            ('install fails both ways', some, [0], [100, 100], 100,
             arch + [update, INSTALL, RETRY],
             ['-t bookworm', 'E: Unable to correct problems, you have held '
              'broken packages.\ninstall-deps: could not install: '
              + ' '.join(MISSING),
              'try again later (run apt-get update first), or choose '
              'another Debian mirror']),
        ]
        for name, installed, updates, installs, code, commands, said in cases:
            with self.subTest(name):
                done, ran = self.run_script(installed, updates, installs)
                self.assertEqual(code, done.returncode, done.stderr)
                self.assertEqual(commands, ran)
                at = 0
                for text in said:
                    found = done.stderr.find(text, at)
                    self.assertGreaterEqual(found, 0, (text, done.stderr))
                    at = found + len(text)
                if not said:
                    self.assertEqual('', done.stdout + done.stderr)


if __name__ == '__main__':
    unittest.main()
