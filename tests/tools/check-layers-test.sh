#!/usr/bin/env bash
# Runs tools/check-layers.sh on small made-up source trees and checks what it says of them.
#
#   tests/tools/check-layers-test.sh PATH/TO/check-layers.sh
set -uo pipefail

check="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# tree NAME FILE=INCLUDE...: a tree whose FILE holds #include "INCLUDE".
tree() {
  local dir="$work/$1"
  shift
  mkdir -p "$dir"
  local pair file include
  for pair in "$@"; do
    file="${pair%%=*}"
    include="${pair#*=}"
    mkdir -p "$dir/$(dirname "$file")"
    printf '#include <string>\n\n#include "%s"\n' "$include" >>"$dir/$file"
  done
  printf '%s' "$dir"
}

# expect NAME STATUS TEXT TREE: the check on TREE exits with STATUS and its output holds TEXT.
expect() {
  local name="$1" status="$2" text="$3" dir="$4" out rc
  out="$(bash "$check" "$dir" 2>&1)"
  rc=$?
  if [[ $rc -ne $status || "$out" != *"$text"* ]]; then
    echo "FAIL $name: exit $rc (wanted $status), output:"
    echo "$out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect "includes downward and within a folder pass" 0 "" "$(tree down \
  store/ZorvanDoc.h=store/CalName.h store/Archive.cpp=res/CodePage.h \
  calendar/CalendarBranch.cpp=store/ZorvanDoc.h find/Finder.cpp=res/StringTable.h \
  cli/main.cpp=interchange/TextImport.h app/MainFrame.cpp=ui/ZorvanView.h \
  ui/pages/NamePage.cpp=interchange-qt/ImportWizard.h tests/store/X.cpp=app/MainFrame.h \
  ui/Icons.cpp=Icons.h qt/Prompt.cpp=store/Host.h interchange-qt/ImportSheet.cpp=qt/QtText.h \
  ui/ZorvanView.cpp=qt/Prompt.h app/MainFrame.cpp=qt/QtText.h sync/Merge.cpp=interchange/VCardReader.h)"

expect "the bottom includes nothing above it" 1 \
  'res/CodePage.cpp:3: #include "store/Text.h"  (res/ may not include store/)' \
  "$(tree res res/CodePage.cpp=store/Text.h)"

expect "store may not include calendar" 1 "store/ZorvanDoc.h:3:" \
  "$(tree up store/ZorvanDoc.h=calendar/CalName.h)"

expect "folders side by side may not include each other" 1 "(calendar/ may not include interchange/)" \
  "$(tree sideways calendar/CalendarResource.cpp=interchange/ValueCodec.h)"

expect "find may not include print" 1 "(find/ may not include print/)" \
  "$(tree findprint find/Finder.cpp=print/Page.h)"

expect "the core half of interchange may not include its Qt half" 1 \
  "(interchange/ may not include interchange-qt/)" \
  "$(tree qthalf interchange/TextImport.cpp=interchange-qt/Wizard.h)"

expect "the Qt half of interchange may not include ui" 1 "(interchange-qt/ may not include ui/)" \
  "$(tree qtui interchange-qt/Wizard.cpp=ui/ZorvanView.h)"

expect "the Qt adapters may not include the Qt half of interchange" 1 \
  "(qt/ may not include interchange-qt/)" \
  "$(tree qtadapters qt/Prompt.cpp=interchange-qt/ImportSheet.h)"

expect "the Qt adapters may not include ui" 1 "(qt/ may not include ui/)" \
  "$(tree qtbelowui qt/QtText.cpp=ui/Icons.h)"

expect "the core may not include the Qt adapters" 1 "(store/ may not include qt/)" \
  "$(tree coreqt store/ZorvanDoc.cpp=qt/QtText.h)"

expect "synchronisation may not include the calendar texts" 1 "(sync/ may not include calendar/)" \
  "$(tree synccal sync/Merge.cpp=calendar/CalendarTexts.h)"

expect "the command line may not include the window" 1 "(cli/ may not include ui/)" \
  "$(tree cliui cli/main.cpp=ui/QtHost.h)"

expect "ui may not include app" 1 "(ui/ may not include app/)" \
  "$(tree uiapp ui/ZorvanView.cpp=app/MainFrame.h)"

many="$(tree many store/A.h=find/Finder.h store/B.h=cli/Commands.h)"
expect "every offending line is listed (first)" 1 "store/A.h:3:" "$many"
expect "every offending line is listed (second)" 1 "store/B.h:3:" "$many"

exit $((failures > 0))
