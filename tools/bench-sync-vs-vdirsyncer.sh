#!/bin/sh
# The synchronisation beside vdirsyncer against one Radicale with a seeded address book, as a
# table: tools/bench-sync-vs-vdirsyncer.sh [BUILD_DIR] [CARDS]
# (defaults build and 10000). Runs build/bench/zorvan_sync_bench, which starts the server on
# 127.0.0.1 in a temporary folder, and reads its JSON; each figure is the mean of its repetitions
# on the clock on the wall. Needs radicale and vdirsyncer installed.
set -eu
build=${1:-build}
cards=${2:-10000}
bench="$build/bench/zorvan_sync_bench"
[ -x "$bench" ] || { echo "build $bench first (cmake --build $build --target zorvan_sync_bench)" >&2; exit 1; }
out=$(mktemp /tmp/zorvan-sync-bench.XXXXXX)
trap 'rm -f "$out"' EXIT
ZORVAN_BENCH_CARDS=$cards "$bench" --benchmark_out="$out" --benchmark_out_format=json >&2
/usr/bin/python3 - "$out" "$cards" <<'PY'
import json
import sys

runs = {b["name"].split("/")[0]: b for b in json.load(open(sys.argv[1]))["benchmarks"]}


def seconds(name):
    run = runs.get(name)
    if not run or run.get("error_occurred"):
        return None
    return run["real_time"] / {"ms": 1e3, "us": 1e6, "ns": 1e9, "s": 1}[run["time_unit"]]


def shown(value):
    return "failed" if value is None else "%.2f s" % value


rows = [
    ("(a) first download, new database", "BM_FirstDownloadCli", "BM_FirstDownloadVdirsyncer",
     "ours <= 1/2 of vdirsyncer's", lambda ours, other: ours <= other / 2),
    ("(b) sync with nothing changed", "BM_QuietSync", "BM_QuietSyncVdirsyncer",
     "ours < 0.3 s", lambda ours, other: ours < 0.3),
    ("(c) ten changes on each side", "BM_TenChangesEachSide", "BM_TenChangesEachSideVdirsyncer",
     "ours < 1 s", lambda ours, other: ours < 1),
    ("(d) upload of 1,000 new contacts", "BM_UploadNew", "BM_PlainPuts",
     "ours <= 1.2 x 1,000 plain PUTs", lambda ours, other: ours <= 1.2 * other),
]
print("%s cards seeded into Radicale" % format(int(sys.argv[2]), ","))
print("| | zorvan | vdirsyncer (d: plain PUTs) | goal | met |")
print("|---|---|---|---|---|")
for what, ours, other, goal, met in rows:
    a, b = seconds(ours), seconds(other)
    ok = "?" if a is None or b is None else ("yes" if met(a, b) else "no")
    print("| %s | %s | %s | %s | %s |" % (what, shown(a), shown(b), goal, ok))
inside = seconds("BM_FirstDownload")
if inside is not None:
    print("\nThe first download inside one process (no program start, same save): %.2f s" % inside)
PY
