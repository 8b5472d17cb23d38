#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows console program under Wine, headless and bounded in time:
#   scripts/wine-run.sh --prefix WINEPREFIX PROGRAM.exe [ARGS...]
# The Wine prefix (Wine's C: drive and registry) is made on first use, under a lock so
# that tests started together make it once. No display is used: the programs are
# console programs. TAVRILO_WINE_TIMEOUT (seconds, 300 by default) bounds each run; a
# program still running then is killed and the run fails with status 124.
set -euo pipefail

if [[ "${1:-}" == "--prefix" ]]; then
  export WINEPREFIX="$2"
  shift 2
fi
: "${WINEPREFIX:?set WINEPREFIX or pass --prefix}"
[[ $# -ge 1 ]] || { echo "usage: $0 [--prefix DIR] PROGRAM [ARGS...]" >&2; exit 2; }

export WINEDEBUG=-all
# Wine reads the arguments and the files' names as UTF-8, whatever the caller's locale.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

wine=$(command -v wine64 || true)
[[ -n "$wine" ]] || wine=/usr/lib/wine/wine64
[[ -x "$wine" ]] || { echo "wine64 not found: run scripts/setup.sh" >&2; exit 2; }
wineserver=$(command -v wineserver || true)
[[ -n "$wineserver" ]] || wineserver=/usr/lib/wine/wineserver
timeout=${TAVRILO_WINE_TIMEOUT:-300}

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
      timeout "$timeout" "$wine" wineboot --init >/dev/null 2>&1 || true
      # The registry reaches the disk when the prefix's server ends.
      timeout "$timeout" "$wineserver" -w || true
      [[ -f "$WINEPREFIX/system.reg" ]] || { echo "cannot make the Wine prefix $WINEPREFIX" >&2; exit 2; }
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec timeout --kill-after=10 "$timeout" "$wine" "$@"
