#!/usr/bin/env bash
# Checks that Callvista installs like a Linux desktop program: `cmake --install`
# into a scratch root puts exactly the expected files in their places, the
# desktop entry and the AppStream data validate, and `cpack` makes a Debian
# package with the Qt runtime in its Depends and the same files inside, whose
# executable starts from a clean root and on which lintian reports no error
# and no warning.
#
# Usage: check_install.sh BUILD_DIR
# The build folder must hold a built `callvista`. CMAKE and CPACK name the
# tools to use, APP_ID the desktop id and VERSION the project version, and
# CONFIGURED_MAINTAINER the maintainer the build was configured with, if
# any; CTest sets all five. The package is made in the name of the
# DEBFULLNAME and DEBEMAIL the test is run with, or of a test packager.
set -uo pipefail

build=$(cd "${1:?usage: check_install.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
cmake=${CMAKE:-cmake}
cpack=${CPACK:-cpack}
id=${APP_ID:-org.callvista.Callvista}
version=${VERSION:?VERSION must name the project version}

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
stop() {
  echo "FAIL: $*" >&2
  exit 1
}

missing=()
for tool in desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps lintian readelf ldd timeout \
  update-mime-database gio; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
# Without its tools the check cannot run at all: CTest counts exit code 77
# as skipped, with this reason.
if [ ${#missing[@]} -ne 0 ]; then
  echo "SKIP: missing tools: ${missing[*]} (install desktop-file-utils appstream dpkg-dev lintian binutils shared-mime-info libglib2.0-bin)"
  exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if [ -z "${CONFIGURED_MAINTAINER:-}" ]; then
  echo "== without DEBFULLNAME and DEBEMAIL the package is the login's, as dch names it"
  env -u DEBFULLNAME -u DEBEMAIL "$cpack" --config "$build/CPackConfig.cmake" -B "$tmp/login" \
    >"$tmp/login.log" 2>&1 || fail "cpack without DEBEMAIL failed: $(tail -n 3 "$tmp/login.log")"
  login_maintainer=$(dpkg-deb -f "$tmp"/login/callvista_*.deb Maintainer)
  [[ $login_maintainer == *"<$(id -un)@"*">" ]] ||
    fail "Maintainer '$login_maintainer' is not the login's address"
  rm -rf "$tmp/login"
  export DEBFULLNAME=${DEBFULLNAME:-Callvista test packager}
  export DEBEMAIL=${DEBEMAIL:-packager@test.callvista.example}
fi

# Width and height of a PNG file, from its IHDR chunk; empty when the file
# is not a PNG.
png_size() {
  local bytes
  read -r -a bytes <<<"$(od -An -tu1 -N24 "$1" | tr '\n' ' ')"
  [ "${bytes[*]:0:8}" = "137 80 78 71 13 10 26 10" ] || return 0
  echo "$(((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19]))x$(((bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23]))"
}

sizes=(16 32 48 64 128 256)
expected=(
  usr/bin/callvista
  usr/share/doc/callvista/copyright
  usr/share/doc/callvista/changelog.gz
  usr/share/man/man1/callvista.1.gz
  "usr/share/applications/$id.desktop"
  "usr/share/metainfo/$id.metainfo.xml"
  "usr/share/mime/packages/$id.xml"
  "usr/share/icons/hicolor/scalable/apps/$id.svg"
)
for size in "${sizes[@]}"; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
expected_list=$(printf '%s\n' "${expected[@]}" | sort)

echo "== cmake --install into a scratch root"
stage=$tmp/stage
DESTDIR=$stage "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" 2>&1 ||
  { cat "$tmp/install.log" >&2; stop "cmake --install failed"; }

installed_list=$(cd "$stage" && find . -type f -o -type l | sed 's|^\./||' | sort)
[ "$installed_list" = "$expected_list" ] ||
  fail "installed files differ from the expected ones:
$(diff <(echo "$expected_list") <(echo "$installed_list"))"

[ -x "$stage/usr/bin/callvista" ] || fail "usr/bin/callvista is not executable"
# callvista.org is nobody's site; an address or link there is a placeholder.
placeholders=$(grep -rl 'callvista\.org' "$stage")
[ -z "$placeholders" ] || fail "files name the placeholder domain callvista.org: $placeholders"
for size in "${sizes[@]}"; do
  png=$stage/usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || continue
  got=$(png_size "$png")
  [ "$got" = "${size}x${size}" ] || fail "$size px icon is '${got:-not a PNG}'"
done
svg=$stage/usr/share/icons/hicolor/scalable/apps/$id.svg
[ -f "$svg" ] && { grep -q '<svg' "$svg" || fail "scalable icon is not an SVG"; }

desktop=$stage/usr/share/applications/$id.desktop
metainfo=$stage/usr/share/metainfo/$id.metainfo.xml

echo "== desktop entry"
if [ -f "$desktop" ]; then
  out=$(desktop-file-validate "$desktop" 2>&1)
  rc=$?
  echo "${out:-desktop-file-validate: no findings}"
  [ $rc -eq 0 ] && ! grep -qE '(error|warning):' <<<"$out" ||
    fail "desktop-file-validate reported problems"
  grep -qx "Icon=$id" "$desktop" || fail "desktop entry does not name the icon $id"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$stage/usr/bin/$exec_name" ] || fail "desktop entry runs '$exec_name', which is not installed"
  grep -qE '^Exec=[^ ]+ %f$' "$desktop" || fail "desktop entry does not hand the program a file (%f)"
  grep -qx 'MimeType=application/x-callvista;' "$desktop" ||
    fail "desktop entry does not name the document type application/x-callvista"
fi

echo "== document type"
mime_xml=$stage/usr/share/mime/packages/$id.xml
if [ -f "$mime_xml" ]; then
  # The database is built from the installed file alone, in a scratch data
  # folder, and asked as a file manager asks: by name, in both letter cases.
  mkdir -p "$tmp/xdg/mime/packages" "$tmp/docs"
  cp "$mime_xml" "$tmp/xdg/mime/packages/"
  out=$(update-mime-database -V "$tmp/xdg/mime" 2>&1) || fail "update-mime-database failed: $out"
  grep -qiE 'error|warning' <<<"$out" && fail "update-mime-database reported: $out"
  for name in book.CVA book.cva; do
    printf 'Adams\r\nAnn\r\n555\r\n' >"$tmp/docs/$name"
    type=$(XDG_DATA_DIRS=$tmp/xdg XDG_DATA_HOME=$tmp/none gio info -a standard::content-type "$tmp/docs/$name" |
      sed -n 's/^ *standard::content-type: //p')
    [ "$type" = application/x-callvista ] || fail "$name is of type '$type', not application/x-callvista"
  done
fi

echo "== AppStream metainfo"
if [ -f "$metainfo" ]; then
  appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate failed"
  appstreamcli validate-tree --no-net --strict "$stage" || fail "appstreamcli validate-tree failed"
  grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $id.desktop"
  grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "metainfo does not name the MIT licence"
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)
  [ "$newest" = "$version" ] || fail "newest release in metainfo is '$newest', the project is $version"
fi

echo "== copyright and changelog"
copyright=$stage/usr/share/doc/callvista/copyright
if [ -f "$copyright" ]; then
  [ "$(head -1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "copyright does not start with the machine-readable format's Format line"
  # Paragraphs are separated by empty lines; the one for every file must
  # carry the holder and licence of LICENSE, and the standalone Expat
  # paragraph its text, with " ." for the empty lines.
  paragraph() { awk -v RS= -v head="$1" 'index($0, head "\n") == 1' "$copyright"; }
  all_files=$(paragraph 'Files: *')
  holder=$(sed -n 's/^Copyright (c) //p' "$source_dir/LICENSE")
  grep -qxF "Copyright: $holder" <<<"$all_files" ||
    fail "copyright's 'Files: *' paragraph does not name '$holder' of LICENSE: '$all_files'"
  grep -qx 'License: Expat' <<<"$all_files" || fail "copyright does not put all files under Expat"
  licence_text=$(paragraph 'License: Expat' | tail -n +2 | sed 's/^ //; s/^\.$//')
  [ "$licence_text" = "$(sed -n '/^Permission/,$p' "$source_dir/LICENSE")" ] ||
    fail "copyright's Expat text differs from LICENSE:
$(diff <(sed -n '/^Permission/,$p' "$source_dir/LICENSE") <(echo "$licence_text"))"
fi
changelog_gz=$stage/usr/share/doc/callvista/changelog.gz
if [ -f "$changelog_gz" ]; then
  gzip -dc "$changelog_gz" >"$tmp/changelog" || fail "changelog.gz does not decompress"
  changelog() { dpkg-parsechangelog -l "$tmp/changelog" -S "$1"; }
  [ "$(changelog Version)" = "$version" ] ||
    fail "newest changelog entry is '$(changelog Version)', the project is $version"
  if [ -n "${newest:-}" ]; then
    day=$(date -u -d "$(changelog Date | cut -d' ' -f2-4)" +%F)
    [ "$day" = "$(grep -o '<release version="[^"]*" date="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f4)" ] ||
      fail "newest changelog entry is dated $day, not as the newest release in metainfo"
  fi
fi

echo "== cpack"
pkg=$tmp/pkg
"$cpack" --config "$build/CPackConfig.cmake" -B "$pkg" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; stop "cpack failed"; }
debs=("$pkg"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || stop "cpack made ${#debs[@]} .deb files: ${debs[*]}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "callvista_${version}_${arch}.deb" ] || fail "package file is named $(basename "$deb")"

dpkg-deb --info "$deb"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = callvista ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project is $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
grep -qE '^.+ <[^@ ]+@[^> ]+>$' <<<"$(field Maintainer)" || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ -n "$(field Section)" ] || fail "no Section"
[ ! -f "$tmp/changelog" ] || [ "$(changelog Maintainer)" = "$(field Maintainer)" ] ||
  fail "changelog is signed by '$(changelog Maintainer)', the package's Maintainer is '$(field Maintainer)'"
homepage=$(field Homepage)
[ -z "$homepage" ] || grep -q '^https://' <<<"$homepage" || fail "Homepage '$homepage' is not an https URL"
dpkg-deb --field "$deb" | grep 'callvista\.org' && fail "package fields name the placeholder domain callvista.org"
description=$(field Description)
[ "$(wc -l <<<"$description")" -ge 2 ] || fail "Description has no long part"
awk 'length > 80 { bad = 1 } END { exit bad }' <<<"$description" || fail "Description has lines over 80 characters"

depends=$(field Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
  pattern=$(sed 's/[+.]/\\&/g' <<<"$lib")
  grep -qE "(^|, )$pattern \(>= [^)]+\)" <<<"$depends" || fail "Depends lacks a versioned $lib: '$depends'"
done

dpkg-deb --contents "$deb" >"$tmp/contents"
awk '$6 !~ /^\.\/usr\// { print; bad = 1 } END { exit bad }' "$tmp/contents" ||
  fail "the package has entries outside /usr"
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' "$tmp/contents" ||
  fail "the package has entries not owned by root"
awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print; bad = 1 }
     $1 ~ /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x" { print; bad = 1 }
     $1 ~ /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print; bad = 1 }
     END { exit bad }' "$tmp/contents" || fail "the package has entries with unusual modes"
packaged_list=$(awk '$1 ~ /^-/ { sub(/^\.\//, "", $6); print $6 }' "$tmp/contents" | sort)
[ "$packaged_list" = "$expected_list" ] ||
  fail "packaged files differ from the expected ones:
$(diff <(echo "$expected_list") <(echo "$packaged_list"))"

echo "== lintian"
# Informational tags are shown too; each one left is explained in
# cmake/packaging.cmake. Errors and warnings fail.
lintian --display-info --fail-on error,warning "$deb" 2>&1 |
  grep -v '^running with root privileges is not recommended' >"$tmp/lintian.log"
rc=${PIPESTATUS[0]}
cat "$tmp/lintian.log"
[ -s "$tmp/lintian.log" ] || echo "lintian: no tags"
grep -qE '^[EW]: ' "$tmp/lintian.log" && fail "lintian reports errors or warnings"
[ $rc -eq 0 ] || fail "lintian ended with status $rc"

echo "== the packaged program in a clean root"
root=$tmp/root
dpkg-deb -x "$deb" "$root" || stop "dpkg-deb -x failed"
program=$root/usr/bin/callvista
[ -x "$program" ] || stop "the package has no executable usr/bin/callvista"
[ "$(od -An -c -N4 "$program" | tr -d ' ')" = '177ELF' ] || fail "usr/bin/callvista is not an ELF executable"
# Stripped in the package, with symbols in the build folder.
sections=$(readelf -SW "$program")
grep -qE ' \.(symtab|debug_[a-z]+|comment) ' <<<"$sections" &&
  fail "the packaged program is not stripped: $(grep -oE ' \.(symtab|debug_[a-z]+|comment) ' <<<"$sections" | tr -d '\n')"
# Read whole before grep: with pipefail, grep -q leaving early would fail
# readelf with SIGPIPE whenever its output runs past one pipe write.
grep -q ' \.symtab ' <<<"$(readelf -SW "$build/app/callvista")" ||
  fail "the program in the build folder has lost its symbols"
grep -qE 'FLAGS_1.* NOW' <<<"$(readelf -d "$program")" ||
  fail "the packaged program does not bind at start (-z now)"
runpath=$(readelf -d "$program" | grep -E 'R(UN)?PATH')
[ -z "$runpath" ] || fail "the packaged program keeps a library path: $runpath"
unresolved=$(ldd "$program" | grep 'not found')
[ -z "$unresolved" ] || fail "libraries not found: $unresolved"
# A program that is still running after two seconds has found its libraries,
# plugins and resources; timeout then ends it with status 124.
QT_QPA_PLATFORM=offscreen timeout 2 "$program" >"$tmp/run.log" 2>&1
rc=$?
[ $rc -eq 124 ] || { cat "$tmp/run.log" >&2; fail "the packaged program ended with status $rc at start"; }

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "Desktop integration and package checks passed"
