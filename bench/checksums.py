#!/usr/bin/env python3
"""Prints the rows of tests/exact_output_run_test.cc recorded from a build.

Usage: bench/checksums.py BIN_DIR [--write-outputs]

Runs every command listed in the test's table with the programs in BIN_DIR
(from the top of the checkout, where jobmatch finds data/hop1.dat) and prints
the rows again with the checksums, output length and exit status that those
programs give. Record from a build of the commit whose output the suite must
keep, and paste the rows into the table.

With --write-outputs it also writes tests/exact_output/PROGRAM.gz: for each
row of PROGRAM, "COMMAND\nOUT_SIZE ERR_SIZE\n" and then both streams, each
cut after its last whole line within the first KEPT bytes (the checksums
cover the whole). The test shows the first line that differs from these
when a row fails.
"""
import gzip
import os
import re
import subprocess
import sys
import tempfile

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEST = os.path.join(TOP, "tests", "exact_output_run_test.cc")


def checksum(data):
    """FNV-1a, 64 bits."""
    h = 0xCBF29CE484222325
    for byte in data:
        h = ((h ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def lcg_problem(n, seed):
    """The n x n problem that the test writes for @jobs50."""
    lines, s = [str(n)], seed
    for _ in range(n):
        row = []
        for _ in range(n):
            s = (s * 1103515245 + 12345) % 2147483648
            row.append(str(s // 65536 % 100))
        lines.append(" ".join(row))
    return "\n".join(lines) + "\n"


def row(command, out, err, status):
    """A row of the table; the checksum of no output is written EMPTY."""
    def sums(data):
        return "EMPTY" if not data else "0x%016xu" % checksum(data)
    return '  {"%s",\n   %s, %s, %d, %d},' % (command, sums(out), sums(err),
                                            len(out), status)


KEPT = 65536


def head(data):
    """The whole lines of data that lie within its first KEPT bytes."""
    return data if len(data) <= KEPT else data[:data.rfind(b"\n", 0, KEPT) + 1]


def write_outputs(recorded):
    """Writes tests/exact_output/PROGRAM.gz from (command, out, err) lists."""
    folder = os.path.join(TOP, "tests", "exact_output")
    os.makedirs(folder, exist_ok=True)
    for program, runs in recorded.items():
        data = b"".join(b"%s\n%d %d\n%s%s" % (c.encode(), len(head(o)),
                                              len(head(e)), head(o), head(e))
                        for c, o, e in runs)
        with open(os.path.join(folder, program + ".gz"), "wb") as f:
            f.write(gzip.compress(data, 9, mtime=0))


def main():
    bindir = os.path.abspath(sys.argv[1])
    recorded = {}
    commands = re.findall(r'^\s*\{"([^"]+)",', open(TEST).read(), re.M)
    scratch = tempfile.mkdtemp()
    files = {"jobs50": lcg_problem(50, 12345), "one": "1\n7\n",
             "three": "3\n1 2 3\n4 5 6\n7 8 9\n"}
    for name, text in files.items():
        with open(os.path.join(scratch, name), "w") as f:
            f.write(text)
    for command in commands:
        words = command.split()
        args = [os.path.join(scratch, w[1:]) if w.startswith("@") else w
                for w in words[1:]]
        r = subprocess.run([os.path.join(bindir, words[0])] + args, cwd=TOP,
                           capture_output=True)
        out, err = r.stdout, r.stderr
        print(row(command, out, err, r.returncode))
        recorded.setdefault(words[0], []).append((command, out, err))
    if "--write-outputs" in sys.argv[2:]:
        write_outputs(recorded)


if __name__ == "__main__":
    main()
