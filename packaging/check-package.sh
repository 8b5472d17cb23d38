#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the packages that `make package` made. The .deb is unpacked into a scratch root:
# its dependencies are declared; it holds the program, its data byte for byte, the icons,
# the manual page, the shell completions, the copyright file and the changelog; one
# application id names its desktop entry, AppStream file and icons; the desktop entry and
# the AppStream file are valid; the program its menu entry names starts and stays up on
# the offscreen platform, and answers --version without a display. Then lintian (no error
# and no warning) and hardening-check (every hardening Debian uses) judge the .deb and its
# program. Nothing touches the real home folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${PACKAGE_BUILD:-build-package}
fail() { echo "check-package: $*" >&2; exit 1; }

shopt -s nullglob
debs=("$build"/tavrilo_*.deb)
archives=("$build"/tavrilo-*.tar.gz)
[[ ${#debs[@]} -eq 1 ]] || fail "expected one .deb in $build, found ${#debs[@]}"
[[ ${#archives[@]} -eq 1 ]] || fail "expected one .tar.gz in $build, found ${#archives[@]}"
deb=${debs[0]}

scratch=$(mktemp -d)
started=()
cleanup() {
  local pid
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
version=$(dpkg-deb -f "$deb" Version)
[[ $(dpkg-deb -f "$deb" Section) == utils ]] || fail "the section is not utils"

# One application id: the desktop entry's name, the AppStream id, the icons.
desktops=("$share"/applications/*.desktop)
[[ ${#desktops[@]} -eq 1 ]] || fail "expected one desktop entry, found ${#desktops[@]}"
desktop=${desktops[0]}
app_id=$(basename "$desktop" .desktop)
[[ $app_id =~ ^[A-Za-z][A-Za-z0-9_]*(\.[A-Za-z][A-Za-z0-9_-]*){2,}$ ]] \
  || fail "the application id $app_id is not reverse-DNS"
[[ $app_id != *example* ]] || fail "the application id $app_id is a placeholder"
metainfo=$share/metainfo/$app_id.metainfo.xml
[[ -s $metainfo ]] || fail "no AppStream file named after $app_id"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the AppStream id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
  || fail "the AppStream file does not launch $app_id.desktop"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" \
  || fail "the AppStream file names no project licence"
grep -q "<release version=\"$version\" date=\"[0-9-]*\"/>" "$metainfo" \
  || fail "the AppStream file has no release $version"
[[ $(sed -n 's/^Icon=//p' "$desktop") == "$app_id" ]] || fail "the menu entry's icon is not $app_id"
[[ -n $(sed -n 's/^StartupWMClass=//p' "$desktop") ]] || fail "the menu entry has no StartupWMClass"
! grep -rIl 'example\.org' "$share/applications" "$share/metainfo" "$share/man" "$share/doc" \
  2>/dev/null | grep -q . || fail "an example.org address is left in the package"

for file in usr/bin/tavrilo "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
            usr/share/man/man1/tavrilo.1.gz usr/share/doc/tavrilo/copyright \
            usr/share/doc/tavrilo/changelog.gz usr/share/bash-completion/completions/tavrilo \
            usr/share/zsh/vendor-completions/_tavrilo; do
  [[ -s $root/$file ]] || fail "missing $file"
done
for size in 16 32 48 64 128 256; do
  [[ -s $share/icons/hicolor/${size}x${size}/apps/$app_id.png ]] || fail "missing ${size}px icon"
done
diff -r data "$share/tavrilo/data" >/dev/null || fail "installed data/ differs from the sources"
diff -r Q2Dats "$share/tavrilo/Q2Dats" >/dev/null || fail "installed Q2Dats/ differs from the sources"
tar -tzf "${archives[0]}" | grep -q '/bin/tavrilo$' || fail "the .tar.gz has no bin/tavrilo"

# The changelog's newest entry is this version; the manual page is of this version and
# names the files under the installed prefix.
zcat "$share/doc/tavrilo/changelog.gz" | head -n 1 | grep -q "^tavrilo ($version) " \
  || fail "the changelog does not begin with version $version"
manual=$(zcat "$share/man/man1/tavrilo.1.gz")
[[ $manual == *"\"Tavrilo $version\""* ]] || fail "the manual page is not of version $version"
[[ $manual == *".I /usr/share/tavrilo/data/"* ]] || fail "the manual page's FILES are not under /usr"
# Installed under another prefix than the one configured, it names that prefix.
cmake --install "$build" --prefix "$scratch/elsewhere" >/dev/null
zcat "$scratch/elsewhere/share/man/man1/tavrilo.1.gz" | grep -q "^\.I $scratch/elsewhere/share/tavrilo/data/$" \
  || fail "installed under $scratch/elsewhere, the manual page names another prefix"

desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"

# The bash completion, loaded as bash-completion loads it: the options, then the games.
completion=$share/bash-completion/completions/tavrilo
complete_words() {
  bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"; shift
           compopt() { :; }  # outside a real completion, compopt has nothing to change
           COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
           _tavrilo tavrilo "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
           printf "%s\n" "${COMPREPLY[@]}"' completion "$completion" "$@" | sort | xargs
}
if [[ -r /usr/share/bash-completion/bash_completion ]]; then
  [[ $(complete_words tavrilo --) == "--check --explain --help --lang --list-codes --version" ]] \
    || fail "bash completes 'tavrilo --' as: $(complete_words tavrilo --)"
  [[ $(complete_words tavrilo --check --game '') == "quake2 yamagi" ]] \
    || fail "bash completes '--game' as: $(complete_words tavrilo --check --game '')"
  [[ $(complete_words tavrilo --check --f) == "--format=" ]] \
    || fail "bash completes '--check --f' as: $(complete_words tavrilo --check --f)"
fi

if command -v zsh >/dev/null; then
  zsh -n "$share/zsh/vendor-completions/_tavrilo" || fail "the zsh completion does not parse"
fi

# The menu entry's command, run from the scratch root with a scratch home.
command=$(sed -n 's/^Exec=//p' "$desktop")
[[ $command == "tavrilo %f" ]] || fail "unexpected Exec=$command"
program=$root/usr/bin/${command%% *}
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Still running after five seconds: its window was shown and it did not crash.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$program" >"$scratch/start.log" 2>&1 || status=$?
[[ $status -eq 124 ]] || { cat "$scratch/start.log" >&2; fail "the program ended with status $status"; }

# Under an X server the window's WM_CLASS holds the menu entry's StartupWMClass, which is
# how the desktop ties the running window to its entry and icon.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
if command -v Xvfb >/dev/null && command -v xprop >/dev/null && command -v xwininfo >/dev/null; then
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$scratch/display" 2>/dev/null &
  started+=($!)
  for _ in $(seq 50); do [[ -s $scratch/display ]] && break; sleep 0.1; done
  display=:$(cat "$scratch/display")
  DISPLAY=$display QT_QPA_PLATFORM=xcb "$program" >"$scratch/x11.log" 2>&1 &
  started+=($!)
  classes=""
  for _ in $(seq 50); do
    classes=$(for id in $(DISPLAY=$display xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
                DISPLAY=$display xprop -id "$id" WM_CLASS 2>/dev/null
              done)
    [[ $classes == *"\"$wm_class\""* ]] && break
    sleep 0.2
  done
  [[ $classes == *"\"$wm_class\""* ]] \
    || { cat "$scratch/x11.log" >&2; fail "no window of class $wm_class, only: $classes"; }
  kill "${started[@]}" 2>/dev/null || true
  started=()
else
  echo "check-package: no Xvfb, xprop or xwininfo: the window's WM_CLASS is not checked" >&2
fi

status=0
output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$program" --version 2>&1) \
  || status=$?
[[ $status -eq 0 && $output == "Tavrilo $version (v$version"*")" ]] \
  || fail "tavrilo --version gave status $status and: $output"

# Without a display, the command line answers at once: help, version, and a wrong command
# line refused with status 2, one line of reason and a pointer to --help.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$program")
for case in "0 -h" "0 -v" "0 --help" "2 --bogus" "2 --check --game" "2 --bogus file.cfg"; do
  expected=${case%% *}
  read -ra args <<<"${case#* }"
  status=0
  "${no_display[@]}" "${args[@]}" >"$scratch/out" 2>"$scratch/err" || status=$?
  [[ $status -eq $expected ]] \
    || fail "tavrilo ${args[*]} without a display gave status $status: $(cat "$scratch/err")"
  if [[ $expected -eq 2 ]]; then
    [[ $(wc -l <"$scratch/err") -eq 2 && ! -s $scratch/out \
       && $(tail -n 1 "$scratch/err") == "Try 'tavrilo --help' for more information." ]] \
      || fail "tavrilo ${args[*]} did not give one line of reason and --help: $(cat "$scratch/err")"
  fi
done

# Standard input that cannot be read (here a folder) is said so, with status 2.
status=0
"${no_display[@]}" --check --game quake2 - <"$scratch" >"$scratch/out" 2>"$scratch/err" || status=$?
[[ $status -eq 2 && $(cat "$scratch/err") == "tavrilo: <stdin>: "* ]] \
  || fail "tavrilo --check - from a folder gave status $status: $(cat "$scratch/err")"

# The binary carries the hardening of every Debian binary: PIE, stack protector, checked
# buffer functions, read-only relocations bound at start-up, and control-flow protection.
# That last mark stays only when every linked object has it; the C library's start files
# of Debian 12 have none, so where they lack it the check is left out (the code is still
# compiled with -fcf-protection).
skips=()
start_file=$(c++ -print-file-name=Scrt1.o)
readelf -n "$start_file" 2>/dev/null | grep -q 'IBT' || skips+=(--nocfprotection)
hardening-check --quiet "${skips[@]}" "$program" || fail "the program lacks some hardening (above)"

# lintian judges the package as Debian's archive would: any error or warning fails.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" \
  || fail "lintian finds errors or warnings in $(basename "$deb") (above)"

echo "check-package: $(basename "$deb") and $(basename "${archives[0]}") are good"
