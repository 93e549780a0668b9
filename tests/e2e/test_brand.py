"""launcher-brand on the real 32- and 64-bit launchers: Wine's resource
functions read back what it wrote, untouched resources stay byte for byte,
branding twice changes nothing, osslsigncode signs and verifies the output,
and the Windows build of the tool takes Unicode arguments."""

import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [HERE, os.path.join(HERE, '..', 'release')]
import pe_file  # noqa: E402
import wine_env  # noqa: E402

TOOL = os.environ.get('LAUNCHER_BRAND', os.path.join(
    HERE, '..', '..', 'build', 'host', 'launcher-brand'))
WIN32_DIR = os.environ.get('LAUNCHER_WIN32_DIR',
                           os.path.join(HERE, '..', '..', 'build', 'win32'))
LAUNCHERS = {bits: os.path.join(WIN32_DIR, '..', 'win%d' % bits,
                                'launcher.exe') for bits in (32, 64)}
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
SIGNATURE_REMOVED = (b"launcher-brand: warning: the input's Authenticode "
                     b"signature removed; sign the output again\n")


def icon_file():
    """An .ico with 16, 32 and 48 pixel bitmaps and a 256 pixel PNG."""
    images = [(s, struct.pack('<IiiHHI20x', 40, s, 2 * s, 1, 32, 0) +
               bytes([s, 90, 200, 255]) * (s * s) +
               bytes((s + 31) // 32 * 4 * s)) for s in (16, 32, 48)]
    images.append((0, subprocess.run(
        ['convert', '-size', '256x256', 'xc:#3366cc', 'png32:-'],
        stdout=subprocess.PIPE, check=True).stdout))
    data, offset = struct.pack('<HHH', 0, 1, 4), 6 + 16 * 4
    for size, blob in images:
        data += struct.pack('<4BHHII', size, size, 0, 0, 1, 32, len(blob),
                            offset)
        offset += len(blob)
    return data + b''.join(blob for _, blob in images)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def utf8(text):  # the probe prints UTF-8 bytes as \u00XX escapes
    return text.encode('latin-1').decode('utf-8')


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class BrandTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix='brand-')
        cls.dir = cls.tmp.name
        write(os.path.join(cls.dir, 't.ico'), icon_file())
        write(os.path.join(cls.dir, 't.config'), CONFIG)
        cls.options = OPTIONS + ['--icon', os.path.join(cls.dir, 't.ico'),
                                 '--config', os.path.join(cls.dir, 't.config')]

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def setUp(self):
        wine_env.reset()
        wine_env.install_build_file('resource_probe.exe', PROBE)

    def brand(self, source, target, stderr=b''):
        proc = subprocess.run([TOOL, source, target] + self.options,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.assertEqual((0, stderr), (proc.returncode, proc.stderr))
        return read(target)

    def probe(self, win_path):
        r = wine_env.run_launcher(PROBE, [win_path])
        self.assertEqual(0, r.exit_code, r)
        return json.loads(r.stdout)

    def test_wine_reads_back_the_branded_launchers(self):
        for bits, source in LAUNCHERS.items():
            name = 'Outil%d.exe' % bits
            path = wine_env.unix_path('C:\\Brand\\' + name)
            once = self.brand(source, path)
            info = self.probe('C:\\Brand\\' + name)
            self.assertEqual(
                dict(STRINGS, InternalName=name[:-4], OriginalFilename=name),
                {k: utf8(v) for k, v in info['strings'].items()})
            self.assertEqual([2, 1, 0, 0] * 2, info['version'])
            self.assertEqual([[16, 16], [32, 32], [48, 48], [256, 256]],
                             info['icons'])
            self.assertEqual(CONFIG, info['config'].encode('latin-1'))
            before = pe_file.PeFile(read(source)).resources()
            after = pe_file.PeFile(once).resources()
            self.assertEqual(before[24][1][0x409].replace(
                b'"asInvoker"', b'"requireAdministrator"'),
                after[24][1][0x409])
            touched = {(14, 101), (16, 1), (24, 1)} | {(3, i) for i in (
                pe_file.icon_group_ids(before[14][101][0x409]))}
            kept = [(t, n) for t in before for n in before[t]
                    if (t, n) not in touched]
            self.assertEqual(16, len(kept))  # groups 102-108, 111, images
            for t, n in kept:
                self.assertEqual(before[t][n], after[t][n], (bits, t, n))
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
        proc = subprocess.run([TOOL, LAUNCHERS[32], wine_env.unix_path(exe),
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

    def verify(self, path, *args):
        # osslsigncode prints one "PE checksum" line when the field is
        # right, two and a warning when not.
        proc = subprocess.run(['osslsigncode', 'verify', '-in', path] +
                              list(args), stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT)
        report, data = proc.stdout.decode('latin-1'), read(path)
        checksum = struct.unpack_from(
            '<I', data, pe_file.PeFile(data).checksum_offset)[0]
        self.assertRegex(report, r'(?m)^PE checksum\s*: %08X$' % checksum)
        return proc.returncode, report

    def test_osslsigncode_signs_and_verifies_the_output(self):
        key, cert, branded, signed, again = (os.path.join(self.dir, n) for n
                                             in ('k.pem', 'c.pem', 'Tool.exe',
                                                 'signed.exe', 'again'))
        subprocess.run(['openssl', 'req', '-x509', '-newkey', 'rsa:2048',
                        '-nodes', '-keyout', key, '-out', cert, '-days', '2',
                        '-subj', '/CN=launcher-brand test'], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        unsigned = self.brand(LAUNCHERS[32], branded)
        self.verify(branded)
        subprocess.run(['osslsigncode', 'sign', '-certs', cert, '-key', key,
                        '-in', branded, '-out', signed], check=True,
                       stdout=subprocess.DEVNULL)
        code, report = self.verify(signed, '-CAfile', cert)
        self.assertEqual(0, code, report)
        self.assertIn('\nSignature verification: ok\n', report)
        # Branded again, the signed file is the unsigned one.
        os.makedirs(again, exist_ok=True)
        self.assertEqual(unsigned, self.brand(
            signed, os.path.join(again, 'Tool.exe'), SIGNATURE_REMOVED))

    def test_windows_build_takes_unicode_arguments(self):
        name, folder = 'Outil-\u00e9t\u00e9.exe', wine_env.unix_path(
            'C:\\Brand')
        write(os.path.join(folder, name), read(LAUNCHERS[32]))
        runs = [subprocess.run(
            ['wine', os.path.join(WIN32_DIR, 'launcher-brand.exe'), name] +
            args, cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
            env=dict(wine_env.wine_environment(), LANG='C.UTF-8'))
            for args in ([name, '--company', 'Caf\u00e9'], ['no\\x.exe'])]
        self.assertEqual([(0, b''), (1, b'launcher-brand: no\\x.exe: its '
                                        b'folder does not exist\r\n')],
                         [(r.returncode, r.stderr) for r in runs])
        write(os.path.join(folder, 'copy.exe'),
              read(os.path.join(folder, name)))
        strings = self.probe('C:\\Brand\\copy.exe')['strings']
        self.assertEqual([name, name[:-4], 'Caf\u00e9'], [utf8(strings[k]) for k
                         in ('OriginalFilename', 'InternalName',
                             'CompanyName')])


if __name__ == '__main__':
    unittest.main()
