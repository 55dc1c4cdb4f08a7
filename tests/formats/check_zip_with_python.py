#!/usr/bin/python3
"""Orlaspin's ZIP reader compared with Python's zipfile on the same archives: those of the test
builder, archives zipfile writes itself in every way it can (stored, deflated, streamed with data
descriptors, ZIP64, more than 65535 members, UTF-8 names, a comment, bytes before the archive), the
real archive in the test data, and archives cut short, whose members found from their local
headers must be those zipfile lists in the whole archive. An archive whose comment holds an end
record's signature, which zipfile takes for the end record and refuses, must read as its twin
without the comment.
Usage: check_zip_with_python.py ZIP_TOOL TESTDATA_DIR"""

import io
import os
import subprocess
import sys
import tempfile
import unittest
import zipfile
import zlib

TOOL = None
TESTDATA = None
REAL_ZIP = "zip/perrada69_CalmCommander__build_CalmCommander_v1.3.zip"
# Archives with a signature in their comment, and their twins without one.
COMMENT_TWINS = {"builder-comment.zip": "builder-plain.zip", "py-comment.zip": "py-deflated.zip"}


def sample(size, seed):
    """Bytes that deflate somewhat: words with some noise."""
    words = b"SCREEN GAME LOADER ZX SPECTRUM 128 TR-DOS "
    state = seed * 2654435761 + 1
    out = bytearray()
    for i in range(size):
        state = (state * 1103515245 + 12345) & 0xFFFFFFFF
        out.append((state >> 16) & 0xFF if state >> 28 == 0 else words[(i + seed) % len(words)])
    return bytes(out)


class Unseekable(io.RawIOBase):
    """A stream zipfile cannot seek back in, so it writes data descriptors."""

    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


def ours(paths):
    """The tool's reading of each archive: {path: (warnings, failure, members)}."""
    output = subprocess.run([TOOL, "list", *paths], check=True, capture_output=True).stdout
    result = {}
    current = None
    for line in output.decode("utf-8").splitlines():
        fields = line.split("\t")
        if fields[0] == "archive":
            current = {"warnings": [], "failure": None, "members": []}
            result[bytes.fromhex(fields[1]).decode("utf-8")] = current
        elif fields[0] == "warning":
            current["warnings"].append(fields[1])
        elif fields[0] == "failure":
            current["failure"] = fields[1]
        else:
            name, size, crc, encrypted, status = fields[1:6]
            data = bytes.fromhex(fields[6]) if status == "ok" else None
            current["members"].append((bytes.fromhex(name).decode("utf-8"), int(size), int(crc),
                                       int(encrypted), data))
    return result


def theirs(path):
    """zipfile's reading: its members (folders left out), data None where it refuses one."""
    members = []
    with zipfile.ZipFile(path) as archive:
        for info in archive.infolist():
            if info.is_dir():
                continue
            try:
                data = archive.read(info)
            except (zipfile.BadZipFile, zlib.error, RuntimeError, NotImplementedError, EOFError,
                    OSError, ValueError):
                data = None
            members.append((info.filename, info.file_size, info.CRC, info.flag_bits & 1, data))
    return members


def write_python_archives(folder):
    """Archives zipfile makes in each of its ways; returns their paths."""
    files = [("dir/pic.scr", sample(6912, 1)), ("empty", b""), ("one", b"1"),
             ("big.trd", sample(150000, 2)), ("ИГРА/экран.scr", sample(6912, 3))]
    paths = []

    def make(name, compression, **options):
        path = os.path.join(folder, name)
        with zipfile.ZipFile(path, "w", compression, compresslevel=options.get("level")) as zf:
            zf.mkdir("dir")
            for member, data in files:
                zf.writestr(member, data)
            zf.comment = options.get("comment", b"")
        paths.append(path)
        return path

    make("py-deflated.zip", zipfile.ZIP_DEFLATED, level=9)
    make("py-fast.zip", zipfile.ZIP_DEFLATED, level=1)
    make("py-stored.zip", zipfile.ZIP_STORED)
    make("py-comment.zip", zipfile.ZIP_DEFLATED, comment=b"PK\x05\x06 a comment with a signature")

    for zip64 in (False, True):
        stream = Unseekable()
        with zipfile.ZipFile(stream, "w", zipfile.ZIP_DEFLATED) as zf:
            for member, data in files:
                with zf.open(member, "w", force_zip64=zip64) as out:
                    out.write(data)
        path = os.path.join(folder, "py-stream%s.zip" % ("-zip64" if zip64 else ""))
        with open(path, "wb") as out:
            out.write(stream.data)
        paths.append(path)

    path = os.path.join(folder, "py-zip64-seekable.zip")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as zf:
        for member, data in files:
            with zf.open(member, "w", force_zip64=True) as out:
                out.write(data)
    paths.append(path)

    # More members than the end record can count: zipfile adds the ZIP64 end records.
    path = os.path.join(folder, "py-many.zip")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as zf:
        for i in range(65540):
            zf.writestr("f%05d" % i, bytes([i & 0xFF]) * (i % 3))
    paths.append(path)

    with open(os.path.join(folder, "py-deflated.zip"), "rb") as archive:
        prefixed = b"MZ" + b"\x90" * 3000 + archive.read()
    path = os.path.join(folder, "py-prefixed.zip")
    with open(path, "wb") as out:
        out.write(prefixed)
    paths.append(path)
    return paths


