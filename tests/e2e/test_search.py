"""End-to-end tests of the opt-in runtime search (javaSearch) under Wine, on
the 64-bit prefix, where the launcher of the run's bits runs as it does on a
64-bit Windows (the 32-bit one under WoW64): a runtime folder beside the
executable, a variable, PATH, the JavaSoft and vendor registry layouts in
both registry views, version bounds, the failure box that lists the places,
and the download question. The search reads both views whatever the
launcher's bits, so both find the same."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Tool'
EXE = APP_DIR + '\\Tool.exe'
CONFIG = APP_DIR + '\\Tool.config'
JDK_KEY = 'HKLM\\SOFTWARE\\JavaSoft\\JDK'
JRE_KEY = 'HKLM\\SOFTWARE\\JavaSoft\\Java Runtime Environment'
ADOPTIUM_KEY = 'HKLM\\SOFTWARE\\Eclipse Adoptium\\JDK'
NOT_FOUND = 'Java Runtime Environment Not Found'
BITS = wine_env.run_bits()


def use_prefix(bits):
    """Makes the prefix of the given bitness the running one."""
    try:
        running = wine_env.prefix_bits()
    except RuntimeError:
        running = None
    if running != bits:
        wine_env.stop()
        wine_env.start(arch='win%d' % bits)


def setUpModule():
    use_prefix(64)


def tearDownModule():
    wine_env.stop()


def javaw(home):
    return home + '\\bin\\javaw.exe'


class SearchTestCase(unittest.TestCase):
    PREFIX_BITS = 64

    @classmethod
    def setUpClass(cls):
        use_prefix(cls.PREFIX_BITS)

    def setUp(self):
        wine_env.reset()
        wine_env.install_launcher(EXE)
        wine_env.windows_version(5)

    def register_jdk(self, version, home, view=64, install=True):
        if install:
            wine_env.install_runtime(home)
        wine_env.set_registry_value(JDK_KEY + '\\' + version, 'JavaHome', home,
                                    view=view)

    def run_tool(self, config, args=(), answers=(), exe=EXE, **kwargs):
        wine_env.write_file(exe[:-len('.exe')] + '.config', config)
        return wine_env.run_launcher(exe, list(args), answers=answers,
                                     **kwargs)

    def assertStarted(self, cmdline, result, exe=None):
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual([], result.boxes, result)
        self.assertEqual([cmdline], [run.cmdline for run in result.runs],
                         result)
        if exe is not None:
            self.assertEqual([exe], [run.exe for run in result.runs])

    def assertNothingFound(self, text, result):
        """One error box with the given text, nothing started; the launcher
        ends with 0 as when the registry holds no runtime."""
        self.assertEqual(0, result.exit_code, result)
        self.assertEqual([('Error!', text, ('ok',), 'icon')],
                         [(b.caption, b.text, b.buttons, b.icon)
                          for b in result.boxes], result)
        self.assertEqual([], result.runs, result)


class FolderAndVariableTest(SearchTestCase):
    def test_bundled_jre_beside_the_executable_from_another_directory(self):
        # The launcher is started from C:\e2e; the relative folder still
        # means the one beside the executable, and the path is absolute.
        home = APP_DIR + '\\jre'
        wine_env.install_runtime(home)
        wine_env.install_runtime('C:\\e2e\\jre')  # a decoy at the cwd
        r = self.run_tool('mainclass tool.Main\njavaSearch jre\n',
                          ['report.txt'], cwd='C:\\e2e')
        self.assertStarted(javaw(home) + ' -classpath tool.Main report.txt ',
                           r, exe=javaw(home))

    def test_bundled_folder_with_a_space_is_quoted_on_xp(self):
        home = APP_DIR + '\\runtime\\my jre'
        wine_env.install_runtime(home)
        r = self.run_tool('mainclass tool.Main\njavaSearch runtime/my jre\\\n')
        self.assertStarted('"%s" -classpath tool.Main' % javaw(home), r,
                           exe=javaw(home))

    def test_java_home_with_a_space_comes_before_the_registry(self):
        home = 'C:\\Tools\\zip jdk-17'
        wine_env.install_runtime(home)
        self.register_jdk('21.0.1', 'C:\\Java\\jdk-21')
        r = self.run_tool(
            'mainclass tool.Main\njavaSearch env:JAVA_HOME;registry\n',
            env={'JAVA_HOME': home})
        self.assertStarted('"%s" -classpath tool.Main' % javaw(home), r,
                           exe=javaw(home))

    def test_unset_java_home_falls_through_to_the_registry(self):
        self.register_jdk('21.0.1', 'C:\\Java\\jdk-21')
        r = self.run_tool(
            'mainclass tool.Main\njavaSearch env:JAVA_HOME;registry\n',
            env={'JAVA_HOME': None})
        self.assertStarted(javaw('C:\\Java\\jdk-21') + ' -classpath tool.Main',
                           r)

    def test_runtime_on_path_is_started_by_its_absolute_path(self):
        home = 'C:\\Java\\jdk-11'
        wine_env.install_runtime(home)
        # A javaw.exe outside a bin folder comes first on PATH and is passed
        # over.
        wine_env.install_standin('C:\\Links\\javaw.exe')
        r = self.run_tool('mainclass tool.Main\njavaSearch path\n',
                          env={'PATH': 'C:\\Links;%s\\bin;C:\\windows\\system32'
                               % home})
        self.assertStarted(javaw(home) + ' -classpath tool.Main', r,
                           exe=javaw(home))


class RegistryPlaceTest(SearchTestCase):
    def test_jdk_17_key_is_found_and_quoted_from_version_6(self):
        wine_env.windows_version(6)
        self.register_jdk('17.0.9', 'C:\\Java\\jdk-17')
        r = self.run_tool('mainclass tool.Main\njavaSearch registry\n',
                          ['report.txt'])
        self.assertStarted('"%s" -classpath tool.Main "report.txt" '
                           % javaw('C:\\Java\\jdk-17'), r)

    def test_highest_version_of_both_views_wins_and_bounds_choose(self):
        # 1.8.0_201 reads as 8.0.201: below 17 although "1.8" > "17" as text.
        wine_env.install_runtime('C:\\Java\\jre8')
        wine_env.set_registry_value(JRE_KEY + '\\1.8.0_201', 'JavaHome',
                                    'C:\\Java\\jre8', view=32)
        self.register_jdk('17.0.9', 'C:\\Java\\jdk-17')
        r = self.run_tool('mainclass tool.Main\njavaSearch registry\n')
        self.assertStarted(javaw('C:\\Java\\jdk-17') + ' -classpath tool.Main',
                           r)
        r = self.run_tool('mainclass tool.Main\njavaSearch registry\n'
                          'javaMaxVersion 1.8\n')
        self.assertStarted(javaw('C:\\Java\\jre8') + ' -classpath tool.Main',
                           r)

    def test_adoptium_key_in_the_64_bit_view_is_found_by_both_launchers(self):
        # The installer writes the folder with a final backslash.
        home = 'C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot'
        wine_env.install_runtime(home)
        wine_env.set_registry_value(
            ADOPTIUM_KEY + '\\17.0.9.9\\hotspot\\MSI', 'Path', home + '\\',
            view=64)
        exes = [EXE]
        if BITS == 32:
            exes.append(wine_env.install_launcher(APP_DIR + '\\Tool64.exe',
                                                  bits=64))
        expected = '"%s" -classpath tool.Main' % javaw(home)
        for exe in exes:
            r = self.run_tool('mainclass tool.Main\njavaSearch vendors\n'
                              'javaMinVersion 17\n', exe=exe)
            self.assertStarted(expected, r, exe=javaw(home))

    def test_dead_registry_entry_is_skipped(self):
        # The higher version's home no longer holds a runtime.
        self.register_jdk('21.0.1', 'C:\\Java\\gone', install=False)
        wine_env.make_dir('C:\\Java\\gone')
        self.register_jdk('17.0.9', 'C:\\Java\\jdk-17')
        r = self.run_tool('mainclass tool.Main\njavaSearch registry\n')
        self.assertStarted(javaw('C:\\Java\\jdk-17') + ' -classpath tool.Main',
                           r)

    def test_debug_mode_traces_each_candidate_and_starts_java_exe(self):
        self.register_jdk('21.0.1', 'C:\\Java\\gone', install=False)
        self.register_jdk('17.0.9', 'C:\\Java\\jdk-17')
        r = self.run_tool('mainclass tool.Main\njavaSearch registry\n',
                          ['-d'])
        self.assertEqual(0, r.exit_code, r)
        java = 'C:\\Java\\jdk-17\\bin\\java.exe'
        self.assertEqual([java], [run.exe for run in r.runs])
        # A home without its runtime is not looked into: version unknown.
        self.assertIn('javaSearch: C:\\Java\\gone (version unknown, '
                      'SOFTWARE\\JavaSoft\\JDK\\21.0.1, 64-bit view): '
                      'skipped, no bin\\java.exe\r\n', r.stdout)
        self.assertIn('javaSearch: C:\\Java\\jdk-17 (version 17.0.9, '
                      'SOFTWARE\\JavaSoft\\JDK\\17.0.9, 64-bit view): '
                      'taken\r\n', r.stdout)


class NothingFoundTest(SearchTestCase):
    def setUp(self):
        super().setUp()
        # A bundled runtime too old, a registered one too new and a dead
        # entry: nothing fits 11 to 17.
        wine_env.install_runtime(APP_DIR + '\\jre')
        wine_env.write_file(APP_DIR + '\\jre\\release',
                            'IMPLEMENTOR="Someone"\nJAVA_VERSION="1.8.0_392"\n')
        self.register_jdk('21.0.1', 'C:\\Java\\jdk-21')
        self.register_jdk('17.0.9', 'C:\\Java\\gone', view=32, install=False)
        wine_env.install_standin(APP_DIR + '\\rundll32.exe')

    CONFIG_TEXT = ('appname Tool\nmainclass tool.Main\n'
                   'javaSearch jre;registry;env:JAVA_HOME\n'
                   'javaMinVersion 11\njavaMaxVersion 17\n')
    FAILURE = (
        'No Java runtime of version 11 to 17 was found.\n\n'
        'Places searched:\n'
        'jre:\n'
        '    C:\\Apps\\Tool\\jre (version 8.0.392, folder): below the '
        'minimum 11\n'
        'registry:\n'
        '    C:\\Java\\jdk-21 (version 21.0.1, SOFTWARE\\JavaSoft\\JDK\\'
        '21.0.1, 64-bit view): above the maximum 17\n'
        '    C:\\Java\\gone (version unknown, SOFTWARE\\JavaSoft\\JDK\\'
        '17.0.9, 32-bit view): no bin\\javaw.exe\n'
        'env:JAVA_HOME:\n'
        '    JAVA_HOME is not set\n')

    def test_failure_box_lists_the_places_and_reasons(self):
        r = self.run_tool(self.CONFIG_TEXT, env={'JAVA_HOME': None})
        self.assertNothingFound(self.FAILURE, r)
        self.assertEqual([], wine_env.collect_runs(1, timeout=1))

    def test_download_url_answered_yes_opens_the_page(self):
        r = self.run_tool(
            self.CONFIG_TEXT + 'downloadUrl https://example.org/java?v="11"\n',
            answers=['ok', 'y'], env={'JAVA_HOME': None})
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(
            [('Error!', self.FAILURE, ('ok',)),
             (NOT_FOUND, 'Tool requires the Java Runtime Environment version '
              '11 to 17\nDo you want to download it?', ('y', 'n'))],
            [(b.caption, b.text, b.buttons) for b in r.boxes])
        runs = wine_env.collect_runs(1)
        self.assertEqual(
            [('rundll32 url.dll,FileProtocolHandler '
              '"https://example.org/java?v=%2211%22"',
              APP_DIR + '\\rundll32.exe')],
            [(run.cmdline, run.exe) for run in runs])

    def test_download_url_answered_no_opens_nothing(self):
        r = self.run_tool(
            self.CONFIG_TEXT + 'downloadUrl https://example.org/java\n',
            answers=['ok', 'n'], env={'JAVA_HOME': None})
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['Error!', NOT_FOUND], r.captions)
        self.assertEqual([], wine_env.collect_runs(1, timeout=2))

    def test_bad_bound_is_reported_before_any_search(self):
        r = self.run_tool('mainclass tool.Main\njavaSearch jre\n'
                          'javaMinVersion eleven\n')
        self.assertNothingFound(
            'The javaMinVersion value "eleven" is not a Java version.\n'
            'Write it as, for example, 11, 17.0.9 or 1.8.0_201.', r)


@unittest.skipIf(BITS == 64, '32-bit Windows runs no 64-bit launcher')
class ThirtyTwoBitWindowsTest(SearchTestCase):
    """On 32-bit Windows there is one registry view, which the search reads
    as both."""
    PREFIX_BITS = 32

    def test_single_view_runtime_counts_once(self):
        self.register_jdk('17.0.9', 'C:\\Java\\jdk-17', view=None)
        r = self.run_tool('mainclass tool.Main\njavaSearch registry\n',
                          ['-d'])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual(['C:\\Java\\jdk-17\\bin\\java.exe'],
                         [run.exe for run in r.runs])
        self.assertIn('javaSearch: C:\\Java\\jdk-17 (SOFTWARE\\JavaSoft\\JDK\\'
                      '17.0.9, 32-bit view): counted once\r\n', r.stdout)


if __name__ == '__main__':
    wine_env.main()
