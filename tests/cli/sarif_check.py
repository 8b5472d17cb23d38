#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the output of `tavrilo --check --format sarif` strictly against what the SARIF
2.1.0 schema requires of each object it holds (required properties, their types and
values, no property the schema does not define: its objects allow no others) and what a
code-scanning upload requires besides (a description and help for each rule, a location
with a file and a line for each result). Prints each result as one canonical JSON array
(ASCII only): [uri, line, column, level, ruleId, message], and each file not read as
["unread", uri, message].

Fails (status 1, reason on stderr) on the first thing that does not hold."""
import json
import re
import sys

ALLOWED = {
    "log": {"$schema", "version", "runs", "inlineExternalProperties", "properties"},
    "run": {"tool", "invocations", "results", "columnKind", "originalUriBaseIds", "artifacts",
            "automationDetails", "defaultEncoding", "properties"},
    "tool": {"driver", "extensions", "properties"},
    "driver": {"name", "version", "semanticVersion", "informationUri", "rules", "fullName",
               "organization", "properties"},
    "rule": {"id", "name", "shortDescription", "fullDescription", "help", "helpUri",
             "defaultConfiguration", "properties"},
    "text": {"text", "markdown", "properties"},
    "configuration": {"enabled", "level", "rank", "parameters", "properties"},
    "result": {"ruleId", "ruleIndex", "rule", "kind", "level", "message", "locations",
               "partialFingerprints", "fingerprints", "properties"},
    "location": {"id", "physicalLocation", "logicalLocations", "message", "properties"},
    "physical": {"artifactLocation", "region", "contextRegion", "properties"},
    "artifact": {"uri", "uriBaseId", "index", "description", "properties"},
    "region": {"startLine", "startColumn", "endLine", "endColumn", "charOffset", "charLength",
               "snippet", "message", "properties"},
    "invocation": {"executionSuccessful", "toolExecutionNotifications", "exitCode",
                   "commandLine", "workingDirectory", "properties"},
    "notification": {"message", "level", "locations", "descriptor", "properties"},
}
LEVELS = {"none", "note", "warning", "error"}
# A URI reference: unreserved and reserved characters and percent-encoded bytes only.
URI = re.compile(r"^([A-Za-z0-9\-._~:/?#\[\]@!$&'()*+,;=]|%[0-9A-F]{2})+$")


def need(condition, what):
    if not condition:
        raise ValueError(what)


def obj(value, kind, where):
    need(isinstance(value, dict), f"{where}: not an object")
    extra = set(value) - ALLOWED[kind]
    need(not extra, f"{where}: properties the schema does not define: {sorted(extra)}")
    return value


def text(value, where):
    obj(value, "text", where)
    need(isinstance(value.get("text"), str) and value["text"], f"{where}: no text")
    return value["text"]


def integer(value, least, where):
    need(isinstance(value, int) and not isinstance(value, bool) and value >= least,
         f"{where}: not an integer from {least}")
    return value


def location(value, where):
    physical = obj(obj(value, "location", where).get("physicalLocation"), "physical", where)
    artifact = obj(physical.get("artifactLocation"), "artifact", where)
    uri = artifact.get("uri")
    need(isinstance(uri, str) and URI.match(uri), f"{where}: uri {uri!r}")
    return uri, physical


def main(path):
    raw = open(path, "rb").read()
    log = obj(json.loads(raw.decode("utf-8")), "log", "log")
    need(log.get("version") == "2.1.0", "version is not 2.1.0")
    need(isinstance(log.get("$schema"), str), "no $schema")
    need(isinstance(log.get("runs"), list) and len(log["runs"]) == 1, "not one run")
    run = obj(log["runs"][0], "run", "run")
    need(run.get("columnKind", "utf16CodeUnits") in ("utf16CodeUnits", "unicodeCodePoints"),
         "columnKind")
    driver = obj(obj(run.get("tool"), "tool", "tool").get("driver"), "driver", "driver")
    need(isinstance(driver.get("name"), str) and driver["name"], "driver without a name")
    rules = driver.get("rules")
    need(isinstance(rules, list) and rules, "no rules")
    ids = []
    for i, rule in enumerate(rules):
        where = f"rule {i}"
        obj(rule, "rule", where)
        need(isinstance(rule.get("id"), str) and rule["id"], f"{where}: no id")
        for name in ("shortDescription", "fullDescription", "help"):
            text(rule.get(name), f"{where}: {name}")
        level = obj(rule.get("defaultConfiguration"), "configuration", where).get("level")
        need(level in LEVELS, f"{where}: level {level!r}")
        ids.append(rule["id"])
    need(len(set(ids)) == len(ids), "two rules with one id")
    need(isinstance(run.get("results"), list), "no results")
    for i, result in enumerate(run["results"]):
        where = f"result {i}"
        obj(result, "result", where)
        rule_id, index = result.get("ruleId"), result.get("ruleIndex")
        need(rule_id in ids, f"{where}: ruleId {rule_id!r} names no rule")
        need(integer(index, 0, where) < len(ids) and ids[index] == rule_id,
             f"{where}: ruleIndex {index} is not the rule {rule_id}")
        need(result.get("level") in LEVELS, f"{where}: level")
        message = text(result.get("message"), where)
        locations = result.get("locations")
        need(isinstance(locations, list) and len(locations) == 1, f"{where}: not one location")
        uri, physical = location(locations[0], where)
        region = obj(physical.get("region"), "region", where)
        line = integer(region.get("startLine"), 1, where)
        column = integer(region.get("startColumn"), 1, where)
        print(json.dumps([uri, line, column, result["level"], rule_id, message]))
    invocations = run.get("invocations")
    need(isinstance(invocations, list) and len(invocations) == 1, "not one invocation")
    invocation = obj(invocations[0], "invocation", "invocation")
    need(isinstance(invocation.get("executionSuccessful"), bool), "executionSuccessful")
    notifications = invocation.get("toolExecutionNotifications", [])
    need(invocation["executionSuccessful"] == (not notifications), "executionSuccessful")
    for i, notification in enumerate(notifications):
        where = f"notification {i}"
        obj(notification, "notification", where)
        need(notification.get("level") in LEVELS, f"{where}: level")
        message = text(notification.get("message"), where)
        uri, _ = location(notification["locations"][0], where)
        print(json.dumps(["unread", uri, message]))


if __name__ == "__main__":
    try:
        main(sys.argv[1])
    except Exception as error:  # any failure is the output's fault
        print(f"{sys.argv[1]}: {error}", file=sys.stderr)
        sys.exit(1)
