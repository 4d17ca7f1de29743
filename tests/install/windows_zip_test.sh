#!/usr/bin/env bash
# The zip a Far user unpacks into Far's Plugins folder, made by cpack from this Windows build:
#  - one folder, Zantel/, with exactly the DLL, the language and help files and ReadMe.txt;
#  - the language and help files as in lang/;
#  - ReadMe.txt in CR LF lines of plain ASCII (the OEM code page reads it as written), with the
#    project's version filled in;
#  - the DLL exports the .def file's names and imports only Windows' own DLLs (a Far user has
#    no mingw run-time beside Far).
# Usage: windows_zip_test.sh CMAKE CPACK BUILD_DIR SOURCE_DIR OBJDUMP VERSION
set -uo pipefail

cmake=$1
cpack=$2
build_dir=$3
source_dir=$4
objdump=$5
version=$6

work=$(mktemp -d "${TMPDIR:-/tmp}/zantel-zip-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*"
  exit 1
}

"$cpack" -G ZIP --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G ZIP failed"; }
zips=("$work"/out/*.zip)
[ ${#zips[@]} = 1 ] && [ -f "${zips[0]}" ] || fail "cpack made no single zip: ${zips[*]}"
zip=${zips[0]}

expected="Zantel/ReadMe.txt
Zantel/Zantel.dll
Zantel/ZantelEng.hlf
Zantel/ZantelEng.lng
Zantel/ZantelRus.hlf
Zantel/ZantelRus.lng"
listed=$("$cmake" -E tar tf "$zip" | grep -v '/$' | LC_ALL=C sort)
[ "$listed" = "$expected" ] ||
  fail "the zip holds other files than the plug-in folder's:$(diff <(echo "$expected") <(echo "$listed"))"

mkdir "$work/Plugins"
(cd "$work/Plugins" && "$cmake" -E tar xf "$zip") || fail "the zip does not unpack"
folder=$work/Plugins/Zantel

for name in ZantelEng.lng ZantelRus.lng ZantelEng.hlf ZantelRus.hlf; do
  cmp -s "$source_dir/lang/$name" "$folder/$name" || fail "$name differs from lang/$name"
done

readme=$folder/ReadMe.txt
[ "$(LC_ALL=C grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] ||
  fail "ReadMe.txt has a line without CR LF"
[ "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "ReadMe.txt's last line lacks CR LF"
LC_ALL=C grep -qP '[^\x00-\x7f]' "$readme" && fail "ReadMe.txt holds bytes beyond ASCII"
grep -q '@' "$readme" && fail "ReadMe.txt holds an unfilled @placeholder@"
grep -q "^Zantel $version " "$readme" || fail "ReadMe.txt does not name version $version"
for topic in 'Plugins' 'HKEY_CURRENT_USER\Software\Far\Plugins\Zantel' 'Port COM'; do
  grep -qF -- "$topic" "$readme" || fail "ReadMe.txt does not tell of '$topic'"
done

dump=$("$objdump" -p "$folder/Zantel.dll") || fail "$objdump cannot read Zantel.dll"
imports=$(grep -oE 'DLL Name: .+' <<<"$dump" | cut -c11- | tr '[:lower:]' '[:upper:]' | sort -u)
for dll in $imports; do
  case $dll in
    KERNEL32.DLL | MSVCRT.DLL | USER32.DLL | ADVAPI32.DLL | SHLWAPI.DLL) ;;
    *) fail "Zantel.dll imports $dll, which is not one of Windows' own DLLs" ;;
  esac
done
[ -n "$imports" ] || fail "no imports read from Zantel.dll"
exported=$(awk '/\[Ordinal\/Name Pointer\] Table/ {table = 1; next}
                table && /^\t\[/ {print $NF; next}
                table {exit}' <<<"$dump" | LC_ALL=C sort)
listed=$(grep -E '^  [A-Za-z]' "$source_dir/src/plugin/module/zantel.def" | tr -d ' \r' | LC_ALL=C sort)
[ -n "$exported" ] && [ "$exported" = "$listed" ] ||
  fail "Zantel.dll exports [$exported], the .def file lists [$listed]"
echo "$(basename "$zip"): $(wc -l <<<"$listed") exports, imports $(echo $imports)"
