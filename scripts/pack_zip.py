#!/usr/bin/env python3
"""Packs the files under <base>/<folder> into a zip whose bytes depend only on
their names, their contents and whether each is executable, so that the same
files always give the same zip:

    pack_zip.py <zip> <base> <folder> <epoch>

Entries are named relative to <base> and listed in the byte order of their
names; directories get no entries. Each has the time <epoch> (seconds since
1970, written as UTC; a zip cannot hold a time before 1980), the mode 755 if
its owner may run it and 644 otherwise (so no umask shows), and no extra
fields (no owner, group or access time).
"""

import os
import stat
import sys
import time
import zipfile

EARLIEST_ZIP_TIME = 315532800  # 1980-01-01 00:00:00 UTC
UNIX = 3  # "made by" system: the modes are read as Unix ones


def entry_names(base, folder):
    names = []
    for parent, dirs, files in os.walk(os.path.join(base, folder)):
        for name in files:
            names.append(os.path.relpath(os.path.join(parent, name), base))
    return sorted(names, key=lambda n: n.encode())


def pack(zip_path, base, folder, epoch):
    date_time = time.gmtime(max(epoch, EARLIEST_ZIP_TIME))[:6]
    with zipfile.ZipFile(zip_path, 'w') as z:
        for name in entry_names(base, folder):
            path = os.path.join(base, name)
            executable = os.stat(path).st_mode & stat.S_IXUSR
            info = zipfile.ZipInfo(name.replace(os.sep, '/'), date_time)
            info.create_system = UNIX
            info.external_attr = (stat.S_IFREG | (
                0o755 if executable else 0o644)) << 16
            with open(path, 'rb') as f:
                z.writestr(info, f.read(), compress_type=zipfile.ZIP_DEFLATED,
                           compresslevel=9)


if __name__ == '__main__':
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    pack(sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]))
