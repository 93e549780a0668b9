"""End-to-end checks of launcher-brand on the real 32- and 64-bit launchers:
Wine's own resource functions read back what the host tool wrote (version
strings and numbers, icons, manifest, embedded configuration), untouched
resources stay byte for byte, branding twice changes nothing, osslsigncode
signs and verifies the output, and the Windows build of the tool takes
Unicode arguments."""

import json
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, '..', 'release'))
import pe_file  # noqa: E402
import wine_env  # noqa: E402

SOURCE_DIR = os.path.abspath(os.path.join(HERE, '..', '..'))
TOOL = os.environ.get('LAUNCHER_BRAND', os.path.join(
    SOURCE_DIR, 'build', 'host', 'launcher-brand'))
WIN32_DIR = os.environ.get('LAUNCHER_WIN32_DIR',
                           os.path.join(SOURCE_DIR, 'build', 'win32'))
LAUNCHERS = {bits: os.path.join(os.path.dirname(os.path.abspath(WIN32_DIR)),
                                'win%d' % bits, 'launcher.exe')
             for bits in (32, 64)}
PROBE = 'C:\\Brand\\resource_probe.exe'
CONFIG = b'mainclass tool.Main\r\nappname Outil \xc3\xa9t\xc3\xa9\r\n'
STRINGS = {'ProductName': 'Outil', 'CompanyName': 'Atelier \u00e9t\u00e9',
           'FileDescription': 'Outil d\u2019\u00e9t\u00e9 \u2014 d\u00e9mo',
           'LegalCopyright': '\u00a9 2024 Atelier', 'FileVersion': '2.1',
           'ProductVersion': '2.1'}
OPTIONS = ['--product-name', STRINGS['ProductName'],
           '--company', STRINGS['CompanyName'],
           '--description', STRINGS['FileDescription'],
           '--copyright', STRINGS['LegalCopyright'], '--version', '2.1',
           '--execution-level', 'requireAdministrator']
ICON_SIZES = [[16, 16], [32, 32], [48, 48], [256, 256]]


