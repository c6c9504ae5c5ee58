#!/usr/bin/env bash
# The layer check as the build runs it, on small trees: it passes a tree that
# keeps the layers and stops on an include from the core into the windows,
# from one window family into another, and on Qt in the core.
set -u
check="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

tree() { # folder, then pairs of file and its include line
  local dir="$work/$1"; shift
  mkdir -p "$dir"
  while [ $# -gt 0 ]; do
    mkdir -p "$(dirname "$dir/$1")"
    printf '%s\n' "$2" >"$dir/$1"
    shift 2
  done
}
expect() { # passes|fails, folder, what must be named
  local out
  if out=$(cmake -DSRC="$work/$2" -P "$check" 2>&1); then result=passes; else result=fails; fi
  if [ "$result" != "$1" ] || ! grep -qF -- "$3" <<<"$out$result"; then
    echo "FAIL: $2 $result, expected $1 naming '$3':"; echo "$out"
    failures=$((failures + 1))
  fi
}

tree good core/model/a.cpp '#include "core/util/cp1252.h"' \
  gui/editors/b.cpp '#include "gui/common/dialogs.h"' \
  app/c.cpp '#include "gui/timetable/edit_timetable.h"'
expect passes good passes
tree upward core/model/a.cpp '#include "gui/common/dialogs.h"'
expect fails upward 'core/model/a.cpp: #include "gui/common/dialogs.h"'
tree sideways gui/editors/b.cpp '#include "gui/timetable/edit_timetable.h"'
expect fails sideways 'gui/editors/b.cpp: #include "gui/timetable/edit_timetable.h"'
tree qt core/util/d.cpp '#include <QString>'
expect fails qt '(the core uses no Qt)'
tree render render/e.cpp '#include "gui/common/dialogs.h"'
expect fails render 'render/e.cpp'
tree unknown core/misc/f.cpp '#include "core/util/cp1252.h"'
expect fails unknown 'a folder the layers do not know'
tree widgets render/g.cpp '#include <QApplication>'
expect fails widgets '(render paints without widgets)'

if [ "$failures" -eq 0 ]; then echo "7 passed, 0 failed"; else echo "$((7 - failures)) passed, $failures failed"; exit 1; fi
