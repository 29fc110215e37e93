#!/usr/bin/env python3
"""Packs the release zip: the program, its help file, its readme and its licence.

The readme is kept in UTF-8 in the tree and handed out as a Windows user reads text files: in
Shift_JIS, with CR LF line ends; the licence gets CR LF too. The zip's entries come in the order
of their names, each with the time of the last commit, so that two builds of one commit give the
same bytes wherever and whenever they run.

    package.py --source TREE --program Pakico.exe --help-file PAKICO.CHM --readme Pakico.txt
               --licence LICENSE --zip OUT.zip [--readme-out Pakico.txt]

--readme-out also writes the readme as handed out, for the tests beside the program.
"""
import argparse
import glob
import os
import subprocess
import sys
import time
import zipfile


def commit_time(tree):
    """Seconds since 1970 of the last commit of the tree (or SOURCE_DATE_EPOCH when set)."""
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    done = subprocess.run(["git", "-C", tree, "log", "-1", "--format=%ct"],
                          capture_output=True, text=True, check=False)
    if done.returncode != 0 or not done.stdout.strip():
        sys.exit(f"package: {tree} has no commit to take the time from; set SOURCE_DATE_EPOCH")
    return int(done.stdout.strip())


def windows_lines(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n")


def shift_jis(text, name):
    """The text in Shift_JIS. Windows reads it as its code page 932, which maps a few JIS
    characters (such as the wave dash) to other ones than Shift_JIS does: only characters that
    both read alike are let through."""
    data = text.encode("cp932")
    if data.decode("shift_jis", errors="replace") != text:
        odd = sorted({c for c in text if c.encode("cp932").decode("shift_jis", "replace") != c})
        sys.exit(f"package: {name} has characters that Shift_JIS and code page 932 read "
                 f"differently: {' '.join(odd)}")
    return data


def write_zip(path, entries, stamp):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    # Zips of other versions go: the folder holds the release of this tree only.
    for old in glob.glob(os.path.join(os.path.dirname(path) or ".", "Pakico-*.zip")):
        if os.path.abspath(old) != os.path.abspath(path):
            os.remove(old)
    partial = path + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in sorted(entries):
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            # Made on "MS-DOS" (that is, Windows), with the archive attribute only.
            info.create_system = 0
            info.external_attr = 0x20
            archive.writestr(info, entries[name], compresslevel=9)
    os.replace(partial, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True)
    parser.add_argument("--program", required=True)
    parser.add_argument("--help-file", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--licence", required=True)
    parser.add_argument("--zip", required=True)
    parser.add_argument("--readme-out")
    args = parser.parse_args()

    with open(args.readme, encoding="utf-8") as f:
        readme = shift_jis(windows_lines(f.read()), os.path.basename(args.readme))
    with open(args.licence, encoding="ascii") as f:
        licence = windows_lines(f.read()).encode("ascii")
    with open(args.program, "rb") as f:
        program = f.read()
    with open(args.help_file, "rb") as f:
        help_file = f.read()

    # A zip holds local times from 1980 on, in steps of two seconds; the commit's time in UTC is
    # the same on every machine.
    stamp = time.gmtime(max(commit_time(args.source), 315532800))[:6]
    write_zip(args.zip, {"Pakico.exe": program, "PAKICO.CHM": help_file, "Pakico.txt": readme,
                         "License.txt": licence}, stamp)
    if args.readme_out:
        with open(args.readme_out, "wb") as f:
            f.write(readme)


if __name__ == "__main__":
    main()
