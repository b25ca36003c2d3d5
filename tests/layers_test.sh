#!/usr/bin/env bash
# Fails when a source file includes one from a layer above its own. The layers, lowest first:
# platform (the interface), support, app, engine (the portable core), platform/win32 (the Win32
# backend, which only the windows code above it may include), controls, ui.
set -euo pipefail
src=${1:?usage: layers_test.sh SRC_DIR}
layers='platform support app engine platform/win32 controls ui'
rank() {
  local i=0 layer
  for layer in $layers; do
    [ "$layer" = "$1" ] && { echo $i; return; }
    i=$((i + 1))
  done
  echo -1
}
# The layer of an included path or a source file's folder: platform/win32 before platform.
layer_of() {
  case $1 in
    platform/win32/* | platform/win32) echo platform/win32 ;;
    *) echo "${1%%/*}" ;;
  esac
}
status=0
for dir in $layers; do
  own=$(rank "$dir")
  while IFS=: read -r file line text; do
    # A file of platform/ itself, found again under platform/win32, is judged there.
    [ "$(layer_of "${file#"$src"/}")" = "$dir" ] || continue
    included=$(sed -E 's/^#include "([^"]+)".*/\1/' <<<"$text")
    layer=$(layer_of "$included")
    if [ "$(rank "$layer")" -gt "$own" ]; then
      echo "$file:$line includes from $layer, a layer above $dir: $text"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "[^"]*/' "$src/$dir" || true)
done
[ $status -eq 0 ] && echo "every include points down the layers"
exit $status
