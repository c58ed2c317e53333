#!/bin/sh
# Builds the libFuzzer targets and runs each one for a number of seconds, one after the other
# (one core at a time).
#
#   tools/fuzz.sh SECONDS [TARGET...]      targets: fuzz_zvd fuzz_zvd_stream fuzz_cal fuzz_vcard
#                                                 fuzz_csv fuzz_foreign_vcard fuzz_foreign_csv
#                                                 fuzz_zvd_trailer fuzz_header fuzz_charset fuzz_sync
#
# Each target starts from the fixture files of its kind in tests/data (and the shipped calendar
# resources, the seeds of its own in tests/data/fuzz/TARGET, and the files of other programs in
# ../shared/data when that folder is there, or in $ZORVAN_FUZZ_SEEDS) and keeps what it learns
# in build-fuzz/corpus/TARGET. A crash is written to build-fuzz/artifacts/TARGET/; add it to
# tests/data/fuzz/TARGET with a regression test. The exit status is 1 when any target found a
# crash or had no seed files.
set -e
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
  sed -n '2,13s/^# \{0,1\}//p' "$0"
  exit 1
fi
seconds=$1
shift
targets=${*:-"fuzz_zvd fuzz_zvd_stream fuzz_cal fuzz_vcard fuzz_csv fuzz_foreign_vcard fuzz_foreign_csv fuzz_zvd_trailer fuzz_header fuzz_charset fuzz_sync"}
build=${ZORVAN_FUZZ_BUILD:-build-fuzz}

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZORVAN_FUZZ=ON -DZORVAN_WERROR=OFF -DZORVAN_BUILD_GUI=OFF -DZORVAN_BUILD_TESTS=OFF -DZORVAN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2

extra=${ZORVAN_FUZZ_SEEDS:-../shared/data}
[ -d "$extra" ] || extra=""

# The seed files of a target: its own folder tests/data/fuzz/TARGET when there is one, and the
# fixtures with its extensions.
seeds() {
  if [ -d "tests/data/fuzz/$1" ]; then find "tests/data/fuzz/$1" -type f; fi
  case $1 in
    fuzz_zvd | fuzz_zvd_stream) find tests/data -name '*.zvd' -type f ;;
    fuzz_cal) find tests/data res/calendars -name '*.cal' -type f ;;
    fuzz_vcard | fuzz_foreign_vcard) find tests/data $extra -iname '*.vcf' -type f ;;
    fuzz_zvd_trailer) find tests/data -name '*trailer*.zvd' -type f ;;
    fuzz_csv) find tests/data $extra \( -iname '*.csv' -o -iname '*.txt' \) -type f ;;
    fuzz_foreign_csv | fuzz_header) find tests/data $extra -iname '*.csv' -type f ;;
    fuzz_charset) find tests/data $extra \( -iname '*.vcf' -o -iname '*.txt' \) -type f ;;
  esac
}

failed=0
for target in $targets; do
  binary="$build/fuzz/$target"
  if [ ! -x "$binary" ]; then
    echo "fuzz.sh: no target $target" >&2
    failed=1
    continue
  fi
  corpus="$build/corpus/$target"
  artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  count=$(seeds "$target" | while read -r f; do
    cp "$f" "$corpus/seed-$(printf '%s' "$f" | cksum | cut -d' ' -f1)-$(basename "$f")"
    echo "$f"
  done | wc -l)
  if [ "$count" -eq 0 ]; then
    echo "fuzz.sh: no seed files for $target" >&2
    failed=1
  fi
  dict=""
  [ -f "fuzz/$target.dict" ] && dict="-dict=fuzz/$target.dict"
  echo "== $target for $seconds s from $count seed files"
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" $dict "$corpus"; then
    echo "fuzz.sh: $target found a crash, see $artifacts" >&2
    failed=1
  fi
done
exit $failed
