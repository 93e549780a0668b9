"""End-to-end tests of '$NAME' references in configuration values and of the
'addjars' directory scan under Wine: what the launcher reads from its real
environment and from real directories of the prefix, checked through the
command line that the stand-in runtime receives."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Tool'
EXE = APP_DIR + '\\Tool.exe'
CONFIG = APP_DIR + '\\Tool.config'
JAVAW = 'C:\\Java\\jre6\\bin\\javaw.exe'
BASE_CONFIG = 'mainclass tool.Main\njavapath ' + JAVAW + '\n'


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


def platform_listing(pattern, cwd=APP_DIR):
    """Names that the system's own directory search returns for pattern, in
    its order (files and directories), as Wine's command interpreter sees
    them."""
    r = wine_env.run_launcher(
        'cmd.exe', cmdline='cmd.exe /c dir /b /a %s' % pattern, cwd=cwd)
    if r.exit_code != 0:
        raise AssertionError('directory listing failed: %r' % r)
    return [line for line in r.stdout.split('\r\n') if line]


class ExpansionTestCase(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        wine_env.install_runtime('C:\\Java\\jre6')
        wine_env.install_launcher(EXE)
        wine_env.windows_version(5)

    def run_tool(self, config, args=(), env=None, answers=()):
        wine_env.write_file(CONFIG, config)
        r = wine_env.run_launcher(EXE, list(args), env=env, answers=answers)
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(1, len(r.runs), r)
        return r


class ValueExpansionTest(ExpansionTestCase):
    ENV = {
        'APP': 'C:\\My Apps\\Tool\\',
        'JH': 'C:\\Program Files\\Java',
        'PKG': 'com\\my tool',
        'Mixed_Case_Dir': 'D:\\Shared',
        'HOME': 'C:\\users\\someone',
        'NOSUCHVAR_E2E': None,
    }
    CONFIG = (
        'vmparam -Dhome=$JH/lib\n'
        'addpath $APP\\lib\\x.jar\n'
        'addpath $NOSUCHVAR_E2E\\y.jar\n'
        'addjar $MIXED_CASE_DIR\\z.jar\n'
        'addpath C:\\plain\\w.jar\n'
        'mainclass $PKG/Main\n'
        'argument $HOME\n'
        'javapath ' + JAVAW + '\n')
    # The whole value that held a reference gets forward slashes; a value
    # whose variable has a space is quoted, after the '=' when it has one;
    # mainclass is never quoted; a missing variable and a value without a
    # reference stay as written; 'argument' values are not expanded.
    EXPECTED = (
        JAVAW + ' -Dhome="C:/Program Files/Java/lib" -classpath '
        '"C:/My Apps/Tool/lib/x.jar";$NOSUCHVAR_E2E\\y.jar;D:/Shared/z.jar;'
        'C:\\plain\\w.jar com/my tool/Main $HOME ')

    def test_references_expand_from_the_launchers_environment(self):
        r = self.run_tool(self.CONFIG, env=self.ENV)
        self.assertEqual([], r.boxes, r)
        self.assertEqual(self.EXPECTED, r.runs[0].cmdline)
        self.assertEqual(
            [JAVAW, '-Dhome=C:/Program Files/Java/lib', '-classpath',
             'C:/My Apps/Tool/lib/x.jar;$NOSUCHVAR_E2E\\y.jar;D:/Shared/z.jar;'
             'C:\\plain\\w.jar', 'com/my', 'tool/Main', '$HOME'],
            r.runs[0].argv)

    def test_argument_is_quoted_but_not_expanded_from_version_6(self):
        wine_env.windows_version(6)
        r = self.run_tool(self.CONFIG, env=self.ENV)
        self.assertEqual(
            self.EXPECTED[:-len('$HOME ')] + '"$HOME" ', r.runs[0].cmdline)

    def test_debug_mode_shows_each_expansion_and_each_missing_name(self):
        r = self.run_tool(self.CONFIG, args=['-d'], env=self.ENV)
        parse = [b.text for b in r.boxes if b.caption == 'Parse Path']
        self.assertEqual([
            'arg [-Dhome=$JH/lib] expanded to '
            '[-Dhome="C:\\Program Files\\Java/lib"]\n',
            'arg [$APP\\lib\\x.jar] expanded to '
            '["C:\\My Apps\\Tool\\lib\\x.jar"]\n',
            'arg [$MIXED_CASE_DIR\\z.jar] expanded to [D:\\Shared\\z.jar]\n',
            'arg [$PKG/Main] expanded to [com\\my tool/Main]\n',
        ], parse)
        self.assertEqual(
            ['NOSUCHVAR_E2E'],
            [b.text for b in r.boxes if b.caption == "Can't find variable"])
        self.assertTrue(all(b.icon == 'none' and b.buttons == ('ok',)
                            for b in r.boxes), r.boxes)
        self.assertEqual(self.EXPECTED, r.runs[0].cmdline)


class JarScanTest(ExpansionTestCase):
    JARS = {'a.jar', 'b.jar', 'C.JAR'}

    def make_lib(self):
        for name in sorted(self.JARS) + ['readme.txt']:
            wine_env.write_file(APP_DIR + '\\lib\\' + name, 'PK\n')
        wine_env.make_dir(APP_DIR + '\\lib\\old.jar')
        wine_env.make_dir(APP_DIR + '\\empty')
        wine_env.write_file(APP_DIR + '\\empty\\notes.txt', 'x\n')

    def expected_entries(self):
        # Entries follow the system's directory order; the subdirectory
        # 'old.jar' is left out as long as it is not the first match.
        listing = platform_listing('lib\\*.jar')
        self.assertEqual(self.JARS | {'old.jar'}, set(listing))
        self.assertNotEqual('old.jar', listing[0])
        return ['lib/' + name for name in listing if name != 'old.jar']

    def test_jar_files_of_a_directory_join_the_class_path(self):
        self.make_lib()
        entries = self.expected_entries()
        r = self.run_tool('addpath first.jar\naddjars lib\naddpath last.jar\n'
                          + BASE_CONFIG)
        self.assertEqual([], r.boxes, r)
        self.assertEqual('', r.stdout)
        self.assertEqual(
            JAVAW + ' -classpath ' + ';'.join(
                ['first.jar'] + entries + ['last.jar']) + ' tool.Main',
            r.runs[0].cmdline)

    def test_expanded_directory_is_scanned(self):
        self.make_lib()
        entries = self.expected_entries()
        r = self.run_tool('addjars $TOOL_HOME\\lib\n' + BASE_CONFIG,
                          env={'TOOL_HOME': APP_DIR})
        self.assertEqual(
            JAVAW + ' -classpath ' + ';'.join(
                'C:/Apps/Tool/' + e for e in entries) + ' tool.Main',
            r.runs[0].cmdline)

    def test_debug_mode_traces_each_jar_and_an_empty_directory(self):
        self.make_lib()
        entries = self.expected_entries()
        r = self.run_tool('addjars lib\naddjars empty\n' + BASE_CONFIG,
                          args=['-d'])
        lines = r.stdout.split('\r\n')
        self.assertEqual(
            ['adding jar ' + e for e in entries],
            [line for line in lines if line.startswith('adding jar')])
        self.assertIn('No jar files found in [empty]', lines)
        self.assertEqual(
            ['vmpath %d=%s' % (i, e) for i, e in enumerate(entries)],
            [line for line in lines if line.startswith('vmpath')])
        self.assertIn(' -classpath ' + ';'.join(entries) + ' tool.Main',
                      r.runs[0].cmdline)

    def test_directory_as_first_match_ends_the_scan(self):
        wine_env.make_dir(APP_DIR + '\\early\\a0.jar')
        wine_env.write_file(APP_DIR + '\\early\\b.jar', 'PK\n')
        wine_env.write_file(APP_DIR + '\\early\\c.jar', 'PK\n')
        listing = platform_listing('early\\*.jar')
        self.assertEqual({'a0.jar', 'b.jar', 'c.jar'}, set(listing))
        if listing[0] != 'a0.jar':
            self.skipTest('this system lists %r first' % listing[0])
        r = self.run_tool('addpath x.jar\naddjars early\n' + BASE_CONFIG)
        self.assertEqual(JAVAW + ' -classpath x.jar tool.Main',
                         r.runs[0].cmdline)

    def test_missing_directory_adds_nothing(self):
        r = self.run_tool('addjars nowhere\n' + BASE_CONFIG)
        self.assertEqual(JAVAW + ' -classpath tool.Main', r.runs[0].cmdline)
        self.assertEqual('', r.stdout)


if __name__ == '__main__':
    wine_env.main()
