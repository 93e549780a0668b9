"""End-to-end tests of the console flavour (launcher-console.exe) under Wine,
started as a console program with its standard streams on pipes: the
application's input and output pass through, its exit code comes back, a tool
started by name through PATH finds its configuration and runs in the
caller's folder, a missing runtime is reported on standard error, and Ctrl+C
reaches the application. And the launch log of the GUI flavour."""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

BIN = 'C:\\Tools\\bin'
TOOL = BIN + '\\tool.exe'
JAVA = 'C:\\Java\\jdk\\bin\\java.exe'


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class ConsoleTest(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        wine_env.windows_version(5)  # arguments quoted only when needed
        # These runs bypass the box watcher, which would apply the registry
        # changes: a runtime that an earlier test registered would be found,
        # and the Windows version would be the last one set.
        wine_env.apply_registry()
        wine_env.install_build_file('launcher-console.exe', TOOL)
        wine_env.install_runtime('C:\\Java\\jdk')
        self.caller = tempfile.TemporaryDirectory(prefix='caller-')
        self.addCleanup(self.caller.cleanup)
        self.log = wine_env.RUN_WIN_DIR + '\\standin.log'
        wine_env.make_dir(wine_env.RUN_WIN_DIR)
        if os.path.exists(wine_env.unix_path(self.log)):
            os.remove(wine_env.unix_path(self.log))

    def run_tool(self, config, args=(), stdin=b'', mode='', script='0 0',
                 terminal=False):
        wine_env.write_file(BIN + '\\tool.config', config)
        script_path = wine_env.RUN_WIN_DIR + '\\script.txt'
        wine_env.write_file(script_path, script + '\n')
        env = dict(wine_env.wine_environment(), WINEPATH=BIN,
                   STANDIN_LOG=self.log, STANDIN_SCRIPT=script_path,
                   STANDIN_MODE=mode)
        # By its bare name, from a folder of the caller's.
        command = wine_env.wine_command() + ['tool'] + list(args)
        if terminal:
            # Wine delivers console events only to a console on a terminal.
            command = ['script', '-qec', ' '.join(command), '/dev/null']
        return subprocess.run(command, input=stdin,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              cwd=self.caller.name, env=env, timeout=60)

    def runs(self):
        path = wine_env.unix_path(self.log)
        if not os.path.exists(path):
            return []
        with open(path, encoding='latin-1') as f:
            return [line for line in f if line.strip()]

    def test_streams_exit_code_path_and_caller_directory(self):
        r = self.run_tool('javapath %s\naddjar lib\\a.jar\nmainclass a.B\n'
                          % JAVA, ['in.txt'], stdin=b'hello\nworld\n',
                          mode='echo', script='42 0')
        self.assertEqual((42, b'hello\nworld\n'), (r.returncode, r.stdout))
        # A quick exit with a code is the tool's answer: passed on, and
        # nothing said of it.
        self.assertEqual(b'', r.stderr)
        [run] = self.runs()
        caller = 'Z:' + self.caller.name.replace('/', '\\\\')
        self.assertIn('"cwd": "%s"' % caller, run)
        self.assertIn('-classpath C:\\\\Tools\\\\bin\\\\lib\\\\a.jar a.B '
                      'in.txt', run)

    def test_missing_runtime_is_reported_on_standard_error(self):
        r = self.run_tool('mainclass a.B\n')
        self.assertEqual((127, b''), (r.returncode, r.stdout))
        self.assertEqual(b'Error!: No Java Installation Found\r\n', r.stderr)
        self.assertEqual([], self.runs())

    def test_ctrl_c_reaches_the_application_and_not_the_launcher(self):
        # The stand-in sends Ctrl+C to every process of the console; a
        # launcher that let it end the launcher would end with 0xC000013A.
        r = self.run_tool('javapath %s\nmainclass a.B\n' % JAVA, mode='ctrlc',
                          terminal=True)
        self.assertEqual(130, r.returncode, r.stdout)


class LogFileTest(unittest.TestCase):
    def test_one_block_per_run_with_command_line_and_exit_code(self):
        wine_env.reset()
        wine_env.windows_version(5)
        javaw = wine_env.install_runtime('C:\\Java\\jre6')
        exe = wine_env.install_launcher('C:\\Apps\\Tool\\Tool.exe')
        wine_env.write_file('C:\\Apps\\Tool\\Tool.config',
                            'logFile launch.log\njavapath %s\nmainclass a.B\n'
                            % javaw)
        for code in (7, 0):
            r = wine_env.run_launcher(exe, ['x'], runtime_script=[(code, 0)])
            self.assertEqual(0, r.exit_code, r)
        with open(wine_env.unix_path('C:\\Apps\\Tool\\launch.log'),
                  encoding='latin-1') as f:
            lines = f.read().splitlines()
        started = [line for line in lines if 'started: ' in line]
        self.assertEqual(2, sum('==== ' in line for line in lines), lines)
        self.assertEqual(2 * [javaw + ' -classpath a.B x '],
                         [line.split('started: ')[1] for line in started])
        # The clock counts whole seconds: a quick run may cross one.
        self.assertEqual(['application exit code 7 after', 'application exit '
                          'code 0 after'],
                         [line.split('] ')[1].rsplit(' ', 2)[0]
                          for line in lines if 'application exit code' in line])


if __name__ == '__main__':
    wine_env.main()
