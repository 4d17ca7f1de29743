#!/usr/bin/env bash
# The house rules a reader would otherwise check by hand, over the C and C++ sources of a tree:
#  - layers include only layers below them (and their own): plugin -> phonebook / sms -> phone ->
#    link -> settings -> farlib -> encoding -> regex -> farapi -> platform. phonebook and sms share
#    a rank; sms may include phonebook (a message shows phone-book names), never the reverse.
#    farapi's records rest on platform/abi.h, so farapi sits just above platform. The phone
#    simulator includes none of them: it is a second, independent implementation;
#  - the toolkit's UI part (farlib/ui: dialogs, menus, boxes) only in plugin/ and in itself: the
#    operations below ask and show through interfaces that plugin/ implements;
#  - OS headers and OS macros (_WIN32 and the like) only in the platform backends
#    (src/platform/posix, src/platform/win32), the test helpers that speak to the system
#    (tests/support/posix, tests/support/win32), the POSIX-only simulator's terminal
#    (phonesim/pty_port.cpp) and platform/abi.h, the one header that tells the host's calling
#    convention and packing apart; CMake files are not read;
#  - PCRE2 only in the regex facade.
# One line per breach, "file:line: rule"; the status is 1 when there is any.
#
#   check_layers.sh ROOT        checks the tree at ROOT
#   check_layers.sh --self-test plants each kind of breach in a small tree and checks that it is
#                               reported exactly, and that a clean tree passes
set -u

readonly kLayerRanks="platform:0 farapi:1 regex:2 encoding:3 farlib:4 settings:5 link:6 phone:7
phonebook:8 sms:8 plugin:9"
readonly kOsHeaders='windows\.h|win[a-z0-9]*\.h|shlwapi\.h|shlobj\.h|io\.h|direct\.h|conio\.h|unistd\.h|termios\.h|fcntl\.h|sys/[a-z0-9_/]+\.h|dlfcn\.h|pty\.h|poll\.h|signal\.h|pthread\.h|dirent\.h|netinet/[a-z0-9_]+\.h|arpa/[a-z0-9_]+\.h'
readonly kOsMacros='_WIN32|_WIN64|__WIN32__|__linux__|__unix__|__APPLE__|_MSC_VER|__MINGW32__|__CYGWIN__'
readonly kOsAllowed='^(src/platform/(posix|win32)/|tests/support/(posix|win32)/|phonesim/pty_port\.cpp$|src/platform/abi\.h$)'

rank_of() {
  local pair
  for pair in $kLayerRanks; do
    if [ "${pair%%:*}" = "$1" ]; then
      echo "${pair#*:}"
      return
    fi
  done
}

# The sources to read, relative to the root.
sources() {
  find src host tools tests phonesim fuzz bench -type f \
    \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' \) \
    2>/dev/null | LC_ALL=C sort
}

