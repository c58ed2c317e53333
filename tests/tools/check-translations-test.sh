#!/usr/bin/env bash
# Runs tools/check-translations.py on a made-up window folder with a translation that lacks,
# leaves unfinished or mistranslates an entry, and checks what it says of each.
#
#   tests/tools/check-translations-test.sh PYTHON PATH/TO/check-translations.py PATH/TO/lupdate
set -uo pipefail

python="$1"
check="$2"
lupdate="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
mkdir -p "$work/tree/ui" "$work/tree/app" "$work/tree/qt" "$work/tree/interchange-qt"
cat >"$work/tree/ui/Dlg.cpp" <<'CPP'
#include <QCoreApplication>
void Texts() {
  QCoreApplication::translate("Dlg", "&Open file %1");
  QCoreApplication::translate("Dlg", "Birthdays");
}
CPP

# ts NAME TRANSLATION_OF_OPEN TYPE_OF_BIRTHDAYS: a committed file with those entries.
ts() {
  cat >"$work/$1.ts" <<TS
<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="cs_CZ">
<context>
    <name>Dlg</name>
    <message><source>&amp;Open file %1</source><translation>$2</translation></message>
    <message><source>Birthdays</source><translation$3>Narozeniny</translation></message>
</context>
</TS>
TS
}

# expect NAME STATUS TEXT: the check of NAME.ts ends with STATUS and, when TEXT is given, says it.
expect() {
  local out status
  out="$("$python" "$check" "$lupdate" "$work/tree" "$work/$1.ts" 2>&1)"
  status=$?
  if [[ $status -ne $2 ]] || [[ -n "$3" && "$out" != *"$3"* ]]; then
    printf 'FAIL %s: status %d (expected %d), output:\n%s\n' "$1" "$status" "$2" "$out"
    failures=$((failures + 1))
  fi
}

ts complete '&amp;Otevřít soubor %1' ''
expect complete 0 ''
ts unfinished '&amp;Otevřít soubor %1' ' type="unfinished"'
expect unfinished 1 "'Birthdays': not translated"
ts placeholder '&amp;Otevřít soubor' ''
expect placeholder 1 'placeholders differ'
ts mnemonic 'Otevřít soubor %1' ''
expect mnemonic 1 'mnemonic differs'
# A message of the sources that the committed file does not hold at all.
sed -i '/Birthdays/d' "$work/complete.ts"
expect complete 1 "'Birthdays': not translated"

exit $((failures != 0))
