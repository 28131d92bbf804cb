#!/usr/bin/env python3
"""Plant faults in src/ one at a time and see whether the tests catch them.

    tools/mutate/mutate.py run --seed 1 --count 300 --out /tmp/mut-1
    tools/mutate/mutate.py report /tmp/mut-1
    tools/mutate/mutate.py rerun /tmp/mut-1 --out /tmp/mut-1b   (survivors, on today's code)

See README.md beside this file.
"""

import argparse
import collections
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import sites  # noqa: E402

HERE = Path(__file__).resolve().parent
REPO = HERE.parent.parent
EQUIVALENTS = HERE / "equivalents.txt"
SOURCE_SUFFIXES = (".cpp", ".h")


# ---------------------------------------------------------------- drawing

def source_files(root):
    for p in sorted((root / "src").rglob("*")):
        if p.suffix in SOURCE_SUFFIXES and p.is_file():
            yield p


def folder_of(rel):
    return str(Path(rel).parent)


def code_lines(text):
    return sum(1 for line in text.splitlines() if line.strip())


def all_mutants(root, rng):
    """Every site in src/, grouped by folder, and each folder's count of lines."""
    by_folder = collections.defaultdict(list)
    lines = collections.Counter()
    for p in source_files(root):
        rel = str(p.relative_to(root))
        text = p.read_text(encoding="utf-8")
        lines[folder_of(rel)] += code_lines(text)
        by_folder[folder_of(rel)].extend(sites.find_mutants(rel, text, rng))
    return by_folder, lines


def changed_lines(base, rev):
    """path -> the set of lines of rev that differ from base."""
    diff = subprocess.run(["git", "-C", str(REPO), "diff", "-U0", base, rev, "--", "src"], check=True,
                          stdout=subprocess.PIPE, text=True, errors="replace").stdout
    lines, path = collections.defaultdict(set), None
    for line in diff.splitlines():
        if line.startswith("+++ "):
            path = line[6:] if line.startswith("+++ b/") else None
        elif line.startswith("@@") and path:
            m = re.search(r"\+(\d+)(?:,(\d+))?", line)
            start, n = int(m.group(1)), int(m.group(2) or 1)
            lines[path].update(range(start, start + n))
    return lines


def draw_changed(root, seed, count, changed):
    """count faults on the changed lines only, an operator first, then a site."""
    rng = random.Random(seed)
    by_folder, lines = all_mutants(root, random.Random(seed))
    pools = collections.defaultdict(list)
    for folder in sorted(by_folder):
        for m in by_folder[folder]:
            if m.line in changed.get(m.path, ()):
                pools[m.op].append(m)
    drawn = []
    while len(drawn) < count and any(pools.values()):
        op = rng.choice(sorted(o for o in pools if pools[o]))
        drawn.append(pools[op].pop(rng.randrange(len(pools[op]))))
    rng.shuffle(drawn)
    return drawn, lines


def draw(root, seed, count, least):
    """count mutants at random, shared out by each folder's lines, at least `least` a folder.

    Within a folder an operator is drawn first, each with the same chance among
    those that have sites left, then one of its sites: otherwise the numbers in
    a file would crowd out the rarer operators.
    """
    rng = random.Random(seed)
    by_folder, lines = all_mutants(root, random.Random(seed))
    total = sum(lines.values())
    drawn = []
    for folder in sorted(by_folder):
        quota = max(least, round(count * lines[folder] / total))
        pools = collections.defaultdict(list)
        for m in by_folder[folder]:
            pools[m.op].append(m)
        for _ in range(min(quota, len(by_folder[folder]))):
            op = rng.choice(sorted(o for o in pools if pools[o]))
            drawn.append(pools[op].pop(rng.randrange(len(pools[op]))))
    rng.shuffle(drawn)  # spreads slow folders over the workers
    return drawn, lines


# ------------------------------------------------------------ equivalents

EQUIV_LINE = re.compile(r"^(\S+?):(\d+) \| (\w+) \| `(.*)` => `(.*)` \| (.+)$")


