"""End-to-end tests of the launcher against input it does not control: broken
configuration files, include cycles, a runtime that does not exist and a class
path longer than Windows accepts. Whatever it is given, the launcher must not
crash or hang, must say why in a box where it cannot go on, and must never
start a command line other than the one the configuration describes."""

import os
import random
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Tool'
EXE = APP_DIR + '\\Tool.exe'
CONFIG = APP_DIR + '\\Tool.config'
JAVAW = 'C:\\Java\\jre6\\bin\\javaw.exe'
BASE = 'javapath %s\nmainclass tool.Main\n' % JAVAW

# Exit codes the launcher may end with; anything else (an access violation
# is 0xC0000005) means it crashed.
DOCUMENTED_CODES = (0, 2, 5, 11)


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class HostileTestCase(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        wine_env.install_runtime('C:\\Java\\jre6')
        wine_env.install_launcher(EXE)
        wine_env.windows_version(5)

    def run_tool(self, config, **kwargs):
        if config is not None:
            wine_env.write_file(CONFIG, config, newline='\n')
        r = wine_env.run_launcher(EXE, **kwargs)
        self.assertFalse(r.timed_out, r)
        self.assertIn(r.exit_code, DOCUMENTED_CODES, r)
        return r


class BrokenConfigurationTest(HostileTestCase):
    def test_configuration_that_is_a_directory_fails_like_unreadable(self):
        wine_env.make_dir(CONFIG)
        r = self.run_tool(None)
        self.assertEqual(2, r.exit_code, r)
        self.assertTrue(r.stderr.startswith('Can\'t open jdk.config Error '),
                        r)
        self.assertEqual([], r.runs)

    def test_empty_configuration_is_refused_for_its_missing_main_class(self):
        r = self.run_tool('')
        self.assertEqual(2, r.exit_code, r)
        self.assertEqual(['Error'], r.captions, r)
        self.assertIn('mainclass', r.boxes[0].text)
        self.assertEqual([], r.runs)

    def test_binary_garbage_neither_crashes_nor_starts_anything(self):
        rng = random.Random(7)
        garbage = bytes(rng.randrange(256) for _ in range(20000))
        r = self.run_tool(garbage)
        self.assertEqual(2, r.exit_code, r)
        self.assertEqual([], r.runs)

    def test_garbage_around_valid_lines_leaves_the_valid_lines_working(self):
        rng = random.Random(11)
        noise = bytes(rng.choice(b'\x00\x1b\x7f\xff\xfe\r\t') for _ in range(500))
        config = noise + b'\n' + BASE.encode() + noise + b'\n'
        r = self.run_tool(config)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(1, len(r.runs), r)
        self.assertEqual(JAVAW + ' -classpath tool.Main', r.runs[0].cmdline)

    def test_hundred_thousand_character_line_is_read_in_pieces(self):
        # The long line is split into pieces of 2047 characters; none of them
        # is a keyword line, and the lines after it still count.
        r = self.run_tool('appname ' + 'x' * 100000 + '\n' + BASE)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(1, len(r.runs), r)
        self.assertEqual(JAVAW + ' -classpath tool.Main', r.runs[0].cmdline)

    def test_configuration_that_includes_itself_is_read_once(self):
        r = self.run_tool('vmparam -Da=1\ninclude Tool.config\n' + BASE)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['Error'], r.captions, r)
        self.assertIn('Tool.config includes itself', r.boxes[0].text)
        self.assertEqual(1, len(r.runs), r)
        self.assertEqual(JAVAW + ' -Da=1 -classpath tool.Main',
                         r.runs[0].cmdline)

    def test_include_cycle_through_another_spelling_is_stopped(self):
        wine_env.write_file(APP_DIR + '\\other.config',
                            'vmparam -Db=2\ninclude .\\TOOL.CONFIG\n')
        r = self.run_tool('include other.config\n' + BASE)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['Error'], r.captions, r)
        self.assertEqual(JAVAW + ' -Db=2 -classpath tool.Main',
                         r.runs[0].cmdline)


class RuntimeAndCommandLineTest(HostileTestCase):
    def make_jars(self, count):
        """Empty jar files lib\\library-0000.jar... beside the launcher."""
        lib = wine_env.unix_path(APP_DIR + '\\lib')
        wine_env.make_dir(APP_DIR + '\\lib')
        for i in range(count):
            with open(os.path.join(lib, 'library-%04d.jar' % i), 'wb'):
                pass

    def test_runtime_path_that_does_not_exist_is_reported(self):
        missing = 'C:\\NoSuchJava\\bin\\javaw.exe'
        r = self.run_tool('javapath %s\nmainclass tool.Main\n' % missing)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['Error'], r.captions, r)
        self.assertIn('Command line: %s -classpath tool.Main' % missing,
                      r.boxes[0].text)
        self.assertEqual([], r.runs)

    def test_class_path_over_the_windows_limit_is_refused_not_cut(self):
        self.make_jars(5000)
        r = self.run_tool('addjars lib\n' + BASE)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([], r.runs, 'a cut command line was started')
        self.assertEqual(['Error'], r.captions, r)
        self.assertIn('characters long', r.boxes[0].text)
        self.assertIn('32767', r.boxes[0].text)

    def test_class_path_just_under_the_limit_is_started_whole(self):
        # Each entry 'lib/library-NNNN.jar;' is 21 characters.
        self.make_jars(1500)
        r = self.run_tool('addjars lib\n' + BASE)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(1, len(r.runs), r)
        self.assertEqual(1500, r.runs[0].cmdline.count('.jar'))
        self.assertGreater(len(r.runs[0].cmdline), 30000)


if __name__ == '__main__':
    wine_env.main()
