#!/bin/bash
# Builds Tessaly and starts it on its embedded database (created on the first
# run under $XDG_DATA_HOME/tessaly/StaffData.db).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
exec "$root/build/client/tessaly" "$@"
