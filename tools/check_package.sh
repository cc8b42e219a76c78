#!/usr/bin/env bash
# Makes the Debian package of a build tree, unpacks it into a scratch root
# (it is never installed on this machine), checks what it holds and where,
# and runs the unpacked program from there in a scratch home.
# Usage: check_package.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1
scratch=$2
mkdir -p "$scratch"
work=$(mktemp -d "$scratch/package.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G DEB"; }
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "one package expected, found: ${debs[*]}"
deb=${debs[0]}
root=$work/root
dpkg-deb -x "$deb" "$root"

for file in usr/bin/dustral \
            usr/lib/dustral/libdustral_window.so \
            usr/share/dustral/dustral.html \
            usr/share/applications/dustral.desktop \
            usr/share/metainfo/org.orlemont.Dustral.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/dustral.svg \
            usr/share/icons/hicolor/16x16/apps/dustral.png \
            usr/share/icons/hicolor/48x48/apps/dustral.png \
            usr/share/icons/hicolor/256x256/apps/dustral.png \
            usr/share/man/man1/dustral.1.gz; do
  [ -f "$root/$file" ] || fail "$file is missing"
done
[ -x "$root/usr/bin/dustral" ] || fail "usr/bin/dustral is not executable"
# The program alone in bin/: its help belongs in share/.
extra=$(find "$root/usr/bin" -mindepth 1 ! -name dustral)
[ -z "$extra" ] || fail "more than the program in usr/bin: $extra"

# The dependencies come from dpkg-shlibdeps: the C library for the program,
# Qt's widgets for the window module.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$root/usr/share/applications/dustral.desktop" 2>&1)
  [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.orlemont.Dustral.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
fi
zcat "$root/usr/share/man/man1/dustral.1.gz" | grep -qF -- '\-\-preview' ||
  fail "the manual page does not describe --preview"

# The unpacked program, in a home of its own: nothing real is looked at.
home=$work/home
mkdir -p "$home/config" "$home/data" "$home/tmp"
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" TEMP="$home/tmp" TMP="$home/tmp" \
    TMPDIR="$home/tmp" "$root/usr/bin/dustral" "$@"
}
version=$(run --version) || fail "dustral --version failed"
[[ $version == "Dustral "* ]] || fail "dustral --version said: $version"
touch "$home/tmp/junk.tmp"
preview=$(run --preview 2>"$work/preview.err") || { cat "$work/preview.err"; fail "dustral --preview"; }
[[ $preview == *"$home/tmp/junk.tmp"* ]] || fail "dustral --preview did not list junk.tmp: $preview"
[ -f "$home/tmp/junk.tmp" ] || fail "dustral --preview deleted a file"

echo "package $(basename "$deb"): layout, dependencies and the unpacked program are fine"
