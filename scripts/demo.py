#!/usr/bin/env python3
"""Runs the launcher under Wine on the sample application and shows what the
Java runtime was started with: the 32-bit launcher, or the 64-bit one where
32-bit programs cannot run."""

import os
import sys
import zipfile
import io

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..'))
sys.path.insert(0, os.path.join(ROOT, 'tests', 'e2e'))
import wine_env  # noqa: E402

APP_DIR = 'C:\\Apps\\Sample'
EXE = APP_DIR + '\\SampleApp.exe'
JAVA_HOME = 'C:\\Program Files\\Java\\jdk-17'
# Where a Java 17 installer registers itself (no "current" runtime).
RUNTIME_KEY = 'HKLM\\SOFTWARE\\JavaSoft\\JDK\\17.0.9'


def tiny_jar(main_class):
    """A jar with just a manifest: enough for a class path entry."""
    data = io.BytesIO()
    with zipfile.ZipFile(data, 'w') as jar:
        jar.writestr('META-INF/MANIFEST.MF',
                     'Manifest-Version: 1.0\r\nMain-Class: %s\r\n\r\n'
                     % main_class)
    return data.getvalue()


def main():
    if not wine_env.runs_32_bit():
        print('Running the 64-bit launcher (%s).\n'
              % wine_env.wine_machine.summary())
    wine_env.start()
    try:
        wine_env.reset()
        wine_env.install_launcher(EXE)
        with open(os.path.join(ROOT, 'sample', 'SampleApp.config')) as f:
            wine_env.write_file(APP_DIR + '\\SampleApp.config', f.read())
        for name in ('sample-app.jar', 'sample-util.jar'):
            path = wine_env.unix_path(APP_DIR + '\\lib\\' + name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'wb') as f:
                f.write(tiny_jar('com.example.sample.Main'))
        wine_env.install_runtime(JAVA_HOME)
        wine_env.set_registry_value(RUNTIME_KEY, 'JavaHome', JAVA_HOME)
        wine_env.windows_version(6)

        user_args = ['quarterly report.txt']
        print('Starting %s %s' % (EXE, ' '.join(
            wine_env.quote_argument(a) for a in user_args)))
        print('with SAMPLE_DATA=C:\\Users\\Public\\Sample Data\n')
        result = wine_env.run_launcher(
            EXE, user_args,
            env={'SAMPLE_DATA': 'C:\\Users\\Public\\Sample Data',
                 'JAVA_HOME': None})
        for box in result.boxes:
            print('Message box "%s": %s' % (box.caption, box.text))
        if not result.runs:
            print('The runtime was not started (launcher exit code %d).'
                  % result.exit_code)
            return 1
        run = result.runs[0]
        print('The Java runtime was started with the command line:')
        print('  ' + run.cmdline)
        print('It received these arguments:')
        for i, arg in enumerate(run.argv):
            print('  [%d] %s' % (i, arg))
        print('Current directory: %s' % run.cwd)
        print('Console title:     %s' % run.title)
        print('Launcher exit code: %d' % result.exit_code)
        return 0
    finally:
        wine_env.stop()


if __name__ == '__main__':
    sys.exit(main())