def make_icon(path):
    """Writes an .ico with 16, 32 and 48 pixel bitmaps and a 256 pixel
    PNG."""
    images = []
    for size in (16, 32, 48):
        header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, 32, 0,
                             0, 0, 0, 0, 0)
        mask = bytes(((size + 31) // 32) * 4 * size)
        images.append((size, header + bytes([size, 90, 200, 255]) *
                       (size * size) + mask))
    png = subprocess.run(['convert', '-size', '256x256', 'xc:#3366cc',
                          'png32:-'], stdout=subprocess.PIPE, check=True)
    images.append((0, png.stdout))
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(blob),
                            offset)
        offset += len(blob)
    with open(path, 'wb') as f:
        f.write(data + b''.join(blob for _, blob in images))


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def setUpModule():
    wine_env.start()


def tearDownModule():
    wine_env.stop()


class BrandTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix='brand-')
        cls.icon = os.path.join(cls.tmp.name, 'tool.ico')
        cls.config = os.path.join(cls.tmp.name, 'tool.config')
        make_icon(cls.icon)
        with open(cls.config, 'wb') as f:
            f.write(CONFIG)
        cls.options = OPTIONS + ['--icon', cls.icon, '--config', cls.config]

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def setUp(self):
        wine_env.reset()
        wine_env.install_build_file('resource_probe.exe', PROBE)

    def brand(self, source, target, options):
        return subprocess.run([TOOL, source, target] + options,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=60)

    def probe(self, win_path):
        r = wine_env.run_launcher(PROBE, [win_path])
        self.assertEqual(0, r.exit_code, r)
        return json.loads(r.stdout)

    def test_branded_launchers_read_back_through_wine(self):
        for bits, source in LAUNCHERS.items():
            with self.subTest(bits=bits):
                target = wine_env.unix_path('C:\\Brand\\Outil%d.exe' % bits)
                proc = self.brand(source, target, self.options)
                self.assertEqual((0, b''), (proc.returncode, proc.stderr))
                info = self.probe('C:\\Brand\\Outil%d.exe' % bits)
                strings = {k: v.encode('latin-1').decode('utf-8')
                           for k, v in info['strings'].items()}
                self.assertEqual(dict(STRINGS, InternalName='Outil%d' % bits,
                                      OriginalFilename='Outil%d.exe' % bits),
                                 strings)
                self.assertEqual([2, 1, 0, 0], info['file_version'])
                self.assertEqual([2, 1, 0, 0], info['product_version'])
                self.assertEqual(ICON_SIZES, info['icons'])
                self.assertEqual(CONFIG, info['config'].encode('latin-1'))
                self.assertIn('level="requireAdministrator" uiAccess',
                              info['manifest'])
                self.assert_rest_unchanged(read(source), read(target))
                once = read(target)
                proc = self.brand(target, target, self.options)
                self.assertEqual(0, proc.returncode, proc.stderr)
                self.assertEqual(once, read(target), 'branding again')

    def assert_rest_unchanged(self, source, branded):
        before = pe_file.PeFile(source).resources()
        after = pe_file.PeFile(branded).resources()
        old_images = pe_file.icon_group_ids(
            before[pe_file.RT_GROUP_ICON][101][0x409])
        touched = {(pe_file.RT_GROUP_ICON, 101), (pe_file.RT_VERSION, 1),
                   (24, 1)} | {(pe_file.RT_ICON, i) for i in old_images}
        kept = 0
        for kind, names in before.items():
            for name, languages in names.items():
                if (kind, name) not in touched:
                    self.assertEqual(languages, after[kind][name])
                    kept += 1
        self.assertEqual(8 + 8, kept)  # groups 102-108, 111 and images
        self.assertEqual(
            before[24][1][0x409].replace(b'"asInvoker"',
                                         b'"requireAdministrator"'),
            after[24][1][0x409])

    def osslsigncode_verify(self, path, *args):
        """osslsigncode's report on path; it names the PE checksum once
        when the field holds the right sum, twice (current, calculated)
        when not."""
        proc = subprocess.run(['osslsigncode', 'verify', '-in', path] +
                              list(args), stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT)
        report = proc.stdout.decode('latin-1')
        checksum = struct.unpack_from('<I', read(path), pe_file.PeFile(
            read(path)).checksum_offset)[0]
        self.assertRegex(report, r'(?m)^PE checksum\s*: %08X$' % checksum)
        self.assertNotIn('invalid PE checksum', report)
        return proc.returncode, report

    def test_output_signs_and_verifies_with_osslsigncode(self):
        d = self.tmp.name
        os.makedirs(os.path.join(d, 'again'), exist_ok=True)
        branded, signed, again = (os.path.join(d, n) for n in (
            'Tool.exe', 'signed.exe', os.path.join('again', 'Tool.exe')))
        key, cert = os.path.join(d, 'key.pem'), os.path.join(d, 'cert.pem')
        subprocess.run(['openssl', 'req', '-x509', '-newkey', 'rsa:2048',
                        '-nodes', '-keyout', key, '-out', cert, '-days', '2',
                        '-subj', '/CN=launcher-brand test'], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(0, self.brand(LAUNCHERS[32], branded,
                                       self.options).returncode)
        self.osslsigncode_verify(branded)  # unsigned: only the checksum
        subprocess.run(['osslsigncode', 'sign', '-certs', cert, '-key', key,
                        '-in', branded, '-out', signed], check=True,
                       stdout=subprocess.DEVNULL)
        code, report = self.osslsigncode_verify(signed, '-CAfile', cert)
        self.assertEqual(0, code, report)
        self.assertIn('Signature verification: ok', report)
        # Branding the signed file drops the signature and gives back the
        # bytes of the unsigned one.
        proc = self.brand(signed, again, self.options)
        self.assertEqual(0, proc.returncode)
        self.assertRegex(proc.stderr.decode(),
                         r'^launcher-brand: warning: .*signature removed')
        self.assertEqual(read(branded), read(again))

    def test_windows_build_takes_unicode_arguments(self):
        folder = wine_env.make_dir('C:\\Brand')
        name = 'Outil-\u00e9t\u00e9.exe'
        target = os.path.join(wine_env.unix_path(folder), name)
        with open(target, 'wb') as f:
            f.write(read(LAUNCHERS[32]))
        env = dict(wine_env.wine_environment(), LANG='C.UTF-8')
        tool = os.path.join(WIN32_DIR, 'launcher-brand.exe')

        def run(*args):
            return subprocess.run(['wine', tool] + list(args), env=env,
                                  cwd=wine_env.unix_path(folder),
                                  stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, timeout=120)
        proc = run(name, name, '--description', STRINGS['FileDescription'])
        self.assertEqual((0, b''), (proc.returncode, proc.stderr))
        proc = run(name, 'missing\\x.exe')
        self.assertEqual(1, proc.returncode)
        self.assertIn(b'launcher-brand: missing\\x.exe: its folder does not '
                      b'exist', proc.stderr)
        wine_env.write_file('C:\\Brand\\copy.exe', read(target))
        strings = self.probe('C:\\Brand\\copy.exe')['strings']
        self.assertEqual(
            [name, name[:-4], STRINGS['FileDescription']],
            [strings[k].encode('latin-1').decode('utf-8') for k in (
                'OriginalFilename', 'InternalName', 'FileDescription')])


if __name__ == '__main__':
    unittest.main()
