#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks what a user installs: the files and
# where they go, the computed Depends, the desktop entry and the AppStream metainfo with the
# screenshots it names, and man pages that name every option of lunetta-compose.
#   package_test.sh <build dir> <source dir> <scratch dir>
# Exits 77 (skipped) where the Debian tools are missing.
set -euo pipefail
build=$1 source=$2 work=$3

for tool in dpkg-deb dpkg-shlibdeps cpack appstreamcli desktop-file-validate; do
  if ! command -v "$tool" >/dev/null; then
    echo "package test skipped: $tool is not installed"
    exit 77
  fi
done

failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log"
  exit 1
}
debs=("$work"/lunetta_*.deb)
[[ -f ${debs[0]} ]] || { echo "no package in $work"; exit 1; }
deb=${debs[0]}
echo "built $(basename "$deb")"

listing=$(dpkg-deb -c "$deb" | awk '{print $6}')
metainfo=io.github.lunetta_developers.lunetta.metainfo.xml
for file in ./usr/bin/lunetta ./usr/bin/lunetta-compose ./usr/share/lunetta/holiday.dat \
  ./usr/share/applications/lunetta.desktop ./usr/share/icons/hicolor/scalable/apps/lunetta.svg \
  ./usr/share/metainfo/$metainfo ./usr/share/man/man1/lunetta.1.gz \
  ./usr/share/man/man1/lunetta-compose.1.gz ./usr/share/doc/lunetta/README.md \
  ./usr/share/doc/lunetta/copyright ./usr/share/doc/lunetta/changelog.gz \
  ./usr/lib/lunetta/modules/photo-codecs.so; do
  grep -qxF "$file" <<<"$listing" || fail "$file is not in the package"
done
stray=$(grep -v -e '^\./$' -e '^\./usr/$' -e '^\./usr/bin/' -e '^\./usr/share/' -e '^\./usr/lib/$' \
  -e '^\./usr/lib/lunetta/' <<<"$listing" || true)
[[ -z $stray ]] || fail "files outside /usr/bin, /usr/lib/lunetta and /usr/share: $stray"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Computed from the binaries, and what Qt loads at run time.
for package in libqt6widgets6 libqt6printsupport6 libqt6svg6 libc6 libheif1 qt6-image-formats-plugins \
  fonts-roboto-unhinted fonts-ipafont-gothic fonts-liberation2; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
cmp -s "$root/usr/share/lunetta/holiday.dat" "$source/data/holiday.dat" ||
  fail "the packaged holiday.dat is not data/holiday.dat"
# validate-tree also checks that the metainfo's launchable is the installed desktop entry.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli rejects the metainfo"
for shot in $(grep -o '<image[^>]*>[^<]*' "$root/usr/share/metainfo/$metainfo" | sed 's|.*/||'); do
  [[ -f $root/usr/share/doc/lunetta/screenshots/$shot ]] || fail "the package lacks screenshot $shot"
done
entry="$root/usr/share/applications/lunetta.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
grep -qxF "Exec=/usr/bin/lunetta" "$entry" || fail "the desktop entry does not run /usr/bin/lunetta"
# Started in the user's home, not in a data folder: the save dialog must never propose that.
! grep -q '^Path=' "$entry" || fail "the desktop entry sets a working folder"

# The installed programs find their codecs module where it is installed.
if command -v heif-enc >/dev/null; then
  heif-enc -o "$work/photo.heic" "$source/packaging/screenshots/main-window.png" >/dev/null
  "$root/usr/bin/lunetta-compose" --photo "$work/photo.heic" --out "$work/from-heic.jpg" ||
    fail "the installed lunetta-compose cannot open a HEIC photo"
fi

manual=$(gzip -dc "$root/usr/share/man/man1/lunetta-compose.1.gz" | sed 's/\\-/-/g')
options=$("$build/bin/lunetta-compose" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
for option in $options; do
  grep -qF -- "$option" <<<"$manual" || fail "lunetta-compose(1) does not describe $option"
done

if ((failures > 0)); then
  echo "$failures failure(s)"
  exit 1
fi
echo "package checks passed"
