#!/usr/bin/env bash
# The program's command line as scripts use it, without a display: the options and their statuses,
# --text and --json beside what the kernel says of this machine, the document against its schema
# and against the listing, output that cannot be written (a closed pipe, a full disk), no Qt or X
# library loaded; and, in private namespaces as root, the exact bytes of a mount point that is not
# UTF-8, names with control characters, a user name longer than the window's buffer, modules
# planted in the working directory where /proc is missing, a missing mount table, and a file system
# that fails when standard output is closed.
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

# -- text from the machine cannot forge a line or reach the terminal: a host name with a line of its
# own (a private UTS namespace) and a RAM-disk whose mount point holds a line, ESC and BEL
host=$'web01\nUser Name:     admin'
point="/tmp/quorvane-$$-"$'\e[31m\nSerial Number     = DEAD-BEEF\a'
unshare -m -u --propagation private bash -c '
  # hostname(1) refuses such a name, and /proc/sys/kernel/hostname ends it at the line feed; the
  # system call takes it whole.
  "$5" -c "import socket, sys; socket.sethostname(sys.argv[1])" "$2" && mkdir -p "$3" &&
    mount -t tmpfs -o size=1m quorvane "$3" || exit 1
  env -u DISPLAY "$1" --text >"$4/forged.txt" && env -u DISPLAY "$1" --json >"$4/forged.json"
  status=$?
  umount "$3"; rmdir "$3"
  exit $status' _ "$program" "$host" "$point" "$work" "$python" || fail "the forged names: status $?"
"$python" - "$schema" "$work/forged.json" "$work/forged.txt" "$host" "$point" <<'PYTHON' ||
import json, sys
import jsonschema
document = json.load(open(sys.argv[2], encoding="utf-8"))
jsonschema.Draft202012Validator(json.load(open(sys.argv[1]))).validate(document)
text = open(sys.argv[3], "rb").read()
host, point = sys.argv[4], sys.argv[5]
if document["computer_name"] != host or point + "/" not in [d["root"] for d in document["drives"]]:
    sys.exit("the document does not keep the exact names: " + json.dumps(document))
controls = sorted({byte for byte in text if (byte < 0x20 and byte != 0x0A) or byte == 0x7F})
if controls:
    sys.exit(f"--text holds the control bytes {controls}")
lines = text.decode("utf-8").split("\n")
shown_point = point.replace("\x1b", "\\x1b").replace("\n", "\\n").replace("\a", "\\x07")
wanted = {"Computer Name: web01\\nUser Name:     admin": 1, "Disk " + shown_point + "/ :": 1}
for line, count in wanted.items():
    if lines.count(line) != count:
        sys.exit(f"--text has {lines.count(line)} lines {line!r}, not {count}")
forged = [line for line in lines if line.startswith(("User Name:     admin", "Serial Number     = DEAD"))]
if forged:
    sys.exit(f"--text has forged lines {forged}")
PYTHON
  fail "a host name and a mount point with control characters"
echo "PASS: names with control characters: --text shows them escaped, --json keeps them exact"

# -- a user name longer than the window's buffer of 50 is whole: a passwd file of the test's own
# bound over /etc/passwd names this user so (a directory service hands out such names)
for length in 50 255; do
  user=$(printf 'u%.0s' $(seq "$length"))
  unshare -m --propagation private bash -c '
    printf "%s:x:%s:%s::/root:/bin/sh\n" "$2" "$(id -u)" "$(id -g)" >"$3/passwd" &&
      mount --bind "$3/passwd" /etc/passwd || exit 1
    env -u DISPLAY "$1" --text >"$3/user.txt" && env -u DISPLAY "$1" --json >"$3/user.json"' \
    _ "$program" "$user" "$work" || fail "a user name of $length bytes: status $?"
  [[ "$(sed -n 4p "$work/user.txt")" == "User Name:     $user" ]] ||
    fail "a user name of $length bytes in --text: $(sed -n 4p "$work/user.txt")"
  [[ "$("$python" -c 'import json, sys; print(json.load(open(sys.argv[1]))["user_name"])' \
    "$work/user.json")" == "$user" ]] || fail "a user name of $length bytes in --json"
done
echo "PASS: user names of 50 and 255 bytes are whole in --text and --json"

# Where /proc is replaced, a sanitizer build finds its options in the new /proc/self/environ (its
# leak check needs the real /proc), and its runtime's complaints ("==PID==...") are not the
# program's.
no_leak_check='mkdir -p /proc/self && printf "ASAN_OPTIONS=detect_leaks=0\0" >/proc/self/environ'

# -- only the program's own modules: where /proc/self/exe cannot be read (no /proc), modules
# planted in the working directory never run, and the program says in one line what it missed
if [[ -n "${QUORVANE_UNDER_EMULATOR:-}" ]]; then
  # qemu-user answers /proc/self/exe itself, and the program is a script that runs it from its place.
  echo "SKIP: modules planted where /proc/self/exe cannot be read (under qemu-user)"
else
  mkdir -p "$work/planted"
  cat >"$work/planted.c" <<'C'
