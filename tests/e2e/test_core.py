"""End-to-end tests of the launcher core under Wine: the command line the
runtime receives, the early-failure report, the 999 restart, locating the
configuration, debug mode's boxes, and the child's title and directory."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Tool'
EXE = APP_DIR + '\\Tool.exe'
CONFIG = APP_DIR + '\\Tool.config'
JAVAW = 'C:\\Java\\jre6\\bin\\javaw.exe'

TYPICAL_CONFIG = (
    'vmparam -Xmx256m\n'
    'addpath lib/a.jar\n'
    'addjar lib/b.jar\n'
    'mainclass tool.Main\n'
    'javapath ' + JAVAW + '\n')

TYPICAL_PREFIX = JAVAW + ' -Xmx256m -classpath lib/a.jar;lib/b.jar tool.Main'


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class CoreTestCase(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        wine_env.install_runtime('C:\\Java\\jre6')

    def install_tool(self, config=TYPICAL_CONFIG, exe=EXE, config_path=CONFIG,
                     major=5):
        wine_env.install_launcher(exe)
        if config is not None:
            wine_env.write_file(config_path, config)
        wine_env.windows_version(major)
        return exe

    def assertNoBoxes(self, result):
        self.assertEqual([], result.boxes, result)


class TypicalRunTest(CoreTestCase):
    def test_runtime_gets_the_assembled_command_line_on_xp(self):
        exe = self.install_tool(major=5)
        r = wine_env.run_launcher(exe, ['report.txt'])
        self.assertEqual(0, r.exit_code, r)
        self.assertNoBoxes(r)
        self.assertEqual(1, len(r.runs), r)
        run = r.runs[0]
        self.assertEqual(TYPICAL_PREFIX + ' report.txt ', run.cmdline)
        self.assertEqual(APP_DIR, run.cwd)
        self.assertEqual(JAVAW, run.exe)
        self.assertEqual('', r.stdout)
        self.assertEqual('', r.stderr)

    def test_arguments_are_quoted_from_major_version_6(self):
        exe = self.install_tool(major=6)
        r = wine_env.run_launcher(exe, ['report.txt'])
        self.assertEqual(0, r.exit_code, r)
        self.assertNoBoxes(r)
        self.assertEqual([TYPICAL_PREFIX + ' "report.txt" '],
                         [run.cmdline for run in r.runs])


class EarlyFailureTest(CoreTestCase):
    def expected_error(self, code):
        return ('Error launching Class tool.Main\n with Java %s.\nError=%d'
                % (JAVAW, code))

    def test_quick_failure_is_reported_in_an_error_box(self):
        exe = self.install_tool()
        r = wine_env.run_launcher(exe, ['report.txt'],
                                  runtime_script=[(1, 0)])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(
            [('Error', self.expected_error(1), ('ok',), 'icon')],
            [(b.caption, b.text, b.buttons, b.icon) for b in r.boxes])
        self.assertEqual(1, len(r.runs))

    def test_negative_exit_code_is_shown_signed(self):
        exe = self.install_tool()
        r = wine_env.run_launcher(exe, [], runtime_script=[(-5, 0)])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([self.expected_error(-5)],
                         [b.text for b in r.boxes])

    def test_failure_after_three_seconds_is_not_reported(self):
        exe = self.install_tool()
        r = wine_env.run_launcher(exe, ['report.txt'],
                                  runtime_script=[(1, 3500)])
        self.assertEqual(0, r.exit_code, r)
        self.assertNoBoxes(r)
        self.assertEqual(1, len(r.runs))

    def test_exit_999_restarts_with_the_same_command_line(self):
        exe = self.install_tool()
        r = wine_env.run_launcher(exe, ['report.txt'],
                                  runtime_script=[(999, 0), (0, 0)])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(
            [('Error', self.expected_error(999))],
            [(b.caption, b.text) for b in r.boxes])
        self.assertTrue(r.boxes[0].text.endswith('Error=999'))
        self.assertEqual([TYPICAL_PREFIX + ' report.txt '] * 2,
                         [run.cmdline for run in r.runs])
        self.assertEqual([APP_DIR] * 2, [run.cwd for run in r.runs])

    def test_missing_runtime_executable_is_reported_and_nothing_starts(self):
        missing = 'C:\\Java\\none\\bin\\javaw.exe'
        exe = self.install_tool(TYPICAL_CONFIG.replace(JAVAW, missing))
        r = wine_env.run_launcher(exe, ['report.txt'])
        self.assertEqual([], r.runs)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(1, len(r.boxes), r)
        box = r.boxes[0]
        self.assertEqual(('Error', 'icon'), (box.caption, box.icon))
        command = (missing + ' -Xmx256m -classpath lib/a.jar;lib/b.jar '
                   'tool.Main report.txt ')
        self.assertIn(command, box.text)
        # The system's own wording for "file not found" (error 2).
        self.assertRegex(box.text[box.text.index(command) + len(command):],
                         r'(?i)\b2\b.*not found')


class ConfigurationLocationTest(CoreTestCase):
    MISSING = "Can't open jdk.config Error No such file or directory\r\n"

    def test_missing_configuration_ends_with_code_2(self):
        exe = self.install_tool(config=None)
        r = wine_env.run_launcher(exe, ['report.txt'])
        self.assertEqual(2, r.exit_code, r)
        self.assertEqual(self.MISSING, r.stderr)
        self.assertEqual('', r.stdout)
        self.assertNoBoxes(r)
        self.assertEqual([], r.runs)

    def test_byte_order_marks_of_windows_editors_are_understood(self):
        # The runtime is named on the first line, right after the mark.
        config = 'javapath ' + JAVAW + '\r\n' + TYPICAL_CONFIG.replace(
            '\n', '\r\n')
        exe = self.install_tool(config=None)
        for content in (b'\xef\xbb\xbf' + config.encode('ascii'),
                        b'\xff\xfe' + config.encode('utf-16-le')):
            wine_env.write_file(CONFIG, content)
            r = wine_env.run_launcher(exe, ['report.txt'])
            self.assertEqual(0, r.exit_code, r)
            self.assertNoBoxes(r)
            self.assertEqual([TYPICAL_PREFIX + ' report.txt '],
                             [run.cmdline for run in r.runs])

    def test_lone_c_switch_fails_like_a_missing_file(self):
        exe = self.install_tool()
        r = wine_env.run_launcher(exe, ['-c'])
        self.assertEqual(2, r.exit_code, r)
        self.assertEqual(self.MISSING, r.stderr)
        self.assertEqual([], r.runs)

    def test_c_switch_names_another_file(self):
        exe = self.install_tool(config=None)
        wine_env.write_file(APP_DIR + '\\other.cfg',
                            TYPICAL_CONFIG.replace('tool.Main', 'other.Main'))
        wine_env.write_file('C:\\Conf\\abs.cfg',
                            TYPICAL_CONFIG.replace('tool.Main', 'abs.Main'))
        # A relative name resolves against the executable's directory.
        r = wine_env.run_launcher(exe, ['-cother.cfg', 'x'])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(
            [JAVAW + ' -Xmx256m -classpath lib/a.jar;lib/b.jar other.Main x '],
            [run.cmdline for run in r.runs])
        r = wine_env.run_launcher(exe, ['-cother.cfg', '-cC:\\Conf\\abs.cfg'])
        self.assertEqual(
            [JAVAW + ' -Xmx256m -classpath lib/a.jar;lib/b.jar abs.Main'],
            [run.cmdline for run in r.runs])

    def test_only_lower_case_exe_ending_is_replaced(self):
        exe = self.install_tool(config=None, exe=APP_DIR + '\\TOOL.EXE')
        wine_env.write_file(APP_DIR + '\\TOOL.config',
                            TYPICAL_CONFIG.replace('tool.Main', 'wrong.Main'))
        wine_env.write_file(APP_DIR + '\\TOOL.EXE.config', TYPICAL_CONFIG)
        r = wine_env.run_launcher(exe, [])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([TYPICAL_PREFIX], [run.cmdline for run in r.runs])


class DebugModeTest(CoreTestCase):
    def expected_boxes(self, quoted):
        argument = '"report.txt"' if quoted else 'report.txt'
        boxes = [
            ('Version', '1.0.16'),
            ('LpCmdLine', '[' + EXE + ']'),
            ('CWD', APP_DIR),
            ('Reading App Config file', '[' + CONFIG + ']'),
            ('Reading Config file', CONFIG),
            ('MainClass is', 'tool.Main'),
            ('Javapath is', JAVAW),
        ]
        if quoted:
            boxes.insert(0, ('Running on Vista', '1.0.16'))
            boxes.append(('Adding double quotes around', 'report.txt'))
        boxes += [
            ('Starting dir', ''),
            ('Command Line is', TYPICAL_PREFIX + ' ' + argument + ' '),
        ]
        return boxes

    def check_debug_run(self, major):
        exe = self.install_tool(major=major)
        r = wine_env.run_launcher(exe, ['-d', 'report.txt'])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(self.expected_boxes(major > 5),
                         [(b.caption, b.text) for b in r.boxes])
        self.assertTrue(all(b.buttons == ('ok',) and b.icon == 'none'
                            for b in r.boxes), r.boxes)
        # Debug mode starts what javapath names, not java.exe.
        self.assertEqual([JAVAW], [run.exe for run in r.runs])
        self.assertEqual(r.boxes[-1].text, r.runs[0].cmdline)
        self.assertEqual(
            'reading app config ' + CONFIG + '\r\n'
            'vmparam 0=-Xmx256m\r\n'
            'vmpath 0=lib/a.jar\r\n'
            'vmpath 1=lib/b.jar\r\n'
            'cmdLine is 96 chars long\r\n'
            'CreateProcess ret 1, exitCode=0\r\n', r.stdout)

    def test_debug_boxes_on_xp(self):
        self.check_debug_run(5)

    def test_debug_boxes_on_vista_and_later(self):
        self.check_debug_run(6)

    def test_debug_run_with_missing_configuration_repeats_program_path(self):
        exe = self.install_tool(config=None)
        r = wine_env.run_launcher(exe, ['-d'])
        self.assertEqual(2, r.exit_code, r)
        self.assertEqual(
            ['Version', 'LpCmdLine', 'CWD', 'Reading App Config file',
             'Reading Config file', 'LpCmdLine'], r.captions)
        self.assertEqual('[' + EXE + ']', r.boxes[-1].text)


class ChildSetupTest(CoreTestCase):
    def test_console_title_and_working_directory_reach_the_child(self):
        wine_env.make_dir('C:\\Work Dir')
        exe = self.install_tool(TYPICAL_CONFIG +
                                'consoleTitle My Tool Console\n'
                                'workingDir C:\\Work Dir\n')
        r = wine_env.run_launcher(exe, [])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(1, len(r.runs), r)
        self.assertEqual('My Tool Console', r.runs[0].title)
        self.assertEqual('C:\\Work Dir', r.runs[0].cwd)

    def test_without_working_directory_child_inherits_the_start_dir(self):
        exe = self.install_tool()
        r = wine_env.run_launcher(exe, [], cwd='C:\\e2e')
        self.assertEqual([APP_DIR], [run.cwd for run in r.runs])

    def test_runtime_path_with_a_space_is_started(self):
        javaw = wine_env.install_runtime('C:\\Program Files\\Java\\jre6')
        exe = self.install_tool(
            TYPICAL_CONFIG.replace(JAVAW, '"%s"' % javaw))
        r = wine_env.run_launcher(exe, ['report.txt'])
        self.assertEqual(0, r.exit_code, r)
        self.assertNoBoxes(r)
        self.assertEqual([javaw], [run.exe for run in r.runs])
        self.assertEqual(
            '"%s" -Xmx256m -classpath lib/a.jar;lib/b.jar tool.Main '
            'report.txt ' % javaw, r.runs[0].cmdline)

    def test_relative_program_path_keeps_the_current_directory(self):
        # Without a drive letter the launcher neither changes directory nor
        # looks beside the executable: 'Tool\\Tool.exe' run from C:\\Apps
        # reads C:\\Apps\\Tool.config.
        exe = self.install_tool(config=None)
        wine_env.write_file('C:\\Apps\\Tool.config',
                            TYPICAL_CONFIG.replace('tool.Main', 'rel.Main'))
        r = wine_env.run_launcher(exe, cmdline='Tool\\Tool.exe',
                                  cwd='C:\\Apps')
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['C:\\Apps'], [run.cwd for run in r.runs])
        self.assertIn(' rel.Main', r.runs[0].cmdline)


class ArgumentPassingTest(CoreTestCase):
    SAMPLE = [
        'plain',
        'two words',
        'tab\tinside',
        'say "hi"',
        '"',
        '""',
        'C:\\My Dir\\',
        'C:\\NoSpace\\',
        'back\\slash',
        'two\\\\"quote',
        '\\\\server\\share',
        '*.config',
        'what?',
        'a "b c" d\\',
    ]

    def check_arguments_survive(self, major):
        exe = self.install_tool(major=major)
        r = wine_env.run_launcher(exe, self.SAMPLE)
        self.assertEqual(0, r.exit_code, r)
        self.assertNoBoxes(r)
        self.assertEqual(1, len(r.runs), r)
        argv = r.runs[0].argv
        self.assertEqual(
            [JAVAW, '-Xmx256m', '-classpath', 'lib/a.jar;lib/b.jar',
             'tool.Main'], argv[:5])
        self.assertEqual(self.SAMPLE, argv[5:])

    def test_arguments_reach_the_application_unchanged_on_xp(self):
        self.check_arguments_survive(5)

    def test_arguments_reach_the_application_unchanged_on_vista(self):
        self.check_arguments_survive(6)

    def test_raw_command_line_is_split_like_the_c_runtime_does(self):
        exe = self.install_tool()
        raw = EXE + ' "a b"c  d\\\\"e f" "g\\\\" h\\i'
        r = wine_env.run_launcher(exe, cmdline=raw)
        self.assertEqual(1, len(r.runs), r)
        self.assertEqual(['a bc', 'd\\e f', 'g\\', 'h\\i'],
                         r.runs[0].argv[5:])


if __name__ == '__main__':
    wine_env.main()
