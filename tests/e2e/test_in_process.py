"""End-to-end tests of javaInProcess under Wine: the real launcher loads a
stand-in jvm.dll into its own process (tests/e2e/standin_jvm.cc), which
records what it is asked and plays the application's end. Its DLL needs a
neighbour in the runtime's bin folder, so a wrong DLL search fails."""

import base64
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP = 'C:\\Apps\\Tool'
HOME = 'C:\\Java\\jdk'
CONFIG = ('javaInProcess yes\njavapath %s\\bin\\javaw.exe\naddjar lib/a.jar\n'
          'mainclass tool.Main\n' % HOME)


class InProcessTest(unittest.TestCase):
    """Runs the launcher of the run's bits in the prefix of its bits."""
    bits = wine_env.run_bits()

    @classmethod
    def setUpClass(cls):
        wine_env.start()

    @classmethod
    def tearDownClass(cls):
        wine_env.stop()

    def setUp(self):
        wine_env.reset()
        wine_env.windows_version(6)

    def run_tool(self, config, args=(), script=(), console=False,
                 place='bin\\server', cwd=None):
        name = 'launcher-console.exe' if console else 'launcher.exe'
        exe = wine_env.install_build_file(name, APP + '\\Tool.exe', self.bits)
        wine_env.write_file(APP + '\\Tool.config', config)
        wine_env.install_runtime(HOME)
        if place:
            wine_env.install_jvm(HOME, place)
        return wine_env.run_launcher(exe, list(args), runtime_script=script,
                                     cwd=cwd)


class RunsInTheLaunchersProcessTest(InProcessTest):
    def test_the_vm_gets_the_options_arguments_and_stack_a_java_command_would(
            self):
        config = ('vmparam --add-opens java.base/java.lang=ALL-UNNAMED\n'
                  'vmparam -Xss8m\nvmparam -cp extra.jar\nargument x y\n'
                  + CONFIG)
        r = self.run_tool(config, ['-d', '\xe9', 'two words'])
        self.assertEqual((0, []), (r.exit_code, r.runs), r)
        [vm] = r.vm_runs
        jvm = HOME + '\\bin\\server\\jvm.dll'
        self.assertEqual((APP + '\\Tool.exe', jvm, APP),
                         (vm['exe'], vm['jvm'], vm['cwd']))
        self.assertEqual(
            ['exit', 'abort', 'vfprintf',
             '-Djava.class.path=lib/a.jar;extra.jar',
             '--add-opens=java.base/java.lang=ALL-UNNAMED', '-Xss8m',
             '-Dsun.java.command=tool.Main \xe9 two words x y',
             '-Dsun.java.launcher=SUN_STANDARD'],
            vm['options'])
        self.assertEqual((['exit', 'abort', 'vfprintf'], False, 'tool.Main'),
                         (vm['hooks'], vm['ignoreUnrecognized'], vm['class']))
        self.assertGreaterEqual(vm['version'], 0x10002)
        self.assertEqual(['\xe9', 'two words', 'x y'], vm['args'])
        self.assertGreaterEqual(vm['stack'], 8 << 20)
        # Debug mode names the library among its steps.
        self.assertIn(('jvm.dll is', jvm), [(b.caption, b.text)
                                            for b in r.boxes])

    def test_every_place_of_the_library_and_its_bin_folder(self):
        for place in ('bin\\server', 'bin\\client', 'jre\\bin\\server',
                      'jre\\bin\\client'):
            wine_env.reset()
            r = self.run_tool(CONFIG, place=place)
            self.assertEqual([HOME + '\\' + place + '\\jvm.dll'],
                             [vm['jvm'] for vm in r.vm_runs], r)
            self.assertEqual([], r.boxes)
        wine_env.reset()
        r = self.run_tool(CONFIG, place=None)
        self.assertEqual((0, []), (r.exit_code, r.vm_runs))
        [box] = r.boxes
        self.assertIn('The Java runtime %s has no Java VM library: no jvm.dll '
                      'in its bin\\server, bin\\client, jre\\bin\\server or '
                      'jre\\bin\\client folder' % HOME, box.text)

    def test_a_runtime_of_the_other_architecture_is_refused_and_skipped(self):
        other = 64 if self.bits == 32 else 32
        with open(wine_env.build_file('standin_jvm.dll', other), 'rb') as f:
            dll = f.read()
        home = 'C:\\Java\\jdk%d' % other
        wine_env.install_runtime(home)
        wine_env.write_file(home + '\\bin\\server\\jvm.dll', dll)
        r = self.run_tool(CONFIG.replace(HOME, home))
        self.assertEqual((0, []), (r.exit_code, r.vm_runs))
        [box] = r.boxes
        self.assertIn('is %d-bit, and this launcher is %d-bit'
                      % (other, self.bits), box.text)
        self.assertIn('use launcher-%d.exe' % other, box.text)
        config = CONFIG.replace('javapath', 'javaSearch %s; %s\n#'
                                % (home, HOME))
        r = self.run_tool(config)
        self.assertEqual([HOME + '\\bin\\server\\jvm.dll'],
                         [vm['jvm'] for vm in r.vm_runs], r)

    def test_the_splash_shows_while_the_vm_is_created(self):
        # A 2x2 PNG, its right column transparent; a missing file shows
        # nothing.
        wine_env.write_file(APP + '\\splash.png', base64.b64decode(
            'iVBORw0KGgoAAAANSUhEUgAAAAIAAAACCAYAAABytg0kAAAAEUlEQVR4nGM4oaHx'
            'nwEEYAwALWcEL88gymAAAAAASUVORK5CYII='))
        for image, shown in (('splash.png', True), ('none.png', False)):
            r = self.run_tool('vmparam -splash:%s\n' % image + CONFIG)
            self.assertEqual([shown], [vm['splash'] for vm in r.vm_runs], r)


