"""Checks of the release package: runs scripts/release.sh into a temporary
folder (or takes the zip named by RELEASE_ZIP) and checks its file list, its
SHA256SUMS, and that each launcher is a GUI executable of the right machine
type, Terminal Server aware, that needs only system DLLs and carries the
version, the manifest, the icons and the version marker."""

import hashlib
import io
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe_file  # noqa: E402

SOURCE_DIR = os.path.abspath(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))

# DLLs that every Windows installation has; the launcher may import nothing
# else (no compiler runtime DLLs such as libgcc_s or libstdc++).
SYSTEM_DLLS = {
    'kernel32.dll', 'user32.dll', 'advapi32.dll', 'msvcrt.dll',
    'shell32.dll', 'gdi32.dll', 'comctl32.dll', 'comdlg32.dll', 'ole32.dll',
    'oleaut32.dll', 'shlwapi.dll', 'version.dll', 'ntdll.dll',
}

# Icon group id -> number of images.
ICON_GROUPS = {101: 7, 102: 1, 103: 1, 104: 1, 105: 1, 106: 1, 107: 1,
               108: 1, 111: 1}


def project_version():
    with open(os.path.join(SOURCE_DIR, 'CMakeLists.txt')) as f:
        match = re.search(r'^project\([^)]*\bVERSION\s+([0-9.]+)', f.read(),
                          re.M)
    return match.group(1)


VERSION = project_version()
TOP = 'launcher-%s/' % VERSION
GUI, CONSOLE = pe_file.SUBSYSTEM_WINDOWS_GUI, pe_file.SUBSYSTEM_WINDOWS_CUI
EXECUTABLES = {
    'launcher-32.exe': (pe_file.MACHINE_I386, False, 'x86', GUI),
    'launcher-64.exe': (pe_file.MACHINE_AMD64, True, 'amd64', GUI),
    'launcher-console-32.exe': (pe_file.MACHINE_I386, False, 'x86', CONSOLE),
    'launcher-console-64.exe': (pe_file.MACHINE_AMD64, True, 'amd64',
                                CONSOLE),
}
TOOLS = ['launcher-brand', 'launcher-brand.exe']


