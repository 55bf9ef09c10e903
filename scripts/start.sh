#!/bin/bash
# Builds Tessaly and starts it. The first run asks where the database is; OK
# takes the embedded one ($XDG_DATA_HOME/tessaly/StaffData.db, created then).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
exec "$root/build/client/tessaly" "$@"
