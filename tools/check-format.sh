#!/bin/sh
# Checks that every C and C++ file under version control is laid out as .clang-format says.
#
#   tools/check-format.sh
#
# Prints each file that clang-format would change and exits 1 when there is one; fix them with
# clang-format -i FILE.
set -e
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format}
if ! command -v "$format" >/dev/null 2>&1; then
  echo "check-format: $format is not installed" >&2
  exit 2
fi
# clang-format names each place it would change as "FILE:LINE:COLUMN: error: ..."; a file
# that exists only in the index (deleted in the work tree) is left out.
report=$(git ls-files -z -- '*.c' '*.cc' '*.cpp' '*.cxx' '*.h' '*.hh' '*.hpp' '*.hxx' |
  xargs -0 -r sh -c 'for f; do [ -f "$f" ] && printf "%s\0" "$f"; done' sh |
  xargs -0 -r "$format" --dry-run -Werror 2>&1 || true)
offenders=$(printf '%s\n' "$report" | sed -n 's/^\(.*\):[0-9][0-9]*:[0-9][0-9]*: error: .*/\1/p' |
  sort -u)
if [ -n "$offenders" ]; then
  echo "check-format: these files differ from .clang-format (run clang-format -i on them):" >&2
  printf '%s\n' "$offenders" | sed 's/^/  /' >&2
  exit 1
fi
if printf '%s\n' "$report" | grep -q .; then
  # Anything else clang-format says (a file it cannot read, a broken .clang-format).
  printf '%s\n' "$report" >&2
  exit 2
fi
echo "check-format: every C/C++ file is formatted"
