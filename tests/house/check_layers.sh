#!/usr/bin/env bash
# The house rules a reader would otherwise check by hand: OS headers only in the platform
# backends (and the POSIX-only phone simulator's one port file), PCRE2 only in the regex facade.
set -u
cd "$1" || exit 2
status=0
os=$(grep -rlE '#include *<(windows\.h|termios\.h|unistd\.h)>' src host tools tests phonesim 2>/dev/null |
     grep -vE '^(src/platform/(posix|win32)/|phonesim/pty_port\.cpp$)')
if [ -n "$os" ]; then echo "OS headers outside src/platform: $os"; status=1; fi
pcre=$(grep -rlE '#include *<pcre2?\.h>' src host tools tests phonesim 2>/dev/null | grep -v '^src/regex/')
if [ -n "$pcre" ]; then echo "PCRE2 outside src/regex: $pcre"; status=1; fi
exit $status
