#!/usr/bin/env bash
# The program's command line as scripts use it, without a display: the options and their statuses,
# --text and --json beside what the kernel says of this machine, the document against its schema
# and against the listing, output that cannot be written (a closed pipe, a full disk), no Qt or X
# library loaded, and the exact bytes of a mount point that is not UTF-8 (in a private mount
# namespace, as root).
# Usage: command_line.sh <quorvane> <schema>
set -euo pipefail

program=$1
schema=$2
python=/usr/bin/python3  # Debian's, with its jsonschema
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# run ARGS...: the program without a display; its output in $work/out and $work/err, its status in
# $status.
run() {
  status=0
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$work/out" 2>"$work/err" ||
    status=$?
}

# -- options and statuses
run --help
[[ $status -eq 0 && -s "$work/out" && ! -s "$work/err" ]] || fail "--help: status $status"
head -n1 "$work/out" | grep -qx 'Usage: quorvane \[--text | --json\]' || fail "--help: $(head -n1 "$work/out")"
run --version
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "--version: status $status"
grep -qE '^quorvane \(Quorvane\) [0-9]+\.[0-9]+$' <(head -n1 "$work/out") || fail "--version: $(head -n1 "$work/out")"
for wrong in --bogus stray "--text --json"; do
  # shellcheck disable=SC2086
  run $wrong
  [[ $status -eq 2 && ! -s "$work/out" ]] || fail "$wrong: status $status, output $(cat "$work/out")"
  [[ $(wc -l <"$work/err") -eq 1 ]] && grep -q "(try 'quorvane --help')" "$work/err" ||
    fail "$wrong: $(cat "$work/err")"
done
run
[[ $status -eq 1 ]] && grep -qx 'quorvane: no display .*; --text and --json need none' "$work/err" ||
  fail "without a display: status $status, $(cat "$work/err")"
echo "PASS: --help, --version, a wrong option, a stray argument and no display"

# -- the document: valid, and this machine's facts as the kernel tells them
run --json
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "--json: status $status, $(cat "$work/err")"
cp "$work/out" "$work/document.json"
run --text
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "--text: status $status, $(cat "$work/err")"
cp "$work/out" "$work/report.txt"
! grep -q $'\r' "$work/report.txt" || fail "--text: a line ends with CR LF"
"$python" - "$schema" "$work/document.json" "$work/report.txt" <<'PYTHON' || fail "the document"
import json, os, re, sys
import jsonschema

schema = json.load(open(sys.argv[1]))
document = json.load(open(sys.argv[2], encoding="utf-8"))
report = open(sys.argv[3], encoding="utf-8", errors="surrogateescape").read().split("\n")
jsonschema.Draft202012Validator.check_schema(schema)
jsonschema.Draft202012Validator(schema).validate(document)

def expect(what, got, wanted):
    if got != wanted:
        sys.exit(f"{what}: {got!r}, the machine says {wanted!r}")

uname = os.uname()
expect("computer_name", document["computer_name"], uname.nodename)
import pwd
expect("user_name", document["user_name"], pwd.getpwuid(os.geteuid()).pw_name)
major, minor = (int(part) for part in re.match(r"(\d+)\.(\d+)", uname.release).groups())
expect("os", document["os"], {"platform": uname.sysname, "major": major, "minor": minor})
expect("processor count", document["processor"]["count"], os.sysconf("SC_NPROCESSORS_ONLN"))
meminfo = dict(line.split(":", 1) for line in open("/proc/meminfo"))
expect("memory total", document["memory"]["total_bytes"], int(meminfo["MemTotal"].split()[0]) * 1024)

