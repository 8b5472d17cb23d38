#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the time the packages are dated with, in seconds since 1970: SOURCE_DATE_EPOCH
# when it is set, else the time of the last commit, else (a source tree without its
# history) the date of the changelog's newest entry. Every date in the packages (file
# times, the manual page's date, the times Qt's resource compiler records) is this one,
# so that two builds of the same commit give the same bytes.
set -eu
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  echo "$SOURCE_DATE_EPOCH"
  exit 0
fi
source_root=$(cd "$(dirname "$0")/.." && pwd)
if commit_time=$(git -C "$source_root" log -1 --format=%ct 2>/dev/null) && [ -n "$commit_time" ]; then
  echo "$commit_time"
  exit 0
fi
signature=$(sed -n 's/^ -- .*>  //p' "$source_root/packaging/changelog" | head -n 1)
date -u -d "$signature" +%s
