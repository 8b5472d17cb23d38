#!/usr/bin/env bash
# Checks the packages that `make package` made. The .deb is unpacked into a scratch root:
# its dependencies are declared; it holds the program, its data byte for byte, the icons
# and the manual page; its desktop entry and AppStream file are valid; the program its
# menu entry names starts and stays up on the offscreen platform, and answers --version
# without a display. Nothing touches the real home folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${PACKAGE_BUILD:-build-package}
app_id=org.example.tavrilo
fail() { echo "check-package: $*" >&2; exit 1; }

shopt -s nullglob
debs=("$build"/tavrilo_*.deb)
archives=("$build"/tavrilo-*.tar.gz)
[[ ${#debs[@]} -eq 1 ]] || fail "expected one .deb in $build, found ${#debs[@]}"
[[ ${#archives[@]} -eq 1 ]] || fail "expected one .tar.gz in $build, found ${#archives[@]}"
deb=${debs[0]}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6gui6 libqt6widgets6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

share=$root/usr/share
for file in usr/bin/tavrilo "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
            usr/share/man/man1/tavrilo.1.gz; do
  [[ -s $root/$file ]] || fail "missing $file"
done
for size in 16 32 48 64 128 256; do
  [[ -s $share/icons/hicolor/${size}x${size}/apps/$app_id.png ]] || fail "missing ${size}px icon"
done
diff -r data "$share/tavrilo/data" >/dev/null || fail "installed data/ differs from the sources"
diff -r Q2Dats "$share/tavrilo/Q2Dats" >/dev/null || fail "installed Q2Dats/ differs from the sources"
tar -tzf "${archives[0]}" | grep -q '/bin/tavrilo$' || fail "the .tar.gz has no bin/tavrilo"

desktop=$share/applications/$app_id.desktop
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml"

# The menu entry's command, run from the scratch root with a scratch home.
command=$(sed -n 's/^Exec=//p' "$desktop")
[[ $command == tavrilo ]] || fail "unexpected Exec=$command"
program=$root/usr/bin/$command
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Still running after five seconds: its window was shown and it did not crash.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 "$program" >"$scratch/start.log" 2>&1 || status=$?
[[ $status -eq 124 ]] || { cat "$scratch/start.log" >&2; fail "the program ended with status $status"; }

version=$(dpkg-deb -f "$deb" Version)
status=0
output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$program" --version 2>&1) \
  || status=$?
[[ $status -eq 0 && $output == *"$version"* ]] \
  || fail "tavrilo --version gave status $status and: $output"

echo "check-package: $(basename "$deb") and $(basename "${archives[0]}") are good"
