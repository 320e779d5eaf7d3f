#!/usr/bin/env bash
# The arm64 program under qemu-user tells this machine as the machine's own program does: the two
# documents are the same but for what depends on the processor's architecture (the processor's name:
# an ARM processor is of no type the program names; the C library's directory) and the figures that
# move between two runs (memory in use and free, free disk space), which must only be told alike.
# As root they are compared again in a private mount namespace with RAM disks added: named in UTF-8
# and in other bytes, one covered by another, one bound to a second place.
# Usage: same_document.sh <quorvane> <arm64 quorvane>
set -euo pipefail

if [[ "$1" == "--with-drives" ]]; then
  with_drives=1
  shift
fi
native=$1
arm64=$2

if [[ -n "${with_drives:-}" ]]; then
  odd=$(printf '/mnt/quorvane-\xff')
  mkdir -p /mnt/quorvane-ä "$odd" /mnt/quorvane-stack /media/quorvane-bind
  mount -t tmpfs -o size=1m quorvane /mnt/quorvane-ä
  mount -t tmpfs -o size=2m quorvane "$odd"
  mount -t tmpfs -o size=1m quorvane /mnt/quorvane-stack
  mount -t tmpfs -o size=3m quorvane /mnt/quorvane-stack
  mount --bind /mnt/quorvane-ä /media/quorvane-bind
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY "$native" --json >"$work/native.json"
env -u DISPLAY -u WAYLAND_DISPLAY qemu-aarch64-static "$arm64" --json >"$work/arm64.json"
/usr/bin/python3 - "$work/native.json" "$work/arm64.json" <<'PYTHON'
import json, sys

native = json.load(open(sys.argv[1], encoding="utf-8"))
arm64 = json.load(open(sys.argv[2], encoding="utf-8"))
faults = []

if arm64["processor"]["name"] != "":
    faults.append(f"processor name {arm64['processor']['name']!r}, not \"\" (a type no probe names)")
if arm64["directories"]["system"] != "/usr/lib/aarch64-linux-gnu/":
    faults.append(f"system directory {arm64['directories']['system']!r}")
for document in (native, arm64):
    del document["processor"]["name"], document["directories"]["system"]
    for moving in ("used_percent", "available_bytes"):
        document["memory"][moving] = document["memory"][moving] is None
    for drive in document["drives"]:
        drive["free_bytes"] = drive["free_bytes"] is None

def differences(a, b, path=""):
    if isinstance(a, dict) and isinstance(b, dict):
        for key in sorted(set(a) | set(b)):
            yield from differences(a.get(key), b.get(key), f"{path}.{key}")
    elif isinstance(a, list) and isinstance(b, list) and len(a) == len(b):
        for index, (x, y) in enumerate(zip(a, b)):
            yield from differences(x, y, f"{path}[{index}]")
    elif a != b:
        yield f"{path}: {a!r} natively, {b!r} on arm64"

faults += differences(native, arm64)
if faults:
    sys.exit("FAIL: " + "\n  ".join(faults))
print(f"PASS: the same document on arm64 with {len(native['drives'])} drive(s), but for the"
      " processor's name and the C library's directory")
PYTHON

if [[ -z "${with_drives:-}" && $(id -u) -eq 0 ]] && unshare -m --propagation private true 2>/dev/null; then
  unshare -m --propagation private "$0" --with-drives "$native" "$arm64"
fi
