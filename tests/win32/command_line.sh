#!/usr/bin/env bash
# The Windows console program under Wine, as cmd or PowerShell would run it with its output piped:
# its options (Windows' /? too) and statuses, CR LF lines, the document against its schema and
# against the listing of --text, names from the wide-character calls (a user named in Cyrillic,
# whole in the document, "?" in the 8-bit report as the window shows it), a user name longer than
# the window's first buffer, the report in the OEM code page that type and find read, a full disk,
# a program file that needs only what Windows carries, and the window program started from an
# install folder whose name the code page cannot hold.
# Usage: command_line.sh WINE-RUN PREFIX QUORVANE-CLI.EXE SCHEMA WINDOW-STAND-IN.EXE
set -euo pipefail
wine_run=$1 prefix=$2 program=$3 schema=$4 stand_in=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# run ARGS...: the program; its output in $work/out, its standard error without Wine's own notes
# in $work/err, its status in $status.
run() {
  status=0
  "$wine_run" "$prefix" "$program" "$@" >"$work/out" 2>"$work/all-err" || status=$?
  grep -v '^wine: ' "$work/all-err" >"$work/err" || true
}

run --help
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "--help: status $status, $(cat "$work/err")"
[[ "$(head -n1 "$work/out")" == $'Usage: quorvane-cli [--text | --json]\r' ]] ||
  fail "--help: $(head -n1 "$work/out" | od -c | head -n2)"
mv "$work/out" "$work/help"
run /?
[[ $status -eq 0 ]] && cmp -s "$work/out" "$work/help" || fail "/? is not --help: status $status"
grep -q $'^On Windows /? shows this help too. --text written to a pipe or a file is in\r$' \
  "$work/help" || fail "--help does not say what holds on Windows"
run --bogus
[[ $status -eq 2 && ! -s "$work/out" ]] || fail "--bogus: status $status"
[[ "$(cat "$work/err")" == $'quorvane-cli: unknown option \'--bogus\' (try \'quorvane-cli --help\')\r' ]] ||
  fail "--bogus: $(cat "$work/err")"
echo "PASS: --help, /? and a wrong option, with their statuses and CR LF lines"

export USER=Дмитрий LOGNAME=Дмитрий
run --json
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "--json: status $status, $(cat "$work/err")"
mv "$work/out" "$work/document.json"
run --text
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "--text: status $status, $(cat "$work/err")"
mv "$work/out" "$work/report.txt"
/usr/bin/python3 - "$schema" "$work/document.json" "$work/report.txt" <<'PYTHON' || fail "the document"
import json, sys
import jsonschema

document = json.load(open(sys.argv[2], encoding="utf-8"))
jsonschema.Draft202012Validator(json.load(open(sys.argv[1]))).validate(document)
if b"\r" in open(sys.argv[2], "rb").read():
    sys.exit("--json: its lines end with LF, as on Linux")
raw = open(sys.argv[3], "rb").read()
if b"\n" in raw.replace(b"\r\n", b""):
    sys.exit("--text: a line does not end with CR LF")
report = raw.decode("cp437").split("\r\n")

def expect(what, got, wanted):
    if got != wanted:
        sys.exit(f"{what}: {got!r}, wanted {wanted!r}")

# The user's name is whole in the document; the report shows it as the window does, through the
# 8-bit call, on the Western code page the test prefix has.
expect("user_name", document["user_name"], "Дмитрий")
expect("report's user", report[3], "User Name:     ???????")
expect("os", (document["os"]["platform"], document["os"]["major"]), ("Windows NT", 10))
roots = [line[5:-2] for line in report if line.startswith("Disk ") and line.endswith(" :")]
expect("drives", [drive["root"] for drive in document["drives"]], roots)
for drive in document["drives"]:
    block = report[report.index("Disk " + drive["root"] + " :") + 1:][:5]
    expect(drive["root"] + " kind", block[0], "Drive Type        = " + drive["kind"])
    total = "No disk loaded" if drive["total_bytes"] is None else \
        f"{drive['total_bytes']:,} Bytes".replace(",", ".")
    expect(drive["root"] + " size", block[1], "Total disk space  = " + total)
    if drive["total_bytes"] is not None:
        label = "NoName" if drive["label"] == "" else (drive["label"] or "")
        expect(drive["root"] + " label", block[3], "Volumelabel       = " + label)
        expect(drive["root"] + " serial", block[4], "Serial Number     = " + (drive["serial"] or "0000-0000"))
c = document["drives"][0]
expect("C:", (c["root"], c["label"], c["serial"]), ("C:\\", "QUORVANE-C", "51A7-E2C4"))
PYTHON
echo "PASS: --json is valid against its schema, names the user whole and the listing's drives"

# A user name longer than the window's buffer of 50 comes back whole in the report too.
long_user=$(printf 'user%.0s' {1..20})
USER=$long_user LOGNAME=$long_user run --text
[[ $status -eq 0 && "$(tr -d '\r' <"$work/out" | sed -n 4p)" == "User Name:     $long_user" ]] ||
  fail "a user name of ${#long_user} letters: $(tr -d '\r' <"$work/out" | sed -n 4p)"
echo "PASS: a user name of ${#long_user} letters is whole in the report"

# A letter both code pages have stands at another place in each: the report goes through the OEM
# code page (437 in the test prefix, where the system's is 1252), in which "type" shows it right.
USER=José LOGNAME=José run --text
[[ $status -eq 0 ]] && grep -q $'^User Name:     Jos\x82\r$' "$work/out" ||
  fail "--text in a file: $(sed -n 4p "$work/out" | od -c | head -n2)"
echo "PASS: --text written to a file is in the OEM code page"

status=0
"$wine_run" "$prefix" "$program" --json >/dev/full 2>"$work/all-err" || status=$?
grep -v '^wine: ' "$work/all-err" >"$work/err" || true
[[ $status -eq 1 && $(wc -l <"$work/err") -eq 1 ]] &&
  grep -q '^quorvane-cli: cannot write the output: ' "$work/err" || fail "a full disk: status $status, $(cat "$work/err")"
echo "PASS: a full disk is one line and status 1"

while read -r dll; do
  case "${dll,,}" in
    kernel32.dll | user32.dll | advapi32.dll | msvcrt.dll) ;;
    *) fail "imports $dll, which Windows does not carry" ;;
  esac
done < <(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ { print $3 }')
echo "PASS: the console program needs only what Windows carries"

# Alone, it starts the window program beside it, found through the wide-character calls: here a
# stand-in that writes where it was started from, in a folder named in Cyrillic and Chinese, which
# the prefix's Western code page cannot hold.
folder="$work/Программы 程序"
mkdir -p "$folder"
cp "$program" "$folder/quorvane-cli.exe"
cp "$stand_in" "$folder/quorvane.exe"
export QUORVANE_STARTED="Z:${work//\//\\}\\started.txt"
program="$folder/quorvane-cli.exe" run
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "alone: status $status, $(cat "$work/err")"
for _ in $(seq 100); do [[ -s "$work/started.txt" ]] && break; sleep 0.1; done
[[ "$(cat "$work/started.txt" 2>/dev/null)" == *"\\Программы 程序\\quorvane.exe" ]] ||
  fail "alone, from $folder: the window program was not started ($(cat "$work/started.txt" 2>/dev/null))"
echo "PASS: alone, it starts the window program from a folder named outside the code page"
