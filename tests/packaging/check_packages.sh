#!/usr/bin/env bash
# Tries the packages in DIST: the .deb's fields and files, its program run from the unpacked
# tree and lintian's verdict; the zip's files; the installer under Wine (WINEPREFIX and DISPLAY
# set up by the caller), silently into a temporary folder and silently out again.
set -euo pipefail
dist=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

deb=$(echo "$dist"/orlaspin_*_amd64.deb)
[[ -f $deb ]] || fail "no .deb in $dist"
version=$(dpkg-deb -f "$deb" Version)
[[ $(dpkg-deb -f "$deb" Package) == orlaspin ]] || fail "package name"
[[ $(dpkg-deb -f "$deb" Section) == graphics ]] || fail "section"
[[ $(dpkg-deb -f "$deb" Depends) == *libc6* ]] || fail "no library dependencies declared"
[[ $(dpkg-deb -f "$deb" Description) == *"ZX Spectrum"* ]] || fail "description"
listed=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in usr/bin/orlaspin-cli usr/share/man/man1/orlaspin-cli.1.gz \
    usr/share/bash-completion/completions/orlaspin-cli usr/share/zsh/site-functions/_orlaspin-cli \
    usr/share/fish/vendor_completions.d/orlaspin-cli.fish usr/share/doc/orlaspin/README.md \
    usr/share/doc/orlaspin/copyright usr/share/doc/orlaspin/changelog.gz; do
  grep -qx "./$file" <<< "$listed" || fail "the .deb lacks $file"
done
dpkg-deb -x "$deb" "$work/deb"
[[ $("$work/deb/usr/bin/orlaspin-cli" --version) == "orlaspin-cli $version (zlib "* ]] \
  || fail "the packaged program's --version"
lintian --fail-on error "$deb" || fail "lintian finds errors"

zip="$dist/orlaspin-$version-windows-x64.zip"
[[ $(zipinfo -1 "$zip" | sort | tr '\n' ' ') == "LICENSE README.md orlaspin-cli.exe orlaspin.exe " ]] \
  || fail "the zip holds $(zipinfo -1 "$zip" | tr '\n' ' ')"

folder="$work/programs/Orlaspin"
mkdir -p "$work/programs"
wine "$dist/orlaspin-$version-setup.exe" /S "/D=$(winepath -w "$folder")" > /dev/null 2>&1
for file in orlaspin.exe orlaspin-cli.exe README.md LICENSE Uninstall.exe; do
  [[ -f $folder/$file ]] || fail "the installer did not install $file"
done
[[ $(wine "$folder/orlaspin-cli.exe" --version 2> /dev/null | tr -d '\r') == "orlaspin-cli $version (zlib "* ]] \
  || fail "the installed orlaspin-cli.exe --version"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orlaspin' > /dev/null 2>&1 \
  || fail "no uninstaller registered"
[[ -n $(find "$WINEPREFIX/drive_c" -name 'Orlaspin.lnk') ]] || fail "no Start-menu shortcut"

# The uninstaller runs on from a copy of itself; it is done when its folder has gone.
wine "$folder/Uninstall.exe" /S > /dev/null 2>&1
for _ in $(seq 100); do [[ -e $folder ]] || break; sleep 0.3; done
[[ -z $(ls -A "$work/programs") ]] || fail "the uninstaller left $(ls -A "$folder")"
[[ -z $(find "$WINEPREFIX/drive_c" -name 'Orlaspin.lnk') ]] || fail "the shortcut stays"
echo "packages: all checks passed"
