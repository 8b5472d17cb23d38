#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make windows: the engine, its GoogleTest suites and the console tavrilo.exe cross-built
# for 64-bit Windows with MinGW-w64 (no Qt: the window is left out), then run under Wine,
# headless, each program within a fixed time:
#   - every test program (ctest in the build folder runs them through scripts/wine-run.sh);
#   - tavrilo.exe --check of the five support files, which the game runs as written
#     (status 0), and of a file with known findings (status 1, each finding on its line),
#     also under a name with é, ù and €, printed as typed in text, JSON and SARIF;
#   - tavrilo.exe --version and --help.
# Prints the number of tests passed and skipped, and the time the Wine run took.
#   scripts/windows.sh [BUILD_FOLDER]     (default build-windows; JOBS, WERROR as for make)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-windows}
jobs=${JOBS:-2}
export TAVRILO_WINE_TIMEOUT=${TAVRILO_WINE_TIMEOUT:-300}
export WINEPREFIX="$root/$build/wine"
# A time zone 5 h 45 min away from UTC, which Wine takes from the environment: a date
# shown in UTC where the local one belongs, or the other way round, then shows.
export TZ=XST-5:45

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 -DTAVRILO_WINDOW=OFF \
  -DTAVRILO_WERROR="${WERROR:-OFF}" >"$build.configure.log" 2>&1 \
  || { cat "$build.configure.log"; exit 1; }
mv "$build.configure.log" "$build/configure.log"
cmake --build "$build" -j"$jobs"

run=(scripts/wine-run.sh --prefix "$WINEPREFIX")
exe="$build/bin/tavrilo.exe"
log="$build/wine-tests.log"
start=$(date +%s)
# The prefix is made once, before the tests start in parallel.
"${run[@]}" cmd /c exit >/dev/null 2>&1 || true

status=0
(cd "$build" && ctest -V -j"$jobs" --timeout "$TAVRILO_WINE_TIMEOUT") >"$log" 2>&1 || status=$?
passed=$(sed -nE 's/^[0-9]+: \[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log" | awk '{ n += $1 } END { print n + 0 }')
skipped=$(sed -nE 's/^[0-9]+: \[  SKIPPED \] ([0-9]+) tests?,.*/\1/p' "$log" | awk '{ n += $1 } END { print n + 0 }')
failed=$(sed -nE 's/^[0-9]+: \[  FAILED  \] ([0-9]+) tests?,.*/\1/p' "$log" | awk '{ n += $1 } END { print n + 0 }')
if [[ $status -ne 0 ]]; then
  grep -E '^[0-9]+: \[  FAILED  \]|Failure|tests passed|\*\*\*|Timeout' "$log" | head -60 || true
  echo "Windows tests failed: the whole output is in $log" >&2
fi
grep -E '^[0-9]+: \[  SKIPPED \] [A-Za-z].*\([0-9]+ ms\)$' "$log" |
  sed -E 's/^[0-9]+: \[  SKIPPED \] (.*) \([0-9]+ ms\)$/skipped under Wine: \1/' || true

# The command line, as a player runs it.
check_status=0
expect() {  # expect STATUS DESCRIPTION COMMAND...
  local want=$1 what=$2 got=0
  shift 2
  "$@" >"$build/check.out" 2>&1 || got=$?
  tr -d '\r' <"$build/check.out" >"$build/check.txt"
  if [[ $got -ne $want ]]; then
    echo "tavrilo.exe $what: status $got, expected $want" >&2
    cat "$build/check.txt" >&2
    check_status=1
  fi
}
support=(Alias.cfg ModBinding.cfg NormBinding.cfg GlVid.cfg NormVid.cfg)
expect 0 "--check of the support files" \
  env -C Q2Dats "$root/scripts/wine-run.sh" --prefix "$WINEPREFIX" "$root/$exe" --check "${support[@]}"
expect 1 "--check of a file with known findings" \
  "${run[@]}" "$exe" --check "Z:${root//\//\\}\\tests\\windows\\findings.cfg"
# Each finding named by its line, under the name as given (a drive-letter path).
for line in 2 3 4; do
  grep -q "findings.cfg:$line:" "$build/check.txt" || {
    echo "tavrilo.exe --check: no finding on line $line" >&2
    cat "$build/check.txt" >&2
    check_status=1
  }
done
# A file name with accents given on the command line reaches the file; an argument with a
# character that Windows-1252 cannot hold is refused.
cp Q2Dats/Alias.cfg "$build/Défense ù.cfg"
expect 0 "--check of a file named with accents" \
  "${run[@]}" "$exe" --check "Z:${root//\//\\}\\$build\\Défense ù.cfg"
# The name printed as the user typed it (UTF-8), in text, in JSON and as a SARIF URI.
accents="é ù €.cfg"
cp tests/windows/findings.cfg "$build/$accents"
named() {  # named FORMAT TEXT: the output of --check in FORMAT holds TEXT
  expect 1 "--check --format=$1 of a file named with é, ù and €" \
    env -C "$build" "$root/scripts/wine-run.sh" --prefix "$WINEPREFIX" "$root/$exe" \
    --check --format="$1" "$accents"
  grep -qF -- "$2" "$build/check.txt" || {
    echo "tavrilo.exe --check --format=$1: the name is not printed as typed ($2)" >&2
    cat "$build/check.txt" >&2
    check_status=1
  }
}
named text "$accents:2:"
named json "{\"file\":\"$accents\",\"line\":2,"
named sarif '"uri":"%C3%A9%20%C3%B9%20%E2%82%AC.cfg"'
expect 2 "--check of a name that Windows-1252 cannot hold" "${run[@]}" "$exe" --check "Ж.cfg"
grep -q "argument 2" "$build/check.txt" || { echo "tavrilo.exe: no word of the refused argument" >&2; check_status=1; }
expect 0 "--version" "${run[@]}" "$exe" --version
grep -q "1\.[0-9]" "$build/check.txt" || { echo "tavrilo.exe --version printed no version" >&2; check_status=1; }
expect 0 "--help" "${run[@]}" "$exe" --help
seconds=$(($(date +%s) - start))

# Nothing of Wine is left running.
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true

echo "Wine run: ${seconds} s (tests and tavrilo.exe --check)"
echo "Windows: ${passed:-0} passed, ${failed:-0} failed, ${skipped:-0} skipped"
[[ $status -eq 0 && $check_status -eq 0 ]]
