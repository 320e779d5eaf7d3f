#!/usr/bin/env bash
# The Windows installer as an administrator uses it, under Wine in a fresh prefix and an X server of
# its own: a silent install (the files, the Start-menu shortcut with its icon, the entry in the
# installed programs, the folder on the system PATH), both programs run from where they were
# installed (the command line through the PATH in a new console; the window started directly and
# as a double-click on quorvane-cli starts it, leaving no console window behind), a silent
# uninstall that leaves nothing behind, an upgrade from an older version that leaves one entry,
# and an older package refused over a newer one. The zip must hold the same files.
# Usage: installer.sh QUORVANE.MSI QUORVANE.ZIP [FOLDER FOR THE SCREENSHOT]
set -euo pipefail
msi=$(realpath "$1") zip=$(realpath "$2") shots=${3:-}
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
xvfb=
cleanup() {
  WINEPREFIX=$work/prefix /usr/bin/wineserver -k 2>/dev/null || true
  [[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
expect() {  # expect WHAT GOT WANTED
  [[ "$2" == "$3" ]] || fail "$1: got '$2', wanted '$3'"
}
pass() { if ((failures == 0)); then echo "PASS: $*"; fi; }

# A prefix of its own, with no Mono or Gecko (nothing needs them) and no menu entries made on the
# host for the Start menu's shortcuts.
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
mkdir "$WINEPREFIX"
/usr/bin/wineserver -p
/usr/bin/wineboot -i </dev/null >/dev/null 2>&1

version=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')
folder='C:\Program Files\Quorvane\'
installed=$WINEPREFIX/drive_c/Program\ Files/Quorvane
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'

# value KEY NAME: a registry value's data, or nothing.
value() {
  /usr/bin/wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    sed -nE "s/^ +$2 +REG_[A-Z_]+ {4}//p"
}
# entries: the keys of the installed programs named Quorvane.
entries() {
  local key
  while read -r key; do
    [[ "$(value "$key" DisplayName)" == Quorvane ]] && echo "$key"
  done < <(/usr/bin/wine reg query "$uninstall" 2>/dev/null | tr -d '\r' | grep '^HKEY')
}
msiexec() {  # msiexec OPTION PACKAGE: a silent run; its status in $status
  status=0
  /usr/bin/wine msiexec "$1" "$2" /qn || status=$?
}
# The prefix's files and the system PATH. Left out: what Wine itself keeps changing, and the
# Windows Installer's cache folder, which every Windows has and Wine makes on the first install.
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -path ./windows/temp -prune -o -path './users/*/Temp' \
    -prune -o -path './windows/logs' -prune -o -print | grep -vx ./windows/Installer |
    LC_ALL=C sort)
  value "$environment" PATH
}
lnk_files() {
  find "$WINEPREFIX/drive_c" -name Quorvane.lnk -path '*Start Menu/Programs/*'
}

snapshot >"$work/before"
clean_path=$(value "$environment" PATH)

# --- A fresh install, silent.
msiexec /i "$msi"
expect "install status" "$status" 0
(cd "$installed" 2>/dev/null && LC_ALL=C ls) >"$work/installed-names" || true
expect "installed files" "$(tr '\n' ' ' <"$work/installed-names")" \
  "LICENSE.txt README.md quorvane-cli.exe quorvane.exe quorvane.ps1 quorvane.schema.json "
mkdir "$work/zip"
(cd "$work/zip" && unzip -q "$zip")
expect "the zip's files" "$(cd "$work/zip" && LC_ALL=C ls | tr '\n' ' ')" \
  "$(tr '\n' ' ' <"$work/installed-names")"
for name in $(cat "$work/installed-names"); do
  cmp -s "$installed/$name" "$work/zip/$name" || fail "$name: the zip's and the installed differ"
done
pass "the installer puts the zip's files into Program Files\\Quorvane"

# The shortcut, in the Start menu of all users.
mapfile -t shortcuts < <(lnk_files)
expect "Start-menu shortcuts" "${shortcuts[*]}" \
  "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvane.lnk"
if ((${#shortcuts[@]} == 1)); then
  /usr/bin/python3 - "${shortcuts[0]}" "$folder" <<'PYTHON' || fail "the shortcut"
import sys
link = open(sys.argv[1], "rb").read().lower()
for text in (sys.argv[2] + "quorvane.exe", "quorvane.ico"):
    if text.lower().encode("utf-16-le") not in link and text.lower().encode() not in link:
        sys.exit(f"the shortcut does not name {text}")
PYTHON
  pass "a shortcut to quorvane.exe with the program's icon in the Start menu of all users"
fi

mapfile -t keys < <(entries)
expect "entries after the install" "${#keys[@]}" 1
key=${keys[0]:-none}
expect "product code" "${key##*\\}" "{$(msiinfo export "$msi" Property | tr -d '\r' |
  sed -n 's/^ProductCode\t{\(.*\)}$/\1/p')}"
expect "Publisher" "$(value "$key" Publisher)" Pelvaro
expect "DisplayVersion" "$(value "$key" DisplayVersion)" "$version"
expect "InstallLocation" "$(value "$key" InstallLocation)" "$folder"
expect "DisplayIcon" "$(value "$key" DisplayIcon)" "${folder}quorvane.exe,0"
expect "HelpLink" "$(value "$key" HelpLink)" https://www.pelvaro.example/
expect "URLInfoAbout" "$(value "$key" URLInfoAbout)" https://www.pelvaro.example/
expect "NoModify" "$(value "$key" NoModify)" 0x1
expect "NoRepair" "$(value "$key" NoRepair)" 0x1
size=$(value "$key" EstimatedSize)
kib=$(($(cat "$installed"/* | wc -c) / 1024))
((size >= kib && size <= kib + 1)) || fail "EstimatedSize $size, the files take $kib KiB"
pass "one entry in the installed programs: Quorvane $version by Pelvaro, icon, size, location, link"

path=$(value "$environment" PATH)
expect "the PATH" "$path" "$folder;$clean_path"
pass "the install folder on the system PATH"

# --- The programs where they were installed.
/usr/bin/wine "${folder}quorvane-cli.exe" --json >"$work/document.json" 2>/dev/null ||
  fail "the installed quorvane-cli --json"
/usr/bin/python3 -c 'import json, sys, jsonschema
jsonschema.Draft202012Validator(json.load(open(sys.argv[1]))).validate(json.load(open(sys.argv[2])))' \
  "$installed/quorvane.schema.json" "$work/document.json" ||
  fail "the document against the installed schema"
# A new console finds the program through the PATH alone.
expect "quorvane-cli --version in a new console" \
  "$(/usr/bin/wine cmd /c quorvane-cli --version 2>/dev/null | head -n1 | tr -d '\r')" \
  "quorvane-cli (Quorvane) $version"
pass "quorvane-cli runs from the install folder and through the PATH in a new console"

title='^System Information Beta 0\.96$'
window_ends() {  # window_ends HOW: the main window goes within 10 s
  for _ in $(seq 100); do xdotool search --name "$title" >/dev/null || return 0; sleep 0.1; done
  fail "$1 did not end the program"
}
exit_by_keyboard() {  # Tab from the listing to Exit, then Return
  local window
  window=$(xdotool search --name "$title" | head -1)
  xdotool windowfocus --sync "$window" key Tab
  sleep 0.3
  xdotool key Return
}
# The window program, started directly.
/usr/bin/wine "${folder}quorvane.exe" 2>/dev/null &
program=$!
if timeout 30 xdotool search --sync --onlyvisible --name "$title" >/dev/null; then
  sleep 1
  if [[ -n "$shots" ]]; then
    mkdir -p "$shots"
    import -window root "$shots/installed-program.png"
  fi
  exit_by_keyboard
  status=0
  wait "$program" || status=$?
  expect "the installed quorvane.exe's exit status" "$status" 0
else
  fail "the installed quorvane.exe showed no window"
  kill "$program" 2>/dev/null || true
fi
# A double-click on quorvane-cli.exe: Explorer starts it in a console of its own, which it lets go.
/usr/bin/wine start /wait "${folder}quorvane-cli.exe" 2>/dev/null || fail "start quorvane-cli"
if timeout 30 xdotool search --sync --onlyvisible --name "$title" >/dev/null; then
  sleep 1
  consoles=$(xdotool search --onlyvisible --class '^conhost\.exe$' 2>/dev/null | wc -l || true)
  expect "console windows left beside the window" "$consoles" 0
  exit_by_keyboard
  window_ends "Exit after a double-click"
else
  fail "a double-click on quorvane-cli showed no window"
fi
pass "quorvane.exe runs from the install folder, also started by a double-click on quorvane-cli"

# --- A silent uninstall leaves nothing behind.
uninstalled() {  # uninstalled WHEN
  [[ ! -e "$installed" ]] || fail "$1: the install folder is left"
  [[ -z "$(lnk_files)" ]] || fail "$1: the shortcut is left"
  [[ -z "$(entries)" ]] || fail "$1: an entry is left in the installed programs"
  expect "$1: the PATH" "$(value "$environment" PATH)" "$clean_path"
  snapshot >"$work/after"
  diff "$work/before" "$work/after" >&2 || fail "$1: the prefix's files differ from before"
}
msiexec /x "$msi"
expect "uninstall status" "$status" 0
uninstalled "after the uninstall"
pass "a silent uninstall leaves no files, folder, shortcut, PATH entry or entry behind"

# --- An upgrade from an older version: the same files, packaged as a lower version.
IFS=. read -r major minor _ <<<"$version"
if ((minor > 0)); then older=$major.$((minor - 1)); else older=$((major - 1)).99; fi
"$root/scripts/msi" "$older" "$work/zip" "$work/older.msi"
msiexec /i "$work/older.msi"
expect "install of $older" "$status" 0
mapfile -t keys < <(entries)
expect "entries with $older" "${#keys[@]}" 1
old_key=${keys[0]:-none}
expect "DisplayVersion of the older" "$(value "$old_key" DisplayVersion)" "$older"
msiexec /i "$msi"
expect "upgrade status" "$status" 0
mapfile -t keys < <(entries)
expect "entries after the upgrade" "${#keys[@]}" 1
[[ "${keys[0]:-}" != "$old_key" ]] || fail "the upgrade kept the older product"
expect "DisplayVersion after the upgrade" "$(value "${keys[0]:-none}" DisplayVersion)" "$version"
expect "the PATH after the upgrade" "$(value "$environment" PATH)" "$folder;$clean_path"
expect "shortcuts after the upgrade" "$(lnk_files | wc -l)" 1
pass "installing $version over $older replaces it: one entry, one shortcut, one PATH entry"

# An older package does not replace a newer one.
msiexec /i "$work/older.msi"
[[ $status -ne 0 ]] || fail "$older was installed over $version"
expect "DisplayVersion after the refused downgrade" "$(value "${keys[0]:-none}" DisplayVersion)" \
  "$version"
msiexec /x "$msi"
expect "uninstall status after the upgrade" "$status" 0
uninstalled "after the upgrade's uninstall"
pass "an older package is refused; the upgraded install uninstalls cleanly"

# Nothing of it in the registry either, once Wine has written the registry out.
/usr/bin/wineserver -k
grep -il -e Quorvane -e Pelvaro "$WINEPREFIX"/*.reg >&2 &&
  fail "the registry still names Quorvane or Pelvaro"
pass "the registry holds nothing of Quorvane"

((failures == 0))
