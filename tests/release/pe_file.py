"""Reads what the release checks need from a Windows PE executable: machine
type, subsystem, DLL characteristics, imported DLLs, resources (version
information, icon groups, the manifest's dependencies). Standard library
only.

    pe = PeFile(open('launcher.exe', 'rb').read())
    pe.machine, pe.subsystem, pe.dll_characteristics, pe.timestamp
    pe.imported_dlls()
    pe.resources()          # {type: {name: {language: bytes}}}
    parse_version_info(pe.resources()[RT_VERSION][1][0x409])
    icon_group_ids(pe.resources()[RT_GROUP_ICON][101][0x409])
    manifest_dependencies(pe.resources()[RT_MANIFEST][1][0x409])
"""

import struct
import xml.etree.ElementTree as ElementTree

MACHINE_I386 = 0x14c
MACHINE_AMD64 = 0x8664
SUBSYSTEM_WINDOWS_GUI = 2
SUBSYSTEM_WINDOWS_CUI = 3
DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE = 0x8000

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24

_DIRECTORY_IMPORT = 1
_DIRECTORY_RESOURCE = 2


class PeError(ValueError):
    """The bytes are not a PE image, or a structure in it is broken."""


class Section:
    def __init__(self, name, virtual_size, virtual_address, raw_size,
                 raw_offset):
        self.name = name
        self.virtual_size = virtual_size
        self.virtual_address = virtual_address
        self.raw_size = raw_size
        self.raw_offset = raw_offset


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b'MZ':
            raise PeError('no MZ header')
        (pe_offset,) = self._unpack('<I', 0x3c)
        if data[pe_offset:pe_offset + 4] != b'PE\0\0':
            raise PeError('no PE signature')
        coff = pe_offset + 4
        (self.machine, section_count, self.timestamp, _, _, optional_size,
         self.characteristics) = self._unpack('<HHIIIHH', coff)
        optional = coff + 20
        self.checksum_offset = optional + 64
        (magic,) = self._unpack('<H', optional)
        if magic == 0x10b:      # PE32
            directories = optional + 96
        elif magic == 0x20b:    # PE32+
            directories = optional + 112
        else:
            raise PeError('unknown optional header magic 0x%x' % magic)
        self.is_64bit = magic == 0x20b
        (self.subsystem, self.dll_characteristics) = self._unpack(
            '<HH', optional + 68)
        (directory_count,) = self._unpack('<I', directories - 4)
        self.directories = [
            self._unpack('<II', directories + 8 * i)
            for i in range(directory_count)]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            fields = self._unpack('<8sIIII', table + 40 * i)
            self.sections.append(Section(fields[0].rstrip(b'\0').decode(
                'latin-1'), *fields[1:]))

    def _unpack(self, fmt, offset):
        size = struct.calcsize(fmt)
        if offset < 0 or offset + size > len(self.data):
            raise PeError('structure at 0x%x runs past the end' % offset)
        return struct.unpack_from(fmt, self.data, offset)

    def offset_of(self, rva):
        """File offset of a relative virtual address."""
        for s in self.sections:
            if s.virtual_address <= rva < s.virtual_address + max(
                    s.virtual_size, s.raw_size):
                return s.raw_offset + rva - s.virtual_address
        raise PeError('address 0x%x is in no section' % rva)

    def _c_string(self, rva):
        start = self.offset_of(rva)
        end = self.data.index(b'\0', start)
        return self.data[start:end].decode('latin-1')

    def directory(self, index):
        """(rva, size) of a data directory; (0, 0) when absent."""
        if index >= len(self.directories):
            return (0, 0)
        return self.directories[index]

    def imported_dlls(self):
        """Names of the DLLs in the import directory, as written."""
        rva, _ = self.directory(_DIRECTORY_IMPORT)
        if rva == 0:
            return []
        names = []
        offset = self.offset_of(rva)
        while True:
            descriptor = self._unpack('<IIIII', offset)
            if descriptor == (0, 0, 0, 0, 0):
                return names
            names.append(self._c_string(descriptor[3]))
            offset += 20

    def resources(self):
        """The resource tree as {type: {name: {language: bytes}}}; ids are
        ints, named entries are str."""
        rva, _ = self.directory(_DIRECTORY_RESOURCE)
        if rva == 0:
            return {}
        base = self.offset_of(rva)
        tree = {}
        for type_id, type_dir in self._resource_entries(base, 0):
            names = tree.setdefault(type_id, {})
            for name_id, name_dir in self._resource_entries(base, type_dir):
                languages = names.setdefault(name_id, {})
                for lang_id, leaf in self._resource_entries(base, name_dir):
                    data_rva, size, _, _ = self._unpack('<IIII', base + leaf)
                    start = self.offset_of(data_rva)
                    languages[lang_id] = self.data[start:start + size]
        return tree

    def _resource_entries(self, base, directory_offset):
        """(id or name, offset of the subdirectory or data entry relative to
        the resource section) for each entry of one resource directory."""
        named, ids = self._unpack('<HH', base + directory_offset + 12)
        entries = []
        for i in range(named + ids):
            name, target = self._unpack(
                '<II', base + directory_offset + 16 + 8 * i)
            if name & 0x80000000:
                string = base + (name & 0x7fffffff)
                (length,) = self._unpack('<H', string)
                name = self.data[string + 2:string + 2 + 2 * length].decode(
                    'utf-16-le')
            entries.append((name, target & 0x7fffffff))
        return entries