class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix='release-')
        zip_path = os.environ.get('RELEASE_ZIP')
        if not zip_path:
            proc = subprocess.run(
                [os.path.join(SOURCE_DIR, 'scripts', 'release.sh'), cls.tmp],
                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                stderr=subprocess.PIPE, timeout=1200)
            if proc.returncode != 0:
                raise AssertionError('release.sh failed (%d): %s' % (
                    proc.returncode, proc.stderr.decode('latin-1')[-3000:]))
            zip_path = os.path.join(cls.tmp, 'launcher-%s.zip' % VERSION)
            # The script prints where it put the zip.
            if proc.stdout.decode().strip() != zip_path:
                raise AssertionError('release.sh printed %r, not %r'
                                     % (proc.stdout, zip_path))
        with zipfile.ZipFile(zip_path) as z:
            cls.infos = z.infolist()
            cls.names = [i.filename for i in z.infolist()]
            cls.files = {name[len(TOP):]: z.read(name) for name in cls.names
                         if name.startswith(TOP) and not name.endswith('/')}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_file_list(self):
        images = sorted(os.listdir(os.path.join(SOURCE_DIR, 'docs',
                                                'images')))
        guides = sorted(n for n in os.listdir(os.path.join(SOURCE_DIR,
                                                           'docs'))
                        if n.endswith('.md'))
        self.assertIn('guide.md', guides)
        self.assertGreaterEqual(len(images), 4)
        expected = sorted(
            ['BUILDINFO.txt', 'LICENSE', 'README.md', 'SHA256SUMS',
             'launcher-32.exe', 'launcher-64.exe',
             'launcher-console-32.exe', 'launcher-console-64.exe'] + TOOLS + [
             'sample/README.md', 'sample/SampleApp.config',
             'sample/lib/sample-app.jar', 'sample/lib/sample-util.jar'] +
            ['docs/' + n for n in guides] +
            ['docs/images/' + n for n in images])
        self.assertEqual(expected, sorted(self.files))
        self.assertEqual(sorted(TOP + n for n in expected),
                         sorted(self.names))

    def test_documents_are_the_repository_copies(self):
        for name in ('README.md', 'LICENSE', 'docs/guide.md',
                     'sample/SampleApp.config'):
            with open(os.path.join(SOURCE_DIR, name), 'rb') as f:
                self.assertEqual(f.read(), self.files[name], name)

    def test_sample_jars_are_zips_with_a_manifest(self):
        for name in ('sample/lib/sample-app.jar',
                     'sample/lib/sample-util.jar'):
            with zipfile.ZipFile(io.BytesIO(self.files[name])) as jar:
                self.assertIn('META-INF/MANIFEST.MF', jar.namelist())

    def test_checksums_cover_every_other_file_and_match(self):
        listed = {}
        for line in self.files['SHA256SUMS'].decode('ascii').splitlines():
            match = re.fullmatch(r'([0-9a-f]{64}) [ *](.+)', line)
            self.assertIsNotNone(match, line)
            self.assertNotIn(match.group(2), listed)
            listed[match.group(2)] = match.group(1)
        self.assertEqual(sorted(n for n in self.files if n != 'SHA256SUMS'),
                         sorted(listed))
        for name, digest in listed.items():
            self.assertEqual(hashlib.sha256(self.files[name]).hexdigest(),
                             digest, name)

    def test_every_date_is_the_source_date(self):
        info = self.files['BUILDINFO.txt'].decode('utf-8')
        epoch = int(re.search(r'^SOURCE_DATE_EPOCH: (\d+) ', info,
                              re.M).group(1))
        utc = time.gmtime(max(epoch, 315532800))
        # A zip entry's time counts in steps of two seconds.
        zip_time = utc[:5] + (utc.tm_sec // 2 * 2,)
        entries = list(self.infos)
        for jar in ('sample/lib/sample-app.jar', 'sample/lib/sample-util.jar'):
            entries += zipfile.ZipFile(io.BytesIO(self.files[jar])).infolist()
        self.assertEqual([], [(i.filename, i.date_time) for i in entries
                              if i.date_time != zip_time])
        marker_date = '%s %2d %d %s' % (time.strftime('%b', utc),
                                        utc.tm_mday, utc.tm_year,
                                        time.strftime('%H:%M:%S', utc))
        for name in EXECUTABLES:
            markers = re.findall(rb'@\(#\)[\x20-\x7e]*', self.files[name])
            self.assertIn(('@(#)win_main.cc %s %s' % (VERSION, marker_date))
                          .encode(), markers, name)
            self.assertEqual(0, pe_file.PeFile(self.files[name]).timestamp)

    def test_modes_tell_only_what_runs(self):
        for i in self.infos:
            program = self.files[i.filename[len(TOP):]][:4] in (
                b'\x7fELF', b'MZ\x90\x00')
            mode = 0o755 if program else 0o644
            self.assertEqual(oct(0o100000 | mode), oct(i.external_attr >> 16),
                             i.filename)
            self.assertEqual(b'', i.extra, i.filename)

    def test_buildinfo_names_the_toolchain_packages(self):
        info = self.files['BUILDINFO.txt'].decode('utf-8')
        for package in ('g++-mingw-w64-i686', 'g++-mingw-w64-x86-64',
                        'binutils-mingw-w64-i686',
                        'binutils-mingw-w64-x86-64', 'g++', 'binutils'):
            self.assertRegex(info, r'(?m)^%s \S+ \S+$'
                             % re.escape(package))

    def test_executables(self):
        for name, (machine, is_64bit, arch, subsystem) in EXECUTABLES.items():
            with self.subTest(name):
                self.check_executable(self.files[name], machine, is_64bit,
                                      arch, subsystem)

    def test_branding_tools(self):
        # A 32-bit console program for Windows, needing only system DLLs...
        pe = pe_file.PeFile(self.files['launcher-brand.exe'])
        self.assertEqual((hex(pe_file.MACHINE_I386), CONSOLE),
                         (hex(pe.machine), pe.subsystem))
        self.assertEqual([], [d for d in pe.imported_dlls()
                              if d.lower() not in SYSTEM_DLLS])
        # ...and an x86-64 Linux program linked statically: no interpreter
        # program header (PT_INTERP), so it runs on any distribution.
        elf = self.files['launcher-brand']
        self.assertEqual(b'\x7fELF\x02\x01', elf[:6])
        machine, = struct.unpack_from('<H', elf, 18)
        self.assertEqual(62, machine)  # EM_X86_64
        phoff, = struct.unpack_from('<Q', elf, 32)
        phentsize, phnum = struct.unpack_from('<HH', elf, 54)
        types = [struct.unpack_from('<I', elf, phoff + i * phentsize)[0]
                 for i in range(phnum)]
        self.assertNotIn(3, types)  # PT_INTERP
        for name in TOOLS:
            self.assertIn(('launcher-brand %s' % VERSION).encode(),
                          self.files[name], name)

    def check_executable(self, data, machine, is_64bit, arch, subsystem):
        pe = pe_file.PeFile(data)
        self.assertEqual(hex(machine), hex(pe.machine))
        self.assertEqual(is_64bit, pe.is_64bit)
        self.assertEqual(subsystem, pe.subsystem)
        self.assertTrue(pe.dll_characteristics &
                        pe_file.DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)

        dlls = [d.lower() for d in pe.imported_dlls()]
        self.assertIn('kernel32.dll', dlls)
        self.assertEqual([], [d for d in dlls if d not in SYSTEM_DLLS])
        # USER32 and the registry's ADVAPI32 are looked up when first needed:
        # loaded at start, they would make up most of the launcher's own
        # start-up time under Wine.
        self.assertNotIn('user32.dll', dlls)
        self.assertNotIn('advapi32.dll', dlls)

        resources = pe.resources()
        versions = resources.get(pe_file.RT_VERSION, {})
        self.assertEqual([1], list(versions))
        for raw in versions[1].values():
            info = pe_file.parse_version_info(raw)
            numbers = tuple(int(n) for n in VERSION.split('.'))
            self.assertEqual(numbers + (0,), info.file_version)
            self.assertEqual(VERSION, info.strings.get('ProductVersion'))
            self.assertEqual(VERSION, info.strings.get('FileVersion'))

        manifest = b''.join(resources[pe_file.RT_MANIFEST][1].values())
        self.assertIn(b'processorArchitecture="%s"' % arch.encode(), manifest)
        self.assertEqual(
            [dict(pe_file.COMMON_CONTROLS_6, processorArchitecture=arch)],
            pe_file.manifest_dependencies(manifest))

        groups = resources.get(pe_file.RT_GROUP_ICON, {})
        self.assertEqual(sorted(ICON_GROUPS), sorted(groups))
        icons = resources.get(pe_file.RT_ICON, {})
        for group, count in ICON_GROUPS.items():
            for raw in groups[group].values():
                ids = pe_file.icon_group_ids(raw)
                self.assertEqual(count, len(ids), 'icon group %d' % group)
                # Every image a group lists is there.
                self.assertEqual([], [i for i in ids if i not in icons])

        markers = re.findall(rb'@\(#\)[\x20-\x7e]*', data)
        self.assertTrue(any((' %s ' % VERSION).encode() in m
                            for m in markers), markers)


if __name__ == '__main__':
    unittest.main()