check_tree() {
  cd "$1" || return 2
  local breaches=0 file line number text included own own_rank included_rank
  while IFS= read -r file; do
    own=
    case $file in
      src/*/*) own=${file#src/} && own=${own%%/*} ;;
    esac
    own_rank=$(rank_of "$own")
    while IFS=: read -r number text; do
      included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z_]+)\/.*/\1/' <<<"$text")
      included_rank=$(rank_of "$included")
      [ -n "$included_rank" ] || continue
      if [ "${file%%/*}" = phonesim ]; then
        echo "$file:$number: the phone simulator includes the plug-in's $included/"
        breaches=1
      elif [ -n "$own_rank" ] && [ "$included" != "$own" ] &&
           [ "$included_rank" -ge "$own_rank" ] &&
           ! { [ "$own" = sms ] && [ "$included" = phonebook ]; }; then
        echo "$file:$number: $own/ includes $included/, which is not below it"
        breaches=1
      elif [ -n "$own_rank" ] && [ "$own" != plugin ] && [ "${file#src/farlib/ui/}" = "$file" ] &&
           grep -qE '"farlib/ui/' <<<"$text"; then
        echo "$file:$number: $own/ includes farlib/ui/, which only plugin/ may use"
        breaches=1
      fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' "$file")
    if ! grep -qE "$kOsAllowed" <<<"$file"; then
      while IFS=: read -r number text; do
        echo "$file:$number: OS header $(grep -oE '<[^>]+>' <<<"$text") outside the platform backends"
        breaches=1
      done < <(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($kOsHeaders)>" "$file")
      while IFS=: read -r number text; do
        echo "$file:$number: OS macro $(grep -oE "$kOsMacros" <<<"$text" | head -n 1) outside the platform backends"
        breaches=1
      done < <(grep -nwE "$kOsMacros" "$file")
    fi
    if [ "${file#src/regex/}" = "$file" ]; then
      while IFS=: read -r number text; do
        echo "$file:$number: PCRE2 outside src/regex"
        breaches=1
      done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<pcre2?\.h>' "$file")
    fi
  done < <(sources)
  return $breaches
}

# Each case: a file planted in a tree of otherwise clean files, with its text, and the one line
# the check must print for it ("" for a file that breaks nothing).
self_test() {
  local cases=(
    "src/link/up.cpp|#include \"phone/model_profiles.h\"|src/link/up.cpp:1: link/ includes phone/, which is not below it"
    "src/phonebook/peer.h|#include \"sms/pdu.h\"|src/phonebook/peer.h:1: phonebook/ includes sms/, which is not below it"
    "src/platform/up.h|#include \"farapi/far_api.h\"|src/platform/up.h:1: platform/ includes farapi/, which is not below it"
    "src/sms/names.cpp|#include \"phonebook/entry.h\"|"
    "src/plugin/down.cpp|  #  include \"platform/file.h\"|"
    "src/sms/box.cpp|#include \"farlib/ui/dialog.h\"|src/sms/box.cpp:1: sms/ includes farlib/ui/, which only plugin/ may use"
    "src/farlib/pure.cpp|#include \"farlib/ui/menu.h\"|src/farlib/pure.cpp:1: farlib/ includes farlib/ui/, which only plugin/ may use"
    "src/farlib/ui/menu.cpp|#include \"farlib/ui/host_ui.h\"|"
    "src/plugin/dialogs.cpp|#include \"farlib/ui/dialog.h\"|"
    "src/link/os.cpp|#include <termios.h>|src/link/os.cpp:1: OS header <termios.h> outside the platform backends"
    "host/os.cpp|#include <sys/ioctl.h>|host/os.cpp:1: OS header <sys/ioctl.h> outside the platform backends"
    "tests/unit/link/os.cpp|#include <windows.h>|tests/unit/link/os.cpp:1: OS header <windows.h> outside the platform backends"
    "src/farlib/ifdef.cpp|#ifdef _WIN32|src/farlib/ifdef.cpp:1: OS macro _WIN32 outside the platform backends"
    "phonesim/session.cpp|#if defined(__linux__)|phonesim/session.cpp:1: OS macro __linux__ outside the platform backends"
    "phonesim/uses.cpp|#include \"link/at_engine.h\"|phonesim/uses.cpp:1: the phone simulator includes the plug-in's link/"
    "src/platform/posix/os.cpp|#include <unistd.h>|"
    "src/platform/win32/os.cpp|#ifdef _WIN32|"
    "tests/support/win32/os.cpp|#include <windows.h>|"
    "phonesim/pty_port.cpp|#include <termios.h>|"
    "src/platform/abi.h|#if defined(_WIN32)|"
    "src/link/words.cpp|// _WIN32_WINNT and __linux_kernel are longer words|"
    "src/sms/pcre.cpp|#include <pcre2.h>|src/sms/pcre.cpp:1: PCRE2 outside src/regex"
    "src/regex/pcre.cpp|#include <pcre2.h>|"
  )
  local scratch failures=0 entry path text expected actual
  scratch=$(mktemp -d) || return 2
  # A clean tree: one file per layer, each including the layer below it.
  mkdir -p "$scratch/clean/src"/{platform,farapi,regex,encoding,farlib,settings,link,phone,phonebook,sms,plugin}
  local below=platform layer
  for layer in farapi regex encoding farlib settings link phone phonebook plugin; do
    printf '#include "%s/x.h"\n#include <string>\n' "$below" >"$scratch/clean/src/$layer/x.h"
    below=$layer
  done
  printf '#include "phonebook/x.h"\n' >"$scratch/clean/src/sms/x.h"
  printf '#include <cstdint>\n' >"$scratch/clean/src/platform/x.h"
  actual=$(check_tree "$scratch/clean")
  if [ $? -ne 0 ] || [ -n "$actual" ]; then
    echo "FAIL clean tree: expected no breach, got: $actual"
    failures=1
  fi
  for entry in "${cases[@]}"; do
    IFS='|' read -r path text expected <<<"$entry"
    rm -rf "$scratch/tree"
    cp -r "$scratch/clean" "$scratch/tree"
    mkdir -p "$scratch/tree/$(dirname "$path")"
    printf '%s\n' "$text" >"$scratch/tree/$path"
    actual=$(check_tree "$scratch/tree")
    local status=$?
    if [ "$actual" != "$expected" ] || { [ -n "$expected" ] && [ $status -ne 1 ]; } ||
       { [ -z "$expected" ] && [ $status -ne 0 ]; }; then
      echo "FAIL $path ($text): expected '$expected', got '$actual' (status $status)"
      failures=1
    fi
  done
  rm -rf "$scratch"
  [ $failures -eq 0 ] && echo "${#cases[@]} planted cases and a clean tree: as expected"
  return $failures
}

case ${1:-} in
  --self-test) self_test ;;
  "") echo "usage: $0 ROOT | --self-test" >&2; exit 2 ;;
  *) check_tree "$1" ;;
esac
