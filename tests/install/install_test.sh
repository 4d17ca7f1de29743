#!/usr/bin/env bash
# The installed tree as a user gets it: `cmake --install` of this build into a scratch prefix,
# which is then moved elsewhere (nothing may lead back to the build or the first prefix).
#  - exactly the programs, the module with its language and help files, and the read-me;
#  - no run path in any installed program or module;
#  - every program answers --version with the project's version, the tool converts a text;
#  - zantel-tui given only a folder loads the module installed beside it, in tmux: its help (the
#    .hlf beside the module) and its disk-menu item (a message of the .lng beside the module)
#    show, F10 ends it with status 0; with that module gone it says where it looked.
# Usage: install_test.sh CMAKE BUILD_DIR VERSION
set -uo pipefail
unset TMUX

cmake=$1
build_dir=$2
version=$3

work=$(mktemp -d "${TMPDIR:-/tmp}/zantel-install-test.XXXXXX")
socket="zantel-install-test-$$"
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

window=zi
# shellcheck source=../support/tmux_screen.sh
source "$(dirname "$0")/../support/tmux_screen.sh"
fail() {
  echo "FAILED: $*"
  if tmux -L "$socket" has-session -t "$window" 2>/dev/null; then
    echo "---- screen ----"
    screen
    echo "---- host's standard error ----"
    cat "$work/stderr" 2>/dev/null
  fi
  exit 1
}

"$cmake" --install "$build_dir" --prefix "$work/prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install failed"; }
mv "$work/prefix" "$work/moved"
tree=$work/moved

expected="bin/zantel-phonesim
bin/zantel-tool
bin/zantel-tui
lib/zantel/ZantelEng.hlf
lib/zantel/ZantelEng.lng
lib/zantel/ZantelRus.hlf
lib/zantel/ZantelRus.lng
lib/zantel/zantel.so
share/doc/zantel/README.md"
installed=$(cd "$tree" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] ||
  fail "the installed files differ from what belongs there:$(diff <(echo "$expected") <(echo "$installed"))"

for file in bin/zantel-phonesim bin/zantel-tool bin/zantel-tui lib/zantel/zantel.so; do
  paths=$(readelf -d "$tree/$file" | grep -E '\((RPATH|RUNPATH)\)')
  [ -z "$paths" ] || fail "$file carries a run path: $paths"
done

for program in zantel-tui zantel-phonesim zantel-tool; do
  answer=$("$tree/bin/$program" --version 2>&1)
  status=$?
  [ "$status" = 0 ] && [ "$answer" = "$program $version" ] ||
    fail "$program --version: status $status, '$answer' (want '$program $version')"
done

answer=$("$tree/bin/zantel-tool" charset decode --charset UCS2 004100420416 2>&1)
[ "$answer" = "ABЖ" ] || fail "the installed zantel-tool decoded '$answer'"

# The module gone, zantel-tui says where it looked for it and takes no terminal.
mv "$tree/lib/zantel/zantel.so" "$work/zantel.so"
answer=$(cd "$work" && "$tree/bin/zantel-tui" 2>&1 </dev/null)
status=$?
[ "$status" = 1 ] && [[ $answer == *"no plug-in module at \"$tree/lib/zantel/zantel.so\""* ]] ||
  fail "zantel-tui without its module: status $status, '$answer'"
mv "$work/zantel.so" "$tree/lib/zantel/zantel.so"

command -v tmux >/dev/null || fail "tmux is missing (scripts/setup installs it)"

mkdir -p "$work/files"
# Started by the name a shell finds in PATH: the program finds its tree all the same. A lone
# folder argument is the file panel's, not a module.
tmux -L "$socket" -f /dev/null new-session -d -s zi -x 100 -y 30 \
  "cd '$work' && env PATH='$tree/bin':/usr/bin:/bin TERM=tmux-256color LANG=C.UTF-8 \
   ZANTEL_REGISTRY='$work/registry.sqlite3' zantel-tui '$work/files' 2>'$work/stderr'; \
   echo \$? >'$work/status'; sleep 60"
expect_screen "10Quit"
expect_screen " $work/files "
keys F1
expect_screen "Zantel: a mobile phone in a panel"
keys Escape
expect_not_screen "Zantel: a mobile phone in a panel"
keys M-F1
expect_screen "Mobile phone book"
keys Escape
expect_not_screen "Mobile phone book"
keys F10
for _ in $(seq 100); do
  [ -f "$work/status" ] && break
  sleep 0.1
done
[ "$(cat "$work/status" 2>/dev/null)" = 0 ] ||
  fail "F10 did not end zantel-tui with status 0 ($(cat "$work/status" 2>/dev/null))"
echo "installed, moved and run from $tree"
