"""End-to-end tests of finding the runtime through the registry under Wine:
real keys under HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment (the
prefix is 32-bit, so what is written here is what the launcher reads), the
update-level choice and its traces, the download question with the URL
handler it starts, and every registry failure's box."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

SOURCE_DIR = os.path.abspath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))

APP_DIR = 'C:\\Apps\\Tool'
EXE = APP_DIR + '\\Tool.exe'
CONFIG = APP_DIR + '\\Tool.config'
JRE_KEY = 'HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment'
KEY_PATH = 'SOFTWARE\\JavaSoft\\Java Runtime Environment'
HOME = 'C:\\Java\\jre6'
JAVAW = HOME + '\\bin\\javaw.exe'
NOT_FOUND = 'Java Runtime Environment Not Found'
INCOMPATIBLE = 'Incompatible JRE Version Found'


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


def consumer_site():
    with open(os.path.join(SOURCE_DIR, 'runtime', 'download_prompt.h')) as f:
        match = re.search(r'kConsumerDownloadSite\[\]\s*=\s*"([^"]*)"',
                          f.read())
    return match.group(1)


def question(version, name='Tool'):
    return ('%s requires the Java Runtime Environment version %s\n'
            'Do you want to download it?' % (name, version))


class RegistryTestCase(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        wine_env.install_launcher(EXE)
        wine_env.windows_version(5)

    def install(self, version, home):
        """Registers a runtime version with its home and installs the
        stand-in there."""
        wine_env.install_runtime(home)
        wine_env.set_registry_value(JRE_KEY + '\\' + version, 'JavaHome', home)

    def run_tool(self, config, args=(), answers=()):
        wine_env.write_file(CONFIG, config)
        return wine_env.run_launcher(EXE, list(args), answers=answers)

    def assertBoxes(self, expected, result):
        self.assertEqual(expected, [(b.caption, b.text, b.buttons, b.icon)
                                    for b in result.boxes], result)


class CurrentRuntimeTest(RegistryTestCase):
    def setUp(self):
        super().setUp()
        self.install('1.6', HOME)
        wine_env.set_registry_value(JRE_KEY, 'CurrentVersion', '1.6')

    def test_current_runtime_is_started_on_xp(self):
        r = self.run_tool('mainclass tool.Main\n', ['report.txt'])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([], r.boxes)
        self.assertEqual([(JAVAW, JAVAW + ' -classpath tool.Main report.txt ')],
                         [(run.exe, run.cmdline) for run in r.runs])

    def test_current_runtime_is_quoted_from_version_6(self):
        wine_env.windows_version(6)
        r = self.run_tool('mainclass tool.Main\n', ['report.txt'])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(
            ['"%s" -classpath tool.Main "report.txt" ' % JAVAW],
            [run.cmdline for run in r.runs])

    def test_debug_mode_starts_the_console_runtime(self):
        java = HOME + '\\bin\\java.exe'
        r = self.run_tool('mainclass tool.Main\n', ['-d'])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([(java, java + ' -classpath tool.Main')],
                         [(run.exe, run.cmdline) for run in r.runs])
        self.assertIn(('Javapath is', java),
                      [(b.caption, b.text) for b in r.boxes])

    def test_home_with_a_space_is_quoted_on_xp(self):
        home = 'C:\\Program Files\\Java\\jre6'
        self.install('1.6', home)
        r = self.run_tool('mainclass tool.Main\n')
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([], r.boxes)
        self.assertEqual(
            [(home + '\\bin\\javaw.exe',
              '"%s\\bin\\javaw.exe" -classpath tool.Main' % home)],
            [(run.exe, run.cmdline) for run in r.runs])

    def test_home_stored_without_its_nul_is_read_exactly(self):
        wine_env.set_registry_value(JRE_KEY + '\\1.6', 'JavaHome', HOME,
                                    kind='sz_nonul')
        r = self.run_tool('mainclass tool.Main\n')
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([JAVAW + ' -classpath tool.Main'],
                         [run.cmdline for run in r.runs])

    def test_home_stored_as_a_number_is_reported_not_crashed_on(self):
        # 0x41 is stored as the bytes 'A', 0, 0, 0: read as text, the home
        # is 'A', whose runtime cannot be started.
        wine_env.set_registry_value(JRE_KEY + '\\1.6', 'JavaHome', 0x41,
                                    kind='dword')
        r = self.run_tool('mainclass tool.Main\n')
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([], r.runs)
        self.assertEqual(1, len(r.boxes), r)
        box = r.boxes[0]
        self.assertEqual(('Error', ('ok',), 'icon'),
                         (box.caption, box.buttons, box.icon))
        self.assertIn('A\\bin\\javaw.exe -classpath tool.Main', box.text)


class RegistryFailureTest(RegistryTestCase):
    def check_error(self, text):
        r = self.run_tool('mainclass tool.Main\n')
        self.assertEqual(0, r.exit_code, r)
        self.assertBoxes([('Error!', text, ('ok',), 'icon')], r)
        self.assertEqual([], r.runs)
        return r

    def test_no_javasoft_key(self):
        self.check_error('No Java Installation Found')

    def test_current_version_missing(self):
        self.install('1.6', HOME)
        self.check_error('No Java Installation Found')

    def test_current_version_names_no_key(self):
        self.install('1.6', HOME)
        wine_env.set_registry_value(JRE_KEY, 'CurrentVersion', '1.7')
        self.check_error('No Java Installation (No Current Version) Found')

    def test_version_key_without_home(self):
        wine_env.set_registry_value(JRE_KEY, 'CurrentVersion', '1.6')
        wine_env.set_registry_value(JRE_KEY + '\\1.6', 'RuntimeLib', 'x.dll')
        self.check_error('No Java Installation Home Directory Found')

    def test_empty_home_starts_nothing_at_the_drive_root(self):
        # '\\bin\\javaw.exe' would be this program on the current drive.
        wine_env.install_standin('C:\\bin\\javaw.exe')
        wine_env.set_registry_value(JRE_KEY, 'CurrentVersion', '1.6')
        for value, kind in (('', 'sz'), (0, 'dword')):
            wine_env.set_registry_value(JRE_KEY + '\\1.6', 'JavaHome', value,
                                        kind=kind)
            self.check_error('No Java Installation Home Directory Found')

    def test_debug_mode_names_the_failing_step(self):
        wine_env.set_registry_value(JRE_KEY, 'CurrentVersion', '1.6')
        wine_env.set_registry_value(JRE_KEY + '\\1.6', 'RuntimeLib', 'x.dll')
        r = self.run_tool('mainclass tool.Main\n', ['-d'])
        self.assertEqual(0, r.exit_code, r)
        errors = [(b.caption, b.text) for b in r.boxes if b.icon == 'icon']
        self.assertEqual(
            [('Error Reading Registry!', 'Java Home Directory'),
             ('Error!', 'No Java Installation Home Directory Found')], errors)
        self.assertEqual([], r.runs)

    def test_configured_version_without_home(self):
        wine_env.set_registry_value(JRE_KEY + '\\1.6.0_20', 'RuntimeLib',
                                    'x.dll')
        r = self.run_tool('mainclass tool.Main\njavaVersion 1.6.0_20\n')
        self.assertEqual(5, r.exit_code, r)
        self.assertBoxes(
            [('Error!', 'No Java Home Directory Found for %s\\1.6.0_20 '
              % KEY_PATH, ('ok',), 'icon')], r)
        self.assertEqual([], r.runs)


class ConfiguredVersionTest(RegistryTestCase):
    FAMILY = {
        '1.6': 'C:\\Java\\v16',
        '1.6.0': 'C:\\Java\\v160',
        '1.6.0_9': 'C:\\Java\\u9',
        '1.6.0_10': 'C:\\Java\\u10',
        '1.5.0_22': 'C:\\Java\\u5_22',
    }

    def install_family(self):
        for version, home in self.FAMILY.items():
            self.install(version, home)

    def test_family_picks_the_highest_update_by_number(self):
        self.install_family()
        r = self.run_tool('mainclass tool.Main\njavaVersion 1.6\n')
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([], r.boxes)
        self.assertEqual(
            [('C:\\Java\\u10\\bin\\javaw.exe',
              'C:\\Java\\u10\\bin\\javaw.exe -classpath tool.Main')],
            [(run.exe, run.cmdline) for run in r.runs])

        # The selection traces appear without debug mode. Subkeys are
        # checked in the registry's own order.
        lines = r.stdout.split('\r\n')
        self.assertTrue(r.stdout.endswith('\r\n'), r.stdout)
        self.assertEqual('javaVersion=1.6, javaVer=1.6', lines[0])
        checked = [re.fullmatch(r'checking \((\d+)\) (.*)', line)
                   for line in lines]
        checked = [(int(m.group(1)), m.group(2)) for m in checked if m]
        self.assertEqual(list(range(1, len(self.FAMILY) + 1)),
                         [index for index, _ in checked])
        order = [name for _, name in checked]
        self.assertEqual(set(self.FAMILY), set(order))
        for line in ('No patch level found in 1.6',
                     'No patch level found in 1.6.0',
                     'found correct java version 1.6.0_9. checking patch '
                     'level',
                     'found correct java version 1.6.0_10. checking patch '
                     'level'):
            self.assertIn(line, lines)
        self.assertNotIn('found correct java version 1.5.0_22. checking '
                         'patch level', lines)
        ten_first = order.index('1.6.0_10') < order.index('1.6.0_9')
        self.assertIn('checking patch level 9 against %d'
                      % (10 if ten_first else 0), lines)
        self.assertIn('checking patch level 10 against %d'
                      % (0 if ten_first else 9), lines)
        latest = [line for line in lines
                  if line.startswith('found latest java version ')]
        self.assertEqual('found latest java version 1.6.0_10', latest[-1])
        self.assertEqual('', r.stderr)

    def test_exact_update_is_used_without_a_search(self):
        self.install('1.6.0_20', 'C:\\Java\\u20')
        self.install('1.6.0_24', 'C:\\Java\\u24')
        r = self.run_tool('mainclass tool.Main\njavaVersion 1.6.0_20\n')
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['C:\\Java\\u20\\bin\\javaw.exe'],
                         [run.exe for run in r.runs])
        self.assertEqual('', r.stdout)

    def test_minimum_update_accepts_a_higher_one(self):
        self.install('1.6.0_20', 'C:\\Java\\u20')
        self.install('1.6.0_24', 'C:\\Java\\u24')
        r = self.run_tool('mainclass tool.Main\njavaVersion 1.6.0_20+\n')
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['C:\\Java\\u24\\bin\\javaw.exe'],
                         [run.exe for run in r.runs])
        self.assertIn('javaVersion=1.6.0_20+, javaVer=1.6.0\r\n', r.stdout)
        self.assertIn('found latest java version 1.6.0_24\r\n', r.stdout)

    def test_configured_version_is_quoted_from_version_6(self):
        wine_env.windows_version(6)
        self.install('1.6.0_20', 'C:\\Java\\u20')
        r = self.run_tool('mainclass tool.Main\njavaVersion 1.6.0_20\n')
        self.assertEqual(['"C:\\Java\\u20\\bin\\javaw.exe" -classpath '
                          'tool.Main'], [run.cmdline for run in r.runs])


class DownloadQuestionTest(RegistryTestCase):
    def setUp(self):
        super().setUp()
        # The URL handler is found beside the launcher first.
        wine_env.install_standin(APP_DIR + '\\rundll32.exe')
        self.install('1.6.0_17', 'C:\\Java\\u17')

    def test_missing_version_answered_no(self):
        r = self.run_tool('appname Tool\nmainclass tool.Main\n'
                          'javaVersion 1.6.0_99\n', answers=['n'])
        self.assertEqual(5, r.exit_code, r)
        self.assertBoxes(
            [(NOT_FOUND, question('1.6.0_99'), ('y', 'n'), 'icon')], r)
        self.assertEqual([], wine_env.collect_runs(1, timeout=2))

    def test_yes_for_the_1_5_family_opens_the_latest_runtime_page(self):
        r = self.run_tool('appname Tool\nmainclass tool.Main\n'
                          'javaVersion 1.5\n', answers=['y'])
        self.assertEqual(5, r.exit_code, r)
        self.assertBoxes(
            [(NOT_FOUND, question('1.5'), ('y', 'n'), 'icon')], r)
        runs = wine_env.collect_runs(1)
        self.assertEqual(
            [('rundll32 url.dll,FileProtocolHandler "%s'
              '/en/download/download_the_latest.jsp"' % consumer_site(),
              APP_DIR + '\\rundll32.exe')],
            [(run.cmdline, run.exe) for run in runs])

    def test_too_low_update_ends_with_11(self):
        # Yes opens nothing for a version without a download page.
        r = self.run_tool('mainclass tool.Main\nappname Tool\n'
                          'javaVersion 1.6.0_20+\n', answers=['y'])
        self.assertEqual(11, r.exit_code, r)
        self.assertBoxes(
            [(INCOMPATIBLE, question('1.6.0_20+'), ('y', 'n'), 'icon')], r)
        self.assertIn('checking patch level 17 against 20\r\n', r.stdout)
        self.assertNotIn('found latest java version', r.stdout)
        self.assertEqual([], wine_env.collect_runs(1, timeout=2))

    def test_version_before_appname_names_the_application_null(self):
        r = self.run_tool('javaVersion 1.6.0_99\nappname Tool\n',
                          answers=['n'])
        self.assertEqual(5, r.exit_code, r)
        self.assertEqual([question('1.6.0_99', '(null)')],
                         [b.text for b in r.boxes])


if __name__ == '__main__':
    wine_env.main()
