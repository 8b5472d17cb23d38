#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the packages that `make package` made. The .deb is unpacked into a scratch root:
# its dependencies are declared; it holds the program, its data byte for byte, the icons,
# the manual page, the shell completions, the copyright file and the changelog; one
# application id names its desktop entry, AppStream file and icons; the desktop entry and
# the AppStream file are valid; the program its menu entry names starts and stays up on
# the offscreen platform, and answers --version without a display; the window's WM_CLASS
# is the menu entry's StartupWMClass. The package declares a type for Quake 2
# configuration files that its menu entry opens; its manual page renders without a
# warning and is dated; it was compiled and linked with Debian's build flags. Installation
# writes only under its prefix, from any folder and as another user. A second build of the
# package gives the same bytes. Then lintian (no error and no warning) and hardening-check
# (every hardening Debian uses) judge the .deb and its program. Nothing touches the real
# home folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(cd "${PACKAGE_BUILD:-build-package}" && pwd)
fail() { echo "check-package: $*" >&2; exit 1; }

shopt -s nullglob
debs=("$build"/tavrilo_*.deb)
archives=("$build"/tavrilo-*.tar.gz)
[[ ${#debs[@]} -eq 1 ]] || fail "expected one .deb in $build, found ${#debs[@]}"
[[ ${#archives[@]} -eq 1 ]] || fail "expected one .tar.gz in $build, found ${#archives[@]}"
deb=${debs[0]}

scratch=$(mktemp -d)
started=()
restores=()  # what the checks changed outside the scratch folder, put back at the end
cleanup() {
  local pid restore
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  for restore in "${restores[@]}"; do eval "$restore" || true; done
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
# Qt's translations are recommended, as Qt's own packages do, not required.
[[ $depends != *qt6-translations-l10n* ]] || fail "Depends names qt6-translations-l10n: $depends"
[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-translations-l10n* ]] \
  || fail "Recommends lacks qt6-translations-l10n"
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

# The type of Quake 2 configuration files: declared for shared-mime-info, a kind of plain
# text, matched by *.cfg with a weight below the usual 50, and opened by the menu entry.
mime_xml=$share/mime/packages/$app_id.xml
[[ -s $mime_xml ]] || fail "no shared-mime-info file named after $app_id"
grep -qx 'MimeType=text/x-quake2-config;' "$desktop" \
  || fail "the menu entry opens no text/x-quake2-config: $(grep '^MimeType' "$desktop")"
mkdir -p "$scratch/mime/packages"
cp "$mime_xml" "$scratch/mime/packages/"
XDG_DATA_DIRS=$scratch update-mime-database "$scratch/mime" >"$scratch/mime.log" 2>&1
[[ ! -s $scratch/mime.log ]] || { cat "$scratch/mime.log" >&2; fail "update-mime-database complains"; }
grep -qx '10:text/x-quake2-config:\*\.cfg' "$scratch/mime/globs2" \
  || fail "the type's pattern is not *.cfg with weight 10: $(grep quake2 "$scratch/mime/globs2")"
grep -qx 'text/x-quake2-config text/plain' "$scratch/mime/subclasses" \
  || fail "text/x-quake2-config is not a kind of text/plain"
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
# It is dated with the last commit, and renders without a warning from groff or man.
epoch=$(packaging/source-date-epoch.sh)
manual_date=$(date -u -d "@$epoch" +%Y-%m-%d)
[[ $(head -n 1 <<<"$manual") == ".TH TAVRILO 1 \"$manual_date\" "* ]] \
  || fail "the manual page is not dated $manual_date: $(head -n 1 <<<"$manual")"
groff -man -Tutf8 -ww -z <<<"$manual" 2>"$scratch/groff.log"
[[ ! -s $scratch/groff.log ]] || { cat "$scratch/groff.log" >&2; fail "groff warns about the manual page"; }
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/tavrilo.1.gz" \
  >"$scratch/manual.txt" 2>"$scratch/man.log"
[[ ! -s $scratch/man.log ]] || { cat "$scratch/man.log" >&2; fail "man warns about the manual page"; }
grep -q '^ *FILE:LINE\[:COLUMN\]: severity: message$' "$scratch/manual.txt" \
  || fail "the manual page's form of a finding renders as: $(grep 'severity:' "$scratch/manual.txt")"
grep -q "^Tavrilo $version  *$manual_date  *TAVRILO(1)$" "$scratch/manual.txt" \
  || fail "the manual page's footer lacks its version or date: $(tail -n 1 "$scratch/manual.txt")"

# Installation writes under its prefix and nowhere else (CMake itself lists what it
# installed in the build folder's install_manifest.txt), whatever folder it is run from:
# here a scratch folder the installing user may write, which must stay empty. Installed
# under another prefix than the one configured, the manual page names that prefix.
installs_cleanly() {  # USER PREFIX, run from a scratch folder of that user
  local user=$1 prefix=$2 folder=$scratch/current-$1 run=()
  mkdir -p "$folder" "$prefix"
  if [[ $user != "$(id -un)" ]]; then
    chown "$user" "$folder" "$prefix"
    # The one file of the build folder that CMake writes when it installs.
    touch "$build/install_manifest.txt"
    chown "$user" "$build/install_manifest.txt"
    restores+=('chown "$(id -u):$(id -g)" "$build/install_manifest.txt"')
    run=(runuser -u "$user" -- env HOME="$folder")
  fi
  touch "$scratch/before-install"
  (cd "$folder" && "${run[@]}" cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1) \
    || { cat "$scratch/install.log" >&2; fail "cmake --install as $user from $folder failed"; }
  [[ -z $(ls -A "$folder") ]] || fail "cmake --install as $user wrote into its folder: $(ls -A "$folder")"
  local written
  written=$(find "$build" -newer "$scratch/before-install" ! -name install_manifest.txt | head -n 5)
  [[ -z $written ]] || fail "cmake --install as $user wrote into the build folder: $written"
  [[ -x $prefix/bin/tavrilo ]] || fail "cmake --install as $user installed no program"
  zcat "$prefix/share/man/man1/tavrilo.1.gz" | grep -q "^\.I $prefix/share/tavrilo/data/$" \
    || fail "installed as $user under $prefix, the manual page names another prefix"
}
installs_cleanly "$(id -un)" "$scratch/elsewhere"
if [[ $(id -u) -eq 0 ]] && getent passwd nobody >/dev/null && command -v runuser >/dev/null; then
  chmod 755 "$scratch"
  installs_cleanly nobody "$scratch/nobody-prefix"
else
  echo "check-package: not root: installation as another user is not checked" >&2
fi

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

# Under an X server the window's WM_CLASS is the menu entry's StartupWMClass, which is
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
    [[ $classes == *"= \"$wm_class\", \"$wm_class\""* ]] && break
    sleep 0.2
  done
  # Both the instance and the class: no version, no blank, the same at every release.
  [[ $classes == *"= \"$wm_class\", \"$wm_class\""* ]] \
    || { cat "$scratch/x11.log" >&2; fail "no window of class \"$wm_class\", \"$wm_class\", only: $classes"; }
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

# Compiled and linked with Debian's build flags (dpkg-buildflags, run here from the same
# folder as `make package` runs it) and with stack-clash protection.
commands=$(ninja -C "$build" -t commands all)
compiles=$(grep -E '^[^ ]*(c\+\+|g\+\+|clang\+\+|ccache)( |$).* -c ' <<<"$commands" || true)
links=$(grep -v ' -c ' <<<"$commands" | grep -E '^: && [^ ]*(c\+\+|g\+\+|clang\+\+)' || true)
[[ -n $compiles && -n $links ]] || fail "no compile or link command found in $build"
for flag in $(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -fstack-clash-protection; do
  missing=$(grep -vF -e " $flag " <<<"$compiles" | head -n 1 || true)
  [[ -z $missing ]] || fail "compiled without $flag: $missing"
done
for flag in $(dpkg-buildflags --get LDFLAGS); do
  missing=$(grep -vF -e " $flag " <<<"$links" | head -n 1 || true)
  [[ -z $missing ]] || fail "linked without $flag: $missing"
done

# Reproducible: a second build of the same commit gives the same .deb, byte for byte. It
# reuses the compiled objects and redoes the rest at a later time: the program relinked,
# the generated files made again, the resources compiled again from files whose times
# have changed (as in a fresh clone), the packages made anew. The resources' times are
# put back afterwards.
cp "$deb" "$scratch/first.deb"
resources=()
while IFS= read -r -d '' resource; do resources+=("$resource"); done \
  < <(find src -name '*.qrc' -print0; find src -path '*/images/*' -type f -print0)
[[ ${#resources[@]} -gt 0 ]] || fail "no Qt resource file found under src/"
for resource in "${resources[@]}"; do
  touch -r "$resource" "$scratch/stamp-${resource//\//_}"
  restores+=("touch -r $(printf %q "$scratch/stamp-${resource//\//_}") $(printf %q "$resource")")
done
touch -d '-1 day' "${resources[@]}"
find "$build/bin" -maxdepth 1 -type f -perm -u+x -delete
find "$build" -path '*_autogen/*' -name 'qrc_*.cpp' -delete
rm -rf "$build/_CPack_Packages" "$build"/packaging/*.gz "$build"/packaging/*.desktop \
  "$build"/packaging/*.xml "$build"/packaging/tavrilo.1 "$deb" "${archives[0]}"
status=0
(export SOURCE_DATE_EPOCH=$epoch && cmake "$build" >/dev/null &&
 cmake --build "$build" --target package) >"$scratch/rebuild.log" 2>&1 || status=$?
[[ $status -eq 0 ]] || { tail -n 30 "$scratch/rebuild.log" >&2; fail "the second build failed"; }
cmp "$scratch/first.deb" "$deb" || fail "two builds of one commit give different .deb files"

# lintian judges the package as Debian's archive would: any error or warning fails.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" \
  || fail "lintian finds errors or warnings in $(basename "$deb") (above)"

echo "check-package: $(basename "$deb") and $(basename "${archives[0]}") are good"
