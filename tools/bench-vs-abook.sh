#!/bin/sh
# The command line beside Debian's abook on the same 100,000 contacts, as one table:
#
#   tools/bench-vs-abook.sh [BUILD] [RUNS] [ROUNDS]
#       BUILD: the build folder (default build), RUNS: hyperfine's runs per command and round
#       (default 10), ROUNDS: how many times each pair is timed in turn (default 3)
#
# Makes its inputs in a folder on /dev/shm (removed at the end), so that no disk flush is
# counted and the page cache is warm:
#   contacts.zvd   the generated database (bench/GeneratedDatabase.h: 100,000 contacts in
#                  groups of 50), each with a Greek nickname and an identity (the extension
#                  trailer's texts), written by zorvan_store_bench --write FILE 100000 full
#   cards.vcf      100,000 vCard 3.0 cards of 17 properties, by zorvan_foreign_vcard_bench --write
#   abook.data     abook's own data file of the database's contacts: the database exported for
#                  other programs, converted by abook itself
# Each figure is the median over the rounds of hyperfine's medians (warm-up runs first), and each
# ratio the median of the rounds' ratios: a virtual machine's speed drifts within a minute, and a
# pair timed in turn several times is compared at the same speeds. abook opens its data file on every
# --mutt-query, so a query for a text no contact holds is its load alone. Peak memory is the
# maximum resident size, from GNU time or, without it, from the kernel's count for children.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-10}
rounds=${3:-3}
cli="$build/cli/zorvan-cli"
for program in "$cli" "$build/bench/zorvan_store_bench" "$build/bench/zorvan_foreign_vcard_bench"; do
  [ -x "$program" ] || { echo "bench-vs-abook.sh: build $program first" >&2; exit 1; }
done
for tool in abook hyperfine python3; do
  command -v $tool >/dev/null || { echo "bench-vs-abook.sh: $tool is not installed" >&2; exit 1; }
done
cli=$(realpath "$cli")
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
dir=$(mktemp -d "$base/zorvan-vs-abook.XXXXXX")
trap 'rm -rf "$dir"' EXIT
# abook reads its settings from the home folder: an empty one of the run's own.
export HOME="$dir/home"
mkdir -p "$HOME/.abook"
: >"$HOME/.abook/abookrc"

"$build/bench/zorvan_store_bench" --write "$dir/contacts.zvd" 100000 full
"$build/bench/zorvan_foreign_vcard_bench" --write "$dir/cards.vcf" 100000
"$cli" export --to-other --read-only "$dir/contacts.zvd" "$dir/contacts.vcf" >/dev/null
abook --convert --informat vcard --infile "$dir/contacts.vcf" --outformat abook \
  --outfile "$dir/abook.data"
rm -f "$dir/contacts.vcf"

# A text that no contact holds, and one that eleven hold (contact4242@ and contact42420@ to
# contact42429@).
nothing=zzqxnothing
text=contact4242

# time_pair NAME ZORVAN_COMMAND [ABOOK_COMMAND]: both under hyperfine, the medians to NAME.N.json.
time_pair() {
  name=$1
  shift
  hyperfine --style basic --warmup 2 --runs "$runs" --ignore-failure \
    --prepare "rm -f '$dir/new.zvd' '$dir/out.abook'" \
    --export-json "$dir/$name.$round.json" "$@" >&2
}
cd "$dir"
round=1
while [ "$round" -le "$rounds" ]; do
  time_pair import "$cli import --from-other cards.vcf new.zvd" \
    "abook --convert --informat vcard --infile cards.vcf --outformat abook --outfile out.abook"
  time_pair open "$cli check contacts.zvd" "abook --datafile abook.data --mutt-query $nothing"
  time_pair query "$cli query contacts.zvd $text" "abook --datafile abook.data --mutt-query $text"
  time_pair calendar "$cli export-calendar contacts.zvd out.ics"
  time_pair other "$cli export --to-other contacts.zvd out.vcf"
  round=$((round + 1))
done

# Peak resident memory of check, in KiB: the median of five runs (large pages make it move by
# a few megabytes from run to run).
peaks=
for run in 1 2 3 4 5; do
  if /usr/bin/time -f %M true >/dev/null 2>&1; then
    peak=$( { /usr/bin/time -f %M "$cli" check contacts.zvd >/dev/null; } 2>&1 | tail -n 1)
  else
    peak=$(python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$cli" check contacts.zvd)
  fi
  peaks="$peaks $peak"
done
peak=$(printf '%s\n' $peaks | sort -n | sed -n 3p)

python3 - "$dir" "$peak" "$rounds" "$(wc -c <contacts.zvd)" "$(wc -c <cards.vcf)" \
  "$(wc -c <out.ics)" "$(wc -c <out.vcf)" "$(grep -c '^BEGIN:VEVENT' out.ics)" <<'PY'
import json
import os
import statistics
import sys

folder, peak_kb, rounds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
db, cards, ics, vcf, events = (int(v) for v in sys.argv[4:9])


def rounds_of(name):
    # Each round's medians, one for each command of the pair.
    for n in range(1, rounds + 1):
        with open(os.path.join(folder, "%s.%d.json" % (name, n))) as f:
            yield [r["median"] for r in json.load(f)["results"]]


def medians(name):
    return [statistics.median(times) for times in zip(*rounds_of(name))]


def ratio(name):
    return statistics.median(ours / other for ours, other in rounds_of(name))


def ms(seconds):
    return "%.0f ms" % (seconds * 1000) if seconds < 1 else "%.2f s" % seconds


def mb(n):
    return "%.0f MB" % (n / 1e6)


rows = [
    ("`zorvan-cli import --from-other` vs `abook --convert --informat vcard --outformat abook`"
     " (%s)" % mb(cards), "import", "<= 0.33"),
    ("open: `zorvan-cli check DB` vs abook loading its data file (`--mutt-query` of nothing)"
     " (%s)" % mb(db), "open", "<= 1.0"),
    ("`zorvan-cli query DB TEXT` vs `abook --mutt-query TEXT`", "query", "<= 0.5"),
]
print("100,000 contacts; load %s; %d rounds" % (open("/proc/loadavg").read().split()[0], rounds))
print("| task | Zorvan | abook | ratio | goal |")
print("|---|---|---|---|---|")
for what, name, goal in rows:
    ours, other = medians(name)
    print("| %s | %s | %s | %.2f | %s |" % (what, ms(ours), ms(other), ratio(name), goal))
calendar = medians("calendar")[0]
print("| `export-calendar` (%s events, %s) | %s | - | - | <= 0.3 s |"
      % (format(events, ","), mb(ics), ms(calendar)))
print("| `export --to-other` (%s) | %s | - | - | <= 0.3 s |" % (mb(vcf), ms(medians("other")[0])))
print("| peak memory of `check` | %.0f MB (%.2f KB, %.2f KiB a contact) | - | - | <= 1 KB a contact |"
      % (peak_kb * 1024 / 1e6, peak_kb * 1024 / 100000 / 1000, peak_kb / 100000))
PY
