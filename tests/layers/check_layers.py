#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, each using only those below it:
  store; toolkit; kernel; apps and reports side by side; shell on top.
An application folder uses apps/common and itself, never another application.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()

BELOW = {
    "store": {"store"},
    "toolkit": {"store", "toolkit"},
    "kernel": {"store", "toolkit", "kernel"},
    "reports": {"store", "toolkit", "kernel", "reports"},
    "apps": {"store", "toolkit", "kernel", "reports", "apps"},
    "data": {"store", "data"},
    "art": set(),
    "tools": {"store", "data"},
}
# Applications and reports sit side by side: an application may print through
# the report service, but the reports never reach into an application.

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layer_of(path: pathlib.Path) -> list[str]:
    return list(path.relative_to(ROOT).parts)


def allowed(source_parts: list[str], header: str) -> bool:
    top = source_parts[0]
    target = header.split("/")
    if len(target) < 2:
        return True  # a header beside the file, or a system/Qt header
    if top not in BELOW:
        return True  # shell, tests, bench, fuzz see everything
    if target[0] not in BELOW[top] and target[0] != top:
        return False
    if top == "apps" and target[0] == "apps":
        own = source_parts[1]
        return target[1] in ("common", own)
    return True


def main() -> int:
    faults = []
    for path in sorted(ROOT.rglob("*")):
        if path.suffix not in (".h", ".cpp") or "build" in path.relative_to(ROOT).parts[0]:
            continue
        parts = layer_of(path)
        if parts[0] not in BELOW:
            continue
        for header in INCLUDE.findall(path.read_text(errors="replace")):
            if not allowed(parts, header):
                faults.append(f"{path.relative_to(ROOT)}: includes {header}")
    for fault in faults:
        print(fault)
    print(f"{len(faults)} forbidden include(s)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
