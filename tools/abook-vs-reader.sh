#!/bin/sh
# Times Debian's abook and the reader of other programs' vCards on the same generated file of
# 100,000 vCard 3.0 cards, one after the other, so the two figures can be put side by side.
#
#   tools/abook-vs-reader.sh [BUILD]      BUILD: the build folder (default build)
#
# The file is written by the reader's benchmark program (bench/ForeignVCardBench.cpp) into a
# temporary folder that is removed at the end.
set -e
cd "$(dirname "$0")/.."
build=${1:-build}
bench="$build/bench/zorvan_foreign_vcard_bench"
if [ ! -x "$bench" ]; then
  echo "abook-vs-reader.sh: build $bench first" >&2
  exit 1
fi
command -v abook >/dev/null || { echo "abook-vs-reader.sh: abook is not installed" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$bench" --write "$dir/cards.vcf" 100000
echo "file: $(wc -c <"$dir/cards.vcf") bytes, $(grep -c '^BEGIN:VCARD' "$dir/cards.vcf") cards"

start=$(date +%s.%N)
abook --convert --informat vcard --infile "$dir/cards.vcf" --outformat abook --outfile /dev/null
end=$(date +%s.%N)
echo "abook --convert: $(echo "($end - $start) * 1000" | bc | cut -d. -f1) ms"

"$bench" --benchmark_filter='BM_ReadForeignVCards/100000' --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep -E 'mean|median'
