"""Cross-check of pe/ with python3-pefile: four update cycles and a replacement made by
pe_edit must read back, through pefile, with exactly the resources, bytes, sizes and
checksum expected, the original resources and sections unchanged, and sorted tables.

Usage: pefile_check.py <pe_edit> <fixture.exe> <work folder>
"""
import os
import random
import subprocess
import sys

import pefile

RT_RCDATA = 10


def resources(pe):
    """{(type, name, language): bytes} with names as str and numbers as int."""
    out = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return out

    def key(entry):
        return str(entry.name) if entry.name is not None else entry.id

    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for lang in n.directory.entries:
                d = lang.data.struct
                out[(key(t), key(n), lang.id)] = pe.get_data(d.OffsetToData, d.Size)
    return out


def check_sorted(pe, failures):
    def order(entries):
        return [(0, [ord(c) for c in str(e.name)]) if e.name is not None else (1, e.id)
                for e in entries]

    dirs = [pe.DIRECTORY_ENTRY_RESOURCE]
    dirs += [t.directory for t in pe.DIRECTORY_ENTRY_RESOURCE.entries]
    dirs += [n.directory for t in pe.DIRECTORY_ENTRY_RESOURCE.entries for n in t.directory.entries]
    for d in dirs:
        keys = order(d.entries)
        if keys != sorted(keys) or len(set(map(str, keys))) != len(keys):
            failures.append("directory entries not sorted: %r" % keys)


def main():
    tool, fixture, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    rng = random.Random(20240611)
    original = pefile.PE(fixture)
    expected = resources(original)
    failures = []

    steps = [
        ("ENCRYPTEDFILE", rng.randbytes(200001)),
        ("SALT", b"%064X\r\n" % rng.getrandbits(256)),
        ("FILENAME", "r\u00e9sum\u00e9.pdf\r\n".encode("cp1252")),
        ("HASH", b"A" * 44 + b"\r\n"),
        ("SALT", b"0" * 64 + b"\r\n"),
    ]
    current = fixture
    for i, (name, data) in enumerate(steps):
        data_path = os.path.join(work, "data%d.bin" % i)
        with open(data_path, "wb") as f:
            f.write(data)
        out = os.path.join(work, "step%d.exe" % i)
        subprocess.run([tool, current, out, "%s=%s" % (name, data_path)], check=True)
        current = out
        expected[(RT_RCDATA, name, 0)] = data

        pe = pefile.PE(out)
        got = resources(pe)
        if got != expected:
            missing = set(expected) ^ set(got)
            changed = [k for k in expected if k in got and got[k] != expected[k]]
            failures.append("step %d: resources differ: keys %r, bytes %r" % (i, missing, changed))
        check_sorted(pe, failures)
        oh = pe.OPTIONAL_HEADER
        if oh.CheckSum != pe.generate_checksum():
            failures.append("step %d: checksum %#x, pefile computes %#x"
                            % (i, oh.CheckSum, pe.generate_checksum()))
        last = max(pe.sections, key=lambda s: s.VirtualAddress)
        end = last.VirtualAddress + max(last.Misc_VirtualSize, last.SizeOfRawData)
        aligned = (end + oh.SectionAlignment - 1) // oh.SectionAlignment * oh.SectionAlignment
        if oh.SizeOfImage != aligned:
            failures.append("step %d: SizeOfImage %#x, expected %#x" % (i, oh.SizeOfImage, aligned))
        added = pe.sections[-1]
        want_init = original.OPTIONAL_HEADER.SizeOfInitializedData + added.SizeOfRawData
        if oh.SizeOfInitializedData != want_init:
            failures.append("step %d: SizeOfInitializedData %#x, expected %#x"
                            % (i, oh.SizeOfInitializedData, want_init))
        rsrc = oh.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]]
        if not (added.VirtualAddress <= rsrc.VirtualAddress
                and rsrc.VirtualAddress + rsrc.Size == added.VirtualAddress + added.Misc_VirtualSize):
            failures.append("step %d: the resource directory does not end the new section" % i)
        for old, new in zip(original.sections, pe.sections):
            if old.get_data() != new.get_data() or old.VirtualAddress != new.VirtualAddress:
                failures.append("step %d: section %r changed" % (i, old.Name))
        warnings = [w for w in pe.get_warnings() if "resource" in w.lower()]
        if warnings:
            failures.append("step %d: pefile warnings %r" % (i, warnings))

    for f in failures:
        print("FAIL:", f)
    print("%d steps checked, %d failures" % (len(steps), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
