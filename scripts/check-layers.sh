#!/usr/bin/env bash
# Checks that every folder of src/ includes only itself and the folders before it in the layer
# order. The order is the line of docs/DESIGN.md that starts with "Layers:"; the design note
# and this check share it. Every include form counts: indented, with blanks after the "#", in
# quotes or in angle brackets (an angle-bracket include is checked when its first folder is a
# layer; others are the system's). Prints one line per include against the order and exits
# with 1 when there is any (2 when the order cannot be read).
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT" || exit 2

order_line=$(grep -m1 -E '^Layers:' docs/DESIGN.md) || {
  echo "docs/DESIGN.md has no line starting with \"Layers:\""
  exit 2
}
read -r -a layers <<<"$(sed -E 's/^Layers:[[:space:]]*//; s/[^a-z_]+/ /g' <<<"$order_line")"
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

bad=0
for dir in src/*/; do
  folder=$(basename "$dir")
  if [[ -z ${rank[$folder]+set} ]]; then
    echo "src/$folder is not in the layer order of docs/DESIGN.md"
    bad=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^/">]+)\/.*/\1/' <<<"$text")
    if [[ -z ${rank[$target]+set} ]]; then
      [[ $text =~ \#[[:space:]]*include[[:space:]]*\< ]] && continue
      echo "$file:$line: $target/ is not a layer"
      bad=1
    elif ((rank[$target] > rank[$folder])); then
      echo "$file:$line: $folder/ includes $target/, a later layer"
      bad=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^/">]+/' "$dir" --include='*.h' --include='*.cpp')
done
((bad == 0)) && echo "ok: includes follow the layer order ${layers[*]}"
exit $bad
