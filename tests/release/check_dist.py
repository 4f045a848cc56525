#!/usr/bin/env python3
"""Checks a release zip made by scripts/dist against what a user needs.

  check_dist.py ZIP WIN32_EXE WIN64_EXE GUIDE EXAMPLES_DIR

- the entries are exactly the expected names, stored as GBK bytes without the
  UTF-8 flag (what XP's compressed folders read), each with a Unicode Path
  field that agrees with it;
- lumeno.exe and lumeno-x64.exe are byte for byte the tested programs;
- 使用说明.txt is the guide and 参考.txt the reference: strict GBK, every
  line ended by CR LF;
- SHA256SUMS.txt lists every other entry with its true hash.
"""
import hashlib
import os
import struct
import sys
import zipfile
import zlib

zip_path, win32_exe, win64_exe, guide, examples = sys.argv[1:6]
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def central_directory(data):
    """(raw name, flags, extra) of each entry, read from the bytes themselves."""
    end = data.rfind(b'PK\x05\x06')
    count, size, offset = struct.unpack_from('<HII', data, end + 10)
    entries, at = [], offset
    for _ in range(count):
        assert data[at:at + 4] == b'PK\x01\x02'
        flags = struct.unpack_from('<H', data, at + 8)[0]
        name_len, extra_len, comment_len = struct.unpack_from('<HHH', data, at + 28)
        name = data[at + 46:at + 46 + name_len]
        extra = data[at + 46 + name_len:at + 46 + name_len + extra_len]
        entries.append((name, flags, extra))
        at += 46 + name_len + extra_len + comment_len
    return entries


def unicode_path(extra):
    at = 0
    while at + 4 <= len(extra):
        tag, size = struct.unpack_from('<HH', extra, at)
        if tag == 0x7075:
            version, crc = struct.unpack_from('<BI', extra, at + 4)
            return version, crc, extra[at + 9:at + 4 + size]
        at += 4 + size
    return None


data = open(zip_path, 'rb').read()
example_names = sorted(n for n in os.listdir(examples) if n.endswith('.ini')) if os.path.isdir(examples) else []
# Spelled as GBK byte values, independently of how the packer encodes.
GUIDE_NAME = bytes.fromhex('CAB9D3C3CBB5C3F7') + b'.txt'  # 使用说明
REFERENCE_NAME = bytes.fromhex('B2CEBFBC') + b'.txt'  # 参考
expected = [b'lumeno.exe', b'lumeno-x64.exe', GUIDE_NAME, REFERENCE_NAME]
expected += [b'examples/' + n.encode('gbk') for n in example_names]
expected += [b'SHA256SUMS.txt']
check({'网吧.ini', '办公.ini'} <= set(example_names), f'examples are missing a preset: {example_names}')

entries = central_directory(data)
check([e[0] for e in entries] == expected, f'entries {[e[0] for e in entries]} != {expected}')
for name, flags, extra in entries:
    check(not flags & 0x800, f'{name!r} carries the UTF-8 flag')
    if name.isascii():
        continue
    field = unicode_path(extra)
    check(field is not None, f'{name!r} has no Unicode Path field')
    if field:
        version, crc, utf8 = field
        check(version == 1 and crc == zlib.crc32(name), f'{name!r}: Unicode Path field does not match the name')
        check(utf8.decode('utf-8').encode('gbk') == name, f'{name!r}: Unicode Path field names another file')

with zipfile.ZipFile(zip_path) as archive:
    check(archive.testzip() is None, 'a member fails its CRC')
    by_raw = {info.filename.encode('cp437') if not info.flag_bits & 0x800 else info.filename.encode(): info
              for info in archive.infolist()}
    def member(raw):
        return archive.read(by_raw[raw]) if raw in by_raw else b''
    check(member(b'lumeno.exe') == open(win32_exe, 'rb').read(), 'lumeno.exe is not the tested 32-bit program')
    check(member(b'lumeno-x64.exe') == open(win64_exe, 'rb').read(), 'lumeno-x64.exe is not the tested 64-bit program')
    for raw, path in ((GUIDE_NAME, guide), (REFERENCE_NAME, os.path.join(os.path.dirname(guide), '参考.txt'))):
        text = member(raw)
        check(text == open(path, 'rb').read(), f'{raw!r} in the zip is not {path}')
        try:
            text.decode('gbk', errors='strict')
        except UnicodeDecodeError as error:
            failures.append(f'{raw!r} is not valid GBK: {error}')
        check(text and text.count(b'\n') == text.count(b'\r\n') == text.count(b'\r'),
              f'{raw!r} has a line end other than CR LF')
        check(text.endswith(b'\r\n'), f'{raw!r} does not end with CR LF')
    listed = {}
    for line in member(b'SHA256SUMS.txt').split(b'\r\n'):
        if line:
            digest, name = line.split(b' *', 1)
            listed[name] = digest.decode()
    check(sorted(listed) == sorted(expected[:-1]), f'SHA256SUMS.txt lists {sorted(listed)}')
    for raw, digest in listed.items():
        check(hashlib.sha256(member(raw)).hexdigest() == digest, f'SHA256SUMS.txt: wrong hash for {raw!r}')

for failure in failures:
    print('FAIL:', failure)
print(f'{zip_path}: {len(entries)} entries, {len(data)} bytes, {len(failures)} problems')
sys.exit(1 if failures else 0)
