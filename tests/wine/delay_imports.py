#!/usr/bin/env python3
"""Lists the delay-loaded DLLs of a PE image and the functions taken from each.

    delay_imports.py EXE

objdump does not read the delay-import directory (data directory 13). This
prints it in the layout objdump uses for the ordinary import table, so that
one reader checks both:
    DLL Name: <dll>
    \t<file offset of its slot> <hint> <function>   (hint 0 for an import by ordinal,
                                                  which prints as #<ordinal>)
and an empty line after each DLL. Descriptors in the old form (addresses, not
RVAs) are read as well. A malformed directory is an error (exit status 2).
"""
import struct
import sys


def fail(message):
    print(f"delay_imports.py: {message}", file=sys.stderr)
    sys.exit(2)


def main():
    image = open(sys.argv[1], "rb").read()
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        fail("not a PE image")
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    optional = pe + 24
    wide = struct.unpack_from("<H", image, optional)[0] == 0x20B
    image_base = struct.unpack_from("<Q" if wide else "<I", image, optional + (24 if wide else 28))[0]
    directories = optional + (112 if wide else 96)
    count = struct.unpack_from("<I", image, directories - 4)[0]
    if count <= 13:
        return
    table, size = struct.unpack_from("<II", image, directories + 8 * 13)
    if table == 0:
        return
    section_table = optional + struct.unpack_from("<H", image, pe + 20)[0]

    def at(rva):
        for i in range(sections):
            virtual_size, address, raw_size, raw = struct.unpack_from("<IIII", image, section_table + 40 * i + 8)
            if address <= rva < address + max(virtual_size, raw_size):
                offset = raw + rva - address
                if offset >= len(image):
                    fail(f"RVA {rva:#x} lies outside the file")
                return offset
        fail(f"no section holds RVA {rva:#x}")

    def text(rva):
        start = at(rva)
        end = image.find(b"\0", start)
        return image[start:end].decode("latin-1")

    slot_size = 8 if wide else 4
    ordinal_flag = 1 << (63 if wide else 31)
    for n in range(size // 32):
        fields = struct.unpack_from("<8I", image, at(table + 32 * n))
        if not any(fields):
            break
        attributes, name, _, _, names = fields[:5]
        rva = (lambda value: value) if attributes & 1 else (lambda value: value - image_base)
        print(f"\tDLL Name: {text(rva(name))}")
        entry = at(rva(names))
        while True:
            (thunk,) = struct.unpack_from("<Q" if wide else "<I", image, entry)
            if thunk == 0:
                break
            if thunk & ordinal_flag:
                print(f"\t{entry:08x}\t0\t#{thunk & 0xFFFF}")
            else:
                hint = struct.unpack_from("<H", image, at(rva(thunk)))[0]
                print(f"\t{entry:08x}\t{hint}\t{text(rva(thunk) + 2)}")
            entry += slot_size
        print()


if __name__ == "__main__":
    main()
