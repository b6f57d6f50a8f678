#!/usr/bin/env bash
# Checks a built kaede-address package without installing it: its contents and control data,
# the desktop entries, the metainfo and the manual pages; then unpacks it into a scratch root
# and runs the unpacked kaede there from a home folder with no dictionary of its own, which
# must answer postal look-ups from the dictionary in the package, with no network.
#   check-package.sh PACKAGE.deb
#   check-package.sh --build BUILD   (packs the build first, into a scratch folder: the test run)
set -euo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "check-package: $*" >&2; exit 1; }
if [ "$1" = "--build" ]; then
  cpack -G DEB --config "$2/CPackConfig.cmake" -B "$work/pack" > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
  deb="$(ls "$work"/pack/kaede-address_*.deb)"
else
  deb="$(realpath "$1")"
fi

dpkg-deb -I "$deb" > "$work/control"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/contents"
grep -q '^ Package: kaede-address$' "$work/control" || fail "not the kaede-address package"
grep -q '^ Depends:.*libqt6widgets6' "$work/control" || fail "no library dependencies (dpkg-shlibdeps)"
for f in /usr/bin/KaedeAddress /usr/bin/KaedeZip /usr/bin/kaede \
         "/usr/share/KaedeAddress/住所録.kad" /usr/share/KaedeAddress/help/index.html \
         /usr/share/KaedeAddress/cards/Stamp1.bmp \
         /usr/share/KaedeAddress/postal/Ken.dat /usr/share/KaedeAddress/postal/City.dat \
         /usr/share/KaedeAddress/postal/Postal.dat /usr/share/KaedeAddress/postal/Source.txt \
         /usr/share/applications/KaedeAddress.desktop /usr/share/applications/KaedeZip.desktop \
         /usr/share/mime/packages/kaede-address-book.xml \
         /usr/share/icons/hicolor/scalable/apps/kaede-address.svg \
         /usr/share/icons/hicolor/scalable/mimetypes/application-x-kaede-address-book.svg \
         /usr/share/metainfo/org.kaedeproject.KaedeAddress.metainfo.xml \
         /usr/share/man/man1/kaede.1.gz /usr/share/man/man1/KaedeAddress.1.gz /usr/share/man/man1/KaedeZip.1.gz; do
  grep -qxF "$f" "$work/contents" || fail "missing $f"
done
if grep -v -e '^/usr/' -e '^/$' "$work/contents" | grep -q .; then fail "files outside /usr"; fi

root="$work/root"
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root/usr/share/metainfo/org.kaedeproject.KaedeAddress.metainfo.xml"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  out=$(MANWIDTH=80 man -l "$page" 2>&1 >/dev/null) || fail "man -l $page failed"
  [ -z "$out" ] || fail "man -l $page: $out"
  MANWIDTH=80 man -l "$page" | grep -q . || fail "man -l $page shows nothing"
done
zcat "$root/usr/share/man/man1/kaede.1.gz" | grep -q '^\.B kaede postal' || fail "kaede(1) lists no commands"

# the unpacked programs, from a home folder without a dictionary
mkdir "$work/home"
run() { env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 "$root/usr/bin/kaede" "$@"; }
[ "$(run postal 1530064)" = "東京都目黒区下目黒" ] || fail "kaede postal 1530064: $(run postal 1530064 2>&1)"
run address 東京都目黒区下目黒三丁目 | grep -q '^1530064 東京都目黒区下目黒$' || fail "kaede address"
run postal --info | grep -q "^同梱の郵便番号辞書（.*）: $root/usr/share/KaedeAddress/postal/$" || fail "kaede postal --info: $(run postal --info)"
version=$(sed -n 's/^ Version: //p' "$work/control")
[ "$(run --version)" = "kaede (Kaede Address) $version" ] || fail "kaede --version: $(run --version)"
# the window programs answer --version on the terminal, without a display and without opening a window
for prog in KaedeAddress KaedeZip; do
  got=$(env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 ASAN_OPTIONS=detect_leaks=0 timeout 20 "$root/usr/bin/$prog" --version 2>&1) || true
  [ "$got" = "$prog (Kaede Address) $version" ] || fail "$prog --version: $got"
done
grep -q "version=\"$version\"" "$root/usr/share/metainfo/org.kaedeproject.KaedeAddress.metainfo.xml" || fail "metainfo version"
echo "check-package: $(basename "$deb") is sound ($(wc -l < "$work/contents") entries)"
