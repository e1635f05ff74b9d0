#!/usr/bin/env bash
# Unpacks the release zip and checks what a drafter gets: one folder pardim/ holding exactly the
# five files under ASCII names, both BATs byte for byte (Shift-JIS, CR LF; the continuous one with
# the directives of the first and #hr, starting the exe with /quick), a Shift-JIS CR LF readme
# that names the version, the licence as LICENSE.txt in CR LF, and a 32-bit exe whose version
# resource carries the version of the project() line.
# Usage: tests/package/check-zip.sh [BUILD_DIR]   (default build/windows-x86, after --target package)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/windows-x86}

fail() { echo "check-zip: $*" >&2; exit 1; }

# The version is read from the project() line itself, not from the build.
version=$(sed -n 's/^project(pardim VERSION \([0-9]*\.[0-9]*\.[0-9]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in the project() line of CMakeLists.txt"
zip="$build/pardim-$version.zip"
[ -f "$zip" ] || fail "$zip is missing"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

names=$(unzip -Z1 "$zip")
expected=$'pardim/pardim.exe\npardim/pardim.bat\npardim/pardim_rep.bat\npardim/readme.txt\npardim/LICENSE.txt'
[ "$names" = "$expected" ] || fail "members are [$names], expected [$expected]"
unzip -q "$zip" -d "$tmp"
[ "$(ls -A "$tmp")" = pardim ] || fail "the zip does not unpack into the one folder pardim"
dir="$tmp/pardim"

# Every line of a text file ends in CR LF: no bare LF, no bare CR, and the last line ends too.
crlf() {
    ! LC_ALL=C grep -q $'[^\r]$' "$1" && ! LC_ALL=C grep -q $'^$' "$1" &&
        [ "$(tr -d '\n' < "$1" | tr -cd '\r' | wc -c)" -eq "$(tr -cd '\n' < "$1" | wc -c)" ] &&
        [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ]
}

cmp -s "$dir/pardim.bat" "packaging/平行寸法線.bat" || fail "pardim.bat differs from packaging/平行寸法線.bat"
crlf "$dir/pardim.bat" || fail "pardim.bat has a line without CR LF"
iconv -f CP932 -t UTF-8 "$dir/pardim.bat" > /dev/null || fail "pardim.bat is not valid Shift-JIS"
# The continuous BAT: its own memo, the directives of pardim.bat and #hr (the host repeats the
# run), and the exe started with /quick.
rep="$dir/pardim_rep.bat"
cmp -s "$rep" "packaging/平行寸法線（連続）.bat" || fail "pardim_rep.bat differs from packaging/平行寸法線（連続）.bat"
crlf "$rep" || fail "pardim_rep.bat has a line without CR LF"
iconv -f CP932 -t UTF-8 "$rep" | tr -d '\r' > "$tmp/rep.utf8" || fail "pardim_rep.bat is not valid Shift-JIS"
[ "$(head -1 "$tmp/rep.utf8")" = "REM 平行寸法線（連続）" ] || fail "pardim_rep.bat's memo is not 平行寸法線（連続）"
directives() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r' | sed -n '2,/^REM #e$/p'; }
for d in '#hr' '#1-%d .*' '#2 .*' '#3 .*' '#e'; do
    directives "$rep" | grep -qx "REM $d" || fail "pardim_rep.bat has no directive REM $d"
done
! directives "$dir/pardim.bat" | grep -qx 'REM #hr' || fail "pardim.bat repeats itself (#hr)"
[ "$(directives "$rep" | grep -vx 'REM #hr')" = "$(directives "$dir/pardim.bat")" ] ||
    fail "pardim_rep.bat's directives are not those of pardim.bat and #hr"
grep -qx 'start "" /wait "%~dp0pardim.exe" /quick' "$tmp/rep.utf8" ||
    fail "pardim_rep.bat does not start pardim.exe with /quick"
crlf "$dir/LICENSE.txt" || fail "LICENSE.txt has a line without CR LF"
tr -d '\r' < "$dir/LICENSE.txt" | cmp -s - LICENSE || fail "LICENSE.txt differs from the repository's LICENSE"

readme="$dir/readme.txt"
iconv -f CP932 -t UTF-8 "$readme" > "$tmp/readme.utf8" || fail "readme.txt is not valid Shift-JIS"
iconv -f UTF-8 -t CP932 "$tmp/readme.utf8" | cmp -s - "$readme" || fail "readme.txt does not survive a round trip through CP932"
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" != efbbbf ] || fail "readme.txt starts with a BOM"
crlf "$readme" || fail "readme.txt has a line without CR LF"
head -1 "$tmp/readme.utf8" | grep -q "平行寸法線.*$version" ||
    fail "readme.txt's title line does not name the tool and version $version"
grep -q "^$version " "$tmp/readme.utf8" || fail "readme.txt's change log has no entry for $version"

exe="$dir/pardim.exe"
i686-w64-mingw32-objdump -f "$exe" | grep -q 'file format pei-i386' || fail "pardim.exe is not PE32 (i386)"

# The version resource: the fixed block's signature and file version, then the strings, read as
# UTF-16 from the resource section (the resource compiler keeps them 2-byte aligned).
i686-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$tmp/rsrc"
IFS=. read -r major minor patch <<< "$version"
le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
fixed=bd04effe00000100$(le32 $((major << 16 | minor)))$(le32 $((patch << 16)))
od -An -v -tx1 "$tmp/rsrc" | tr -d ' \n' | grep -q "$fixed" ||
    fail "no fixed version block $version.0 in pardim.exe"
# Each key follows its entry's three length and type words, which decode to stray characters on
# the key's line; the value is the next string.
iconv -c -f UTF-16LE -t UTF-8 "$tmp/rsrc" | tr '\0' '\n' | grep -av '^$' > "$tmp/strings" || true
for pair in "FileVersion $version" "ProductVersion $version" "ProductName pardim" "FileDescription 平行寸法線"; do
    key=${pair%% *} value=${pair#* }
    [ "$(grep -a -A1 "$key\$" "$tmp/strings" | sed -n 2p)" = "$value" ] ||
        fail "version resource: $key is not \"$value\""
done

echo "check-zip: $zip is complete (pardim $version)"
