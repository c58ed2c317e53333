#!/usr/bin/env bash
# Checks that every #include "folder/..." in the sources points down or into its own folder.
#
#   tools/check-layers.sh [SOURCE_DIR]
#
# Prints each include that points upward or sideways and exits 1 when there is one.
set -euo pipefail

# Which folders the files of a folder may include, besides their own. A file belongs to the
# longest folder of this table its path starts with (ui/pages/ lies in ui/);
# folders that are not here (tests/, bench/, fuzz/, tools/) may include anything, and a folder
# that does not exist yet is skipped.
LAYERS=(
  "res:"
  "store:res"
  "calendar:store res"
  "interchange:store res"
  "find:store res"
  "print:store res"
  "sync:interchange store res"
  "qt:store res"
  "interchange-qt:qt interchange store res"
  "cli:sync calendar interchange find print store res"
  "ui:qt interchange-qt sync calendar interchange find print store res"
  "app:ui qt interchange-qt sync calendar interchange find print store res"
)

src="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
if [[ ! -d "$src" ]]; then
  echo "check-layers: no such folder: $src" >&2
  exit 2
fi

declare -A allowed=()
folders=()
for entry in "${LAYERS[@]}"; do
  folder="${entry%%:*}"
  allowed[$folder]=" $folder ${entry#*:} "
  folders+=("$folder")
done

# The longest folder of the table that path (relative to the source folder) lies in; empty
# when none.
folder_of() {
  local path="$1" best="" f
  for f in "${folders[@]}"; do
    if [[ "$path" == "$f"/* && ${#f} -gt ${#best} ]]; then best="$f"; fi
  done
  printf '%s' "$best"
}

bad=0
cd "$src"
for top in "${folders[@]}"; do
  [[ "$top" == */* || ! -d "$top" ]] && continue
  while IFS= read -r -d '' file; do
    from="$(folder_of "$file")"
    [[ -z "$from" ]] && continue
    while IFS= read -r hit; do
      line="${hit%%:*}"
      text="${hit#*:}"
      target="$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")"
      to="$(folder_of "$target")"
      # A header beside the file or one outside the table's folders is no layer.
      [[ -z "$to" ]] && continue
      if [[ "${allowed[$from]}" != *" $to "* ]]; then
        echo "$file:$line: $text  ($from/ may not include $to/)"
        bad=1
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
  done < <(find "$top" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) \
             -print0 | sort -z)
done

if [[ $bad -ne 0 ]]; then
  echo "check-layers: includes point upward or sideways (allowed: see LAYERS in $0)" >&2
  exit 1
fi
