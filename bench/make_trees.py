#!/usr/bin/env python3
"""Makes a pair of trees for compare_bench at scale.

    make_trees.py DEST FILES [--seed N] [--odd]

DEST/p is a primary of FILES files in nested folders (about 20 files a
folder, up to five levels deep, names of varied length, sizes from empty to
a few megabytes, large ones sparse). DEST/s is a copy of it (cp -a, so times
are kept) in which 5 % of the files were changed: a quarter of them touched
to a later time, a quarter appended to, a quarter deleted and a quarter
added as new files next to existing ones. With --odd, a tenth of the
folders also get names that are not UTF-8, Greek names and case twins
(names that differ only in letter case), on one side or both.

Then, warm the cache and time the comparison against two find walks:
    compare_bench DEST/p DEST/s
"""
import os
import random
import subprocess
import sys


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    dest, files = sys.argv[1], int(sys.argv[2])
    seed = int(sys.argv[sys.argv.index("--seed") + 1]) if "--seed" in sys.argv else 1
    odd = "--odd" in sys.argv
    rnd = random.Random(seed)
    primary, secondary = os.path.join(dest, "p"), os.path.join(dest, "s")
    if os.path.exists(primary) or os.path.exists(secondary):
        print(f"{dest} already holds p or s", file=sys.stderr)
        return 1
    words = ["alpha", "report", "data", "img", "Notes", "src", "build", "x", "archive_2019", "photo",
             "Budget Q3", "readme", "lib", "test-case", "module", "a", "config.d", "Übersicht"]
    exts = [".txt", ".dat", ".jpg", ".c", ".h", ".pdf", "", ".tar.gz", ".log"]

    os.makedirs(primary)
    folders = [primary]
    paths = []
    made = 0
    while made < files:
        # a new folder under a random existing one, at most five levels deep
        parent = rnd.choice(folders)
        if parent.count(os.sep) - primary.count(os.sep) >= 5:
            parent = primary
        folder = os.path.join(parent, f"{rnd.choice(words)}{len(folders)}")
        os.mkdir(folder)
        folders.append(folder)
        for _ in range(min(files - made, rnd.randint(1, 39))):
            name = f"{rnd.choice(words)}_{made:07d}{rnd.choice(exts)}"
            path = os.path.join(folder, name)
            write_file(path, rnd)
            paths.append(path)
            made += 1
        if odd and len(folders) % 10 == 0:
            for name in (b"caf\xe9.txt", b"\xff\xfe raw", "Αρχείο ελληνικό.txt".encode(), "ΦΑΚΕΛΛΟΣ".encode(),
                         b"Twin.txt", b"twin.txt", b"TWIN.txt"):
                path = os.path.join(os.fsencode(folder), name)
                write_file(path, rnd)
                paths.append(os.fsdecode(path))
                made += 1
            os.mkdir(os.path.join(folder, "Dir"))
            os.mkdir(os.path.join(folder, "dir"))
            write_file(os.path.join(folder, "dir", "a.txt"), rnd)
    subprocess.run(["cp", "-a", primary, secondary], check=True)

    changed = rnd.sample(range(len(paths)), len(paths) // 20)
    for k, index in enumerate(changed):
        path = secondary + paths[index][len(primary):]
        kind = k % 4
        if kind == 0:
            st = os.stat(path)
            os.utime(path, (st.st_atime, st.st_mtime + 3600 * (1 + k % 48)))
        elif kind == 1:
            with open(path, "ab") as f:
                f.write(b"appended\n")
        elif kind == 2:
            os.remove(path)
        else:
            write_file(os.path.join(os.path.dirname(path), f"added_{k:07d}.new"), rnd)
    print(f"{len(paths)} files in {len(folders)} folders a side; {len(changed)} changed", file=sys.stderr)
    return 0


def write_file(path, rnd):
    r = rnd.random()
    with open(path, "wb") as f:
        if r < 0.05:
            f.truncate(rnd.randint(1_000_000, 50_000_000))   # sparse: costs no disk
        elif r < 0.95:
            f.write(b"x" * rnd.randint(0, 300))
        else:
            f.write(b"y" * rnd.randint(1000, 9000))


if __name__ == "__main__":
    sys.exit(main())
