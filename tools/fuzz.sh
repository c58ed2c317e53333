#!/bin/sh
# Builds the libFuzzer targets and runs each one for a number of seconds, one after the other
# (one core at a time).
#
#   tools/fuzz.sh SECONDS [TARGET...]      targets: fuzz_zvd fuzz_cal fuzz_vcard fuzz_csv
#                                                 fuzz_foreign_vcard fuzz_foreign_csv
#                                                 fuzz_zvd_trailer
#
# Each target starts from the fixture files of its kind in tests/data (and the shipped calendar
# resources, the seeds of its own in tests/data/fuzz/<kind>, and the files of other programs in
# ../shared/data when that folder is there, or in $ZORVAN_FUZZ_SEEDS) and keeps what it learns
# in build-fuzz/corpus/TARGET. A crash is written to build-fuzz/artifacts/TARGET/; add it to
# tests/data/fuzz/ with a regression test. The exit status is 1 when any target found a crash.
set -e
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
  sed -n '2,13s/^# \{0,1\}//p' "$0"
  exit 1
fi
seconds=$1
shift
targets=${*:-"fuzz_zvd fuzz_cal fuzz_vcard fuzz_csv fuzz_foreign_vcard fuzz_foreign_csv fuzz_zvd_trailer"}
build=${ZORVAN_FUZZ_BUILD:-build-fuzz}

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZORVAN_FUZZ=ON -DZORVAN_BUILD_GUI=OFF -DZORVAN_BUILD_TESTS=OFF -DZORVAN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2

extra=${ZORVAN_FUZZ_SEEDS:-../shared/data}
[ -d "$extra" ] || extra=""

# The seed files of a target: the fixtures with its extensions.
seeds() {
  case $1 in
    fuzz_zvd) find tests/data -name '*.zvd' ;;
    fuzz_zvd_trailer) find tests/data -name '*trailer*.zvd' ;;
    fuzz_cal) find tests/data res/calendars -name '*.cal' ;;
    fuzz_vcard) find tests/data $extra -iname '*.vcf' ;;
    fuzz_foreign_vcard) find tests/data $extra -iname "*.vcf" ;;
    fuzz_csv) find tests/data $extra \( -iname '*.csv' -o -iname '*.txt' \) -type f ;;
    fuzz_foreign_csv) find tests/data/fuzz/foreign_csv -type f; find tests/data $extra -iname '*.csv' -type f ;;
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
  seeds "$target" | while read -r f; do
    cp "$f" "$corpus/seed-$(printf '%s' "$f" | cksum | cut -d' ' -f1)-$(basename "$f")"
  done
  dict=""
  [ -f "fuzz/$target.dict" ] && dict="-dict=fuzz/$target.dict"
  echo "== $target for $seconds s"
  if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" $dict "$corpus"; then
    echo "fuzz.sh: $target found a crash, see $artifacts" >&2
    failed=1
  fi
done
exit $failed
