"""End-to-end tests of the registry lookup's bitness on a 64-bit Wine
prefix: the 32-bit launcher (under WoW64) reads the 32-bit registry view,
the 64-bit launcher the 64-bit one, and both build the same command line
from the same settings. Each run tests the launcher of its bits (E2E_BITS)
against the same registry."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Tool'
BITS = wine_env.run_bits()
JRE_KEY = 'HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment'
HOME32 = 'C:\\Java\\jre6-x86'
HOME64 = 'C:\\Java\\jre6-x64'
NOT_FOUND = 'Java Runtime Environment Not Found'

TYPICAL_CONFIG = (
    'vmparam -Xmx256m\n'
    'addpath lib/a.jar\n'
    'addjar lib/b.jar\n'
    'mainclass tool.Main\n')


def setUpModule():
    wine_env.start(arch='win64')


def tearDownModule():
    wine_env.stop()


def javaw(home):
    return home + '\\bin\\javaw.exe'


class BitnessTestCase(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        self.exe = wine_env.install_launcher(
            APP_DIR + '\\Tool%d.exe' % BITS)
        wine_env.windows_version(5)

    def configure(self, config):
        wine_env.write_file(self.exe[:-len('.exe')] + '.config', config)

    def register(self, view, version, home, current=True):
        """Registers a runtime in one registry view only; its stand-in is of
        the same bitness as the view."""
        wine_env.install_runtime(home, bits=view)
        wine_env.set_registry_value(JRE_KEY + '\\' + version, 'JavaHome', home,
                                    view=view)
        if current:
            wine_env.set_registry_value(JRE_KEY, 'CurrentVersion', version,
                                        view=view)

    def run_tool(self, args=(), answers=()):
        return wine_env.run_launcher(self.exe, list(args), answers=answers)

    def assertStarted(self, cmdline, result):
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual([], result.boxes, result)
        self.assertEqual([cmdline], [run.cmdline for run in result.runs],
                         result)

    def assertNoInstallation(self, result):
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual(
            [('Error!', 'No Java Installation Found', ('ok',), 'icon')],
            [(b.caption, b.text, b.buttons, b.icon) for b in result.boxes],
            result)
        self.assertEqual([], result.runs, result)


class CurrentRuntimeViewTest(BitnessTestCase):
    def test_runtime_only_in_the_64_bit_view(self):
        self.configure('mainclass tool.Main\n')
        self.register(64, '1.6', HOME64)
        r = self.run_tool()
        if BITS == 32:
            self.assertNoInstallation(r)
            return
        self.assertStarted(javaw(HOME64) + ' -classpath tool.Main', r)
        self.assertEqual([javaw(HOME64)], [run.exe for run in r.runs])

    def test_runtime_only_in_the_32_bit_view(self):
        self.configure('mainclass tool.Main\n')
        self.register(32, '1.6', HOME32)
        r = self.run_tool()
        if BITS == 64:
            self.assertNoInstallation(r)
            return
        self.assertStarted(javaw(HOME32) + ' -classpath tool.Main', r)
        self.assertEqual([javaw(HOME32)], [run.exe for run in r.runs])

    def test_each_launcher_takes_the_runtime_of_its_own_view(self):
        self.configure('mainclass tool.Main\n')
        self.register(32, '1.6', HOME32)
        self.register(64, '1.6', HOME64)
        home = HOME32 if BITS == 32 else HOME64
        self.assertStarted(javaw(home) + ' -classpath tool.Main',
                           self.run_tool())

    def test_current_version_of_the_other_view_is_not_mixed_in(self):
        # The 32-bit view names 1.7 as current but holds only 1.6's key;
        # the 64-bit view's 1.7 key must not fill the gap.
        self.configure('mainclass tool.Main\n')
        self.register(32, '1.6', HOME32, current=False)
        wine_env.set_registry_value(JRE_KEY, 'CurrentVersion', '1.7', view=32)
        self.register(64, '1.7', HOME64)
        r = self.run_tool()
        if BITS == 64:
            self.assertStarted(javaw(HOME64) + ' -classpath tool.Main', r)
            return
        self.assertEqual(
            ['No Java Installation (No Current Version) Found'],
            [b.text for b in r.boxes], r)
        self.assertEqual([], r.runs)


class ConfiguredVersionViewTest(BitnessTestCase):
    def test_update_family_is_chosen_within_the_own_view(self):
        # The highest 1.6 update sits in the 64-bit view only; the 32-bit
        # launcher picks the best one of its own view.
        self.configure('appname Tool\nmainclass tool.Main\njavaVersion 1.6\n')
        self.register(32, '1.6.0_20', 'C:\\Java\\u20', current=False)
        self.register(64, '1.6.0_20', 'C:\\Java\\u20-x64', current=False)
        self.register(64, '1.6.0_24', 'C:\\Java\\u24-x64', current=False)
        home, update = {32: ('C:\\Java\\u20', '20'),
                        64: ('C:\\Java\\u24-x64', '24')}[BITS]
        r = self.run_tool()
        self.assertStarted(javaw(home) + ' -classpath tool.Main', r)
        self.assertIn('found latest java version 1.6.0_%s\r\n' % update,
                      r.stdout)

    def test_version_in_the_other_view_only_asks_for_a_download(self):
        self.configure('appname Tool\nmainclass tool.Main\n'
                       'javaVersion 1.6.0_24\n')
        self.register(64, '1.6.0_24', 'C:\\Java\\u24-x64', current=False)
        r = self.run_tool(answers=['n'])
        if BITS == 64:
            self.assertStarted(
                javaw('C:\\Java\\u24-x64') + ' -classpath tool.Main', r)
            return
        self.assertEqual(5, r.exit_code, r)
        self.assertEqual(
            [(NOT_FOUND, 'Tool requires the Java Runtime Environment version '
              '1.6.0_24\nDo you want to download it?', ('y', 'n'))],
            [(b.caption, b.text, b.buttons) for b in r.boxes])
        self.assertEqual([], r.runs)


class SameCommandLineTest(BitnessTestCase):
    """The typical run gives the runtime the same command line whichever
    executable started it: each run's is checked against the same text."""

    def setUp(self):
        super().setUp()
        home = 'C:\\Program Files\\Java\\jre6'
        self.javaw = javaw(home)
        self.register(32, '1.6', home)
        self.register(64, '1.6', home)
        self.configure(TYPICAL_CONFIG)

    def check(self, major, expected):
        wine_env.windows_version(major)
        args = ['report.txt', 'two words', 'a"quote']
        r = self.run_tool(args)
        self.assertStarted(expected, r)
        self.assertEqual(args, r.runs[0].argv[-3:])
        self.assertEqual(APP_DIR, r.runs[0].cwd)
        self.assertEqual('', r.stdout)

    def test_on_xp(self):
        self.check(5, '"%s" -Xmx256m -classpath lib/a.jar;lib/b.jar tool.Main'
                      ' report.txt "two words" a\\"quote ' % self.javaw)

    def test_from_version_6(self):
        self.check(6, '"%s" -Xmx256m -classpath lib/a.jar;lib/b.jar tool.Main'
                      ' "report.txt" "two words" "a\\"quote" ' % self.javaw)


class PlatformSelfTest(unittest.TestCase):
    """The Win32 platform layer's self-test of the run's bits on this
    prefix: handles, registry and processes at its pointer size."""

    def test_self_test_passes(self):
        wine_env.reset()
        exe = wine_env.install_build_file(
            'platform_windows_test.exe',
            'C:\\PlatformTest%d\\platform_windows_test.exe' % BITS, bits=BITS)
        r = wine_env.run_launcher(exe, [], cwd='C:\\PlatformTest%d' % BITS,
                                  timeout=90)
        report = r.stdout + r.stderr
        self.assertEqual(0, r.exit_code, (BITS, r, report))
        self.assertEqual([], r.boxes, report)
        summary = re.search(r'^(\d+) checks, 0 failed\r?$', r.stdout,
                            re.MULTILINE)
        self.assertIsNotNone(summary, report)
        self.assertGreater(int(summary.group(1)), 0, report)


if __name__ == '__main__':
    wine_env.main()
