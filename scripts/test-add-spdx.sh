#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Tests scripts/add-spdx.sh on copies, never on the work tree itself: first on a small
# repository with one file of each kind and each edge (a "#!" line, a Python encoding
# line, CR LF, no final newline, a licence already named, files that are not source,
# an untracked file), compared byte for byte with what is expected; then on a clone of
# this repository: every source file has the line once, near its head, the script adds
# nothing, and a second run changes nothing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0 passes=0
check() {  # NAME EXPECTED-FILE ACTUAL-FILE
  if cmp -s "$2" "$3"; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAIL: $1"
    diff <(od -c "$2") <(od -c "$3") | head -n 10 || true
  fi
}
expect() {  # NAME CONDITION...
  local name=$1
  shift
  if "$@"; then passes=$((passes + 1)); else failures=$((failures + 1)); echo "FAIL: $name"; fi
}
git_quiet() { git -c user.name=test -c user.email=test@localhost "$@" >/dev/null; }

# 1. One file of each kind.
small=$scratch/small
mkdir -p "$small/src" "$small/.ci" "$small/data"
cd "$small"
cpp='// SPDX-License-Identifier: GPL-3.0-or-later'
hash='# SPDX-License-Identifier: GPL-3.0-or-later'
printf '// The main window.\n#include "a.h"\n' >src/a.cpp
printf '#pragma once\n' >src/b.h
printf '// The identity.\nconstexpr int k = 1;\n' >src/Branding.h.in
printf '// Windows lines.\r\nint x;\r\n' >src/crlf.cpp
printf '// No final newline.\nint y;' >src/last.cpp
printf '// SPDX-License-Identifier: MIT\n// Kept.\n' >src/other.cpp
: >src/empty.h
printf 'project(T)\n' >CMakeLists.txt
printf '# Helpers.\nset(X 1)\n' >src/rules.cmake
printf '#!/usr/bin/env bash\n# Builds.\nmake\n' >build.sh
chmod 755 build.sh
printf '#!/bin/sh\n# The checks.\n' >.ci/run
printf '#!/usr/bin/env python3\n# -*- coding: utf-8 -*-\nprint(1)\n' >tool.py
printf 'import os\n' >lib.py
printf '[Section]\r\nKey=Value\r\n' >data/dics.ini
printf '.TH T 1\n' >t.1.in
printf '[Desktop Entry]\n' >t.desktop.in
printf '# Notes\n' >README.md
git_quiet init -q .
git_quiet add .
printf '// Not tracked.\n' >src/untracked.cpp
git_quiet commit -q -m files

"$repo/scripts/add-spdx.sh" "$small" >"$scratch/listed" 2>/dev/null
e=$scratch/expected
printf '%s\n// The main window.\n#include "a.h"\n' "$cpp" >$e; check "a comment opened" $e src/a.cpp
printf '%s\n#pragma once\n' "$cpp" >$e; check "a header without a comment" $e src/b.h
printf '%s\n// The identity.\nconstexpr int k = 1;\n' "$cpp" >$e; check "a .h.in file" $e src/Branding.h.in
printf '%s\r\n// Windows lines.\r\nint x;\r\n' "$cpp" >$e; check "CR LF kept" $e src/crlf.cpp
printf '%s\n// No final newline.\nint y;' "$cpp" >$e; check "no final newline kept" $e src/last.cpp
printf '// SPDX-License-Identifier: MIT\n// Kept.\n' >$e; check "a licence already named" $e src/other.cpp
printf '%s\n' "$cpp" >$e; check "an empty file" $e src/empty.h
printf '%s\nproject(T)\n' "$hash" >$e; check "CMakeLists.txt" $e CMakeLists.txt
printf '%s\n# Helpers.\nset(X 1)\n' "$hash" >$e; check "a .cmake file" $e src/rules.cmake
printf '#!/usr/bin/env bash\n%s\n# Builds.\nmake\n' "$hash" >$e; check "below the #! line" $e build.sh
printf '#!/bin/sh\n%s\n# The checks.\n' "$hash" >$e; check "a script known by its #! line" $e .ci/run
printf '#!/usr/bin/env python3\n# -*- coding: utf-8 -*-\n%s\nprint(1)\n' "$hash" >$e
check "below Python's encoding line" $e tool.py
printf '%s\nimport os\n' "$hash" >$e; check "a Python module" $e lib.py
printf '[Section]\r\nKey=Value\r\n' >$e; check "data left alone" $e data/dics.ini
printf '.TH T 1\n' >$e; check "a manual page left alone" $e t.1.in
printf '[Desktop Entry]\n' >$e; check "a desktop entry left alone" $e t.desktop.in
printf '# Notes\n' >$e; check "Markdown left alone" $e README.md
printf '// Not tracked.\n' >$e; check "an untracked file left alone" $e src/untracked.cpp
expect "the mode kept" test -x build.sh
expect "each changed file listed once" test "$(sort "$scratch/listed" | uniq | wc -l)" -eq 12
rm src/untracked.cpp
git_quiet add -A
git_quiet commit -q -m licensed
"$repo/scripts/add-spdx.sh" "$small" >/dev/null 2>&1
expect "a second run changes nothing (small)" git diff --quiet

# 2. A clone of this repository: every source file already names its licence, so the
# script changes nothing there (a new file without the line fails here).
clone=$scratch/clone
git clone -q --no-hardlinks "$repo" "$clone"
"$repo/scripts/add-spdx.sh" "$clone" >"$scratch/changed" 2>/dev/null
cd "$clone"
expect "every source file of the repository already names its licence" test ! -s "$scratch/changed"
if [[ -s $scratch/changed ]]; then sed 's/^/unlicensed: /' "$scratch/changed"; fi
# Only lines added, each of them the licence line.
added=$(git diff --numstat | awk '{a += $1; d += $2} END {print a + 0, d + 0}')
expect "only lines added" test "${added#* }" -eq 0
expect "one line per changed file" test "${added% *}" -eq "$(wc -l <"$scratch/changed")"
expect "only licence lines added" \
  test -z "$(git diff -U0 | grep '^+[^+]' | grep -v 'SPDX-License-Identifier: GPL-3.0-or-later$')"
missing=0
while IFS= read -r file; do
  case $file in *.cpp | *.h | *.h.in | CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | *.py) ;; *) continue ;; esac
  [[ $(head -n 3 "$file" | grep -c 'SPDX-License-Identifier:') -eq 1 ]] || { echo "no licence: $file"; missing=1; }
done < <(git ls-files)
expect "every source file names its licence near its head" test $missing -eq 0
git_quiet add -A
git_quiet commit -q --allow-empty -m licensed
"$repo/scripts/add-spdx.sh" "$clone" >/dev/null 2>&1
expect "a second run changes nothing (clone)" git diff --quiet

echo "add-spdx: $passes passed, $failures failed"
[[ $failures -eq 0 ]]
