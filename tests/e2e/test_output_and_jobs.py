"""End-to-end tests under Wine of what support sees and what a killed
launcher leaves: the application's standard output and error in the launch
log (GUI launcher with logFile), bounded, and in the early-failure box; the
application, and what it starts, ending with a killed launcher but not with
one that ends normally."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

APP = 'C:\\Apps\\Tool'
JAVAW = 'C:\\Java\\jre\\bin\\javaw.exe'
CONFIG = 'javapath %s\nmainclass tool.Main\n' % JAVAW
LOG = APP + '\\run.log'
SURVIVOR = 'C:\\e2e\\survivor.txt'


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class OutputAndJobsTest(unittest.TestCase):
    def setUp(self):
        wine_env.reset()
        wine_env.windows_version(5)
        wine_env.install_runtime('C:\\Java\\jre')
        self.survivor = wine_env.unix_path(SURVIVOR)
        if os.path.exists(self.survivor):
            os.remove(self.survivor)

    def run_tool(self, config, mode='', script=(), console=False, **kw):
        name = 'launcher-console.exe' if console else 'launcher.exe'
        exe = wine_env.install_build_file(name, APP + '\\Tool.exe')
        wine_env.write_file(APP + '\\Tool.config', config)
        env = {'STANDIN_MODE': mode, 'STANDIN_SURVIVOR': SURVIVOR}
        return wine_env.run_launcher(exe, env=env, runtime_script=script,
                                     **kw)

    def log_lines(self):
        with open(wine_env.unix_path(LOG), encoding='latin-1') as f:
            return [line.split('] ', 1)[1] for line in f.read().splitlines()]

    def test_the_log_holds_what_the_application_wrote(self):
        r = self.run_tool('logFile run.log\n' + CONFIG, 'print', [(1, 0)])
        self.assertEqual(0, r.exit_code, r)
        self.assertEqual([True], [run.stdhandles for run in r.runs])
        lines = self.log_lines()
        self.assertEqual(['out: out 1', 'out: out 2', 'out: out 3'],
                         [x for x in lines if x.startswith('out: ')])
        self.assertEqual(['err: err 1', 'err: err 2'],
                         [x for x in lines if x.startswith('err: ')])
        [box] = r.boxes
        self.assertTrue(box.text.endswith('Error=1\n\nerr 1\nerr 2\n'), box)

    def test_without_a_log_the_child_gets_no_handles(self):
        r = self.run_tool(CONFIG, 'print')
        self.assertEqual([False], [run.stdhandles for run in r.runs], r)

    def test_a_flood_of_output_stays_within_the_log_bound(self):
        r = self.run_tool('logFile run.log\n' + CONFIG, 'flood', timeout=120)
        self.assertEqual((0, []), (r.exit_code, r.boxes), r)
        sizes = [os.path.getsize(wine_env.unix_path(p))
                 for p in (LOG, LOG + '.1')]
        self.assertLess(sum(sizes), 2.1 * (1 << 20), sizes)
        self.assertIn('application exit code 0', self.log_lines()[-2])

    def test_a_killed_launcher_takes_the_application_with_it(self):
        for console in (False, True):
            r = self.run_tool(CONFIG, 'spawn', [(0, 8000)], console=console,
                              kill_ms=1500)
            [killed] = [e for e in r.events if e['event'] == 'killed']
            self.assertEqual((1, 0), (killed['children'], killed['alive']), r)
            time.sleep(2)  # the grandchild would have written by now
            self.assertFalse(os.path.exists(self.survivor))

    def test_what_the_application_leaves_running_outlives_a_normal_end(self):
        r = self.run_tool(CONFIG, 'spawn')
        self.assertEqual(0, r.exit_code, r)
        deadline = time.monotonic() + 6
        while (not os.path.exists(self.survivor) and
               time.monotonic() < deadline):
            time.sleep(0.2)
        with open(self.survivor) as f:
            self.assertEqual('survived\n', f.read())


if __name__ == '__main__':
    wine_env.main()
