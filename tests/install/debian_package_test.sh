#!/usr/bin/env bash
# The Debian package cpack makes of this build, read with dpkg-deb:
#  - its name, version, maintainer, and dependencies that dpkg-shlibdeps found for every shared
#    library the programs and the module load;
#  - the installed tree under /usr; unpacked elsewhere, zantel-tui answers --version and, given
#    no module, looks for the one under the package's lib/zantel.
# Usage: debian_package_test.sh CPACK BUILD_DIR VERSION
set -uo pipefail

cpack=$1
build_dir=$2
version=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/zantel-deb-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAILED: $*"
  exit 1
}

command -v dpkg-deb >/dev/null || fail "dpkg-deb is missing (scripts/setup installs dpkg-dev)"
"$cpack" -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
packages=("$work"/out/zantel_"$version"_*.deb)
[ ${#packages[@]} = 1 ] && [ -f "${packages[0]}" ] || fail "cpack made no zantel_${version}_*.deb"
package=${packages[0]}

field() { dpkg-deb -f "$package" "$1"; }
[ "$(field Package)" = zantel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[[ $(field Maintainer) == *"<"*"@"*">" ]] || fail "Maintainer: '$(field Maintainer)'"
depends=$(field Depends)
for library in libc6 libstdc++6 libncursesw6 libpcre2-8-0 libsqlite3-0; do
  [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library: $depends"
done

listed=$(dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $NF}' | LC_ALL=C sort)
expected="./usr/bin/zantel-phonesim
./usr/bin/zantel-tool
./usr/bin/zantel-tui
./usr/lib/zantel/ZantelEng.hlf
./usr/lib/zantel/ZantelEng.lng
./usr/lib/zantel/ZantelRus.hlf
./usr/lib/zantel/ZantelRus.lng
./usr/lib/zantel/zantel.so
./usr/share/doc/zantel/README.md"
[ "$listed" = "$expected" ] ||
  fail "the package holds other files:$(diff <(echo "$expected") <(echo "$listed"))"

dpkg-deb -x "$package" "$work/root" || fail "the package does not unpack"
answer=$("$work/root/usr/bin/zantel-tui" --version 2>&1)
[ "$answer" = "zantel-tui $version" ] || fail "zantel-tui --version: '$answer'"
rm "$work/root/usr/lib/zantel/zantel.so"
answer=$(cd "$work" && "$work/root/usr/bin/zantel-tui" 2>&1 </dev/null)
[[ $answer == *"no plug-in module at \"$work/root/usr/lib/zantel/zantel.so\""* ]] ||
  fail "zantel-tui does not look for the package's module: '$answer'"
echo "$(basename "$package"): Depends: $depends"
