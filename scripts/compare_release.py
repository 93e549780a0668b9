#!/usr/bin/env python3
"""Compares two builds of the release zip, the zips' bytes and each file in
them. Prints the first difference and exits with 1, or exits with 0 when the
two are the same byte for byte.

    compare_release.py <zip> <other zip>
"""

import io
import itertools
import sys
import zipfile

# What a zip records of an entry besides its name and contents.
ENTRY_FIELDS = ('date_time', 'external_attr', 'internal_attr',
                'create_system', 'create_version', 'extract_version',
                'flag_bits', 'compress_type', 'extra', 'comment')


def first_byte_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def where(a, b):
    """Where two versions of a file part: a line of a text, a byte offset of
    anything else."""
    try:
        lines_a = a.decode('utf-8').splitlines()
        lines_b = b.decode('utf-8').splitlines()
    except UnicodeDecodeError:
        return 'from byte %d on (%d and %d bytes)' % (
            first_byte_difference(a, b), len(a), len(b))
    for number, (x, y) in enumerate(
            itertools.zip_longest(lines_a, lines_b, fillvalue=''), 1):
        if x != y:
            return 'line %d: %r and %r' % (number, x, y)
    return 'in its line ends'


def first_difference(path_a, path_b):
    with open(path_a, 'rb') as f:
        data_a = f.read()
    with open(path_b, 'rb') as f:
        data_b = f.read()
    if data_a == data_b:
        return None
    with zipfile.ZipFile(io.BytesIO(data_a)) as za, \
            zipfile.ZipFile(io.BytesIO(data_b)) as zb:
        for a, b in itertools.zip_longest(za.infolist(), zb.infolist()):
            if a is None or b is None or a.filename != b.filename:
                return 'the entries differ: %s in %s, %s in %s' % (
                    a and a.filename, path_a, b and b.filename, path_b)
            content_a, content_b = za.read(a), zb.read(b)
            if content_a != content_b:
                return '%s differs %s' % (a.filename,
                                          where(content_a, content_b))
            for field in ENTRY_FIELDS:
                if getattr(a, field) != getattr(b, field):
                    return '%s: its %s differs: %r and %r' % (
                        a.filename, field, getattr(a, field),
                        getattr(b, field))
    return 'the zips differ from byte %d on, outside the files in them' % (
        first_byte_difference(data_a, data_b))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    difference = first_difference(sys.argv[1], sys.argv[2])
    if difference:
        print(difference)
        sys.exit(1)
