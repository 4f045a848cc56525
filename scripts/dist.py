#!/usr/bin/env python3
"""Packs a release zip of Lumeno for Windows XP users.

  dist.py version EXE              prints the version (a.b.c) from EXE's version resource
  dist.py zip OUT.zip NAME=FILE... writes OUT.zip with FILE stored under NAME, plus SHA256SUMS.txt

Entry names are stored in code page 936 without the UTF-8 flag: XP's compressed
folders decode names with the system's OEM code page, which is 936 on a
Simplified Chinese Windows, and ignore the flag. Each non-ASCII name also gets
an Info-ZIP Unicode Path field (0x7075) so that newer tools show it too.
Timestamps are fixed, so the same inputs always give the same zip.
"""
import hashlib
import struct
import sys
import zipfile
import zlib

FIXED_TIME = (2026, 1, 1, 0, 0, 0)


def file_version(exe_path):
    data = open(exe_path, 'rb').read()
    # VS_FIXEDFILEINFO starts with its signature; the file version follows the
    # structure version as two DWORDs (major<<16|minor, patch<<16|build).
    at = data.find(struct.pack('<I', 0xFEEF04BD))
    if at < 0:
        sys.exit(f'{exe_path}: no version resource')
    _, _, ms, ls = struct.unpack_from('<IIII', data, at)
    return f'{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}'


class GbkZipInfo(zipfile.ZipInfo):
    """A ZipInfo whose name is written as code page 936 bytes, flag bit 11 clear."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def unicode_path_field(name):
    raw = name.encode('gbk')
    utf8 = name.encode('utf-8')
    body = struct.pack('<BI', 1, zlib.crc32(raw)) + utf8
    return struct.pack('<HH', 0x7075, len(body)) + body


def add(archive, name, data):
    info = GbkZipInfo(name, FIXED_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED
    info.create_system = 0  # MS-DOS: names and attributes as Windows reads them
    info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
    if not name.isascii():
        info.extra = unicode_path_field(name)
    archive.writestr(info, data, compresslevel=9)


def write_zip(out_path, pairs):
    sums = []
    with zipfile.ZipFile(out_path, 'w') as archive:
        for name, path in pairs:
            data = open(path, 'rb').read()
            add(archive, name, data)
            sums.append(f'{hashlib.sha256(data).hexdigest()} *{name}\r\n')
        # Names in GBK as the zip stores them, CR LF for Notepad.
        add(archive, 'SHA256SUMS.txt', ''.join(sums).encode('gbk'))


def main(argv):
    if len(argv) == 3 and argv[1] == 'version':
        print(file_version(argv[2]))
    elif len(argv) >= 4 and argv[1] == 'zip':
        write_zip(argv[2], [tuple(pair.split('=', 1)) for pair in argv[3:]])
    else:
        sys.exit(__doc__)


if __name__ == '__main__':
    main(sys.argv)
