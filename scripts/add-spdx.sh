#!/usr/bin/env bash
# Adds the licence line "SPDX-License-Identifier: GPL-3.0-or-later" at the head of every
# source file of a git work tree that has none: C++ (.cpp, .h, .h.in, .cpp.in) as a "//"
# comment, CMake, shell and Python as a "#" comment. The line goes first, so that it
# opens the file's first comment; only a "#!" line (and, in Python, the encoding line)
# stays above it. Line endings (LF or CR LF), a missing final newline and the file's mode
# are kept. Files that name a licence in their first ten lines are left alone, so that a
# second run changes nothing.
#
#   scripts/add-spdx.sh [WORK_TREE]     (by default the work tree this script is in)
set -euo pipefail

tree=${1:-"$(dirname "$0")/.."}
cd "$tree"
git rev-parse --is-inside-work-tree >/dev/null
licence="SPDX-License-Identifier: GPL-3.0-or-later"

# The comment marker of a file's language, and whether it is Python; nothing for a file
# that is not source.
language_of() {
  local file=$1 first
  case $file in
    *.cpp | *.h | *.cc | *.hpp | *.h.in | *.cpp.in) echo "// no"; return ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.cmake.in) echo "# no"; return ;;
    *.sh | *.bash) echo "# no"; return ;;
    *.py) echo "# yes"; return ;;
  esac
  IFS= read -r first <"$file" || true
  case $first in
    '#!'*python*) echo "# yes" ;;
    '#!'*/sh | '#!'*/sh' '* | '#!'*bash*) echo "# no" ;;
  esac
}

added=0
scratch=$(mktemp)
trap 'rm -f "$scratch"' EXIT
while IFS= read -r -d '' file; do
  [[ -f $file && ! -L $file ]] || continue
  language=$(language_of "$file")
  [[ -n $language ]] || continue
  head -n 10 "$file" | grep -q 'SPDX-License-Identifier:' && continue
  marker=${language% *}
  python=${language#* }
  LC_ALL=C awk -v text="$marker $licence" -v python="$python" '
    NR == 1 { cr = /\r$/ ? "\r" : "" }
    !done && ((NR == 1 && /^#!/) || (python == "yes" && NR <= 2 && /^#.*coding[:=]/)) {
      print; next
    }
    !done { print text cr; done = 1 }
    { print }
    END { if (!done) print text cr }' "$file" >"$scratch"
  # awk ends every line with a newline: a file that ended without one keeps that.
  if [[ -s $file && $(tail -c 1 "$file" | od -An -c | tr -d ' ') != '\n' ]]; then
    truncate -s -1 "$scratch"
  fi
  cat "$scratch" >"$file"
  echo "$file"
  added=$((added + 1))
done < <(git ls-files -z)
echo "add-spdx: a licence line added to $added file(s)" >&2
