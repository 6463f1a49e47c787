#!/usr/bin/env bash
# The Debian package as `make package` builds it: its name, fields and files,
# programs that run from it, lintian without errors, an upgrade over an older
# package and a removal that leaves nothing behind.
#   PackageTest.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
for tool in dpkg-deb dpkg-shlibdeps lintian; do
    if ! command -v "$tool" > /dev/null; then
        echo "SKIP: $tool is not installed (scripts/bootstrap installs it)"
        exit 77
    fi
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/new" > "$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$scratch/new/splicebox_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb: $(ls "$scratch/new")"

[ "$(dpkg-deb -f "$deb" Package Version)" = "Package: splicebox
Version: $version" ] || fail "package fields: $(dpkg-deb -f "$deb" Package Version)"
for field in Maintainer Description; do
    [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field"
done
# dpkg-shlibdeps found the Qt libraries.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6dbus6 libchm1; do
    [[ $depends == *"$library (>= "* ]] || fail "$library not in Depends: $depends"
done
# The top entry of the change log is this release.
zcat "$build/compressed/changelog.gz" | head -1 | grep -qF "splicebox ($version)" ||
    fail "changelog top entry: $(zcat "$build/compressed/changelog.gz" | head -1)"

expected="./usr/bin/kivtool
./usr/bin/splicebox
./usr/share/bash-completion/completions/kivtool
./usr/share/doc/splicebox/README.md
./usr/share/doc/splicebox/changelog.gz
./usr/share/doc/splicebox/copyright
./usr/share/man/man1/kivtool.1.gz
./usr/share/man/man1/splicebox.1.gz"
# The bridge to the game under Wine, where Wine's tools built it.
if [ -f "$build/bin/splicebox-bridge.exe.so" ]; then
    expected=$(printf '%s\n./usr/libexec/splicebox/splicebox-bridge.exe.so' "$expected" | sort)
fi
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$files" = "$expected" ] || fail "package files:
$files"

dpkg-deb -x "$deb" "$scratch/extracted"
[ "$("$scratch/extracted/usr/bin/splicebox" --version)" = "splicebox (Splicebox) $version" ] ||
    fail "extracted splicebox --version"
[ "$("$scratch/extracted/usr/bin/kivtool" --version)" = "kivtool (Splicebox) $version" ] ||
    fail "extracted kivtool --version"

lintian --fail-on error "$deb" > "$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log"; fail "lintian"; }
grep '^E:' "$scratch/lintian.log" && fail "lintian errors"

# A package database of its own: an older release, this one over it, removal.
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
cpack --config "$build/CPackConfig.cmake" -B "$scratch/old" -D CPACK_PACKAGE_VERSION=0.1 > /dev/null 2>&1
in_root() {
    dpkg --root="$root" --force-not-root --force-depends --log=/dev/null "$@" > "$scratch/dpkg.log" 2>&1 ||
        { cat "$scratch/dpkg.log"; fail "dpkg $*"; }
}
in_root -i "$scratch"/old/splicebox_0.1_*.deb
in_root -i "$deb"
[ "$(dpkg-query --admindir="$root/var/lib/dpkg" -W -f '${Version} ${Status}' splicebox)" = \
    "$version install ok installed" ] || fail "upgrade"
[ "$(cd "$root" && find ./usr -type f | sort)" = "$expected" ] || fail "files after the upgrade"
in_root -r splicebox
left=$(find "$root" -path "$root/var" -prune -o -type f -print)
[ -z "$left" ] || fail "left after removal: $left"
echo "ok"
