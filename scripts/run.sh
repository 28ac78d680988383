#!/usr/bin/env bash
# Sets the machine up, builds everything and starts the application on the
# virtual drives. Until the application itself exists this builds and
# registers the components and says so.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
"$root/scripts/build.sh"
export BUILD_DIR="$root/build/win"
app="$BUILD_DIR/bin/Tessaly.exe"
if [ -f "$app" ]; then
  . "$root/scripts/wine-env.sh"
  exec "$WINE" "$app" "$@"
fi
deliverables=$(cd "$BUILD_DIR/bin" && ls *.dll *.exe | grep -v -E '_test\.exe$|^engine_|^EngineProbe|^wine_keepalive' | tr '\n' ' ')
echo "Built and registered into $BUILD_DIR/wineprefix: $deliverables"
echo "The application program is not built yet; the components above are."
