#!/usr/bin/env bash
# `cmake --install` and `make install` into prefixes with spaces, the game
# substitute as a component of its own, the bash completion, and the activation
# file of an installed applet registered after a build-folder one.
#   InstallTest.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
files_below() { (cd "$1" && find . -type f | sort); }

expected="./bin/kivtool
./bin/splicebox
./share/bash-completion/completions/kivtool
./share/doc/splicebox/README.md
./share/doc/splicebox/changelog.gz
./share/doc/splicebox/copyright
./share/man/man1/kivtool.1.gz
./share/man/man1/splicebox.1.gz"

# The bridge to the game under Wine, where Wine's tools built it.
bridge=$build/bin/splicebox-bridge.exe.so
if [ -f "$bridge" ]; then
    expected=$(printf '%s\n./libexec/splicebox/splicebox-bridge.exe.so' "$expected" | sort)
fi

prefix="$scratch/a prefix/with 'quotes'"
cmake --install "$build" --prefix "$prefix" > /dev/null
[ "$(files_below "$prefix")" = "$expected" ] || fail "cmake --install:
$(files_below "$prefix")"
for page in splicebox kivtool; do
    zcat "$prefix/share/man/man1/$page.1.gz" | cmp -s - "$source_dir/docs/man/$page.1" ||
        fail "installed man page $page differs from docs/man"
done

if [ -f "$bridge" ]; then
    # The installed program starts the installed bridge (here through `false` in Wine's place).
    said=$(WINE=false dbus-run-session -- "$prefix/bin/splicebox" --wine 2>&1 || true)
    [[ $said == *"$prefix/libexec/splicebox/splicebox-bridge.exe.so"* ]] ||
        fail "the installed bridge: $said"
fi

sim="$scratch/sim prefix"
cmake --install "$build" --prefix "$sim" --component sim > /dev/null
[ "$(files_below "$sim")" = "./bin/mirewalk-sim" ] || fail "component sim: $(files_below "$sim")"

# The Makefile's install, without building again: DESTDIR and PREFIX with blanks.
make -C "$source_dir" -s -o build install BUILD="$build" DESTDIR="$scratch/dest dir" \
    PREFIX="/opt/split box" > /dev/null
[ "$(files_below "$scratch/dest dir/opt/split box")" = "$expected" ] || fail "make install:
$(files_below "$scratch/dest dir")"

# The completion offers the commands, and only agent files for show.
mkdir "$scratch/agents" && touch "$scratch/agents/ball.kiv" "$scratch/agents/notes.txt"
completions=$(cd "$scratch/agents" && bash -c '
    shopt -s extglob
    source "$1"
    complete_line() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _kivtool; echo "${COMPREPLY[*]}"; }
    complete_line kivtool s
    complete_line kivtool show ""
    complete_line kivtool analyse --c' _ "$prefix/share/bash-completion/completions/kivtool")
[ "$completions" = "show
ball.kiv
--chemicals" ] || fail "completions: $completions"

# Registered from the build folder and then installed: the bus starts the installed one.
export MIREWALK_REGISTRY_DIR=$scratch/registry XDG_DATA_HOME=$scratch/data SPLICEBOX_MESSAGES=stderr
mkdir -p "$MIREWALK_REGISTRY_DIR"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vantrell Technology\\Mirewalk 2\\1.0]\n\n' \
    > "$MIREWALK_REGISTRY_DIR/HKEY_CURRENT_USER.reg"
"$build/bin/splicebox"
"$prefix/bin/splicebox"
service=$XDG_DATA_HOME/dbus-1/services/MW_Injector.OLE.service
[ "$(cat "$service")" = "[D-BUS Service]
Name=MW_Injector.OLE
Exec='$scratch/a prefix/with '\\\\''quotes'\\\\''/bin/splicebox' -Automation" ] ||
    fail "activation file: $(cat "$service")"
# The session bus finds the installed program by it and starts it.
started=$(dbus-run-session -- sh -c '
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.StartServiceByName string:MW_Injector.OLE uint32:0 &&
    pid=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:MW_Injector.OLE | awk "{print \$2}") &&
    readlink "/proc/$pid/exe"')
[ "$started" = "   uint32 1
$prefix/bin/splicebox" ] || fail "started by the bus: $started"
echo ok
