#!/usr/bin/env bash
# Fails when a source file includes one from a layer above its own. The layers, lowest first:
# platform, support, app, engine, controls, ui.
set -euo pipefail
src=${1:?usage: layers_test.sh SRC_DIR}
rank() {
  case $1 in
    platform) echo 0 ;; support) echo 1 ;; app) echo 2 ;; engine) echo 3 ;; controls) echo 4 ;; ui) echo 5 ;;
    *) echo -1 ;;
  esac
}
status=0
for dir in platform support app engine controls ui; do
  own=$(rank "$dir")
  while IFS=: read -r file line text; do
    layer=$(sed -E 's/^#include "([^/"]+)\/.*/\1/' <<<"$text")
    if [ "$(rank "$layer")" -gt "$own" ]; then
      echo "$file:$line includes from $layer, a layer above $dir: $text"
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^#include "[^"]*/' "$src/$dir" || true)
done
[ $status -eq 0 ] && echo "every include points down the layers"
exit $status
