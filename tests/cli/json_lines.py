#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the JSON Lines output of `tavrilo --check --format json` strictly and prints each
finding as one canonical JSON array (ASCII only):
[file, line, column, severity, code, message].

Fails (status 1, reason on stderr) on anything that is not one UTF-8 JSON object per line
with exactly the fields of a finding and their types."""
import json
import sys

FIELDS = {"file": str, "line": int, "column": (int, type(None)), "severity": str, "code": str,
          "message": str}


def main(path):
    data = open(path, "rb").read()
    if data and not data.endswith(b"\n"):
        raise ValueError("the last line has no line end")
    for number, raw in enumerate(data.split(b"\n")[:-1], 1):
        text = raw.decode("utf-8")  # strict: invalid UTF-8 fails
        finding = json.loads(text)  # strict: raw control characters in strings fail
        if not isinstance(finding, dict) or set(finding) != set(FIELDS):
            raise ValueError(f"line {number}: not a finding: {text}")
        for name, kind in FIELDS.items():
            value = finding[name]
            if not isinstance(value, kind) or isinstance(value, bool):
                raise ValueError(f"line {number}: {name} of the wrong type")
        if finding["line"] < 1 or (finding["column"] is not None and finding["column"] < 1):
            raise ValueError(f"line {number}: lines and columns count from 1")
        if finding["severity"] not in ("error", "note"):
            raise ValueError(f"line {number}: severity {finding['severity']}")
        print(json.dumps([finding[name] for name in FIELDS], ensure_ascii=True))


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except Exception as error:  # any failure is the output's fault
        print(f"{sys.argv[1]}: {error}", file=sys.stderr)
        sys.exit(1)
