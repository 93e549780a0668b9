"""launcher-brand on the real launcher of the run's bits: Wine's resource
functions read back what it wrote, untouched resources stay byte for byte,
the manifest's dependency on Common Controls 6 (which Windows resolves) and
the Terminal Server awareness stay, branding twice changes nothing,
osslsigncode signs and verifies the output, and the Windows build of the
tool takes Unicode arguments."""

import json
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, '..', 'release')]
import pe_file  # noqa: E402
import wine_env  # noqa: E402

TOOL = os.environ.get('LAUNCHER_BRAND', os.path.join(
    HERE, '..', '..', 'build', 'host', 'launcher-brand'))
WIN32_DIR = os.environ.get('LAUNCHER_WIN32_DIR',
                           os.path.join(HERE, '..', '..', 'build', 'win32'))
BITS = wine_env.run_bits()
BUILD_DIR = os.path.join(WIN32_DIR, '..', 'win%d' % BITS)
LAUNCHER = os.path.join(BUILD_DIR, 'launcher.exe')
PROBE = 'C:\\Brand\\resource_probe.exe'
CONFIG = b'mainclass tool.Main\r\nappname Outil \xc3\xa9t\xc3\xa9\r\n'
STRINGS = {'ProductName': 'Outil', 'CompanyName': 'Atelier \u00e9t\u00e9',
           'FileDescription': 'Outil d\u2019\u00e9t\u00e9 \u2014 d\u00e9mo',
           'LegalCopyright': '\u00a9 2024', 'FileVersion': '2.1',
           'ProductVersion': '2.1'}
OPTIONS = ['--product-name', 'Outil', '--company', STRINGS['CompanyName'],
           '--description', STRINGS['FileDescription'], '--copyright',
           STRINGS['LegalCopyright'], '--version', '2.1',
           '--execution-level', 'requireAdministrator']
