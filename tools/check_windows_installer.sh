#!/usr/bin/env bash
# Makes the Windows installer and zip of a windows build tree, installs the
# installer silently under Wine in a Wine prefix of its own, runs the
# installed program, uninstalls it silently and checks that nothing is left
# but the user's settings. Usage: check_windows_installer.sh BUILD_DIR
# SCRATCH_DIR WINE
set -euo pipefail
build=$1
scratch=$2
wine=$3
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

mkdir -p "$scratch"
work=$(realpath "$(mktemp -d "$scratch/installer.XXXXXX")")
# Everything the test starts lives in $work: its home, its temporary
# folders and its Wine prefix, whose server is stopped at the end.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
export XDG_CACHE_HOME=$work/home/cache TEMP=$work/tmp TMP=$work/tmp TMPDIR=$work/tmp
export WINEPREFIX=$work/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME" "$TMPDIR"
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G "NSIS;ZIP" -B "$work/out") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; }
! grep -q Warning "$work/cpack.log" || { cat "$work/cpack.log"; fail "cpack warned"; }
installers=("$work"/out/*.exe)
zips=("$work"/out/*.zip)
[ ${#installers[@]} -eq 1 ] && [ -f "${installers[0]}" ] || fail "one installer expected: ${installers[*]}"
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "one zip expected: ${zips[*]}"

# Wine runs everything with full rights, so what the installer asks of
# Windows is read from its manifest: to run as the user who started it.
grep -aq 'level="asInvoker"' "${installers[0]}" || fail "the installer asks for administrator rights"

"$wine" "${installers[0]}" /S >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install"; }

# The one user's folders: Public has none of these.
profiles=("$WINEPREFIX"/drive_c/users/*/AppData)
[ ${#profiles[@]} -eq 1 ] && [ -d "${profiles[0]}" ] || fail "one user profile expected: ${profiles[*]}"
installed=${profiles[0]}/Local/Programs/Dustral
shortcut="${profiles[0]}/Roaming/Microsoft/Windows/Start Menu/Programs/Dustral.lnk"
# The program finds its help two folders up from itself, in share/dustral/
# (app/application_paths.h).
for file in bin/dustral.exe share/dustral/dustral.html Uninstall.exe; do
  [ -f "$installed/$file" ] || fail "$file is not installed in the user's programs folder"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
grep -aq 'Dustral\\bin\\dustral.exe' "$shortcut" || fail "the shortcut does not start dustral.exe"

# The zip holds what the installer installed.
(cd "$installed" && find . -type f ! -name Uninstall.exe | cut -c3- | sort) >"$work/installed.txt"
cmake -E tar tf "${zips[0]}" | grep -v '/$' | cut -d/ -f2- | sort >"$work/zipped.txt"
diff "$work/installed.txt" "$work/zipped.txt" >&2 || fail "the zip and the installer hold different files"

# The console companion where there is one, else the program itself.
program=$installed/bin/dustral.com
[ -f "$program" ] || program=$installed/bin/dustral.exe
version=$("$wine" "$program" --version | tr -d '\r') || fail "the installed program did not start"
[[ $version == "Dustral "* ]] || fail "the installed program's --version said: $version"

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dustral'
settings_key='HKCU\Software\Orlemont Software\Dustral\Default Settings'
entry=$("$wine" reg query "$uninstall_key" | tr -d '\r') || fail "no entry in the list of installed apps"
value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<<"$entry"; }
[ "$(value DisplayName)" = Dustral ] || fail "DisplayName: $(value DisplayName)"
[ "$(value DisplayVersion)" = "${version#Dustral }" ] || fail "DisplayVersion: $(value DisplayVersion)"
[ "$(value Publisher)" = "Orlemont Software" ] || fail "Publisher: $(value Publisher)"
[ "$(value NoModify)" = 0x1 ] && [ "$(value NoRepair)" = 0x1 ] || fail "NoModify, NoRepair: $entry"
[[ $(value InstallLocation) == *'\AppData\Local\Programs\Dustral' ]] ||
  fail "InstallLocation: $(value InstallLocation)"
uninstaller=$(value UninstallString)
[ "$uninstaller" = "\"$(value InstallLocation)\\Uninstall.exe\"" ] || fail "UninstallString: $uninstaller"
! "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dustral' \
  >/dev/null 2>&1 || fail "an entry for all users was written"

# A setting of the user's, which the uninstaller must leave.
"$wine" reg add "$settings_key" /v "Del Hidden Files" /t REG_DWORD /d 1 /f >/dev/null

# The uninstaller copies itself into the temporary folder and goes on from
# there once the copy started has ended: wait for the prefix to go quiet.
"$wine" "${uninstaller//\"/}" /S >"$work/uninstall.log" 2>&1 || { cat "$work/uninstall.log"; fail "uninstall"; }
"$wineserver" -w

[ ! -e "$installed" ] || fail "left behind: $(find "$installed")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left"
! "$wine" reg query "$uninstall_key" >/dev/null 2>&1 || fail "the entry in the list of installed apps is left"
"$wine" reg query "$settings_key" /v "Del Hidden Files" >/dev/null 2>&1 ||
  fail "the user's settings were removed"

echo "$(basename "${installers[0]}") and $(basename "${zips[0]}"): installed, run and uninstalled"