# --- Version information ----------------------------------------------------

class VersionInfo:
    """file_version, product_version: (a, b, c, d) from VS_FIXEDFILEINFO;
    strings: {key: value} of every string table."""

    def __init__(self, file_version, product_version, strings):
        self.file_version = file_version
        self.product_version = product_version
        self.strings = strings


def _version_block(data, offset):
    """One block of a VS_VERSIONINFO tree at offset: returns (key, value
    bytes, value type, where its children start, where it ends)."""
    length, value_length, value_type = struct.unpack_from('<HHH', data,
                                                          offset)
    if length < 6 or offset + length > len(data):
        raise PeError('version block at %d has a bad length' % offset)
    key_start = offset + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b'\0\0':
        key_end += 2
    key = data[key_start:key_end].decode('utf-16-le')
    value_start = _align4(key_end + 2)
    # A text value's length counts UTF-16 units, a binary one's bytes.
    value_size = value_length * 2 if value_type == 1 else value_length
    value = data[value_start:value_start + value_size]
    children_start = _align4(value_start + value_size)
    return key, value, value_type, children_start, offset + length


def _align4(n):
    return (n + 3) & ~3


def _children(data, start, end):
    offset = start
    while offset < end:
        block = _version_block(data, offset)
        yield block
        offset = _align4(block[4])


def parse_version_info(data):
    """Reads an RT_VERSION resource into a VersionInfo."""
    key, fixed, _, children_start, end = _version_block(data, 0)
    if key != 'VS_VERSION_INFO':
        raise PeError('version resource key is %r' % key)
    fields = struct.unpack_from('<13I', fixed)
    if fields[0] != 0xFEEF04BD:
        raise PeError('no VS_FIXEDFILEINFO signature')

    def split(ms, ls):
        return (ms >> 16, ms & 0xffff, ls >> 16, ls & 0xffff)

    strings = {}
    for child_key, _, _, tables_start, child_end in _children(
            data, children_start, end):
        if child_key != 'StringFileInfo':
            continue
        for _, _, _, strings_start, table_end in _children(
                data, tables_start, child_end):
            for name, value, _, _, _ in _children(
                    data, strings_start, table_end):
                strings[name] = value.decode('utf-16-le').rstrip('\0')
    return VersionInfo(split(fields[2], fields[3]),
                       split(fields[4], fields[5]), strings)


# --- Icons ------------------------------------------------------------------

def icon_group_ids(data):
    """The RT_ICON ids that an RT_GROUP_ICON resource lists, one per
    image."""
    reserved, kind, count = struct.unpack_from('<HHH', data)
    if reserved != 0 or kind != 1:
        raise PeError('not an icon group')
    if 6 + 14 * count > len(data):
        raise PeError('icon group lists more images than it holds')
    return [struct.unpack_from('<H', data, 6 + 14 * i + 12)[0]
            for i in range(count)]


# --- Manifest ---------------------------------------------------------------

# The identity of the assembly of the version 6 common controls, but for its
# processor architecture.
COMMON_CONTROLS_6 = {
    'type': 'win32', 'name': 'Microsoft.Windows.Common-Controls',
    'version': '6.0.0.0', 'publicKeyToken': '6595b64144ccf1df',
    'language': '*'}


def manifest_dependencies(data):
    """The attributes of the assembly identity of each dependency that an
    application manifest declares, in order."""
    path = '{0}dependency/{0}dependentAssembly/{0}assemblyIdentity'.format(
        '{urn:schemas-microsoft-com:asm.v1}')
    return [e.attrib for e in ElementTree.fromstring(data).iterfind(path)]
