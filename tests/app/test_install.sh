#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the installation to
# another folder, puts the build's own browser module out of the way and asks
# the installed editor to load its module.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
module="$build/bin/takton_browser.so"
restore() {
  [ -f "$module.away" ] && mv -f "$module.away" "$module"
  rm -rf "$work"
}
trap restore EXIT

cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"
mv "$work/prefix" "$work/moved"
mv "$module" "$module.away"

failures=0
check() { # name, condition result
  if [ "$2" = 0 ]; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# Each check below reports on its own.
set +e
found=$("$work/moved/bin/takton" --browser-module 2>/dev/null)
status=$?
echo "takton --browser-module: $found"
check "the installed editor loads its module" "$status"
[ "$found" = "$work/moved/lib/takton/takton_browser.so" ]
check "the module comes from the installation's lib/takton" "$?"
[ -f "$work/moved/bin/default.zpr" ]
check "default.zpr lies beside the installed program" "$?"
# Debugging information may name the build tree; the program's data may not.
! strings -d "$work/moved/bin/takton" | grep -qF "$build"
check "no path of the build tree in the program" "$?"

echo "$((4 - failures)) passed, $failures failed"
[ "$failures" = 0 ]
