#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the JSON Lines output of `tavrilo --check --format json` strictly and prints each
record as one canonical JSON array (ASCII only): a finding as
[file, line, column, severity, code, message], a file not read as [file, reason], and the
counts that end the output as ["counts", files, unread, errors, notes].

Fails (status 1, reason on stderr) on anything that is not one UTF-8 JSON object per line
with exactly the fields of one of these records and their types, or on output that does
not end with exactly one record of counts that agree with the records before it."""
import json
import sys

FINDING = {"file": str, "line": int, "column": (int, type(None)), "severity": str, "code": str,
           "message": str}
UNREAD = {"file": str, "unread": str}
COUNTS = {"files": int, "unread": int, "errors": int, "notes": int}


def typed(record, fields, number):
    for name, kind in fields.items():
        value = record[name]
        if not isinstance(value, kind) or isinstance(value, bool):
            raise ValueError(f"line {number}: {name} of the wrong type")


def main(path):
    data = open(path, "rb").read()
    if data and not data.endswith(b"\n"):
        raise ValueError("the last line has no line end")
    lines = data.split(b"\n")[:-1]
    if not lines:
        raise ValueError("no record of counts")
    seen = {"unread": 0, "error": 0, "note": 0}
    for number, raw in enumerate(lines, 1):
        text = raw.decode("utf-8")  # strict: invalid UTF-8 fails
        record = json.loads(text)  # strict: raw control characters in strings fail
        if not isinstance(record, dict):
            raise ValueError(f"line {number}: not an object: {text}")
        last = number == len(lines)
        if set(record) == set(COUNTS) and last:
            typed(record, COUNTS, number)
            counted = (record["unread"], record["errors"], record["notes"])
            if counted != (seen["unread"], seen["error"], seen["note"]):
                raise ValueError(f"counts {counted} for {seen}")
            print(json.dumps(["counts"] + [record[name] for name in COUNTS]))
        elif set(record) == set(UNREAD) and not last:
            typed(record, UNREAD, number)
            seen["unread"] += 1
            print(json.dumps([record["file"], record["unread"]], ensure_ascii=True))
        elif set(record) == set(FINDING) and not last:
            typed(record, FINDING, number)
            if record["line"] < 1 or (record["column"] is not None and record["column"] < 1):
                raise ValueError(f"line {number}: lines and columns count from 1")
            if record["severity"] not in ("error", "note"):
                raise ValueError(f"line {number}: severity {record['severity']}")
            seen[record["severity"]] += 1
            print(json.dumps([record[name] for name in FINDING], ensure_ascii=True))
        else:
            raise ValueError(f"line {number}: not a record in its place: {text}")


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except Exception as error:  # any failure is the output's fault
        print(f"{sys.argv[1]}: {error}", file=sys.stderr)
        sys.exit(1)
