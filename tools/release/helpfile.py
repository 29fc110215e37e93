#!/usr/bin/env python3
"""Builds the help file PAKICO.CHM from its HTML Help project in release/help.

The project (Pakico.hhp, its table of contents, its pages and their style sheet) is kept in
UTF-8; the help file holds it as Windows reads it, in code page 932. The sources are copied in
Shift_JIS into a scratch folder and compiled there by chmcmd, the CHM compiler of Free Pascal.

chmcmd 3.2.2 gets topic numbers wrong: it gives a page at most one number, and it writes each
page's name into the map with the absolute path of the folder it compiled in, which no viewer
finds and which differs from one build to the next. So the copy it compiles has no [ALIAS] and
[MAP] sections, and this script writes the map of the project's [ALIAS] and [MAP] afterwards:
#IVB (a number and the offset of its page's name) and #STRINGS (the compiler's strings followed
by the names), stored uncompressed at the end of the file, with their entries in the directory.
chmcmd also stamps the file with the time of day it ran; the stamps become the time of the last
commit, so that two builds of one commit give the same bytes.

    helpfile.py --project release/help/Pakico.hhp --source TREE --chm OUT/PAKICO.CHM
"""
import argparse
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from package import commit_time, shift_jis  # noqa: E402

TEXT_SUFFIXES = (".hhp", ".hhc", ".hhk", ".htm", ".html", ".css")
STRINGS_BLOCK = 4096  # viewers read #STRINGS in blocks of this size: no name may cross one


def fail(message):
    sys.exit(f"helpfile: {message}")


def read_project(path):
    """The project's lines, and its topic map: {number: page} from [ALIAS] and [MAP]."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    sections, section = {}, None
    for line in lines:
        if re.fullmatch(r"\[[^\]]+\]", line.strip()):
            section = line.strip()[1:-1].upper()
            sections.setdefault(section, [])
        elif section and line.strip() and not line.lstrip().startswith(";"):
            sections[section].append(line.strip())
    pages = {}
    for line in sections.get("ALIAS", []):
        name, _, page = line.partition("=")
        pages[name.strip()] = page.strip()
    topics = {}
    for line in sections.get("MAP", []):
        match = re.fullmatch(r"#define\s+(\S+)\s+(\d+)", line)
        if not match or match.group(1) not in pages:
            fail(f"{path}: [MAP] line without its [ALIAS]: {line}")
        number = int(match.group(2))
        if number in topics:
            fail(f"{path}: topic {number} is mapped twice")
        topics[number] = pages[match.group(1)]
    files = {f.replace("\\", "/").lower() for f in sections.get("FILES", [])}
    for page in topics.values():
        if page.lower() not in files:
            fail(f"{path}: the topic page {page} is not in [FILES]")
    if len(topics) != len(pages):
        fail(f"{path}: [ALIAS] names without a number in [MAP]")
    return lines, topics


def without_map(lines):
    """The project's lines without its [ALIAS] and [MAP] sections."""
    kept, skipping = [], False
    for line in lines:
        if re.fullmatch(r"\[[^\]]+\]", line.strip()):
            skipping = line.strip().upper() in ("[ALIAS]", "[MAP]")
        if not skipping:
            kept.append(line)
    return kept


def stage(project, lines, scratch):
    """Copies the project's texts (itself, the contents, the pages, the style sheet) into the
    scratch folder in Shift_JIS."""
    folder = os.path.dirname(os.path.abspath(project))
    for name in sorted(os.listdir(folder)):
        source = os.path.join(folder, name)
        if not os.path.isfile(source) or not name.lower().endswith(TEXT_SUFFIXES):
            continue
        if os.path.abspath(source) == os.path.abspath(project):
            text = "\r\n".join(without_map(lines)) + "\r\n"
        else:
            with open(source, encoding="utf-8") as f:
                text = f.read()
        with open(os.path.join(scratch, name), "wb") as f:
            f.write(shift_jis(text, name))
    return os.path.join(scratch, os.path.basename(project))


