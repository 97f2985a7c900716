#!/usr/bin/env bash
# The layer rules of docs/architecture.md, checked over the sources:
#   1. only src/platform includes SDL, EGL, libmpg123 or libpulse headers (and the stress test's
#      frame probe, a preloaded library that wraps SDL's own functions from outside);
#   2. the platform's internal headers (those that name a system library's types or the
#      sound layer's insides) are included only by the platform and by tests;
#   3. no layer includes a layer above it: platform < render, texture < font < scenes < app.
# Usage: scripts/check-layers.sh [source dir]. Prints each offending line; exit 1 if any.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

failures=0
report() {  # report <rule> <grep output>
  [ -z "$2" ] && return
  printf '%s\n' "$1" "$2" | sed '2,$s/^/  /' >&2
  failures=$((failures + 1))
}

system='#[[:space:]]*include[[:space:]]*[<"](SDL[^>"]*|SDL2/[^>"]*|EGL/[^>"]*|pulse/[^>"]*|(mpg|out|syn|fmt)123\.h)[>"]'
report "SDL, EGL, libmpg123 or libpulse included outside src/platform:" \
  "$(grep -rnE --include='*.c' --include='*.cpp' --include='*.h' "$system" src tools tests \
     | grep -v -e '^src/platform/' -e '^tests/stress/frame-probe\.c:' || true)"

internal='#[[:space:]]*include[[:space:]]*"platform/(sound_decoder|sound_stream|sound_mixer|heard_position)\.h"'
report "platform-internal header included above the platform:" \
  "$(grep -rnE --include='*.cpp' --include='*.h' "$internal" src tools | grep -v '^src/platform/' || true)"

# Layers each layer may include besides itself.
declare -A allowed=(
  [platform]=""
  [render]="platform"
  [texture]="platform"
  [font]="platform render texture"
  [scenes]="platform render texture font"
  [app]="platform render texture font scenes"
)
for layer in "${!allowed[@]}"; do
  permitted="$layer ${allowed[$layer]}"
  bad=$(grep -rnoE --include='*.cpp' --include='*.h' '#[[:space:]]*include[[:space:]]*"[a-z]+/' \
          "src/$layer" | while IFS= read -r hit; do
          target=${hit##*\"}; target=${target%/}
          [[ " $permitted " == *" $target "* ]] || printf '%s\n' "$hit"
        done)
  report "src/$layer includes a layer above it:" "$bad"
done

[ "$failures" -eq 0 ] || { echo "layer check: $failures rule(s) broken" >&2; exit 1; }
echo "layer check: ok"