JDK = '/usr/lib/jvm/java-17-openjdk-amd64/bin/'  # Debian's; none fails
SIGNATURE_REMOVED = (b"launcher-brand: warning: the input's Authenticode "
                     b"signature removed; sign the output again\n")


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def wine(*argv, cwd=None):
    """Runs a Windows program directly, its arguments passed as UTF-8."""
    env = dict(wine_env.wine_environment(), LANG='C.UTF-8')
    return subprocess.run(wine_env.wine_command() + list(argv), cwd=cwd,
                          capture_output=True, env=env)


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class BrandTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix='brand-')
        cls.addClassCleanup(cls.tmp.cleanup)
        cls.dir = cls.tmp.name
        icon, config = (os.path.join(cls.dir, n) for n in ('t.ico', 't.cfg'))
        # Bitmaps of 16, 32 and 48 pixels and a PNG of 256.
        subprocess.run(['convert', '-size', '256x256', 'xc:#3366cc', '-define',
                        'icon:auto-resize=16,32,48,256', icon], check=True)
        write(config, CONFIG)
        cls.options = OPTIONS + ['--icon', icon, '--config', config]

    def setUp(self):
        wine_env.reset()
        wine_env.install_build_file('resource_probe.exe', PROBE)

    def brand(self, source, target, stderr=b''):
        proc = subprocess.run([TOOL, source, target] + self.options,
                              capture_output=True)
        self.assertEqual((0, stderr), (proc.returncode, proc.stderr))
        return read(target)

    def probe(self, name, strings):
        """What Windows reads from C:\\Brand\\name; `strings` names them."""
        proc = wine(PROBE, 'C:\\Brand\\' + name, *strings)
        self.assertEqual(0, proc.returncode, proc)
        info = json.loads(proc.stdout)
        info['strings'] = dict(zip(strings, (
            v and v.encode('latin-1').decode('utf-16-le')
            for v in info['strings'])))
        info['config'] = info['config'].encode('latin-1')
        info['manifest'] = info['manifest'].encode('latin-1')
        return info

    def test_wine_reads_back_the_branded_launcher(self):
        # The extension's case differs between the two sizes' runs.
        name = 'Outil%d.%s' % (BITS, 'exe' if BITS == 32 else 'EXE')
        path = wine_env.unix_path('C:\\Brand\\' + name)
        once = self.brand(LAUNCHER, path)
        strings = dict(STRINGS, InternalName=name[:-4], OriginalFilename=name)
        info = self.probe(name, strings)
        manifest, assemblies = info.pop('manifest'), info.pop('assemblies')
        self.assertEqual({'strings': strings, 'config': CONFIG,
                          'version': [0x20001, 0] * 2,  # 2.1.0.0
                          'icons': [[16, 16], [32, 32], [48, 48],
                                    [256, 256]]}, info)
        # Windows reads the dependency back and resolves it in the prefix,
        # which is of the launcher's architecture.
        arch = 'x86' if BITS == 32 else 'amd64'
        self.assertEqual(
            [dict(pe_file.COMMON_CONTROLS_6, processorArchitecture=arch)],
            pe_file.manifest_dependencies(manifest))
        self.assertRegex(str(assemblies), (
            r"'Microsoft\.Windows\.Common-Controls,[^']*"
            r'processorArchitecture="%s"[^\']*version="6\.' % arch))
        self.assertTrue(pe_file.PeFile(once).dll_characteristics &
                        pe_file.DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)
        before = pe_file.PeFile(read(LAUNCHER)).resources()
        after = pe_file.PeFile(once).resources()
        self.assertEqual(before[24][1][0x409].replace(
            b'"asInvoker"', b'"requireAdministrator"'), after[24][1][0x409])
        # Only the program's icon group and images, the version and the
        # manifest change.
        images = {(3, i) for i in pe_file.icon_group_ids(
            before[14][101][0x409])}
        changed = {(t, n) for t in before for n in before[t]
                   if before[t][n] != after.get(t, {}).get(n)}
        self.assertEqual({(14, 101), (16, 1), (24, 1)} | images, changed)
        self.assertEqual(once, self.brand(path, path))

    def test_embedded_configuration_unless_a_file_is_beside(self):
        javaw = wine_env.install_runtime('C:\\Java\\jre6')
        wine_env.windows_version(5)  # arguments quoted only when needed
        config = os.path.join(self.dir, 'typical.config')
        write(config, ('javapath %s\r\nvmparam -Xmx256m\r\naddjars lib\r\n'
                       'mainclass tool.Main\r\n' % javaw).encode())
        exe = 'C:\\Apps\\Tool\\Tool.exe'
        wine_env.write_file('C:\\Apps\\Tool\\lib\\a.jar', 'jar')
        wine_env.make_dir('C:\\Apps\\Tool')
        proc = subprocess.run([TOOL, LAUNCHER, wine_env.unix_path(exe),
                               '--config', config], stderr=subprocess.PIPE)
        self.assertEqual((0, b''), (proc.returncode, proc.stderr))
        r = wine_env.run_launcher(exe, ['report.txt'])
        self.assertEqual((0, []), (r.exit_code, r.boxes), r)
        self.assertEqual(
            [javaw + ' -Xmx256m -classpath lib/a.jar tool.Main report.txt '],
            [run.cmdline for run in r.runs])
        wine_env.write_file('C:\\Apps\\Tool\\Tool.config',
                            'javapath %s\nmainclass from.File\n' % javaw)
        r = wine_env.run_launcher(exe)
        self.assertEqual([javaw + ' -classpath from.File'],
                         [run.cmdline for run in r.runs])

    def test_an_embedded_archive_puts_the_executable_first(self):
        javaw = wine_env.install_runtime('C:\\Java\\jre6')
        wine_env.windows_version(5)
        config, jar = (os.path.join(self.dir, n) for n in ('a.cfg', 'a.jar'))
        write(config, ('javapath %s\r\naddjar lib/a.jar\r\nmainclass a.B\r\n'
                       % javaw).encode())
        with zipfile.ZipFile(jar, 'w') as z:
            z.writestr('a/B.class', b'classes')
        exe = 'C:\\Apps\\Tool\\Tool.exe'
        wine_env.make_dir('C:\\Apps\\Tool')
        for source in (LAUNCHER,
                       os.path.join(BUILD_DIR, 'launcher-console.exe')):
            proc = subprocess.run([TOOL, source, wine_env.unix_path(exe),
                                   '--config', config, '--jar', jar],
                                  stderr=subprocess.PIPE)
            self.assertEqual((0, b''), (proc.returncode, proc.stderr))
            r = wine_env.run_launcher(exe)
            self.assertEqual(0, r.exit_code, r)
            # The console flavour's class path is absolute anyway.
            self.assertIn(' -classpath %s;' % exe, r.runs[0].cmdline)

    def test_osslsigncode_signs_and_java_runs_the_output(self):
        key, cert, tool, signed = (os.path.join(self.dir, n) for n in (
            'k.pem', 'c.pem', 'Tool.exe', 'signed.exe'))
        subprocess.run(['openssl', 'req', '-x509', '-newkey', 'rsa:2048',
                        '-nodes', '-keyout', key, '-out', cert, '-days', '2',
                        '-subj', '/CN=launcher-brand test'], check=True,
                       capture_output=True)
        unsigned = self.brand(LAUNCHER, tool)
        subprocess.run(['osslsigncode', 'sign', '-certs', cert, '-key', key,
                        '-in', tool, '-out', signed], check=True,
                       capture_output=True)
        for path in (tool, signed):
            proc = subprocess.run(['osslsigncode', 'verify', '-CAfile', cert,
                                   '-in', path], stdout=subprocess.PIPE,
                                  stderr=subprocess.STDOUT)
            # One "PE checksum" line when the field is right, two and a
            # warning when not.
            report, data = proc.stdout.decode('latin-1'), read(path)
            offset = pe_file.PeFile(data).checksum_offset
            self.assertRegex(report, r'(?m)^PE checksum\s*: %08X$' %
                             int.from_bytes(data[offset:offset + 4], 'little'))
        self.assertEqual(0, proc.returncode, report)
        self.assertIn('\nSignature verification: ok\n', report)
        # Branded again, the signed file is the unsigned one.
        self.assertEqual(unsigned, self.brand(signed, tool, SIGNATURE_REMOVED))
        # With a jar, whose end the certificate table follows once signed.
        src, jar = (os.path.join(self.dir, n) for n in ('Hello.java', 'h.jar'))
        os.remove(signed)  # osslsigncode writes only new files
        write(src, b'package example; public class Hello { public static void'
              b' main(String[] a) { System.out.println(String.join(" ", a)); '
              b'} }')
        subprocess.run([JDK + 'javac', '-d', self.dir, src], check=True)
        subprocess.run([JDK + 'jar', 'cf', jar, '-C', self.dir, 'example'],
                       check=True)
        self.options = self.options + ['--jar', jar]
        self.brand(LAUNCHER, tool)
        subprocess.run(['osslsigncode', 'sign', '-certs', cert, '-key', key,
                        '-in', tool, '-out', signed], check=True,
                       capture_output=True)
        for path in (tool, signed):
            run = subprocess.run([JDK + 'java', '-cp', path, 'example.Hello',
                                  'x', 'y'], capture_output=True)
            self.assertEqual((0, b'x y\n'), (run.returncode, run.stdout), run)
        proc = subprocess.run(['osslsigncode', 'verify', '-CAfile', cert,
                               '-in', signed], capture_output=True)
        self.assertIn(b'\nSignature verification: ok\n', proc.stdout)

    def test_windows_build_takes_unicode_arguments(self):
        name, folder = 'Outil-\u00e9t\u00e9.exe', wine_env.unix_path(
            'C:\\Brand')
        write(os.path.join(folder, name), read(LAUNCHER))
        tool = os.path.join(BUILD_DIR, 'launcher-brand.exe')
        runs = [wine(tool, name, *args, cwd=folder) for args in (
            [name, '--company', 'Caf\u00e9'], ['no\\x.exe'])]
        self.assertEqual([(0, b''), (1, b'launcher-brand: no\\x.exe: its '
                                        b'folder does not exist\r\n')],
                         [(r.returncode, r.stderr) for r in runs])
        strings = {'OriginalFilename': name, 'InternalName': name[:-4],
                   'CompanyName': 'Caf\u00e9'}
        self.assertEqual(strings, self.probe(name, strings)['strings'])


if __name__ == '__main__':
    wine_env.main()