# The report: its nine lines, then the listing, whose drive blocks name the document's drives.
expect("report line 3", report[2], "Computer Name: " + uname.nodename)
expect("report line 9", report[8], "Path Settings, Keyboard Settings, Drive Settings:")
roots = [line[5:-2] for line in report if line.startswith("Disk ") and line.endswith(" :")]
expect("drives", [drive["root"] for drive in document["drives"]], roots)
for drive in document["drives"]:
    block = report[report.index("Disk " + drive["root"] + " :") + 1:][:4]
    expect(drive["root"] + " kind", block[0], "Drive Type        = " + drive["kind"])
    total = "No disk loaded" if drive["total_bytes"] is None else \
        f"{drive['total_bytes']:,} Bytes".replace(",", ".")
    expect(drive["root"] + " size", block[1], "Total disk space  = " + total)
    if drive["root"] == "/":
        stat = os.statvfs("/")
        expect("/ size", drive["total_bytes"], stat.f_blocks * stat.f_frsize)
PYTHON
echo "PASS: --json is valid against its schema and tells this machine's facts; --text is the report"

# -- no toolkit: neither Qt nor an X library is loaded for the document
LD_DEBUG=files env -u DISPLAY "$program" --json 2>"$work/loaded" >/dev/null
if grep -E 'file=[^ ]*(libQt6|libX11|libxcb|libwayland)' "$work/loaded" | head -n3 | grep -q .; then
  fail "--json loads $(grep -oE 'file=[^ ]*(libQt6|libX11|libxcb|libwayland)[^ ]*' "$work/loaded" | head -n3)"
fi
echo "PASS: --json loads no Qt, X or Wayland library"

# -- output that cannot be written
status=0
"$program" --json >/dev/full 2>"$work/err" || status=$?
[[ $status -eq 1 ]] || fail "/dev/full: status $status"
[[ "$(cat "$work/err")" == "quorvane: cannot write the output: No space left on device" ]] ||
  fail "/dev/full: $(cat "$work/err")"
# A pipe whose reader has gone before the program writes: killed by SIGPIPE as any command is, or,
# where SIGPIPE is ignored, status 1; quiet either way.
"$python" - "$program" <<'PYTHON' || fail "a closed pipe"
import os, signal, subprocess, sys
for ignored in (False, True):
    read, write = os.pipe()
    os.close(read)
    before = (lambda: signal.signal(signal.SIGPIPE, signal.SIG_IGN)) if ignored else None
    done = subprocess.run([sys.argv[1], "--json"], stdout=write, stderr=subprocess.PIPE,
                          preexec_fn=before)
    os.close(write)
    wanted = 1 if ignored else -signal.SIGPIPE
    if done.returncode != wanted or done.stderr:
        sys.exit(f"SIGPIPE {'ignored' if ignored else 'default'}: status {done.returncode}, "
                 f"said {done.stderr!r}")
PYTHON
echo "PASS: a full disk is one line and status 1; a closed pipe ends quietly"

# -- a mount point that is not UTF-8 keeps its bytes
if [[ $(id -u) -ne 0 ]] || ! unshare -m --propagation private true 2>/dev/null; then
  echo "SKIP: a mount point that is not UTF-8 (needs root for a private mount namespace)"
  exit 0
fi
unshare -m --propagation private bash -c '
  point=$(printf "/mnt/quorvane-\xff\xfe disk")
  mkdir -p "$point" && mount -t tmpfs -o size=1m quorvane "$point"
  env -u DISPLAY "$1" --json' _ "$program" >"$work/bytes.json"
"$python" - "$schema" "$work/bytes.json" <<'PYTHON' || fail "a mount point that is not UTF-8"
import base64, json, sys
import jsonschema
document = json.load(open(sys.argv[2], encoding="utf-8"))
jsonschema.Draft202012Validator(json.load(open(sys.argv[1]))).validate(document)
point = b"/mnt/quorvane-\xff\xfe disk/"
drives = [drive for drive in document["drives"] if base64.b64decode(drive.get("root_base64", "")) == point]
if len(drives) != 1:
    sys.exit("no drive keeps the bytes of " + repr(point) + ": " + json.dumps(document["drives"]))
if drives[0]["root"] != "/mnt/quorvane-\ufffd\ufffd disk/" or drives[0]["kind"] != "RAM-disk":
    sys.exit("the drive is " + json.dumps(drives[0]))
PYTHON
echo "PASS: a mount point that is not UTF-8 keeps its bytes beside a repaired text"
