"""End-to-end tests of startupCache under Wine: the stand-in runtimes write
the cache their options ask for (tests/e2e/standin_cache.h)."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP, HOME, LOCAL = 'C:\\Apps\\Tool', 'C:\\Java\\jdk', 'C:\\Profile\\Local'
FOLDER = LOCAL + '\\Tool\\StartupCache'
CONFIG = ('startupCache yes\nlogFile run.log\njavapath %s\\bin\\javaw.exe\n'
          'addjar lib/a.jar\nvmparam -Xmx64m\nmainclass tool.Main\n' % HOME)
# The options after the configuration's on the first start and a later
# one. {b}: the file's path without its size, {m}: the file being made,
# {f}: the one made.
AT_EXIT = (['-XX:ArchiveClassesAtExit={m}', '-Xlog:cds*=off'],
           ['-XX:SharedArchiveFile={f}', '-Xlog:cds*=off'])
AUTO = tuple(['-XX:+AutoCreateSharedArchive', '-XX:SharedArchiveFile=' + f,
              '-Xlog:cds*=off'] for f in ('{m}', '{f}'))
AOT = (['-XX:AOTMode=record', '-XX:AOTConfiguration={b}.aotconf',
        '-Xlog:aot*=off', '-Xlog:cds*=off'],
       ['-XX:AOTCache={f}', '-Xlog:aot*=off', '-Xlog:cds*=off'])
# Java 25's cache is assembled after the run by its java command, without
# output, from what the run recorded, with the class path as the VM got it
# ({cp}: a child's in the system's spelling).
ASSEMBLE = [HOME + '\\bin\\java.exe', '-Xmx64m', '-XX:AOTMode=create',
            '-XX:AOTConfiguration={b}.aotconf', '-XX:AOTCache={m}',
            '-Xlog:aot*=off', '-Xlog:cds*=off', '-cp', '{cp}']


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class StartupCacheTest(unittest.TestCase):
    def run_tool(self, how, version, config=CONFIG, env=None):
        # how: 'child' (of the GUI launcher), 'console' or 'in process'.
        exe = wine_env.install_build_file('launcher-console.exe' if how ==
                                          'console' else 'launcher.exe',
                                          APP + '\\Tool.exe')
        wine_env.write_file(APP + '\\Tool.config', config if how != 'in '
                            'process' else 'javaInProcess yes\n' + config)
        if not os.path.exists(wine_env.unix_path(APP + '\\lib\\a.jar')):
            # Once: a jar written again is a new application's.
            wine_env.write_file(APP + '\\lib\\a.jar', b'PK')
        wine_env.write_file(APP + '\\run.log', '')
        wine_env.install_runtime(HOME, version=version, base_archive=True)
        wine_env.install_jvm(HOME)
        wine_env.make_dir(LOCAL)
        r = wine_env.run_launcher(exe, env={'LOCALAPPDATA': LOCAL,
                                            **(env or {})})
        self.assertEqual(0, r.exit_code, r)
        options = r.vm_runs[0]['options'][:-2] if r.vm_runs else (
            r.runs[0].argv[:r.runs[0].argv.index('-classpath')])
        with open(wine_env.unix_path(APP + '\\run.log'), 'rb') as f:
            log = f.read().decode('latin-1')
        return r, options[options.index('-Xmx64m') + 1:], log

    def test_the_first_start_makes_the_file_and_later_ones_use_it(self):
        # A console's runtime prints where nothing can hide it: no AOT cache.
        for version, how, form in [
                ('17.0.9', 'child', AT_EXIT), ('21', 'child', AUTO),
                ('17.0.9', 'in process', AT_EXIT), ('25', 'console', AUTO),
                ('25', 'child', AOT), ('25', 'in process', AOT)]:
            with self.subTest(version=version, how=how):
                wine_env.reset()
                made = self.run_tool(how, version)
                [name] = os.listdir(wine_env.unix_path(FOLDER))
                self.assertRegex(name, r'^%s-[0-9a-f]{8}-%d\.%s$' % (
                    re.escape(version), os.path.getsize(wine_env.unix_path(
                        FOLDER + '\\' + name)), 'aot' if form is AOT
                    else 'jsa'))
                b = FOLDER + '\\' + name.rsplit('-', 1)[0]
                paths = {'b': b, 'm': b + '.making', 'f': FOLDER + '\\' + name,
                         'cp': 'lib\\a.jar' if how == 'child' else 'lib/a.jar'}
                # A lock that nobody holds, left by a machine that went
                # down, is taken over (and goes with the run).
                wine_env.write_file(b + '.lock', '')
                used = self.run_tool(how, version)

                def filled(options):
                    return [o.format(**paths) for o in options]
                self.assertEqual([filled(form[0]), filled(form[1])],
                                 [made[1], used[1]])
                self.assertEqual(
                    [[(True, filled(ASSEMBLE))] if form is AOT else [], []],
                    [[(run.stdhandles, run.argv) for run in r.runs
                      if '-XX:AOTMode=create' in run.argv]
                     for r in (made[0], used[0])])
                self.assertEqual([name],
                                 os.listdir(wine_env.unix_path(FOLDER)))

    def test_left_out_with_a_reason_and_the_application_starts(self):
        # Where LOCALAPPDATA\Tool is a file, no folder can be made in it.
        blocked = 'C:\\Profile\\Blocked'
        for version, config, env, why in [
                ('11.0.2', CONFIG, {}, 'Java 11 keeps no cache'),
                ('17', 'vmparam -XX:SharedArchiveFile=mine.jsa\n' + CONFIG,
                 {}, 'the configuration names its own '
                 '(-XX:SharedArchiveFile=mine.jsa)'),
                ('17', CONFIG, {'LOCALAPPDATA': blocked},
                 'the folder %s\\Tool\\StartupCache cannot be made' % blocked),
                (None, CONFIG, {}, "the runtime's version is unknown"),
                ('17', CONFIG, {'LOCALAPPDATA': ''},
                 'LOCALAPPDATA is not set'),
                # An archive cannot take a folder: the VM would refuse to
                # make one, and end the application.
                ('17', 'addpath classes\n' + CONFIG, {},
                 'the class path holds the folder ')]:
            for how in ('child', 'in process'):
                with self.subTest(version=version, why=why, how=how):
                    wine_env.reset()
                    wine_env.write_file(blocked + '\\Tool', 'a file')
                    wine_env.make_dir(APP + '\\classes')
                    _, options, log = self.run_tool(how, version, config,
                                                    env)
                    self.assertEqual([], options)
                    self.assertIn('startup cache: left out: ' + why, log)
                    self.assertFalse(os.path.exists(
                        wine_env.unix_path(FOLDER)))


if __name__ == '__main__':
    wine_env.main()