def encint(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def read_encint(data, at):
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, at


class Chm:
    """The parts of an ITSF file that the map and the stamps touch: the header, the one
    directory chunk of a small file, and content section 0 at the end of the file."""

    def __init__(self, data):
        self.data = bytearray(data)
        if data[:4] != b"ITSF" or struct.unpack_from("<I", data, 4)[0] != 3:
            fail("not a version 3 ITSF file")
        self.sizes_at = struct.unpack_from("<Q", data, 0x38)[0]  # header section 0
        self.directory_at = struct.unpack_from("<Q", data, 0x48)[0]
        self.content_at = struct.unpack_from("<Q", data, 0x58)[0]
        d = self.directory_at
        if data[d:d + 4] != b"ITSP":
            fail("no ITSP directory header")
        header_size, _, self.chunk_size, self.density, depth = struct.unpack_from("<5I", data, d + 8)
        first, last = struct.unpack_from("<2I", data, d + 0x20)
        chunks = struct.unpack_from("<I", data, d + 0x2C)[0]
        if depth != 1 or first != 0 or last != 0 or chunks != 1:
            fail("the directory has more than one chunk; the help file outgrew this script")
        self.chunk_at = d + header_size
        self.entries = self.read_chunk()

    def read_chunk(self):
        chunk = self.data[self.chunk_at:self.chunk_at + self.chunk_size]
        if chunk[:4] != b"PMGL":
            fail("no PMGL directory chunk")
        free = struct.unpack_from("<I", chunk, 4)[0]
        count = struct.unpack_from("<H", chunk, self.chunk_size - 2)[0]
        entries, at = [], 0x14
        for _ in range(count):
            length, at = read_encint(chunk, at)
            name = bytes(chunk[at:at + length]).decode("utf-8")
            section, at = read_encint(chunk, at + length)
            offset, at = read_encint(chunk, at)
            size, at = read_encint(chunk, at)
            entries.append([name, section, offset, size])
        if at != self.chunk_size - free:
            fail("the directory chunk does not read as written")
        if self.write_chunk(entries) != chunk:
            fail("the directory chunk would not be written back as it was")
        return entries

    def write_chunk(self, entries):
        body, starts = b"", []
        for name, section, offset, size in entries:
            starts.append(len(body))
            encoded = name.encode("utf-8")
            body += encint(len(encoded)) + encoded + encint(section) + encint(offset) + encint(size)
        step = 1 + (1 << self.density)
        # Every step-th entry has its offset in the quick reference, as the compiler writes it.
        quickref = b"".join(struct.pack("<H", starts[i])
                            for i in range(step - 1, len(starts), step))
        quickref = b"".join(quickref[i:i + 2] for i in range(len(quickref) - 2, -1, -2))
        tail = quickref + struct.pack("<H", len(entries))
        free = self.chunk_size - 0x14 - len(body)
        if free < len(tail):
            fail("the directory chunk is full")
        head = b"PMGL" + struct.pack("<IIii", free, 0, -1, -1)
        return bytearray(head + body + bytes(free - len(tail)) + tail)

    def entry(self, name):
        return next((e for e in self.entries if e[0] == name), None)

    def section0(self, name):
        e = self.entry(name)
        if not e or e[1] != 0:
            fail(f"{name} is not in content section 0")
        return self.content_at + e[2], e[3]

    def append(self, name, content):
        """Stores the file at the end of content section 0, in place of any file of that name."""
        offset = len(self.data) - self.content_at
        self.data += content
        old = self.entry(name)
        if old:
            old[1:] = [0, offset, len(content)]
        else:
            self.entries.append([name, 0, offset, len(content)])
            self.entries.sort(key=lambda e: e[0].lower())

    def finish(self):
        self.data[self.chunk_at:self.chunk_at + self.chunk_size] = self.write_chunk(self.entries)
        struct.pack_into("<Q", self.data, self.sizes_at + 8, len(self.data))
        return bytes(self.data)

    def stamp(self, milliseconds):
        """The compiler's two stamps of the time of day it ran: the header's and #SYSTEM's."""
        struct.pack_into(">I", self.data, 0x10, milliseconds)
        at, size = self.section0("/#SYSTEM")
        end, at = at + size, at + 4
        while at + 4 <= end:
            code, length = struct.unpack_from("<HH", self.data, at)
            if code == 10 and length >= 4:
                struct.pack_into("<I", self.data, at + 4, milliseconds)
            at += 4 + length


def with_names(strings, names):
    """#STRINGS with the names added, none across a block; each name's offset."""
    strings = bytearray(strings or b"\0")
    offsets = {}
    for name in names:
        encoded = name.encode("ascii") + b"\0"
        if len(strings) // STRINGS_BLOCK != (len(strings) + len(encoded) - 1) // STRINGS_BLOCK:
            strings += bytes(-len(strings) % STRINGS_BLOCK)
        offsets[name] = len(strings)
        strings += encoded
    return bytes(strings), offsets


def compiled_strings(chm_path, scratch):
    """The compiler's #STRINGS, read back by its listing tool (it may be compressed)."""
    out = os.path.join(scratch, "strings.bin")
    done = subprocess.run(["chmls", "extract", chm_path, "/#STRINGS", out],
                          capture_output=True, text=True, check=False)
    if done.returncode != 0 or not os.path.isfile(out):
        return b""
    with open(out, "rb") as f:
        return f.read()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--project", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--chm", required=True)
    args = parser.parse_args()
    if not shutil.which("chmcmd") or not shutil.which("chmls"):
        fail("chmcmd and chmls are needed (Debian's fp-utils; scripts/setup.sh installs them)")

    lines, topics = read_project(args.project)
    with tempfile.TemporaryDirectory(prefix="pakico-help-") as scratch:
        project = stage(args.project, lines, scratch)
        # The compiler writes the file named in the project into the folder it runs in.
        done = subprocess.run(["chmcmd", os.path.basename(project)], cwd=scratch,
                              capture_output=True, text=True, check=False)
        names = [n for n in os.listdir(scratch) if n.lower().endswith(".chm")]
        if done.returncode != 0 or len(names) != 1 or re.search(r"^Error", done.stdout, re.M):
            fail("chmcmd failed:\n" + done.stdout + done.stderr)
        compiled = os.path.join(scratch, names[0])
        with open(compiled, "rb") as f:
            chm = Chm(f.read())
        strings, offsets = with_names(compiled_strings(compiled, scratch),
                                      sorted(set(topics.values())))
        ivb = b"".join(struct.pack("<II", n, offsets[topics[n]]) for n in sorted(topics))
        chm.append("/#STRINGS", strings)
        chm.append("/#IVB", struct.pack("<I", len(ivb)) + ivb)
        stamp = time.gmtime(commit_time(args.source))
        chm.stamp(((stamp.tm_hour * 60 + stamp.tm_min) * 60 + stamp.tm_sec) * 1000)
        data = chm.finish()

    os.makedirs(os.path.dirname(os.path.abspath(args.chm)), exist_ok=True)
    partial = args.chm + ".partial"
    with open(partial, "wb") as f:
        f.write(data)
    os.replace(partial, args.chm)


if __name__ == "__main__":
    main()
