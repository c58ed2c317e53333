#!/usr/bin/env bash
# Runs tools/check-sizes.py on small made-up source trees and checks what it says of them.
#
#   tests/tools/check-sizes-test.sh PATH/TO/check-sizes.py
set -uo pipefail

check="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# lines N TEXT: N lines of TEXT.
lines() {
  local i
  for ((i = 0; i < $1; i++)); do printf '%s\n' "$2"; done
}

# function NAME BODY_LINES: a function whose signature, body and closing brace take
# BODY_LINES + 2 lines.
function_of() {
  printf 'int %s(int n) {\n' "$1"
  lines "$2" '  n += 1;'
  printf '}\n'
}

# file TREE PATH: the standard input becomes file PATH of tree TREE; prints the tree's folder.
file() {
  mkdir -p "$work/$1/$(dirname "$2")"
  cat >"$work/$1/$2"
  printf '%s' "$work/$1"
}

# expect NAME STATUS TEXT TREE: the check on TREE exits with STATUS and its output holds TEXT
# (or, with TEXT "-", is empty).
expect() {
  local name="$1" status="$2" text="$3" dir="$4" out rc
  out="$(python3 "$check" "$dir" 2>&1)"
  rc=$?
  if [[ $rc -ne $status || ($text == "-" && -n "$out") || ($text != "-" && "$out" != *"$text"*) ]]
  then
    echo "FAIL $name: exit $rc (wanted $status), output:"
    echo "$out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect "a function of 80 lines passes" 0 - \
  "$(function_of Fits 78 | file fits store/Fits.cpp)"

expect "a function of 81 lines fails, named with its first line" 1 \
  "store/Long.cpp:3: Long has 81 lines (limit 80)" \
  "$({ printf '#include <string>\n\n'; function_of Long 79; } | file long store/Long.cpp)"

expect "a member function in a namespace and a class counts" 1 \
  "ui/View.h:4: CView::Paint has 90 lines" \
  "$({
    printf 'namespace zorvan {\nclass CView {\n public:\n'
    printf '  void CView::Paint(int x) const override {\n'
    lines 88 '    x += 1;'
    printf '  }\n};\n}  // namespace zorvan\n'
  } | file member ui/View.h)"

expect "a constructor with braced member initialisers counts from its signature" 1 \
  "app/Frame.cpp:1: CFrame::CFrame has 85 lines" \
  "$({
    printf 'CFrame::CFrame(int n)\n    : m_a{n}, m_b(n), m_c{} {\n'
    lines 82 '  Step();'
    printf '}\n'
  } | file ctor app/Frame.cpp)"

expect "braces in strings, characters and comments do not count" 1 \
  "find/Quoted.cpp:4: Late has 84 lines" \
  "$({
    printf 'const char* Open() { return "{{{"; }  // }}}\n'
    printf "char Brace() { return '{'; }\n"
    printf '/* { */ const char* Raw() { return R"x({)x"; }\n'
    function_of Late 82
  } | file quoted find/Quoted.cpp)"

expect "the initialiser of a table is not a function" 0 - \
  "$({
    printf 'namespace {\nconst SEntry kEntries[] = {\n'
    lines 150 '    {"Dvořák", 1},'
    printf '};\nconstexpr auto kMore = [] {\n'
    lines 120 '  x[0] = 1;'
    printf '  return x;\n}();\n}  // namespace\n'
  } | file table res/Names.cpp)"

expect "a file of 701 lines fails" 1 "print/Page.cpp:1: the file has 701 lines (limit 700)" \
  "$(lines 701 'int x;' | file big print/Page.cpp)"

expect "a file of 700 lines passes" 0 - "$(lines 700 'int x;' | file fitsfile print/Page.cpp)"

expect "tests, benchmarks and the table files are not looked at" 0 - "$(
  lines 900 'int x;' | file skipped tests/store/BigTest.cpp >/dev/null
  function_of Run 100 | file skipped bench/Bench.cpp >/dev/null
  lines 900 '  {"Ελλάδα", 2},' | file skipped res/StringTable.cpp
)"

many="$({
  function_of First 90
  function_of Second 95
} | file many cli/Commands.cpp)"
expect "every offender is listed (first)" 1 "cli/Commands.cpp:1: First has 92 lines" "$many"
expect "every offender is listed (second)" 1 "cli/Commands.cpp:93: Second has 97 lines" "$many"

exit $((failures > 0))
