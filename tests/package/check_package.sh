#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack, its contents and dependencies, its desktop entry and
# file types seen by the desktop tools in a scratch home, and a first start of the installed program under a
# virtual X server on an empty machine, with a citation file handed to it as a file manager would.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail

build=$(realpath "$1")
work=$(mktemp -d)
cleanup() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "${program_pid:-}" ] && kill -9 "$program_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# --- the package -------------------------------------------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >/dev/null
deb=$(ls "$work"/pkg/varnel_*.deb)
contents=$(dpkg -c "$deb" | awk '{print $6}')
for path in ./usr/bin/varnel ./usr/bin/varnel-cli ./usr/share/applications/varnel.desktop \
    ./usr/share/mime/packages/varnel.xml ./usr/share/icons/hicolor/scalable/apps/varnel.svg \
    ./usr/share/varnel/help/index.html; do
    grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done
# Every dependency is a Debian package of this release: all are installed on a machine that runs Varnel.
depends=$(dpkg-deb -f "$deb" Depends)
for package in $(sed 's/([^)]*)//g; s/,/ /g' <<<"$depends"); do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        fail "dependency $package is not a Debian package installed here"
done
root=$work/root
dpkg -x "$deb" "$root"

# --- desktop entry and file types --------------------------------------------------------------------------
desktop-file-validate "$root/usr/share/applications/varnel.desktop"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_DATA_DIRS=$root/usr/share:/usr/share XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
update-mime-database "$root/usr/share/mime"
update-desktop-database "$root/usr/share/applications"
printf 'TY  - JOUR\r\nT1  - Opened from the file manager\r\nJO  - Wear\r\nER  - \r\n' >"$work/handed.ris"
printf 'TY  - JOUR\r\n' >"$work/handed.enw"
printf 'PK\003\004' >"$work/library.vbk"
expect_type() {
    local type
    type=$(xdg-mime query filetype "$1")
    [ "$type" = "$2" ] || fail "$1 is $type, not $2"
}
expect_type "$work/handed.ris" application/x-research-info-systems
expect_type "$work/handed.enw" application/x-endnote-refer
expect_type "$work/library.vbk" application/x-varnel-backup
for type in application/x-research-info-systems application/x-endnote-refer; do
    default=$(xdg-mime query default "$type")
    [ "$default" = varnel.desktop ] || fail "$type opens with '$default', not varnel.desktop"
done

# --- first start on an empty machine -----------------------------------------------------------------------
# The program's automatic update check would reach the network 10 s after the start: without a network
# namespace of its own the session ends well before that.
isolate=()
deadline=8
if unshare -n true 2>/dev/null; then
    isolate=(unshare -n)
    deadline=60
elif unshare -rn true 2>/dev/null; then
    isolate=(unshare -rn)
    deadline=60
fi
started=$SECONDS
display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do
    xwininfo -root >/dev/null 2>&1 && break
    sleep 0.1
done
"${isolate[@]}" "$root/usr/bin/varnel" &
program_pid=$!
data=$XDG_DATA_HOME/Varnel
until xwininfo -root -tree 2>/dev/null | grep -q '"Varnel"'; do
    [ $((SECONDS - started)) -lt "$deadline" ] || fail "no Varnel window after $deadline s"
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended at its first start"
    sleep 0.2
done
for made in varnel.ini Database/varnel.gdb Library; do
    [ -e "$data/$made" ] || fail "the first start did not make $data/$made"
done
# Opening a citation file from the file manager runs the desktop entry's command: the running window takes it.
"${isolate[@]}" "$root/usr/bin/varnel" "$work/handed.ris" || fail "the hand-over start failed"
[ $((SECONDS - started)) -lt "$deadline" ] || fail "the session took longer than $deadline s"
kill -TERM "$program_pid"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with $status on SIGTERM"

# The seeded library, with the handed-over paper in it, read by the installed command-line tool.
styles=$("$root/usr/bin/varnel-cli" styles | wc -l)
[ "$styles" -gt 0 ] || fail "the new library has no styles"
"$root/usr/bin/varnel-cli" papers --all | grep -q "Opened from the file manager" ||
    fail "the handed-over citation file was not imported"
echo "package checked: $(basename "$deb"), $(wc -l <<<"$contents") entries, $styles seeded styles, first start and hand-over in $((SECONDS - started)) s"
