#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own.
# The layers, bottom up; each may include its own headers and those of the
# layers before it: formats, ports, script, platform, picture, core, input, encoder,
# app, ui, cli. The encoder library sees only the record it is handed (encoder)
# and the table of disc formats (formats), the picture code stays free of Qt, the
# script language uses neither Qt nor FFmpeg (the media layers answer its
# questions about files), and nothing below the window (ui) uses Qt's widgets, so
# the core runs without a display.
# Usage: check-layering.sh [source tree]   (default: this checkout)
set -euo pipefail

root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
order=(formats ports script platform picture core input encoder app ui cli)

rank_of() {
  local i
  for i in "${!order[@]}"; do
    if [ "${order[$i]}" = "$1" ]; then
      echo "$i"
      return
    fi
  done
  echo -1
}

# The folder a file belongs to, as a layer name.
layer_of() {
  case "$1" in
    src/*) local rest="${1#src/}"; echo "${rest%%/*}" ;;
    cli/*) echo cli ;;
    libconvert/*) echo libconvert ;;
    *) echo "" ;;
  esac
}

violations=0
report() {
  echo "$1: $2" >&2
  violations=$((violations + 1))
}

cd "$root"
while IFS= read -r file; do
  layer="$(layer_of "$file")"
  [ -n "$layer" ] || continue
  rank="$(rank_of "$layer")"
  while IFS= read -r line; do
    number="${line%%:*}"
    included="$(sed -E 's/^[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$line")"
    if [ "$layer" = picture ] && [[ "$included" =~ ^Qt|^Q[A-Z] ]]; then
      report "$file:$number" "the picture code must not use Qt ($included)"
      continue
    fi
    if [ "$layer" = script ] && [[ "$included" =~ ^Qt|^Q[A-Z]|^libav|^libsw|^libpostproc ]]; then
      report "$file:$number" "the script language must use neither Qt nor FFmpeg ($included)"
      continue
    fi
    if [ "$rank" -ge 0 ] && [ "$rank" -lt "$(rank_of ui)" ] && [[ "$included" =~ ^QtWidgets|^Q(Widget|Application|MainWindow|Dialog|MessageBox|FileDialog|AbstractButton|PushButton|RadioButton|CheckBox|Label|LineEdit|ListWidget|ScrollBar|Menu|Shortcut|Layout|BoxLayout|HBoxLayout|VBoxLayout|ProgressBar|Style)([^A-Za-z]|$) ]]; then
      report "$file:$number" "only the window (ui) may use Qt Widgets ($included)"
      continue
    fi
    target="${included%%/*}"
    [ "$target" != "$included" ] || continue
    target_rank="$(rank_of "$target")"
    [ "$target_rank" -ge 0 ] || continue
    if [ "$layer" = libconvert ]; then
      [ "$target" = encoder ] || [ "$target" = formats ] \
        || report "$file:$number" "the encoder library may include only encoder/ and formats/ ($included)"
    elif [ "$target_rank" -gt "$rank" ]; then
      report "$file:$number" "$layer must not include $included ($target is a layer above)"
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find src cli libconvert -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.c' \) 2>/dev/null | sort)

if [ "$violations" -ne 0 ]; then
  echo "layering: $violations include(s) against the order ${order[*]}" >&2
  exit 1
fi
echo "layering: every include follows the order ${order[*]}"