class EndsTest(InProcessTest):
    def test_exit_codes_of_both_flavours(self):
        bogus = 'vmparam --bogus\n' + CONFIG
        missing = CONFIG.replace('tool.Main', 'missing.Main')
        # The script, what the GUI flavour's one box (or the console's
        # standard error) says, and the console flavour's exit code.
        for config, script, said, console_code in [
                (CONFIG, [(0, 0)], None, 0),
                (CONFIG, [(42, 0)], 'Error=42', 42),
                (CONFIG, [(1, 0, 'throw')], 'Error=1', 1),
                (missing, [], 'Error=1', 1),
                (bogus, [], 'Unrecognized option: --bogus', 1)]:
            for console in (False, True):
                with self.subTest(config=config, script=script,
                                  console=console):
                    r = self.run_tool(config, script=script, console=console)
                    self.assertEqual([], r.runs)
                    self.assertEqual(console_code if console else 0,
                                     r.exit_code, r)
                    if console:
                        # A console tool's exit code is its answer: the
                        # launcher says nothing of its own about it.
                        self.assertNotIn('Error launching', r.stderr)
                        if said and 'Error=' not in said:
                            self.assertIn(said, r.stderr)
                    else:
                        self.assertEqual(
                            [said] if said else [],
                            [said for b in r.boxes if said in b.text], r)

    def test_999_starts_the_launcher_again_as_a_new_process(self):
        # The second run ends late, so that no box of its own comes up.
        for console, code in ((False, 0), (True, 7)):
            r = self.run_tool(CONFIG, ['a'], [(999, 0), (7, 3500)], console)
            self.assertEqual(code, r.exit_code, r)
            self.assertEqual(2, len({vm['pid'] for vm in r.vm_runs}), r)
            self.assertEqual([['a'], ['a']], [vm['args'] for vm in r.vm_runs])

    def test_restarts_never_nest(self):
        # The first launcher starts each new one; a run sees at most itself
        # and the first, and the console flavour ends with the last code.
        # The new ones end late, so that no box of their own comes up.
        script = [(999, 0), (999, 3100), (999, 3100), (5, 3100)]
        for console, code in ((False, 0), (True, 5)):
            r = self.run_tool(CONFIG, ['a'], script, console)
            self.assertEqual(code, r.exit_code, r)
            self.assertEqual(4, len({vm['pid'] for vm in r.vm_runs}), r)
            self.assertEqual([1, 2, 2, 2], [vm['launchers'] for vm in r.vm_runs])

    def test_the_early_failure_box_says_why_the_class_did_not_load(self):
        missing = 'logFile run.log\n' + CONFIG.replace('tool.Main',
                                                       'missing.Main')
        r = self.run_tool(missing)
        [box] = [b for b in r.boxes if 'Error launching Class' in b.text]
        self.assertIn('\nError: Could not find or load main class '
                      'missing.Main\n', box.text)

    def test_a_relative_runtime_starts_from_any_folder(self):
        # The bundled runtime beside the executable, named relative to it;
        # the console flavour's application runs in the caller's folder.
        config = CONFIG.replace(HOME + '\\bin', 'jre\\bin')
        wine_env.make_dir('C:\\Elsewhere')
        for console in (False, True):
            for cwd in (APP, 'C:\\Elsewhere'):
                with self.subTest(console=console, cwd=cwd):
                    wine_env.install_runtime(APP + '\\jre')
                    wine_env.install_jvm(APP + '\\jre')
                    r = self.run_tool(config, console=console, place=None,
                                      cwd=cwd)
                    self.assertEqual(([], [APP + '\\jre\\bin\\server\\'
                                           'jvm.dll']),
                                     (r.boxes, [vm['jvm'] for vm in r.vm_runs]),
                                     r)

    def test_the_log_holds_the_library_and_what_the_vm_wrote(self):
        # The GUI launcher's standard error is a pipe into the log, the
        # console launcher's its console's; the VM's words reach both logs.
        # What it writes to a log file of its own goes to that file.
        for console, line in ((False, 'err: stand-in VM created'),
                              (True, 'vm: stand-in VM created')):
            r = self.run_tool('logFile run.log\nvmparam -Xlog:gc:file=gc.log\n'
                              + CONFIG, script=[(1, 0)], console=console)
            with open(wine_env.unix_path(APP + '\\run.log'),
                      encoding='latin-1') as f:
                log = f.read()
            self.assertIn('jvm.dll: %s\\bin\\server\\jvm.dll' % HOME, log)
            self.assertIn('] %s\n' % line, log)
            self.assertNotIn('VM log', log)
            with open(wine_env.unix_path(APP + '\\gc.log')) as f:
                self.assertEqual('stand-in VM log\n', f.read())
            # The early failure, with the GUI launcher's last error lines.
            self.assertEqual([] if console else ['created\n'],
                             [b.text[-8:] for b in r.boxes if 'Error=1\n\n'
                              'stand-in VM created' in b.text])


if __name__ == '__main__':
    wine_env.main()