def directory_offset(path):
    with open(path, "rb") as archive:
        data = archive.read()
    return data, int.from_bytes(data[data.rindex(b"PK\x05\x06") + 16:][:4], "little")


class ZipAgainstPython(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.folder = cls.temp.name
        subprocess.run([TOOL, "build", cls.folder], check=True)
        cls.builder = sorted(os.path.join(cls.folder, name) for name in os.listdir(cls.folder))
        cls.python = write_python_archives(cls.folder)

    @classmethod
    def tearDownClass(cls):
        cls.temp.cleanup()

    def compare(self, paths):
        read = ours(paths)
        for path in paths:
            with self.subTest(archive=os.path.basename(path)):
                mine = read[path]
                self.assertIsNone(mine["failure"])
                self.assertEqual(mine["warnings"], [])
                twin = COMMENT_TWINS.get(os.path.basename(path))
                if twin:
                    self.assertRaises(zipfile.BadZipFile, theirs, path)
                    path = os.path.join(os.path.dirname(path), twin)
                expected = theirs(path)
                self.assertEqual([m[:4] for m in mine["members"]], [m[:4] for m in expected])
                for got, want in zip(mine["members"], expected):
                    self.assertEqual(got[4], want[4], "member %s" % want[0])

    def test_builder_archives_read_as_zipfile_reads_them(self):
        self.compare(self.builder)
        faults = ours([os.path.join(self.folder, "builder-faults.zip")])
        refused = [m[0] for m in next(iter(faults.values()))["members"] if m[4] is None]
        self.assertEqual(len(refused), 7, refused)

    def test_archives_zipfile_writes_read_as_zipfile_reads_them(self):
        self.compare(self.python)

    def test_the_real_archive_reads_as_zipfile_reads_it(self):
        self.compare([os.path.join(TESTDATA, REAL_ZIP)])

    def test_an_archive_cut_before_its_directory_gives_every_member_from_local_headers(self):
        sources = [os.path.join(self.folder, name)
                   for name in ("py-deflated.zip", "py-stream.zip", "py-stream-zip64.zip",
                                "py-zip64-seekable.zip")] + [os.path.join(TESTDATA, REAL_ZIP)]
        cut_paths = []
        for source in sources:
            data, offset = directory_offset(source)
            cut = os.path.join(self.folder, "cut-" + os.path.basename(source))
            with open(cut, "wb") as out:
                out.write(data[:offset])
            cut_paths.append(cut)
        read = ours(cut_paths)
        for source, cut in zip(sources, cut_paths):
            with self.subTest(archive=os.path.basename(source)):
                mine = read[cut]
                self.assertEqual(len(mine["warnings"]), 1, mine["warnings"])
                self.assertIn("no end record", mine["warnings"][0])
                self.assertEqual(mine["members"], theirs(source))

    def test_an_archive_cut_inside_its_last_member_gives_the_others(self):
        source = os.path.join(self.folder, "py-stream.zip")
        whole = theirs(source)
        data, offset = directory_offset(source)
        cut = os.path.join(self.folder, "cut-inside.zip")
        with open(cut, "wb") as out:
            out.write(data[:offset - 100])
        mine = ours([cut])[cut]
        self.assertEqual(mine["members"], whole[:-1])
        self.assertIn("%s: its sizes are in a data descriptor that was not found" % whole[-1][0],
                      mine["warnings"])


if __name__ == "__main__":
    TOOL, TESTDATA = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
