#!/bin/bash
# Writes release/NOTICE.txt: the licences of the compiler's runtime code that the static link
# puts into velmora.exe, taken word for word from the Debian toolchain packages' own copyright
# files. Run it again when the toolchain changes, and compare what is linked: the symbols of
# the unstripped build/win/velmora.exe (x86_64-w64-mingw32-nm) show which parts are in it.
#   release/make_notice.sh [output]      (default: release/NOTICE.txt beside this script)
# Linked today: the mingw-w64 start-up code and CRT pieces (ZPL, public domain), its printf
# formatting (mingw_pformat: Keith Marshall, Lucent) and gdtoa (Lucent), winpthreads (MIT
# "expat", and the Lockless BSD licence of pthread.h), and GCC's libgcc and libstdc++ (GPL 3
# with the GCC Runtime Library Exception 3.1).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/NOTICE.txt}"
mingw=/usr/share/doc/mingw-w64-common/copyright
gcc=/usr/share/doc/gcc-mingw-w64-base/copyright
for f in "$mingw" "$gcc"; do
    [ -s "$f" ] || { echo "make_notice.sh: $f is missing (install the mingw-w64 packages)" >&2; exit 1; }
done
version() { dpkg-query -W -f '${Version}' "$1" 2>/dev/null || echo unknown; }

# The paragraph of a machine-readable copyright file whose first line is exactly $2, as plain
# text: the field names kept, the one-blank indent of continuation lines and the " ." blank
# lines undone.
# A paragraph starts after a blank line (or the file's start); of a long Files field only
# its first line is kept, with "(and others)".
stanza() { # file first-line
    awk -v first="$2" '
        prev == "" && $0 == first { on = 1 }
        { prev = $0 }
        on && /^$/ { exit }
        on && files && /^[ \t]/ { more = 1; next }
        on && files && more { print "       (and others)"; more = 0 }
        on { files = /^Files:/; sub(/^ \.$/, ""); sub(/^ /, ""); print }' "$1"
}
# The lines of a plain-text file from the line $2 to the line before $3.
between() { # file from to
    awk -v from="$2" -v to="$3" '$0 == from { on = 1 } $0 == to { on = 0 } on { print }' "$1"
}

{
    cat <<HEAD
Velmora: notices for third-party code in velmora.exe
=====================================================

velmora.exe is linked statically with parts of the runtime of the compiler it is built with,
Debian's mingw-w64 cross-compiler:

  mingw-w64  $(version mingw-w64-common)
  GCC        $(version gcc-mingw-w64-base)

Their copyright holders ask that these notices travel with the program. They are copied from
the packages' copyright files:

  $mingw
  $gcc

Velmora's own licence is in LICENSE.txt.


1. mingw-w64 runtime: start-up code, C runtime pieces, printf formatting
------------------------------------------------------------------------

HEAD
    stanza "$mingw" 'Files: *'
    echo
    stanza "$mingw" 'Files: mingw-w64-crt/crt/*'
    stanza "$mingw" 'License: public-domain' | sed 1d
    echo
    stanza "$mingw" 'Files: mingw-w64-crt/gdtoa/*'
    echo
    stanza "$mingw" 'Files: mingw-w64-crt/misc/basename.c'
    cat <<HEAD


2. winpthreads (POSIX threads for Windows, part of mingw-w64)
-------------------------------------------------------------

HEAD
    stanza "$mingw" 'Files: mingw-w64-libraries/winpthreads/*'
    echo
    stanza "$mingw" 'License: expat' | sed 1d
    echo
    stanza "$mingw" 'Files: mingw-w64-libraries/winpthreads/include/pthread.h'
    cat <<HEAD


3. GCC runtime libraries: libgcc and libstdc++
----------------------------------------------

HEAD
    between "$gcc" 'GCC is Copyright (C) 1986, 1987, 1988, 1989, 1990, 1991, 1992, 1993, 1994,' \
        'The libbacktrace library is licensed under the following terms:'
    between "$gcc" 'GCC RUNTIME LIBRARY EXCEPTION' 'libquadmath/*.[hc]:'
} | sed -e 's/[[:space:]]*$//' | cat -s >"$out"
echo "make_notice.sh: wrote $out"
