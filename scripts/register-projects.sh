#!/usr/bin/env bash
# register-projects.sh BUILD_DIR [APP]: the installer's part for the project
# types of a build tree: for every type the build declared (tb_project_type,
# listed in BUILD_DIR/project-types.list) it writes the registered-type key
# with its "Order" and the language file's "ProjectsToOpen" entry into the
# build tree's Wine prefix. APP is the application's name (the base name of
# its .apptype file beside the program; "Tessaly" when there is none).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
export BUILD_DIR=$1
app=${2:-}
if [ -z "$app" ]; then
  apptype=$(ls "$BUILD_DIR"/bin/*.apptype 2>/dev/null | head -1 || true)
  if [ -n "$apptype" ]; then app=$(basename "$apptype" .apptype); else app=Tessaly; fi
fi
list="$BUILD_DIR/project-types.list"
tool="$BUILD_DIR/bin/register_project_type.exe"
[ -s "$list" ] || exit 0
. "$here/wine-env.sh"
"$here/wine-up.sh"
. "$here/wine-env.sh"
log="$BUILD_DIR/register.log"
while IFS='|' read -r clsid order description patterns; do
  [ -n "$clsid" ] || continue
  "$WINE" "$tool" "$app" "$clsid" "$order" "$description" "$patterns" </dev/null >>"$log" 2>&1 \
    || { echo "registering project type $clsid failed (see $log)" >&2; exit 1; }
done <"$list"