#include <stdio.h>
#include <stdlib.h>
__attribute__((constructor)) static void Planted(void) {
  FILE *ran = fopen(getenv("PLANTED_RAN"), "w");
  if (ran) fclose(ran);
}
int quorvane_console_main(int mode, const char *error) { (void)mode; (void)error; return 0; }
int quorvane_window_main(int argc, char **argv, int flags) { (void)argc; (void)argv; (void)flags; return 0; }
C
  cc -shared -fPIC -o "$work/planted/quorvane-console.so" "$work/planted.c"
  cp "$work/planted/quorvane-console.so" "$work/planted/quorvane-window.so"
  (cd "$work/planted" && PLANTED_RAN=$work/ran unshare -m --propagation private bash -c '
    mount -t tmpfs none /proc && eval "$3" || exit 99
    for options in --json --help ""; do
      status=0
      DISPLAY=:0 "$1" $options >/dev/null 2>"$2/raw.err" || status=$?
      grep -v "^==[0-9]*==" "$2/raw.err" >"$2/planted-$options.err"
      [[ $status -eq 1 ]] || { echo "$options: status $status"; exit 1; }
    done' _ "$program" "$work" "$no_leak_check") || fail "with a module planted in the working directory"
  [[ ! -e "$work/ran" ]] || fail "a module planted in the working directory ran"
  for options in --json --help ""; do
    [[ $(wc -l <"$work/planted-$options.err") -eq 1 ]] &&
      grep -qE "^quorvane: (its console module|the window cannot be shown, its module) could not be loaded \(/.*/quorvane/quorvane-(console|window)\.so: " "$work/planted-$options.err" ||
      fail "with /proc/self/exe unreadable, '$options' says: $(cat "$work/planted-$options.err")"
  done
  # A program in a folder whose name holds a line feed and ESC says what it missed in one line.
  odd="$work/odd"$'\n\e[31m'
  mkdir -p "$odd" && cp "$program" "$odd/"
  status=0
  "$odd/quorvane" --json >/dev/null 2>"$work/odd.err" || status=$?
  [[ $status -eq 1 && $(wc -l <"$work/odd.err") -eq 1 ]] && ! grep -q $'\e' "$work/odd.err" ||
    fail "a program in a folder with control characters: status $status, $(cat -A "$work/odd.err")"
  echo "PASS: without /proc/self/exe no module is taken from the working directory; one line says what was missed, its control characters escaped"
fi

# -- without a mount table the drive list is unknown, not empty: the document's drives are null,
# the listing ends after the counts (a /proc of its own that holds only the program's link)
unshare -m --propagation private bash -c '
  mount -t tmpfs none /proc && eval "$3" && ln -s "$1" /proc/self/exe || exit 99
  env -u DISPLAY "$1" --json >"$2/no-table.json" && env -u DISPLAY "$1" --text >"$2/no-table.txt"' \
  _ "$program" "$work" "$no_leak_check" || fail "without a mount table: status $?"
"$python" - "$schema" "$work/no-table.json" "$work/no-table.txt" <<'PYTHON' || fail "without a mount table"
import json, sys
import jsonschema
document = json.load(open(sys.argv[2], encoding="utf-8"))
jsonschema.Draft202012Validator(json.load(open(sys.argv[1]))).validate(document)
if document["drives"] is not None:
    sys.exit("drives: " + json.dumps(document["drives"]))
last = open(sys.argv[3], encoding="utf-8").read().split("\n")[-2]
if last != "Network drives       = 0":
    sys.exit(f"the listing ends with {last!r}")
PYTHON
echo "PASS: without a mount table the document's drives are null and the listing has no drive blocks"

# -- an error the file system reports only when standard output is closed (a network file
# system's quota): status 1 and one line, from a FUSE file whose flush after a write fails
read -ra fuse_flags <<<"$(pkg-config --cflags --libs fuse3)"
if ! cc -O2 -Wall -o "$work/failing_flush" "$(dirname "$0")/failing_flush.c" "${fuse_flags[@]}" \
  2>"$work/cc.log"; then
  fail "the FUSE file cannot be built: $(cat "$work/cc.log")"
fi
mkdir -p "$work/fs"
unshare -m --propagation private bash -c '
  "$2/failing_flush" "$2/fs" & daemon=$!
  for _ in $(seq 50); do
    grep -q " failing-flush " /proc/self/mountinfo && break
    sleep 0.1
  done
  for option in --json --text --version; do
    status=0
    "$1" $option >"$2/fs/out" 2>"$2/flush$option.err" || status=$?
    echo "$status" >"$2/flush$option.status"
  done
  kill "$daemon"; wait "$daemon"' _ "$program" "$work" 2>/dev/null || true
for option in --json --text --version; do
  [[ "$(cat "$work/flush$option.status" 2>/dev/null)" == 1 ]] ||
    fail "$option to a file whose close fails: status $(cat "$work/flush$option.status" 2>/dev/null)"
  [[ "$(cat "$work/flush$option.err")" == "quorvane: cannot write the output: Disk quota exceeded" ]] ||
    fail "$option to a file whose close fails: $(cat "$work/flush$option.err")"
done
echo "PASS: an error reported when standard output is closed is one line and status 1"
