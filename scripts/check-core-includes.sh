#!/usr/bin/env bash
# The core (src/core) builds programs without windows: no file of it includes a header of Qt
# Widgets, PrintSupport or Svg, and only the report, which draws pages, one of Qt Gui. The build
# refuses the links (cmake/corecheck.cmake); this catches a header taken without one.
#
#   scripts/check-core-includes.sh [QT_HEADERS_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
qt=${1:-/usr/include/x86_64-linux-gnu/qt6}
patterns=$(mktemp)
trap 'rm -f "$patterns" "$patterns.gui"' EXIT

# Every way a module's header can be named: <QWidget>, <QtWidgets/QWidget>, <qwidget.h>, <QtWidgets>.
module_patterns() {
  local module=$1
  [ -d "$qt/$module" ] || { echo "no $qt/$module: give Qt's header folder" >&2; exit 2; }
  echo "<$module>"
  echo "<$module/"
  for header in "$qt/$module"/*; do
    name=$(basename "$header")
    echo "<$name>"
    echo "\"$name\""
  done
}

for module in QtWidgets QtPrintSupport QtSvg; do module_patterns "$module"; done >"$patterns"
module_patterns QtGui >"$patterns.gui"

status=0
report_includes() { # files, pattern file, what they may not use
  local list=$1 file
  while IFS= read -r file; do
    if hits=$(grep -n '^[[:space:]]*#[[:space:]]*include' "$file" | grep -F -f "$2"); then
      while IFS= read -r hit; do
        echo "${file#"$root"/}:$hit: the core may not include $3" >&2
      done <<<"$hits"
      status=1
    fi
  done <<<"$list"
}
files=$(find "$root/src/core" -name '*.h' -o -name '*.cpp')
report_includes "$files" "$patterns" "Qt Widgets, PrintSupport or Svg"
report_includes "$(grep -v "^$root/src/core/report/" <<<"$files")" "$patterns.gui" \
  "Qt Gui (only the report draws)"
[ "$status" = 0 ] && echo "src/core: $(wc -l <<<"$files") files, no window header"
exit "$status"
