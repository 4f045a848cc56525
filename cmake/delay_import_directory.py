#!/usr/bin/env python3
"""Points an executable's delay-import directory at its delay-import table.

    delay_import_directory.py EXE MAP

GNU ld links the descriptors of dlltool's delay-import libraries (symbols
__DELAY_IMPORT_DESCRIPTOR_*, 32 bytes each, side by side) but leaves data
directory 13 empty, so neither the system's tools nor our XP check would see
the delay-loaded DLLs. The link map gives the descriptors' addresses and that
of the empty descriptor ending the table (LumenoDelayImportEnd); this script
checks that they form one table, writes its place and size (terminator
included) into the header and recomputes the header checksum.
"""
import re
import struct
import sys

DESCRIPTOR = 32
DELAY_IMPORT_ENTRY = 13


def fail(message):
    sys.exit(f"delay_import_directory.py: {message}")


def symbols(map_path):
    descriptors, end = [], None
    with open(map_path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            match = re.match(r"^\s+0x([0-9a-f]+)\s+(_*DELAY_IMPORT_DESCRIPTOR_\S+|_?LumenoDelayImportEnd)\s*$", line)
            if not match:
                continue
            address = int(match.group(1), 16)
            if match.group(2).lstrip("_").startswith("Lumeno"):
                end = address
            else:
                descriptors.append(address)
    return sorted(set(descriptors)), end


def checksum(image, field):
    total = 0
    data = image[:field] + b"\0\0\0\0" + image[field + 4:]
    if len(data) % 2:
        data += b"\0"
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total & 0xFFFF) + len(image)


def main():
    exe, map_path = sys.argv[1], sys.argv[2]
    image = bytearray(open(exe, "rb").read())
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        fail(f"{exe} is no PE image")
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    if magic == 0x20B:
        image_base = struct.unpack_from("<Q", image, optional + 24)[0]
        directories = optional + 112
    else:
        image_base = struct.unpack_from("<I", image, optional + 28)[0]
        directories = optional + 96
    section_table = optional + struct.unpack_from("<H", image, pe + 20)[0]

    def file_offset(rva):
        for i in range(sections):
            header = section_table + 40 * i
            size, address, raw_size, raw = struct.unpack_from("<IIII", image, header + 8)
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        fail(f"no section holds RVA {rva:#x}")

    descriptors, end = symbols(map_path)
    if not descriptors:
        return  # nothing is delay-loaded
    if end is None:
        fail("the link map names no LumenoDelayImportEnd")
    for i, address in enumerate(descriptors):
        if address != descriptors[0] + DESCRIPTOR * i:
            fail("the delay-import descriptors do not lie side by side")
        attributes = struct.unpack_from("<I", image, file_offset(address - image_base))[0]
        if attributes != 1:
            fail(f"descriptor at {address:#x} is not in RVA form")
    if end != descriptors[-1] + DESCRIPTOR:
        fail("the empty descriptor does not follow the last delay-import descriptor")
    at = file_offset(end - image_base)
    if any(image[at:at + DESCRIPTOR]):
        fail("the descriptor ending the table is not empty")

    first = descriptors[0] - image_base
    struct.pack_into("<II", image, directories + 8 * DELAY_IMPORT_ENTRY, first, DESCRIPTOR * (len(descriptors) + 1))
    field = optional + 64
    struct.pack_into("<I", image, field, checksum(image, field))
    open(exe, "wb").write(image)


if __name__ == "__main__":
    main()