def load_equivalents(path=EQUIVALENTS):
    """(path, op, before, after) -> reason, from the list kept beside the tool."""
    known = {}
    if not path.exists():
        return known
    for n, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        m = EQUIV_LINE.match(line)
        if not m:
            sys.exit(f"{path}:{n}: not 'path:line | op | `before` => `after` | reason'")
        known[(m.group(1), m.group(3), m.group(4), m.group(5))] = m.group(6)
    return known


def equivalent_line(r, reason):
    return f"{r['path']}:{r['line']} | {r['op']} | `{r['before']}` => `{r['after']}` | {reason}"


# ---------------------------------------------------------------- workers

class Worker:
    """A scratch clone with its own build, where one fault at a time is planted."""

    def __init__(self, name, scratch, repo, rev, jobs, log):
        self.name = name
        self.dir = scratch / name
        self.repo = repo
        self.rev = rev
        self.jobs = jobs
        self.log = log
        self.build = self.dir / "build"
        self.tmp = self.dir / "tmp"
        self.objects = {}

    def sh(self, args, timeout=None, cwd=None, env=None):
        return subprocess.run(args, cwd=cwd or self.dir, env=env, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                              errors="replace", start_new_session=True)

    def prepare(self):
        if not (self.dir / ".git").exists():
            if self.dir.exists():
                shutil.rmtree(self.dir)
            subprocess.run(["git", "clone", "-q", "--shared", "--no-checkout", str(self.repo), str(self.dir)],
                           check=True)
        subprocess.run(["git", "-C", str(self.dir), "checkout", "-q", "--force", self.rev], check=True)
        subprocess.run(["git", "-C", str(self.dir), "clean", "-qfdx", "-e", "build", "-e", "tmp"], check=True)
        self.tmp.mkdir(parents=True, exist_ok=True)
        # As the tests' own build, with the standard library's checks. Warnings
        # are not errors here: a fault that leaves a variable unused is still a
        # fault to run. No debug information: it changes no behaviour and makes
        # every rebuild slower.
        r = self.sh(["cmake", "-S", ".", "-B", "build", "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                     "-DQM_WERROR=OFF", "-DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS",
                     "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"])
        if r.returncode:
            raise RuntimeError(f"{self.name}: configure failed\n{r.stdout[-3000:]}")
        r = self.sh(["ninja", "-C", "build", f"-j{self.jobs}"])
        if r.returncode:
            raise RuntimeError(f"{self.name}: the unchanged tree does not build\n{r.stdout[-3000:]}")
        for obj in self.build.rglob("*.cpp.o"):
            self.objects[obj] = digest(obj)
        failed, timed, _, out = self.ctest(1800)
        if failed or timed:
            raise RuntimeError(f"{self.name}: tests fail on the unchanged tree: {failed + timed}\n{out[-3000:]}")

    def object_of(self, rel):
        """The object file a source file compiles to (None for a header)."""
        if not rel.endswith(".cpp"):
            return None
        hits = [o for o in self.objects if str(o).endswith("/" + rel + ".o")]
        return hits[0] if len(hits) == 1 else None

    def ctest(self, limit, per_test=60):
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", TMPDIR=str(self.tmp))
        start = time.monotonic()
        try:
            r = self.sh(["ctest", "--test-dir", "build", f"-j{self.jobs}", "--timeout", str(per_test)],
                        timeout=limit, env=env)
        except subprocess.TimeoutExpired as e:
            kill_group(e)
            return [], ["(the whole run)"], time.monotonic() - start, ""
        failed, timed = [], []
        for m in re.finditer(r"^\s*\d+ - (\S+) \(([^)]*)\)\s*$", r.stdout, re.M):
            if m.group(2) == "Disabled":
                continue
            (timed if m.group(2) == "Timeout" else failed).append(m.group(1))
        if r.returncode and not failed and not timed:
            failed.append("(ctest: " + r.stdout.strip().splitlines()[-1][:120] + ")" if r.stdout.strip() else "(ctest)")
        return failed, timed, time.monotonic() - start, r.stdout

    def run(self, mutant, limit):
        path = self.dir / mutant.path
        original = path.read_bytes()
        text = original.decode("utf-8")
        if sites.apply(text, mutant) == text:
            return {"outcome": "no build", "detail": "the fault changes nothing"}
        started = time.monotonic()
        try:
            path.write_text(sites.apply(text, mutant), encoding="utf-8")
            try:
                b = self.sh(["ninja", "-C", "build", f"-j{self.jobs}"], timeout=1800)
            except subprocess.TimeoutExpired as e:
                kill_group(e)
                return {"outcome": "no build", "detail": "build took over 30 minutes"}
            if b.returncode:
                err = next((ln for ln in b.stdout.splitlines() if "error" in ln), b.stdout.strip()[-200:])
                return {"outcome": "no build", "detail": err.strip()[:300]}
            obj = self.object_of(mutant.path)
            if obj is not None and digest(obj) == self.objects[obj]:
                return {"outcome": "same code", "detail": "the compiler made the same object"}
            built = time.monotonic()
            failed, timed, _, _ = self.ctest(limit)
            result = {"build_s": round(built - started, 1), "test_s": round(time.monotonic() - built, 1)}
            if failed:
                result.update(outcome="killed", tests=failed + timed)
            elif timed:
                result.update(outcome="timed out", tests=timed)
            else:
                result.update(outcome="survived")
            return result
        finally:
            path.write_bytes(original)


