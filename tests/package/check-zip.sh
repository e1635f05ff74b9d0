#!/usr/bin/env bash
# Unpacks the release zip and checks what a drafter gets: exactly the four files under ASCII
# names, the BAT byte for byte, a Shift-JIS CR LF readme, the licence, and a 32-bit exe whose
# version resource carries the version of the project() line.
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
expected=$'pardim.exe\npardim.bat\nreadme.txt\nLICENSE'
[ "$names" = "$expected" ] || fail "members are [$names], expected [$expected]"
unzip -q "$zip" -d "$tmp"

cmp -s "$tmp/pardim.bat" "packaging/平行寸法線.bat" || fail "pardim.bat differs from packaging/平行寸法線.bat"
cmp -s "$tmp/LICENSE" LICENSE || fail "LICENSE differs from the repository's"

readme="$tmp/readme.txt"
iconv -f CP932 -t UTF-8 "$readme" > "$tmp/readme.utf8" || fail "readme.txt is not valid Shift-JIS"
iconv -f UTF-8 -t CP932 "$tmp/readme.utf8" | cmp -s - "$readme" || fail "readme.txt does not survive a round trip through CP932"
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" != efbbbf ] || fail "readme.txt starts with a BOM"
# Every line ends in CR LF: no bare LF, no bare CR, and the last line ends too.
LC_ALL=C grep -q $'[^\r]$' "$readme" && fail "readme.txt has a line without CR LF"
LC_ALL=C grep -q $'^$' "$readme" && fail "readme.txt has a line without CR LF"
[ "$(tr -d '\n' < "$readme" | tr -cd '\r' | wc -c)" -eq "$(tr -cd '\n' < "$readme" | wc -c)" ] ||
    fail "readme.txt has a CR that does not end a line"
[ "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "readme.txt does not end in CR LF"
grep -q "平行寸法線.*$version" "$tmp/readme.utf8" || fail "readme.txt does not name the tool and version $version"

exe="$tmp/pardim.exe"
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
