#!/usr/bin/env bash
# Runs the include-order check on small trees made here and checks its verdicts.
set -euo pipefail
check="$1"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT

fail() {
  echo "FAIL: $1" >&2
  exit 1
}

write() {
  mkdir -p "$(dirname "$tree/$1")"
  printf '%s\n' "${@:2}" >"$tree/$1"
}

# A tree that keeps the order, with includes of every allowed kind.
write src/formats/Discs.h '#pragma once'
write src/ports/Port.h '#pragma once' '#include "formats/Discs.h"'
write src/script/Parser.cpp '#include "script/Parser.h"' '#include "ports/Port.h"' '#include <map>'
write src/platform/Media.cpp '#include "platform/Media.h"' '#include "ports/Port.h"' '#include "script/Parser.h"' \
  '#include <libavformat/avformat.h>'
write src/picture/Dib.cpp '#include "picture/Dib.h"' '#include <vector>'
write src/core/headless/Host.h '#include "ports/Port.h"'
write src/input/Table.cpp '#include "core/headless/Host.h"' '#include "picture/Dib.h"'
write src/app/Run.cpp '#include "input/Table.h"' '#include "encoder/Parameters.h"'
write cli/main.cpp '#include "app/Run.h"'
write src/ui/Window.cpp '#include "app/Run.h"' '#include <QWidget>' '#include <QtWidgets/QDialog>'
write src/platform/Profile.cpp '#include <QSettings>'
write libconvert/Exports.cpp '#include "encoder/Parameters.h"' '#include "FrontEnd.h"' '#include "formats/Discs.h"'
"$check" "$tree" >/dev/null 2>&1 || fail "a tree in order was refused"

# Each break of the order is named with its file and line.
write src/input/Table.cpp '#include "core/headless/Host.h"' '#include "app/Run.h"'
write src/platform/Media.cpp '#  include "core/RunLog.h"'
write src/picture/Dib.cpp '#include <QImage>'
write libconvert/Exports.cpp '#include "input/Table.h"'
write src/core/headless/Host.h '#include "input/Table.h"'
write src/app/Box.cpp '#include <QMessageBox>'
write src/script/Parser.cpp '#include "script/Parser.h"' '#include "platform/Media.h"'
write src/script/Graph.cpp '#include <libavfilter/avfilter.h>'
write src/script/Text.cpp '#include <QString>'
write src/formats/Discs.h '#include "ports/Port.h"'
if output="$("$check" "$tree" 2>&1)"; then
  fail "a tree with upward includes passed"
fi
for expected in "src/input/Table.cpp:2" "src/platform/Media.cpp:1" "src/picture/Dib.cpp:1" \
  "libconvert/Exports.cpp:1" "src/core/headless/Host.h:1" "src/app/Box.cpp:1" "src/script/Parser.cpp:2" \
  "src/script/Graph.cpp:1" "src/script/Text.cpp:1" "src/formats/Discs.h:1" "10 include(s)"; do
  grep -qF "$expected" <<<"$output" || fail "the report does not name $expected: $output"
done
echo "ok"
