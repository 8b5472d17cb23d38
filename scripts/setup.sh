#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, testing, running and packaging Tavrilo need.
# Idempotent and silent when everything is already there. When another program holds the
# package manager's lock, it waits for it (up to ten minutes) instead of failing.
set -euo pipefail

packages=(
  cmake ninja-build make g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libfontconfig-dev
  qt6-translations-l10n
  libgtest-dev googletest
  clang libclang-rt-14-dev clang-format
  xvfb xauth x11-utils
  dpkg-dev file desktop-file-utils appstream
  lintian devscripts bash-completion
  fonts-liberation fonts-dejavu-core fonts-comic-neue
  g++-mingw-w64-x86-64-posix wine wine64
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Please install as root: ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
lock_wait=(-o DPkg::Lock::Timeout=600)
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "${lock_wait[@]}" update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
