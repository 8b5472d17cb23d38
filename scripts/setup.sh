#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Tavrilo need.
# Idempotent and silent when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build make g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  qt6-translations-l10n
  libgtest-dev googletest
  clang libclang-rt-14-dev clang-format
  xvfb xauth
  dpkg-dev file desktop-file-utils appstream
  fonts-liberation fonts-dejavu-core fonts-comic-neue
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
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