def kill_group(e):
    # The process group of the timed-out command, so no test is left running.
    proc = getattr(e, "process", None)
    try:
        if proc is not None:
            os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def digest(path):
    return hashlib.sha1(path.read_bytes()).hexdigest()


# ---------------------------------------------------------------- running

def record(m, result):
    return dict(path=m.path, line=m.line, op=m.op, before=m.before, after=m.after,
                start=m.start, end=m.end, replacement=m.replacement, **result)


def run_all(mutants, args, out, rev):
    results_path = out / "results.jsonl"
    done = set()
    if results_path.exists():
        for line in results_path.read_text(encoding="utf-8").splitlines():
            r = json.loads(line)
            done.add((r["path"], r["op"], r["before"], r["after"], r["start"]))
    todo = [m for m in mutants if (m.path, m.op, m.before, m.after, m.start) not in done]
    print(f"{len(mutants)} faults, {len(mutants) - len(todo)} already run; rev {rev[:12]}; "
          f"{args.workers} workers x {args.jobs} jobs", flush=True)
    queue = collections.deque(todo)
    lock = threading.Lock()
    scratch = Path(args.scratch)
    scratch.mkdir(parents=True, exist_ok=True)
    errors = []
    counter = [len(mutants) - len(todo)]

    def work(name):
        w = Worker(name, scratch, REPO, rev, args.jobs, None)
        try:
            w.prepare()
        except Exception as e:  # noqa: BLE001 - reported, and the other workers go on
            errors.append(str(e))
            print(str(e), file=sys.stderr, flush=True)
            return
        while True:
            with lock:
                if not queue:
                    return
                m = queue.popleft()
            result = w.run(m, args.timeout)
            with lock:
                counter[0] += 1
                with results_path.open("a", encoding="utf-8") as f:
                    f.write(json.dumps(record(m, result), ensure_ascii=False) + "\n")
                tests = ", ".join(result.get("tests", [])[:3])
                print(f"[{counter[0]}/{len(mutants)}] {m.label()} {m.op}: {result['outcome']}"
                      f"{'  ' + tests if tests else ''}", flush=True)

    threads = [threading.Thread(target=work, args=(f"w{k}",)) for k in range(args.workers)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    if errors and len(errors) == args.workers:
        sys.exit("no worker could start")


# ---------------------------------------------------------------- report

COUNTED = ("killed", "timed out", "survived")


def summarise(results, equivalents):
    rows = collections.OrderedDict()
    for r in sorted(results, key=lambda r: r["path"]):
        f = folder_of(r["path"])
        row = rows.setdefault(f, collections.Counter())
        outcome = r["outcome"]
        if outcome == "survived" and (r["path"], r["op"], r["before"], r["after"]) in equivalents:
            outcome = "equivalent"
        row[outcome] += 1
        row["drawn"] += 1
    return rows


def rate(row):
    caught = row["killed"] + row["timed out"]
    judged = caught + row["survived"]
    return (100.0 * caught / judged) if judged else 100.0


def report_text(results, equivalents, title):
    rows = summarise(results, equivalents)
    total = collections.Counter()
    out = [f"# {title}", "",
           "Kill rate: killed and timed out, over killed, timed out and survived; faults that do",
           "not build, that compile to the same object, or that are listed in equivalents.txt are",
           "left out of it.", "",
           "| folder | drawn | killed | timed out | survived | equivalent | same code | no build | kill rate |",
           "|---|---|---|---|---|---|---|---|---|"]
    for folder, row in rows.items():
        total.update(row)
        out.append(f"| {folder} | {row['drawn']} | {row['killed']} | {row['timed out']} | {row['survived']} | "
                   f"{row['equivalent']} | {row['same code']} | {row['no build']} | {rate(row):.1f} % |")
    out.append(f"| **all** | {total['drawn']} | {total['killed']} | {total['timed out']} | {total['survived']} | "
               f"{total['equivalent']} | {total['same code']} | {total['no build']} | {rate(total):.1f} % |")
    out += ["", "| site | operator | change | outcome | tests that failed |", "|---|---|---|---|---|"]
    for r in sorted(results, key=lambda r: (r["path"], r["line"])):
        outcome = r["outcome"]
        if outcome == "survived" and (r["path"], r["op"], r["before"], r["after"]) in equivalents:
            outcome = "equivalent"
        change = f"`{shorten(r['before'])}` → `{shorten(r['after'])}`".replace("|", "\\|")
        tests = ", ".join(r.get("tests", [])[:4]) + (" …" if len(r.get("tests", [])) > 4 else "")
        if outcome == "no build":
            tests = r.get("detail", "")[:100].replace("|", "\\|")
        out.append(f"| {r['path']}:{r['line']} | {r['op']} | {change} | {outcome} | {tests} |")
    return "\n".join(out) + "\n"


def shorten(s, width=90):
    return s if len(s) <= width else s[:width - 1] + "…"


def load_results(out):
    path = Path(out) / "results.jsonl"
    return [json.loads(line) for line in path.read_text(encoding="utf-8").splitlines() if line.strip()]


def write_report(out, title, after=None):
    results = load_results(out)
    if after:
        # The faults run again later (rerun) take their new outcome.
        again = {(r["path"], r["op"], r["before"], r["after"]): r for r in load_results(after)}
        results = [dict(r, outcome=again[k]["outcome"], tests=again[k].get("tests", []))
                   if (k := (r["path"], r["op"], r["before"], r["after"])) in again else r for r in results]
    text = report_text(results, load_equivalents(), title)
    (Path(out) / ("report-after.md" if after else "report.md")).write_text(text, encoding="utf-8")
    survivors = [r for r in results if r["outcome"] == "survived"
                 and (r["path"], r["op"], r["before"], r["after"]) not in load_equivalents()]
    (Path(out) / ("survivors-after.txt" if after else "survivors.txt")).write_text(
        "".join(equivalent_line(r, "?") + "\n" for r in sorted(survivors, key=lambda r: (r["path"], r["line"]))),
        encoding="utf-8")
    return text


# ---------------------------------------------------------------- commands

def git_rev(rev):
    return subprocess.run(["git", "-C", str(REPO), "rev-parse", rev], check=True,
                          stdout=subprocess.PIPE, text=True).stdout.strip()


def source_at(rev):
    """A checkout of rev to find sites in, so the drawing never sees uncommitted edits."""
    tree = Path(os.environ.get("TMPDIR", "/tmp")) / f"qm-mutate-src-{rev[:12]}"
    if not tree.exists():
        tree.mkdir(parents=True)
        archive = subprocess.run(["git", "-C", str(REPO), "archive", rev, "src"], check=True,
                                 stdout=subprocess.PIPE).stdout
        subprocess.run(["tar", "-x", "-C", str(tree)], input=archive, check=True)
    return tree


def cmd_run(args):
    rev = git_rev(args.rev)
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    if args.changed_since:
        mutants, lines = draw_changed(source_at(rev), args.seed, args.count,
                                      changed_lines(git_rev(args.changed_since), rev))
    else:
        mutants, lines = draw(source_at(rev), args.seed, args.count, args.least)
    if args.only:
        mutants = [m for m in mutants if m.path.startswith(args.only)]
    (out / "drawn.txt").write_text("".join(f"{m.label()} {m.op} | {m.before} => {m.after}\n" for m in mutants),
                                   encoding="utf-8")
    (out / "run.json").write_text(json.dumps(dict(rev=rev, seed=args.seed, count=args.count, least=args.least,
                                                  lines=lines), indent=1), encoding="utf-8")
    if args.list:
        per = collections.Counter(folder_of(m.path) for m in mutants)
        for f in sorted(per):
            print(f"{f}: {per[f]} faults, {lines[f]} lines")
        print(f"all: {len(mutants)}")
        return
    run_all(mutants, args, out, rev)
    print(write_report(out, f"Faults planted at {rev[:12]}, seed {args.seed}").split("\n\n| site")[0])


def cmd_rerun(args):
    """The survivors of an earlier run, found again in today's code and run anew."""
    rev = git_rev(args.rev)
    tree = source_at(rev)
    earlier = [r for r in load_results(args.earlier) if r["outcome"] in (args.outcomes or ["survived"])]
    equivalents = load_equivalents()
    rng = random.Random(0)
    found, gone = [], []
    cache = {}
    for r in earlier:
        if (r["path"], r["op"], r["before"], r["after"]) in equivalents:
            continue
        p = tree / r["path"]
        if not p.exists():
            gone.append(r)
            continue
        if r["path"] not in cache:
            cache[r["path"]] = sites.find_mutants(r["path"], p.read_text(encoding="utf-8"), rng, both_constants=True)
        same = [m for m in cache[r["path"]] if (m.op, m.before, m.after) == (r["op"], r["before"], r["after"])]
        if not same:
            gone.append(r)
            continue
        found.append(min(same, key=lambda m: abs(m.line - r["line"])))
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    with (out / "gone.txt").open("w", encoding="utf-8") as f:
        for r in gone:
            f.write(f"{r['path']}:{r['line']} {r['op']} | {r['before']} => {r['after']}\n")
    print(f"{len(found)} found again, {len(gone)} no longer in the code (gone.txt)")
    run_all(found, args, out, rev)
    print(write_report(out, f"Survivors of {args.earlier} run again at {rev[:12]}").split("\n\n| site")[0])


def cmd_report(args):
    text = write_report(args.out, args.title or f"Faults planted ({args.out})", args.after)
    print(text if args.full else text.split("\n\n| site")[0])


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="command", required=True)

    def running(p):
        p.add_argument("--rev", default="HEAD", help="commit to plant faults in (default HEAD)")
        p.add_argument("--workers", type=int, default=2, help="scratch clones working at once")
        p.add_argument("--jobs", type=int, default=3, help="build and ctest jobs of each worker")
        p.add_argument("--timeout", type=int, default=300, help="seconds the tests of one fault may take")
        p.add_argument("--scratch", default=os.environ.get("QM_MUTATE_SCRATCH", "/tmp/qm-mutate"),
                       help="where the scratch clones live (kept between runs for their builds)")
        p.add_argument("--out", required=True, help="folder for results.jsonl, report.md and survivors.txt")

    r = sub.add_parser("run", help="draw faults and run them")
    running(r)
    r.add_argument("--seed", type=int, required=True)
    r.add_argument("--count", type=int, default=300)
    r.add_argument("--least", type=int, default=15, help="fewest faults in any folder")
    r.add_argument("--only", help="only faults in paths that start with this")
    r.add_argument("--list", action="store_true", help="only draw and list, run nothing")
    r.add_argument("--changed-since", metavar="REV",
                   help="draw only on the lines of src/ changed since REV (no folder shares)")
    r.set_defaults(func=cmd_run)

    rr = sub.add_parser("rerun", help="run an earlier run's survivors again on today's code")
    running(rr)
    rr.add_argument("earlier", help="the earlier run's folder")
    rr.add_argument("--outcomes", nargs="*", help="outcomes to run again (default: survived)")
    rr.set_defaults(func=cmd_rerun)

    rp = sub.add_parser("report", help="write report.md and survivors.txt of a run again")
    rp.add_argument("out")
    rp.add_argument("--title")
    rp.add_argument("--full", action="store_true")
    rp.add_argument("--after", help="a rerun's folder: its faults count with their new outcome")
    rp.set_defaults(func=cmd_report)

    args = ap.parse_args()
    args.func(args)


if __name__ == "__main__":
    main()
